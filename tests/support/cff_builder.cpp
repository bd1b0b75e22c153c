#include "cff_builder.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

namespace kelmor_test {

namespace {

const std::map<std::string, int> &Operators() {
    static const std::map<std::string, int> ops = {
        {"hstem", 1}, {"vstem", 3}, {"vmoveto", 4}, {"rlineto", 5}, {"hlineto", 6},
        {"vlineto", 7}, {"rrcurveto", 8}, {"callsubr", 10}, {"return", 11}, {"endchar", 14},
        {"hstemhm", 18}, {"hintmask", 19}, {"cntrmask", 20}, {"rmoveto", 21}, {"hmoveto", 22},
        {"vstemhm", 23}, {"rcurveline", 24}, {"rlinecurve", 25}, {"vvcurveto", 26},
        {"hhcurveto", 27}, {"callgsubr", 29}, {"vhcurveto", 30}, {"hvcurveto", 31},
        // two-byte operators: 12 x
        {"dotsection", 1200}, {"and", 1203}, {"or", 1204}, {"not", 1205}, {"abs", 1209},
        {"add", 1210}, {"sub", 1211}, {"div", 1212}, {"neg", 1214}, {"eq", 1215},
        {"drop", 1218}, {"put", 1220}, {"get", 1221}, {"ifelse", 1222}, {"random", 1223},
        {"mul", 1224}, {"sqrt", 1226}, {"dup", 1227}, {"exch", 1228}, {"index", 1229},
        {"roll", 1230}, {"hflex", 1234}, {"flex", 1235}, {"hflex1", 1236}, {"flex1", 1237},
    };
    return ops;
}

// A charstring number in its shortest form; fractions as 16.16.
void PutNumber(Bytes &out, double v) {
    if (v != std::floor(v)) {
        const int32_t fixed = int32_t(std::lround(v * 65536));
        out.push_back(255);
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(uint32_t(fixed) >> shift));
        return;
    }
    const int32_t n = int32_t(v);
    if (n >= -107 && n <= 107) {
        out.push_back(uint8_t(n + 139));
    } else if (n >= 108 && n <= 1131) {
        out.push_back(uint8_t((n - 108) / 256 + 247));
        out.push_back(uint8_t((n - 108) % 256));
    } else if (n >= -1131 && n <= -108) {
        out.push_back(uint8_t((-n - 108) / 256 + 251));
        out.push_back(uint8_t((-n - 108) % 256));
    } else {
        out.push_back(28);
        out.push_back(uint8_t(uint16_t(n) >> 8));
        out.push_back(uint8_t(n));
    }
}

// A DICT number always as a five-byte integer, so that a DICT's length does
// not depend on the offsets it holds.
void PutDictNumber(Bytes &out, int32_t v) {
    out.push_back(29);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(uint32_t(v) >> shift));
}

void PutOperator(Bytes &out, int op) {
    if (op >= 1200) out.push_back(12);
    out.push_back(uint8_t(op >= 1200 ? op - 1200 : op));
}

struct Dict {
    Bytes bytes;
    Dict &Entry(std::vector<int32_t> operands, int op) {
        for (int32_t v : operands) PutDictNumber(bytes, v);
        PutOperator(bytes, op);
        return *this;
    }
};

}  // namespace

Bytes CffIndex(const std::vector<Bytes> &items) {
    BEWriter w;
    w.U16(uint16_t(items.size()));
    if (items.empty()) return w.bytes;
    uint32_t total = 1;
    for (const Bytes &b : items) total += uint32_t(b.size());
    const int offSize = total <= 0xFF ? 1 : total <= 0xFFFF ? 2 : total <= 0xFFFFFF ? 3 : 4;
    w.U8(uint8_t(offSize));
    uint32_t offset = 1;
    auto put = [&](uint32_t v) {
        for (int k = offSize - 1; k >= 0; --k) w.U8(uint8_t(v >> (8 * k)));
    };
    put(offset);
    for (const Bytes &b : items) put(offset += uint32_t(b.size()));
    for (const Bytes &b : items) w.Append(b);
    return w.bytes;
}

namespace {

// A Private DICT followed by its local subroutines (Subrs counts from the
// DICT's start).
Bytes PrivateWithSubrs(const std::vector<Bytes> &subrs, size_t *dictSize) {
    Dict d;
    if (!subrs.empty()) d.Entry({0}, 19);
    const int32_t dictLength = int32_t(d.bytes.size());
    if (!subrs.empty()) d = Dict().Entry({dictLength}, 19);
    *dictSize = d.bytes.size();
    Bytes out = d.bytes;
    if (!subrs.empty()) {
        const Bytes index = CffIndex(subrs);
        out.insert(out.end(), index.begin(), index.end());
    }
    return out;
}

}  // namespace

Bytes Charstring(const std::string &text) {
    Bytes out;
    std::istringstream in(text);
    std::string word;
    while (in >> word) {
        char *end = nullptr;
        const double v = std::strtod(word.c_str(), &end);
        if (word[0] == '#') {
            out.push_back(uint8_t(std::strtoul(word.c_str() + 1, nullptr, 16)));
        } else if (end != word.c_str() && *end == '\0') {
            PutNumber(out, v);
        } else if (Operators().count(word) != 0) {
            PutOperator(out, Operators().at(word));
        } else {
            // A mistake in the test itself: stop at once, naming the word.
            std::fprintf(stderr, "Charstring: unknown word '%s' in \"%s\"\n", word.c_str(),
                         text.c_str());
            std::abort();
        }
    }
    return out;
}

