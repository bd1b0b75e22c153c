#include "text_input.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cob_builder.h"
#include "code_set.h"

namespace kelmor {
namespace {

// Length of the sequence a lead byte starts and the bits it contributes;
// 0 for a byte that cannot start a character.
int SequenceLength(uint8_t lead, uint32_t *bits) {
    if (lead < 0x80) { *bits = lead; return 1; }
    if (lead >= 0xC2 && lead <= 0xDF) { *bits = lead & 0x1F; return 2; }
    if (lead >= 0xE0 && lead <= 0xEF) { *bits = lead & 0x0F; return 3; }
    if (lead >= 0xF0 && lead <= 0xF4) { *bits = lead & 0x07; return 4; }
    return 0;
}

// Smallest value each sequence length may encode (shorter forms are overlong).
constexpr uint32_t kSmallestOfLength[5] = {0, 0, 0x80, 0x800, 0x10000};

bool Acceptable(uint32_t value, int length) {
    if (value < kSmallestOfLength[length]) return false;
    if (value >= 0xD800 && value <= 0xDFFF) return false;
    return value <= 0x10FFFF;
}

// The same iconv encodings the concordances are built from, so that text
// converted here lands on the positions the concordance fills.
const char *IconvName(TextEncoding space) {
    for (const CodeSpace &built : ConcordCodeSpaces()) {
        if (built.cIOCode == EncodingCharset(space)) return built.lpszIconvName;
    }
    return "";
}

// One code point through an open converter; false when the code space has
// no character for it or the result is not one or two bytes.
bool ConvertOne(iconv_t converter, uint32_t codePoint, DbcsChar *out) {
    char in[4] = {char(codePoint & 0xFF), char(codePoint >> 8 & 0xFF),
                  char(codePoint >> 16 & 0xFF), char(codePoint >> 24 & 0xFF)};
    char result[8];
    char *inPtr = in, *outPtr = result;
    size_t inLeft = sizeof in, outLeft = sizeof result;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // fresh shift state
    if (iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) return false;
    const size_t produced = sizeof result - outLeft;
    if (produced == 1) {
        out->bytes[0] = 0;
        out->bytes[1] = uint8_t(result[0]);
    } else if (produced == 2) {
        out->bytes[0] = uint8_t(result[0]);
        out->bytes[1] = uint8_t(result[1]);
    } else {
        return false;
    }
    out->codePoint = codePoint;
    return true;
}

// Lead and trail bytes of each code space: Windows' code page 932 for
// Shift-JIS, Big5, EUC-CN for GB 2312 (a byte from 0xA1 leads), code page
// 936 for GBK and 949 for Wansung (EUC-KR's bytes and the extra syllables'
// trails 0x41-0x5A, 0x61-0x7A and 0x81-0xA0).
bool IsLeadByte(TextEncoding space, uint8_t b) {
    switch (space) {
    case TextEncoding::kShiftJIS: return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case TextEncoding::kBig5: return b >= 0x81 && b <= 0xFE;
    case TextEncoding::kGB2312: return b >= 0xA1 && b <= 0xFE;
    case TextEncoding::kGBK:
    case TextEncoding::kWansung: return b >= 0x81 && b <= 0xFE;
    }
    return false;
}

bool IsTrailByte(TextEncoding space, uint8_t b) {
    switch (space) {
    case TextEncoding::kShiftJIS: return b >= 0x40 && b <= 0xFC && b != 0x7F;
    case TextEncoding::kBig5: return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
    case TextEncoding::kGB2312: return b >= 0xA1 && b <= 0xFE;
    case TextEncoding::kGBK: return b >= 0x40 && b <= 0xFE && b != 0x7F;
    case TextEncoding::kWansung:
        return (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A) || (b >= 0x81 && b <= 0xFE);
    }
    return false;
}

}  // namespace

bool DecodeUtf8(const std::string &text, std::vector<uint32_t> *codePoints,
                std::string *error) {
    codePoints->clear();
    size_t i = 0;
    while (i < text.size()) {
        uint32_t value = 0;
        const int length = SequenceLength(uint8_t(text[i]), &value);
        bool good = length > 0 && i + length <= text.size();
        for (int k = 1; good && k < length; ++k) {
            const uint8_t next = uint8_t(text[i + k]);
            good = (next & 0xC0) == 0x80;
            value = value << 6 | (next & 0x3F);
        }
        if (!good || !Acceptable(value, length)) {
            *error = "the text is not valid UTF-8 (at byte " + std::to_string(i + 1) + ")";
            return false;
        }
        codePoints->push_back(value);
        i += length;
    }
    return true;
}

std::string EncodeUtf8(uint32_t c) {
    if (c >= 0xD800 && c <= 0xDFFF) return "?";
    std::string s;
    if (c < 0x80) {
        s += char(c);
    } else if (c < 0x800) {
        s += char(0xC0 | c >> 6);
        s += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += char(0xE0 | c >> 12);
        s += char(0x80 | (c >> 6 & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else if (c <= 0x10FFFF) {
        s += char(0xF0 | c >> 18);
        s += char(0x80 | (c >> 12 & 0x3F));
        s += char(0x80 | (c >> 6 & 0x3F));
        s += char(0x80 | (c & 0x3F));
    } else {
        s = "?";
    }
    return s;
}

bool ParseNumberList(const std::string &text, int base, uint32_t highest,
                     std::vector<uint32_t> *values, std::string *error) {
    values->clear();
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        std::string item = text.substr(start, comma == std::string::npos ? std::string::npos
                                                                         : comma - start);
        const std::string original = item;
        if (base == 16 && item.size() > 2 &&
            (item.compare(0, 2, "0x") == 0 || item.compare(0, 2, "0X") == 0 ||
             item.compare(0, 2, "U+") == 0 || item.compare(0, 2, "u+") == 0)) {
            item.erase(0, 2);
        }
        const char *digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
        uint64_t value = 0;
        bool good = !item.empty() && item.size() <= 10 &&
                    item.find_first_not_of(digits) == std::string::npos;
        if (good) {
            value = std::strtoull(item.c_str(), nullptr, base);
            good = value <= highest;
        }
        if (!good) {
            char limit[16];
            std::snprintf(limit, sizeof limit, base == 16 ? "%X" : "%u", unsigned(highest));
            *error = "\"" + original + "\" is not a " +
                     (base == 16 ? "hexadecimal" : "decimal") + " number up to " + limit;
            return false;
        }
        values->push_back(uint32_t(value));
        if (comma == std::string::npos) return true;
        start = comma + 1;
    }
}

bool EncodingFromName(const std::string &name, TextEncoding *space) {
    if (name == "sjis") *space = TextEncoding::kShiftJIS;
    else if (name == "big5") *space = TextEncoding::kBig5;
    else if (name == "gb") *space = TextEncoding::kGB2312;
    else if (name == "gbk") *space = TextEncoding::kGBK;
    else if (name == "euc-kr" || name == "cp949") *space = TextEncoding::kWansung;
    else return false;
    return true;
}

const char *EncodingTitle(TextEncoding space) {
    switch (space) {
    case TextEncoding::kShiftJIS: return "Shift-JIS";
    case TextEncoding::kBig5: return "Big5";
    case TextEncoding::kGB2312: return "GB 2312";
    case TextEncoding::kGBK: return "GBK";
    case TextEncoding::kWansung: return "Wansung (EUC-KR)";
    }
    return "";
}

int EncodingCharset(TextEncoding space) {
    switch (space) {
    case TextEncoding::kShiftJIS: return 128;
    case TextEncoding::kBig5: return 136;
    case TextEncoding::kGB2312: return 134;
    case TextEncoding::kGBK: return 242;
    case TextEncoding::kWansung: return 129;
    }
    return 0;
}

bool ConvertEachToEncoding(const std::vector<uint32_t> &codePoints, TextEncoding space,
                           std::vector<DbcsChar> *chars, std::vector<uint32_t> *lacking,
                           std::string *error) {
    chars->clear();
    lacking->clear();
    iconv_t converter = iconv_open(IconvName(space), "UTF-32LE");
    if (converter == iconv_t(-1)) {
        *error = std::string("this system's iconv cannot convert to ") + IconvName(space) +
                 ": " + std::strerror(errno);
        return false;
    }
    for (uint32_t codePoint : codePoints) {
        DbcsChar one{};
        if (ConvertOne(converter, codePoint, &one))
            chars->push_back(one);
        else
            lacking->push_back(codePoint);
    }
    iconv_close(converter);
    return true;
}

bool ConvertToEncoding(const std::vector<uint32_t> &codePoints, TextEncoding space,
                        std::vector<DbcsChar> *chars, std::string *error) {
    std::vector<uint32_t> lacking;
    if (!ConvertEachToEncoding(codePoints, space, chars, &lacking, error)) return false;
    if (lacking.empty()) return true;
    *error = DescribeCodePoint(lacking[0]) + " has no " + EncodingTitle(space) + " code";
    return false;
}

std::string WhyNoCode(TextEncoding space, uint32_t code) {
    const uint8_t lead = uint8_t(code >> 8), trail = uint8_t(code);
    char why[64] = "";
    if (code > 0xFFFF)
        std::snprintf(why, sizeof why, "it is more than two bytes");
    else if (lead != 0 && !IsLeadByte(space, lead))
        std::snprintf(why, sizeof why, "%02X is no lead byte", unsigned(lead));
    else if (lead != 0 && !IsTrailByte(space, trail))
        std::snprintf(why, sizeof why, "%02X is no trail byte", unsigned(trail));
    return why;
}

size_t DecodeEncodedBytesPastBreaks(const std::string &bytes, TextEncoding space,
                                    std::vector<DbcsChar> *chars) {
    chars->clear();
    size_t broken = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const uint8_t byte = uint8_t(bytes[i]);
        DbcsChar one{0, {0, byte}};
        if (IsLeadByte(space, byte)) {
            const uint8_t trail = i + 1 < bytes.size() ? uint8_t(bytes[i + 1]) : 0;
            one.bytes[0] = byte;
            if (IsTrailByte(space, trail)) {
                one.bytes[1] = trail;
                ++i;
            } else {
                // The next byte starts a character of its own.
                one.bytes[1] = 0;
                one.brokenAt = i + 1;
                ++broken;
            }
        }
        chars->push_back(one);
    }
    return broken;
}

std::string DescribeBrokenByte(TextEncoding space, const DbcsChar &c, size_t totalBytes) {
    char where[96];
    std::snprintf(where, sizeof where, "the %s bytes are broken at byte %zu: lead byte %02X %s",
                  EncodingTitle(space), c.brokenAt, unsigned(c.bytes[0]),
                  c.brokenAt < totalBytes ? "without a trail byte" : "at the end");
    return where;
}

bool DecodeEncodedBytes(const std::string &bytes, TextEncoding space,
                        std::vector<DbcsChar> *chars, std::string *error) {
    if (DecodeEncodedBytesPastBreaks(bytes, space, chars) == 0) return true;
    for (const DbcsChar &c : *chars) {
        if (c.brokenAt != 0) {
            *error = DescribeBrokenByte(space, c, bytes.size());
            break;
        }
    }
    chars->clear();
    return false;
}

namespace {

template <typename Char, typename CodeOf>
std::vector<std::vector<Char>> SplitAtLineEnds(const std::vector<Char> &chars, CodeOf codeOf) {
    std::vector<std::vector<Char>> lines(1);
    for (size_t i = 0; i < chars.size(); ++i) {
        const uint32_t code = codeOf(chars[i]);
        const bool crlf = code == '\r' && i + 1 < chars.size() && codeOf(chars[i + 1]) == '\n';
        if (code == '\n' || (code == '\r' && !crlf))
            lines.emplace_back();
        else if (!IsControlCode(code))
            lines.back().push_back(chars[i]);
    }
    // A final line end closes the last line rather than opening an empty one.
    if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    return lines;
}

}  // namespace

std::vector<std::vector<uint32_t>> SplitLines(const std::vector<uint32_t> &codePoints) {
    return SplitAtLineEnds(codePoints, [](uint32_t c) { return c; });
}

std::vector<std::vector<DbcsChar>> SplitLines(const std::vector<DbcsChar> &chars) {
    return SplitAtLineEnds(chars, [](const DbcsChar &c) { return c.Code(); });
}

bool ReadWholeFile(const std::string &path, std::string *bytes, std::string *error) {
    std::FILE *file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot read \"" + path + "\": " + std::strerror(errno);
        return false;
    }
    bytes->clear();
    char block[65536];
    size_t got = 0;
    int cause = 0;
    while (bytes->size() <= kMaxInputFileBytes &&
           (got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes->append(block, got);
    if (std::ferror(file) != 0) cause = errno != 0 ? errno : EIO;
    std::fclose(file);
    if (cause != 0) {
        *error = "cannot read \"" + path + "\": " + std::strerror(cause);
        return false;
    }
    if (bytes->size() > kMaxInputFileBytes) {
        bytes->clear();
        *error = "\"" + path + "\" is larger than " + std::to_string(kMaxInputFileBytes >> 20) +
                 " MiB, more than any list of characters or receipt";
        return false;
    }
    return true;
}

std::string DescribeCodePoint(uint32_t codePoint) {
    char number[16];
    std::snprintf(number, sizeof number, "U+%04X", unsigned(codePoint));
    // Control characters would disturb the terminal; name them by number only.
    if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0)) return number;
    return std::string(number) + " '" + EncodeUtf8(codePoint) + "'";
}

std::string CheckRenderSource(bool haveText, const std::string &text,
                              const std::string &encoding, const std::string &codes,
                              const std::string &glyphs) {
    std::string error;
    std::vector<uint32_t> values;
    TextEncoding space = TextEncoding::kShiftJIS;
    if (!encoding.empty() && !EncodingFromName(encoding, &space))
        return "--encoding is sjis, big5 or gb, not \"" + encoding + "\"";
    if (haveText) {
        if (text.empty()) return "TEXT is empty: give at least one character";
        if (!DecodeUtf8(text, &values, &error)) return error;
        std::vector<DbcsChar> chars;
        if (!encoding.empty() && !ConvertToEncoding(values, space, &chars, &error)) return error;
    }
    if (!codes.empty() && !ExpandCodeList(codes, 16, 0xFFFF, &values, &error)) return error;
    if (!glyphs.empty() && !ParseNumberList(glyphs, 10, 0xFFFF, &values, &error)) return error;
    return "";
}

}  // namespace kelmor
