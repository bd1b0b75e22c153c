// kelmor info FONT: what is inside a font, as the library sees it.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "args.h"
#include "commands.h"
#include "cmap_coverage.h"
#include "font_facts.h"
#include "name_text.h"
#include "ttf/api/tool_internals.h"

namespace kelmor {
namespace {

constexpr const char *kCommand = "info";

void PrintHelp() {
    std::printf(
        "usage: kelmor info FONT [--coverage] [--face N]\n"
        "\n"
        "Opens FONT (face N of a collection, default 0) the way the library does\n"
        "and shows what it found there:\n"
        "  - for a collection (.ttc), how many faces it has,\n"
        "  - the table directory (tag, offset, length),\n"
        "  - the cmap sub-tables (format, platform, encoding), which of them the\n"
        "    library uses, and the character set it derives from them,\n"
        "  - the name records (platform, encoding, full language ID, name ID)\n"
        "    with their text in UTF-8: UTF-16 records decoded, Mac Roman for\n"
        "    platform 1, the Microsoft double-byte encodings through iconv,\n"
        "  - maxp, head's units per em and bounding box, the loca format,\n"
        "  - whether fpgm, prep, cvt and mort exist, and the vertical pairs;\n"
        "    without mort pairs, how many glyphs GSUB gives a vertical form.\n"
        "\n"
        "  --coverage   also list the codes each cmap sub-table maps, as ranges\n"
        "\n"
        "When the library cannot open FONT (no cmap, say), what can be read is\n"
        "still shown and one line on stderr says why the library refuses it.\n"
        "Exit code: 0 when the font opens, 1 when it does not, 2 for a bad\n"
        "command line.\n");
}

std::string Tag(const char tag[4]) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(tag[i]);
        text += (c >= 0x20 && c < 0x7F) ? char(c) : '?';
    }
    return text;
}

// Directory entries as read; the known ones carry the slot the library
// indexes them under, and a later duplicate shadows an earlier one.
void PrintDirectory(const _TTFont &font) {
    const uint32_t declared = ui16ToUint(font.OffsetTable.numTables);
    std::printf("Tables: %d", int(font.NumTables));
    if (declared != uint32_t(font.NumTables)) std::printf(" (the header declares %u)", declared);
    std::printf("\n  tag     offset     length\n");
    for (int i = 0; i < font.NumTables; ++i) {
        const TableDirectoryStruct &entry = font.TableDirectory[i];
        // Tables outside the indexed tags that are found in the directory
        // itself when they are needed: vertical metrics, vertical forms and
        // embedded bitmaps; and "CFF ", which draws a font without glyf.
        bool indexed = false;
        for (const char *tag : {"vhea", "vmtx", "GSUB", "EBLC", "EBDT", "bloc", "bdat"})
            indexed |= std::memcmp(entry.tag, tag, 4) == 0;
        indexed |= std::memcmp(entry.tag, "CFF ", 4) == 0 && font.lpsfntTable[kSlotGlyf] == nullptr;
        for (const TableDirectoryStruct *slot : font.lpsfntTable) indexed |= slot == &entry;
        std::printf("  %s %10u %10u%s\n", Tag(entry.tag).c_str(), ui32ToULong(&entry.offset),
                    ui32ToULong(&entry.length), indexed ? "" : "  (not read)");
    }
}

const char *PlatformName(uint32_t platform) {
    switch (platform) {
    case 0: return "Unicode";
    case 1: return "Macintosh";
    case 2: return "ISO";
    case 3: return "Microsoft";
    default: return "other";
    }
}

// The character map as the file holds it: the library keeps in memory only
// the part it looks codes up in.  Empty when there is none.
std::vector<uint8_t> WholeCmap(_TTFont &font) {
    const TableDirectoryStruct *entry = font.lpsfntTable[kSlotCmap];
    if (entry == nullptr || !TableInFile(&font, entry)) return {};
    std::vector<uint8_t> bytes(TableLength(entry));
    bytes.resize(ReadFileAt(&font, TableOffset(entry), bytes.data(), bytes.size()));
    return bytes;
}

