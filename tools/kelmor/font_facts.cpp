#include "font_facts.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ttf/api/tool_internals.h"

namespace kelmor {
namespace {

std::string Quoted(const std::string &path) { return "\"" + path + "\""; }

std::string SignatureProblem(const _TTFont &font) {
    const uint32_t version = FixedToULong(font.OffsetTable.version);
    switch (version) {
    case 0x00010000: case 0x74727565 /* true */: case 0x4F54544F /* OTTO */: return "";
    case 0x774F4646: return "is a WOFF file; unpack it to a .ttf first";
    case 0x774F4632: return "is a WOFF2 file; unpack it to a .ttf first";
    }
    char bytes[64];
    std::snprintf(bytes, sizeof bytes, "is not a TrueType font (it starts with %08X)",
                  unsigned(version));
    return bytes;
}

std::string HeaderProblem(const _TTFont &font) {
    if (font.FileSize == 0) return "is empty";
    if (font.FileSize < sizeof(OffsetTableStruct)) {
        return "is too short for a font (" + std::to_string(font.FileSize) + " bytes)";
    }
    std::string signature = SignatureProblem(font);
    if (!signature.empty()) return signature;
    if (ui16ToUint(font.OffsetTable.numTables) == 0) return "declares no tables";
    const uint32_t expected = std::min<uint32_t>(ui16ToUint(font.OffsetTable.numTables), kMaxTables);
    if (uint32_t(font.NumTables) < expected) {
        return "is cut off inside its table directory (" + std::to_string(font.NumTables) +
               " of " + std::to_string(expected) + " entries are there)";
    }
    return "";
}

// Missing, or reaching beyond the end of the file.
std::string PlacementProblem(const _TTFont &font, sfntSlot slot, const char *tag) {
    const TableDirectoryStruct *entry = font.lpsfntTable[slot];
    if (entry == nullptr) return std::string("has no ") + tag + " table";
    if (!TableInFile(&font, entry)) {
        return std::string("has a ") + tag + " table that lies outside the file (offset " +
               std::to_string(TableOffset(entry)) + ", length " +
               std::to_string(TableLength(entry)) + ", file " + std::to_string(font.FileSize) +
               " bytes)";
    }
    return "";
}

// The steps of opening, with the library's readers, up to the first that fails.
// Why a font without glyf cannot be drawn, or "".
std::string OutlineProblem(const _TTFont &font) {
    const char *tag = ForeignOutlineTag(&font);
    if (tag == nullptr) return "";
    if (std::strncmp(tag, "CFF", 3) == 0) {
        return std::string("keeps its outlines in a '") + tag +
               "' table (OpenType with CFF outlines), which the library cannot draw yet";
    }
    return std::string("has no glyf outlines, only embedded images ('") + tag +
           "'), which the library cannot draw yet";
}

// Why the CFF table that holds the outlines cannot be read, or "".
std::string CffTableProblem(_TTFont *pF) {
    if (OpenCffOutlines(pF)) {
        CloseCffOutlines(pF);
        return "";
    }
    const char *why = CffProblem(nullptr);
    return std::string("keeps its outlines in a CFF table the library cannot read: ") +
           (why != nullptr ? why : "out of memory");
}

std::string TableProblem(_TTFont *pF) {
    std::string problem = OutlineProblem(*pF);
    if (problem.empty()) problem = CffTableProblem(pF);
    if (!problem.empty()) return problem;
    problem = PlacementProblem(*pF, kSlotHead, "head");
    if (problem.empty() && GetheadHeader(pF, pF->lpsfntTable[kSlotHead]) == 0)
        problem = "has a head table that cannot be read";
    if (!problem.empty()) return problem;
    GetHorizontalHeader(pF, pF->lpsfntTable[kSlotHhea]);

    problem = PlacementProblem(*pF, kSlotMaxp, "maxp");
    if (problem.empty() && GetmaxpHeader(pF, pF->lpsfntTable[kSlotMaxp]) == 0)
        problem = "has a maxp table that cannot be read";
    if (!problem.empty()) return problem;

    problem = PlacementProblem(*pF, kSlotName, "name");
    if (!problem.empty()) return problem;
    const int32_t names = GetName(pF, pF->lpsfntTable[kSlotName]);
    if (names < 0) return "has a name table that cannot be read (out of memory?)";
    if (names == 0) return "has no name records";

    problem = PlacementProblem(*pF, kSlotCmap, "cmap");
    if (!problem.empty()) return problem;
    const int32_t maps = GetCmap(pF, pF->lpsfntTable[kSlotCmap]);
    if (maps < 0) return "has a cmap table that cannot be read (out of memory?)";
    if (maps == 0) return "has a cmap table without sub-tables";
    return "";
}

std::string TooMany(const char *what, long count, long limit) {
    return "needs " + std::to_string(count) + " " + what + "; at most " +
           std::to_string(limit) + " are supported";
}

// What the interpreter refuses to make room for, in a font opened as the
// tool opens fonts (past the classic limits: instruction definitions are
// served and glyphs may be large).
std::string InterpreterProblem(const leMaxpHeader &m) {
    if (m.maxZones > 2) return TooMany("zones", m.maxZones, 2);
    const long points = std::max(m.maxPoints, m.maxComponentPoints);
    if (points > kMaxZonePointsBeyondLimits)
        return TooMany("points in a glyph zone", points, kMaxZonePointsBeyondLimits);
    if (m.maxTwilightPoints > kMaxZonePointsBeyondLimits)
        return TooMany("twilight points", m.maxTwilightPoints, kMaxZonePointsBeyondLimits);
    const long contours = std::max(m.maxContours, m.maxComponentContours);
    if (contours > kMaxContours) return TooMany("contours", contours, kMaxContours);
    if (m.maxStorage > kMaxStorage) return TooMany("storage entries", m.maxStorage, kMaxStorage);
    if (m.maxFunctionDefs > kMaxFunctionDefs)
        return TooMany("function definitions", m.maxFunctionDefs, kMaxFunctionDefs);
    if (m.maxStackElements > kMaxStack)
        return TooMany("stack entries", m.maxStackElements, kMaxStack);
    return "";
}

std::string FileProblem(const std::string &path) {
    struct stat status;
    if (stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return "is a directory";
    return "";
}

}  // namespace

FontObject OpenFontObject(const std::string &path, int face) {
    return FontObject(face < 0 ? nullptr : OpenTTFFace(path.c_str(), uint32_t(face), true));
}

namespace {

// Why the collection header names no such face, or "".
std::string FaceProblem(const _TTFont &font, int face) {
    if (font.FaceCount == 0) return "has a collection header that does not hold together";
    if (face < 0 || uint32_t(face) >= font.FaceCount) {
        return "has " + std::to_string(font.FaceCount) + " face" +
               (font.FaceCount == 1 ? "" : "s") + "; there is no face " + std::to_string(face);
    }
    return "";
}

// A font object for the steps of opening, its header read for `face`.
FontObject ScratchFontObject(int face, FILE *file) {
    FontObject scratch(NewTTFont(file));
    if (!scratch) return scratch;
    scratch->FaceIndex = face < 0 ? 0 : uint32_t(face);
    InitsfntTables();
    ListTables(scratch.get(), ReadTTFHeaders(scratch.get()));
    return scratch;
}

}  // namespace

std::string DiagnoseOpenFailure(const std::string &path, int face) {
    const std::string font = Quoted(path);
    std::string problem = FileProblem(path);
    if (!problem.empty()) return font + " " + problem;
    FILE *file = OpenTTFFile(path.c_str());
    if (file == nullptr) return "cannot open " + font + ": " + std::strerror(errno);
    FontObject scratch = ScratchFontObject(face, file);
    if (!scratch) return "cannot open " + font + ": out of memory";

    problem = FaceProblem(*scratch, face);
    if (problem.empty()) problem = HeaderProblem(*scratch);
    if (problem.empty()) problem = TableProblem(scratch.get());
    if (problem.empty()) problem = InterpreterProblem(scratch->leMaximumProfile);
    if (problem.empty()) return "the library could not open " + font + " (out of memory?)";
    return font + " " + problem;
}

FontObject InspectFontObject(const std::string &path, int face) {
    FILE *file = OpenTTFFile(path.c_str());
    if (file == nullptr) return nullptr;
    FontObject font = ScratchFontObject(face, file);
    if (!font) return font;
    _TTFont *pF = font.get();
    if (!FaceProblem(*pF, face).empty() || !HeaderProblem(*pF).empty()) return nullptr;
    GetheadHeader(pF, pF->lpsfntTable[kSlotHead]);
    GetHorizontalHeader(pF, pF->lpsfntTable[kSlotHhea]);
    GetmaxpHeader(pF, pF->lpsfntTable[kSlotMaxp]);
    GetName(pF, pF->lpsfntTable[kSlotName]);
    GetCmap(pF, pF->lpsfntTable[kSlotCmap]);
    Getmort(pF, pF->lpsfntTable[kSlotMort]);
    pF->LocaLength = pF->FontHeader.indexToLocFormat.BE == 0 ? 2 : 4;
    return font;
}

FontBox FontBoxAt(const _TTFont &font, int points, int dpi) {
    PixelBox box;
    if (!SizedFontBox(&font, points, dpi, &box)) return FontBox{0, 0};
    return FontBox{long(box.xMaxMult) - box.xMinMult + 1, long(box.yMaxMult) - box.yMinMult + 1};
}

std::string DiagnoseSizeFailure(const _TTFont &font, int points, int dpi) {
    if (font.UnitsPerEm <= 0) return "the font's head table gives 0 units per em";
    if (long(points) * dpi > kMaxSizeTimesDpi) {
        return "size times resolution is above " + std::to_string(kMaxSizeTimesDpi);
    }
    const FontBox box = FontBoxAt(font, points, dpi);
    const long rows = box.rows, columns = box.columns;
    if (rows <= 0 || columns <= 0) return "the font's bounding box is empty or upside down";
    if (rows > kMaxBoxRows) {
        return "the font box would be " + std::to_string(rows) +
               " pixel rows tall; at most " + std::to_string(kMaxBoxRows) +
               " fit (choose a smaller --size or --dpi)";
    }
    if (columns > kMaxBitmapPixels) {
        return "the font box would be " + std::to_string(columns) +
               " pixels wide; at most " + std::to_string(kMaxBitmapPixels) + " fit";
    }
    return "";
}

const char *CharsetTitle(int charset) {
    switch (charset) {
    case csSingleByte: return "single-byte or other";
    case csShiftJIS: return "Shift-JIS";
    case csGB2312: return "GB 2312";
    case csBig5: return "Big5";
    case csWansung: return "Wansung";
    case csGBK: return "GBK";
    case csUnicode: return "Unicode";
    case csGlyphNumber: return "glyph numbers";
    }
    return "unknown";
}

std::string NoConcordanceMessage(int charset) {
    const std::string ini = szIniFile[0] != '\0' ? std::string(szIniFile) : "(none found)";
    return std::string("no ") + CharsetTitle(charset) +
           " concordance could be loaded: the ini file " + ini +
           " must list one under \"Code Space Concordances\" (see 'kelmor cob --help')";
}

}  // namespace kelmor