// Layout: header, Name INDEX, Top DICT INDEX, String INDEX, Global Subr
// INDEX, then CharStrings, the Private DICT(s) with their subroutines, the
// charset, FDArray and FDSelect.  The Top DICT's offsets are fixed-length,
// so it is laid out once with zeros and written again with the offsets.
Bytes CffTable::Build() const {
    const bool cid = !fdLocalSubrs.empty();
    const Bytes header = {1, 0, 4, 4};
    const Bytes names = CffIndex({Bytes{'T', 'e', 's', 't'}});
    const Bytes strings = CffIndex(cid ? std::vector<Bytes>{{'A', 'd', 'o', 'b', 'e'}, {'I', 'd', 'e', 'n', 't', 'i', 't', 'y'}}
                                    : std::vector<Bytes>{});
    const Bytes globals = CffIndex(globalSubrs);

    auto topDict = [&](int32_t charStringsAt, int32_t privateSize, int32_t privateAt,
                       int32_t charsetAt, int32_t fdArrayAt, int32_t fdSelectAt) {
        Dict d;
        if (cid) d.Entry({391, 392, 0}, 1230);
        d.Entry({charStringsAt}, 17);
        if (cid) {
            d.Entry({fdArrayAt}, 1236).Entry({fdSelectAt}, 1237);
        } else {
            d.Entry({privateSize, privateAt}, 18);
            if (!charset.empty()) d.Entry({charsetAt}, 15);
        }
        for (const auto &[operands, op] : extraTopDict) d.Entry(operands, op);
        return CffIndex({d.bytes});
    };
    const size_t start = header.size() + names.size() + topDict(0, 0, 0, 0, 0, 0).size() +
                         strings.size() + globals.size();
    const Bytes charStringIndex = CffIndex(charStrings);

    Bytes tail = charStringIndex;
    const size_t charStringsAt = start;
    // Private DICTs: one, or one per font DICT.
    std::vector<std::pair<size_t, size_t>> privates;  // size, offset
    const std::vector<std::vector<Bytes>> subrSets =
        cid ? fdLocalSubrs : std::vector<std::vector<Bytes>>{localSubrs};
    if (cid && shareFdSubrs) {
        // Private DICTs of one Subrs entry each (6 bytes), then the INDEX.
        const size_t dictSize = Dict().Entry({0}, 19).bytes.size(), count = subrSets.size();
        for (size_t i = 0; i < count; ++i) {
            privates.emplace_back(dictSize, start + tail.size());
            const Bytes p = Dict().Entry({int32_t((count - i) * dictSize)}, 19).bytes;
            tail.insert(tail.end(), p.begin(), p.end());
        }
        const Bytes shared = CffIndex(subrSets[0]);
        tail.insert(tail.end(), shared.begin(), shared.end());
    }
    for (const std::vector<Bytes> &subrs : cid && shareFdSubrs ? std::vector<std::vector<Bytes>>{}
                                                              : subrSets) {
        size_t dictSize = 0;
        const Bytes p = PrivateWithSubrs(subrs, &dictSize);
        privates.emplace_back(dictSize, start + tail.size());
        tail.insert(tail.end(), p.begin(), p.end());
    }
    size_t charsetAt = 0, fdArrayAt = 0, fdSelectAt = 0;
    if (!charset.empty()) {
        charsetAt = start + tail.size();
        tail.push_back(0);
        for (uint16_t sid : charset) tail.push_back(uint8_t(sid >> 8)), tail.push_back(uint8_t(sid));
    }
    if (cid) {
        std::vector<Bytes> fontDicts;
        for (const auto &[size, at] : privates)
            fontDicts.push_back(Dict().Entry({int32_t(size), int32_t(at)}, 18).bytes);
        const Bytes fdArray = CffIndex(fontDicts);
        fdArrayAt = start + tail.size();
        tail.insert(tail.end(), fdArray.begin(), fdArray.end());
        fdSelectAt = start + tail.size();
        const size_t glyphs = charStrings.size();
        auto fdOf = [&](size_t g) { return g < fdOfGlyph.size() ? fdOfGlyph[g] : uint8_t(0); };
        tail.push_back(uint8_t(fdSelectFormat));
        if (fdSelectFormat == 0) {
            for (size_t g = 0; g < glyphs; ++g) tail.push_back(fdOf(g));
        } else {
            BEWriter ranges;
            uint16_t count = 0;
            for (size_t g = 0; g < glyphs; ++g) {
                if (g > 0 && fdOf(g) == fdOf(g - 1)) continue;
                ranges.U16(uint16_t(g)).U8(fdOf(g));
                ++count;
            }
            ranges.U16(uint16_t(glyphs));
            tail.push_back(uint8_t(count >> 8));
            tail.push_back(uint8_t(count));
            tail.insert(tail.end(), ranges.bytes.begin(), ranges.bytes.end());
        }
    }
    BEWriter out;
    out.Append(header).Append(names);
    out.Append(topDict(int32_t(charStringsAt), int32_t(privates[0].first),
                       int32_t(privates[0].second), int32_t(charsetAt), int32_t(fdArrayAt),
                       int32_t(fdSelectAt)));
    out.Append(strings).Append(globals).Append(tail);
    return out.bytes;
}

FontBuilder CffFont(const CffTable &cff) {
    FontBuilder font;
    for (size_t g = 1; g < cff.charStrings.size(); ++g) font.AddGlyph(Glyph::Empty());
    BEWriter maxp;
    maxp.U32(0x00005000).U16(uint16_t(cff.charStrings.size()));
    font.BoundingBox(0, -200, 1000, 800);
    font.RawTable("CFF ", cff.Build()).RawTable("maxp", maxp.bytes);
    font.RemoveTable("glyf").RemoveTable("loca");
    return font;
}

}  // namespace kelmor_test