// A sub-table record of the whole map, in host order.
struct CmapRecord {
    uint32_t platform, encoding, offset;
};
CmapRecord RecordAt(const std::vector<uint8_t> &cmap, uint32_t i) {
    const uint8_t *r = cmap.data() + 4 + 8 * size_t(i);
    return {ReadBE16(r), ReadBE16(r + 2), ReadBE32(r + 4)};
}
uint32_t RecordCount(const std::vector<uint8_t> &cmap) {
    const uint32_t declared = cmap.size() >= 4 ? ReadBE16(cmap.data() + 2) : 0;
    return std::min<uint32_t>(declared, cmap.size() >= 4 ? uint32_t((cmap.size() - 4) / 8) : 0);
}

// The offset of a sub-table the library chose, or none.
bool ChoseAt(const _TTFont &font, const uint8_t *table, uint32_t offset) {
    return table != nullptr && uint32_t(table - font.CmapBuffer) == offset;
}

// What the library does with the sub-table at `offset`: of each format it
// keeps the last record, and looks codes up in format 2, else format 4, and
// above U+FFFF in format 12.
std::string CmapRole(const _TTFont &font, uint32_t offset, uint32_t format) {
    if (ChoseAt(font, font.lpcmapHighByteTable, offset)) return "in use: lookup";
    if (ChoseAt(font, font.lpcmapSeg2DeltaValues, offset)) {
        return font.lpcmapHighByteTable ? "in use: character set (format 2 is looked up)"
                                        : "in use: lookup";
    }
    if (ChoseAt(font, font.lpcmapStandardTable, offset)) return "kept, never looked up";
    const TableDirectoryStruct *entry = font.lpsfntTable[kSlotCmap];
    if (format == 12 && font.uGroups > 0 &&
        font.uGroupsOffset == TableOffset(entry) + offset + 16)
        return "in use: codes above U+FFFF";
    if (format == 0 || format == 2 || format == 4 || format == 12)
        return "not used (another one wins)";
    return "not used (format not read)";
}

void PrintCmap(_TTFont &font) {
    const std::vector<uint8_t> cmap = WholeCmap(font);
    const uint32_t count = RecordCount(cmap);
    std::printf("Character maps: %u sub-table%s\n", count, count == 1 ? "" : "s");
    std::printf("  format platform encoding     offset\n");
    for (uint32_t i = 0; i < count; ++i) {
        const CmapRecord record = RecordAt(cmap, i);
        const bool inside = cmap.size() >= 2 && record.offset <= cmap.size() - 2;
        const uint32_t format = inside ? ReadBE16(cmap.data() + record.offset) : 0;
        char shown[16] = "?";
        if (inside) std::snprintf(shown, sizeof shown, "%u", format);
        std::printf("  %6s %3u %-9s %3u %10u  %s\n", shown, record.platform,
                    PlatformName(record.platform), record.encoding, record.offset,
                    inside ? CmapRole(font, record.offset, format).c_str()
                           : "(beyond the cmap table)");
    }
    // The name code is what an installed-font entry records for this font.
    std::printf("Character set: %d (%s; \"%s\" in the ini file)\n", int(font.csFont),
                CharsetTitle(font.csFont), Charset2NameCode(font.csFont));
}

// Control characters in a name would steer the terminal; show them as '?'.
std::string Printable(const std::string &text) {
    std::string shown(text);
    for (char &c : shown) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) c = '?';
    }
    return shown;
}

// The records as the file holds them, decoded to UTF-8.
void PrintNames(_TTFont &font) {
    const std::vector<NameText> names = ReadNameTexts(&font);
    std::printf("Names: %zu record%s\n", names.size(), names.size() == 1 ? "" : "s");
    if (names.empty()) return;
    std::printf("  platform encoding language            name  text\n");
    for (const NameText &n : names) {
        const std::string title = LanguageTitle(n.platform, n.language);
        char language[40];
        std::snprintf(language, sizeof language, "0x%04X%s%s%s", unsigned(n.language),
                      title.empty() ? "" : " (", title.c_str(), title.empty() ? "" : ")");
        std::printf("  %8u %8u %-27s %4u  %s\n", unsigned(n.platform), unsigned(n.encoding),
                    language, unsigned(n.nameID), Printable(n.utf8).c_str());
    }
}

