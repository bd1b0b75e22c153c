// kelmor info FONT: what is inside a font, as the library sees it.
#include <cstdio>
#include <cstring>
#include <string>

#include "args.h"
#include "commands.h"
#include "font_facts.h"
#include "ttf/settings.h"

namespace kelmor {
namespace {

constexpr const char *kCommand = "info";

void PrintHelp() {
    std::printf(
        "usage: kelmor info FONT\n"
        "\n"
        "Opens FONT the way the library does and shows what it found there:\n"
        "  - the table directory (tag, offset, length),\n"
        "  - the cmap sub-tables (format, platform, encoding), which of them the\n"
        "    library uses, and the character set it derives from them,\n"
        "  - the name records, as the library's debug log lists them\n"
        "    (platform, encoding, language & 255, name ID, text),\n"
        "  - maxp, head's units per em and bounding box, the loca format,\n"
        "  - whether fpgm, prep, cvt and mort exist, and the vertical pairs.\n"
        "When the library cannot open FONT, one line on stderr says why.\n"
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
        bool indexed = false;
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

// What the library does with the sub-table at `table`: of each format it
// keeps the last record, and looks codes up in format 2, else format 4.
std::string CmapRole(const _TTFont &font, const uint8_t *table) {
    if (table == font.lpcmapHighByteTable) return "in use: lookup";
    if (table == font.lpcmapSeg2DeltaValues) {
        return font.lpcmapHighByteTable ? "in use: character set (format 2 is looked up)"
                                        : "in use: lookup";
    }
    if (table == font.lpcmapStandardTable) return "kept, never looked up";
    const uint32_t format = ReadBE16(table);
    if (format == 0 || format == 2 || format == 4) return "not used (a later one wins)";
    return "not used (format not read)";
}

void PrintCmap(const _TTFont &font) {
    const int32_t size = font.CmapSize;
    const uint8_t *cmap = font.CmapBuffer;
    const uint32_t count = size >= 4 ? ReadBE16(cmap + 2) : 0;
    std::printf("Character maps: %u sub-table%s\n", count, count == 1 ? "" : "s");
    std::printf("  format platform encoding     offset\n");
    for (uint32_t i = 0; i < count; ++i) {
        const int64_t at = 4 + 8 * int64_t(i);
        if (at + 8 > size) {
            std::printf("  (record %u lies beyond the cmap table)\n", i);
            break;
        }
        cmapSubTableDirectory record;  // host order since the library read it
        std::memcpy(&record, cmap + at, sizeof record);
        const bool inside = size >= 2 && record.Offset <= uint32_t(size) - 2;
        const uint8_t *table = inside ? cmap + record.Offset : nullptr;
        char format[16] = "?";
        if (table) std::snprintf(format, sizeof format, "%u", ReadBE16(table));
        std::printf("  %6s %3u %-9s %3u %10u  %s\n", format, unsigned(record.PlatformID),
                    PlatformName(record.PlatformID), unsigned(record.SpecificEncodingID),
                    unsigned(record.Offset),
                    table ? CmapRole(font, table).c_str() : "(beyond the cmap table)");
    }
    // The name code is what an installed-font entry records for this font.
    std::printf("Character set: %d (%s; \"%s\" in the ini file)\n", int(font.csFont),
                CharsetTitle(font.csFont), Charset2NameCode(font.csFont));
}

// Control bytes in a name would steer the terminal; show them as '?'.
std::string Printable(const char *text, size_t length) {
    std::string shown(text, length);
    for (char &c : shown) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) c = '?';
    }
    return shown;
}

// The records as the debug log lists them (the library counts only records
// that lie inside the table); control bytes are shown as '?'.
void PrintNames(const _TTFont &font) {
    const uint32_t count = font.lpNameTable ? font.lpNameTable->uNameRecs : 0;
    std::printf("Names: %u record%s\n", count, count == 1 ? "" : "s");
    for (uint32_t i = 0; i < count; ++i) {
        const _nameRecord &record = font.lpNameRecords[i];
        char text[512];
        NameRecordText(&font, &record, text, sizeof text);
        std::printf("%4d %4d %4d %4d %s\n", record.bePlatformID, record.bePlatformEncodingID,
                    record.beLanguageID & 255, record.beNameID,
                    Printable(text, std::strlen(text)).c_str());
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

void PrintPrograms(const _TTFont &font) {
    std::printf("Hinting and vertical forms:\n");
    PrintBlock("fpgm", font.FontProgram, "bytes", 1);
    PrintBlock("prep", font.PrepInstructions, "bytes", 1);
    PrintBlock("cvt", font.controlTable, "values", 2);
    if (font.lpLookupSingle && font.lpMortHeader) {
        std::printf("  %-6s %u vertical pairs (glyphs %u to %u)\n", "mort",
                    unsigned(font.lpMortHeader->binSrchHeader.nEntries),
                    unsigned(font.uMinGlyph), unsigned(font.uMaxGlyph));
    } else {
        std::printf("  %-6s %s\n", "mort",
                    font.lpsfntTable[kSlotMort] ? "present, no usable vertical pairs" : "none");
    }
}

}  // namespace
}  // namespace kelmor

int CmdInfo(int argc, char **argv) {
    using namespace kelmor;
    ArgCursor args(argc, argv);
    std::string path;
    bool havePath = false;
    while (!args.Done()) {
        std::string value;
        if (args.Flag("--help")) {
            PrintHelp();
            return 0;
        } else if (!havePath && args.Positional(&value)) {
            path = value;
            havePath = true;
        } else {
            return Report(kCommand, "unexpected argument \"" + args.Take() +
                                        "\" (try 'kelmor info --help')", kUsageError);
        }
    }
    if (!havePath) return Report(kCommand, "which font? (usage: kelmor info FONT)", kUsageError);

    FontObject font = OpenFontObject(path);
    if (!font) return Report(kCommand, DiagnoseOpenFailure(path));
    std::printf("Font: %s\n", path.c_str());
    PrintDirectory(*font);
    PrintCmap(*font);
    PrintNames(*font);
    PrintMaxp(font->leMaximumProfile);
    PrintHead(*font);
    PrintPrograms(*font);
    return 0;
}
