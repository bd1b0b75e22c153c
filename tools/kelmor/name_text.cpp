#include "name_text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "text_input.h"
#include "ttf/api/tool_internals.h"

namespace kelmor {
namespace {

constexpr uint16_t kPlatformUnicode = 0, kPlatformMac = 1, kPlatformMicrosoft = 3;
const std::string kReplacement = "\xEF\xBF\xBD";

// Mac Roman bytes 0x80-0xFF as Unicode.
constexpr uint16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

// Microsoft's double-byte encodings store each character as a 16-bit
// big-endian unit: a single-byte character has a zero high byte.
std::string FromDoubleByteUnits(const std::string &bytes, const char *iconvName) {
    std::string packed;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        if (bytes[i] != 0) packed += bytes[i];
        packed += bytes[i + 1];
    }
    iconv_t cd = iconv_open("UTF-8", iconvName);
    if (cd == iconv_t(-1)) return kReplacement;
    std::string out(packed.size() * 4 + 4, '\0');
    char *in = packed.data(), *to = out.data();
    size_t inLeft = packed.size(), outLeft = out.size();
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &to, &outLeft) == size_t(-1)) {
        if (errno != EILSEQ && errno != EINVAL) break;
        ++in;  // skip the byte iconv cannot take and mark the spot
        --inLeft;
        if (outLeft < 3) break;
        std::memcpy(to, kReplacement.data(), 3);
        to += 3;
        outLeft -= 3;
    }
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

const char *MicrosoftIconvName(uint16_t encoding) {
    switch (encoding) {
    case 2: return "CP932";
    case 3: return "GBK";
    case 4: return "BIG5";
    case 5: return "CP949";
    case 6: return "JOHAB";
    }
    return nullptr;
}

std::string Decode(uint16_t platform, uint16_t encoding, const std::string &bytes) {
    if (platform == kPlatformUnicode) return Utf16BeToUtf8(bytes);
    if (platform == kPlatformMac && encoding == 0) return MacRomanToUtf8(bytes);
    if (platform == kPlatformMicrosoft) {
        if (const char *name = MicrosoftIconvName(encoding))
            return FromDoubleByteUnits(bytes, name);
        return Utf16BeToUtf8(bytes);
    }
    // Other platforms and Mac script codes: show the ASCII, mark the rest.
    std::string shown;
    for (char c : bytes)
        shown += (static_cast<unsigned char>(c) < 0x80) ? std::string(1, c) : kReplacement;
    return shown;
}

}  // namespace

std::string Utf16BeToUtf8(const std::string &bytes) {
    std::string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t unit = uint32_t(uint8_t(bytes[i])) << 8 | uint8_t(bytes[i + 1]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
            const uint32_t low = uint32_t(uint8_t(bytes[i + 2])) << 8 | uint8_t(bytes[i + 3]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        out += (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : EncodeUtf8(unit);
    }
    if (bytes.size() % 2 != 0) out += kReplacement;  // a cut-off unit
    return out;
}

std::string MacRomanToUtf8(const std::string &bytes) {
    std::string out;
    for (char c : bytes) {
        const uint8_t b = static_cast<uint8_t>(c);
        out += b < 0x80 ? std::string(1, c) : EncodeUtf8(kMacRomanHigh[b - 0x80]);
    }
    return out;
}

// name: {format, count, stringOffset}, then count records of six 16-bit
// fields {platform, encoding, language, nameID, length, offset}.
std::vector<NameText> ReadNameTexts(_TTFont *pF) {
    std::vector<NameText> names;
    const TableDirectoryStruct *entry = pF->lpsfntTable[kSlotName];
    if (!TableInFile(pF, entry) || TableLength(entry) < 6) return names;
    std::string table(TableLength(entry), '\0');
    if (ReadFileAt(pF, TableOffset(entry), table.data(), table.size()) != table.size())
        return names;
    const uint8_t *bytes = reinterpret_cast<const uint8_t *>(table.data());
    const uint32_t count = ReadBE16(bytes + 2), storage = ReadBE16(bytes + 4);
    for (uint32_t i = 0; i < count && SpanInside(6 + 12 * uint64_t(i), 12, table.size()); ++i) {
        const uint8_t *r = bytes + 6 + 12 * i;
        const uint64_t at = uint64_t(storage) + ReadBE16(r + 10);
        const uint32_t length = ReadBE16(r + 8);
        if (!SpanInside(at, length, table.size())) continue;
        NameText name{uint16_t(ReadBE16(r)), uint16_t(ReadBE16(r + 2)), uint16_t(ReadBE16(r + 4)),
                      uint16_t(ReadBE16(r + 6)), ""};
        name.utf8 = Decode(name.platform, name.encoding, table.substr(size_t(at), length));
        names.push_back(name);
    }
    return names;
}

std::string LanguageTitle(uint16_t platform, uint16_t language) {
    static const struct {
        uint16_t platform, language;
        const char *title;
    } kKnown[] = {
        {3, 0x0409, "en-US"}, {3, 0x0809, "en-GB"},
        {3, 0x0411, "ja-JP"}, {3, 0x0412, "ko-KR"},
        {3, 0x0404, "zh-TW"}, {3, 0x0804, "zh-CN"},
        {3, 0x0C04, "zh-HK"}, {3, 0x1004, "zh-SG"},
        {3, 0x0407, "de-DE"}, {3, 0x040C, "fr-FR"},
        {3, 0x0410, "it-IT"}, {3, 0x0C0A, "es-ES"},
        {3, 0x0419, "ru-RU"}, {3, 0x0413, "nl-NL"},
        {3, 0x0416, "pt-BR"}, {1, 0, "English"},
        {1, 11, "Japanese"},  {1, 19, "Chinese (Traditional)"},
        {1, 23, "Korean"},    {1, 33, "Chinese (Simplified)"},
    };
    for (const auto &known : kKnown)
        if (known.platform == platform && known.language == language) return known.title;
    return "";
}

namespace {

bool IsEnglish(const NameText &n) {
    return (n.platform == 3 && (n.language & 0xFF) == 0x09) || (n.platform == 1 && n.language == 0);
}

// UTF-8 text in ASCII, character by character.
std::string Transliterated(const std::string &utf8) {
    std::string ascii;
    for (size_t i = 0; i < utf8.size();) {
        const uint8_t lead = uint8_t(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string one = utf8.substr(i, length);
        i += length;
        if (length == 1)
            ascii += lead < 0x20 || lead == 0x7F ? ' ' : char(lead);
        else if (one == "\xC2\xA9")
            ascii += "(c)";
        else if (one == "\xC2\xAE")
            ascii += "(R)";
        else
            ascii += '?';
    }
    return ascii;
}

}  // namespace

std::string AsciiText(const std::vector<NameText> &names, uint16_t nameID) {
    for (int pass = 0; pass < 2; ++pass)
        for (const NameText &n : names)
            if (n.nameID == nameID && (pass == 1 || IsEnglish(n)) && !n.utf8.empty())
                return Transliterated(n.utf8);
    return "";
}

std::string AsciiName(const std::vector<NameText> &names, uint16_t nameID) {
    auto plain = [](const std::string &s) {
        return !s.empty() &&
               std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    };
    for (int pass = 0; pass < 2; ++pass) {
        for (const NameText &n : names)
            if (n.nameID == nameID && (pass == 1 || IsEnglish(n)) && plain(n.utf8)) return n.utf8;
    }
    return "";
}

}  // namespace kelmor