// Every sub-table's codes as ranges, the way ftdump -c lists them.
void PrintCoverage(_TTFont &font) {
    const std::vector<uint8_t> cmap = WholeCmap(font);
    std::printf("Coverage:\n");
    for (uint32_t i = 0; i < RecordCount(cmap); ++i) {
        const CmapRecord record = RecordAt(cmap, i);
        std::vector<CodeRange> ranges;
        std::printf("  sub-table %u (platform %u, encoding %u): ", i, record.platform,
                    record.encoding);
        if (!SubTableCoverage(cmap.data(), cmap.size(), record.offset, &ranges)) {
            std::printf("format not read\n");
            continue;
        }
        uint64_t codes = 0;
        for (const CodeRange &r : ranges) codes += uint64_t(r.last) - r.first + 1;
        std::printf("%llu codes\n   ", static_cast<unsigned long long>(codes));
        for (size_t k = 0; k < ranges.size(); ++k) {
            if (ranges[k].first == ranges[k].last) {
                std::printf(" 0x%04X", unsigned(ranges[k].first));
            } else {
                std::printf(" 0x%04X-0x%04X", unsigned(ranges[k].first), unsigned(ranges[k].last));
            }
            std::printf(k + 1 < ranges.size() ? (k % 6 == 5 ? ",\n   " : ",") : "\n");
        }
        if (ranges.empty()) std::printf(" (none)\n");
    }
}

void PrintMaxp(const leMaxpHeader &m) {
    std::printf("maxp:\n");
    const struct {
        const char *name;
        unsigned value;
    } fields[] = {
        {"numGlyphs", m.numGlyphs},
        {"maxPoints", m.maxPoints},
        {"maxContours", m.maxContours},
        {"maxComponentPoints", m.maxComponentPoints},
        {"maxComponentContours", m.maxComponentContours},
        {"maxZones", m.maxZones},
        {"maxTwilightPoints", m.maxTwilightPoints},
        {"maxStorage", m.maxStorage},
        {"maxFunctionDefs", m.maxFunctionDefs},
        {"maxInstructionDefs", m.maxInstructionDefs},
        {"maxStackElements", m.maxStackElements},
        {"maxSizeOfInstructions", m.maxSizeOfInstructions},
        {"maxComponentElements", m.maxComponentElements},
        {"maxComponentDepth", m.maxComponentDepth},
    };
    for (const auto &field : fields) std::printf("  %-22s %u\n", field.name, field.value);
}

void PrintHead(const _TTFont &font) {
    std::printf("head:\n");
    std::printf("  unitsPerEm             %d\n", int(font.UnitsPerEm));
    std::printf("  bounding box           xMin %d, yMin %d, xMax %d, yMax %d\n",
                i16ToInt(font.FontHeader.xMin), i16ToInt(font.FontHeader.yMin),
                i16ToInt(font.FontHeader.xMax), i16ToInt(font.FontHeader.yMax));
    std::printf("  lowestRecPPEM          %d\n", int(font.LowestRecPPEM));
    std::printf("  loca format            %s\n",
                font.LocaLength == 2 ? "short (2 bytes, offset / 2)" : "long (4 bytes)");
    if (font.lpsfntTable[kSlotHhea]) {
        std::printf("hhea:\n  ascender %d, descender %d, line gap %d\n",
                    int(font.HorizHeader.Ascender), int(font.HorizHeader.Descender),
                    int(font.HorizHeader.LineGap));
    } else {
        std::printf("hhea: none\n");
    }
}

void PrintBlock(const char *name, const uint8_t *block, const char *unit, int32_t divisor) {
    if (block == nullptr) {
        std::printf("  %-6s none\n", name);
    } else {
        std::printf("  %-6s %d %s\n", name, int(BlockLength(block) / divisor), unit);
    }
}

// The forms vertical mode takes from GSUB when mort gives none; counted
// under the rules of the font's own CJK script.
void PrintGsubForms(_TTFont &font) {
    if (font.lpLookupSingle != nullptr) return;
    const VerticalForms *forms = FontVerticalForms(&font);
    if (forms == nullptr) {
        std::printf("  %-6s %s\n", "GSUB", FindTable(&font, "GSUB") ? "no vertical forms" : "none");
        return;
    }
    const LayoutScript script = FontCjkScript(forms);
    std::printf("  %-6s %u vertical forms (vert, %s rules)\n", "GSUB",
                unsigned(VerticalFormCount(forms, script)),
                ScriptTag(script) ? ScriptTag(script) : "default");
}

void PrintPrograms(_TTFont &font) {
    std::printf("Hinting and vertical forms:\n");
    PrintBlock("fpgm", font.FontProgram, "bytes", 1);
    PrintBlock("prep", font.PrepInstructions, "bytes", 1);
    PrintBlock("cvt", font.controlTable, "values", 2);
    // FreeType's default loading auto-hints exactly these fonts; so does
    // the faithful mode.
    std::printf("  %-6s %s\n", "auto",
                FontHasNoPrograms(&font)
                    ? "auto-hinted in the faithful mode (no programs; --no-autohint draws it scaled)"
                    : "not auto-hinted (the font's own programs, or CFF; --autohint forces it)");
    if (font.lpLookupSingle && font.lpMortHeader) {
        std::printf("  %-6s %u vertical pairs (glyphs %u to %u)\n", "mort",
                    unsigned(font.lpMortHeader->binSrchHeader.nEntries),
                    unsigned(font.uMinGlyph), unsigned(font.uMaxGlyph));
    } else {
        std::printf("  %-6s %s\n", "mort",
                    font.lpsfntTable[kSlotMort] ? "present, no usable vertical pairs" : "none");
    }
    PrintGsubForms(font);
}

// The strikes of EBLC (or bloc): sizes whose glyphs the drawing commands
// take from the font's own bitmaps.
void PrintStrikes(_TTFont *font) {
    const std::vector<StrikeSize> strikes = FontStrikes(font);
    if (strikes.empty()) {
        std::printf("Embedded bitmaps: none\n");
        return;
    }
    std::printf("Embedded bitmaps: %zu strike%s\n", strikes.size(), strikes.size() == 1 ? "" : "s");
    for (const StrikeSize &s : strikes) {
        char size[16];
        if (s.ppemX == s.ppemY)
            std::snprintf(size, sizeof size, "%u px", s.ppemY);
        else
            std::snprintf(size, sizeof size, "%ux%u px", s.ppemX, s.ppemY);
        std::printf("  %-9s %u bit%s, glyphs %u to %u%s\n", size, s.bitDepth,
                    s.bitDepth == 1 ? "" : "s", s.firstGlyph, s.lastGlyph,
                    s.bitDepth == 1 && s.ppemX == s.ppemY ? "" : " (not drawn)");
    }
}

}  // namespace
}  // namespace kelmor

int CmdInfo(int argc, char **argv) {
    using namespace kelmor;
    ArgCursor args(argc, argv);
    std::string path, error;
    bool havePath = false, coverage = false;
    int face = 0;
    while (!args.Done()) {
        std::string value;
        if (args.Flag("--help")) {
            PrintHelp();
            return 0;
        } else if (args.Flag("--coverage")) {
            coverage = true;
        } else if (FaceOption(args, &face, &error)) {
            if (!error.empty()) return Report(kCommand, error, kUsageError);
        } else if (!havePath && args.Positional(&value)) {
            path = value;
            havePath = true;
        } else {
            return Report(kCommand, "unexpected argument \"" + args.Take() +
                                        "\" (try 'kelmor info --help')", kUsageError);
        }
    }
    if (!havePath) return Report(kCommand, "which font? (usage: kelmor info FONT)", kUsageError);

    // A font the library refuses (no cmap, say) is still shown as far as it
    // can be read.
    FontObject font = OpenFontObject(path, face);
    std::string refusal;
    if (!font) {
        refusal = DiagnoseOpenFailure(path, face);
        font = InspectFontObject(path, face);
        if (!font) return Report(kCommand, refusal);
    }
    std::printf("Font: %s\n", path.c_str());
    if (font->FaceCount > 1)
        std::printf("Collection: %u faces; this is face %u (--face N shows another)\n",
                    unsigned(font->FaceCount), unsigned(font->FaceIndex));
    PrintDirectory(*font);
    PrintCmap(*font);
    if (coverage) PrintCoverage(*font);
    PrintNames(*font);
    PrintMaxp(font->leMaximumProfile);
    PrintHead(*font);
    PrintPrograms(*font);
    PrintStrikes(font.get());
    if (!refusal.empty()) return Report(kCommand, "the library cannot open it: " + refusal);
    return 0;
}
