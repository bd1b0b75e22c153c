// The faithful mode's interpreter against FreeType's (v35): synthetic glyphs
// at 32 ppem with 2048 units per em, where one font unit is exactly 1/64
// pixel, so that scaling adds nothing of its own.  One program per
// instruction family and flag combination; the hinted points and on-curve
// flags the faithful mode leaves must equal FreeType's hinted outline
// exactly.  FreeType serves as a reference only: the same font file is
// loaded by both.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <cstdio>
#include <string>
#include <vector>

#include "font_builder.h"
#include "test_paths.h"
#include "ttasm.h"
#include "ttf/font/ttf.h"
#include "ttf/hint/instruct.h"

using namespace kelmor;
using namespace kelmor_test;

namespace {

constexpr int kPpem = 32;
constexpr uint16_t kUnitsPerEm = 2048;

// Four contours, 20 points, off the pixel grid and on both sides of the
// origin: contour 0 is points 0-7, 1 is 8-11, 2 is 12-16, 3 is 17-19.
std::vector<Contour> Outline() {
    return {
        {{-150, -77}, {213, -41, false}, {590, 35}, {655, 402, false}, {601, 777},
         {330, 905, false}, {47, 810}, {-98, 395, false}},
        {{1000, 203}, {1517, 219}, {1488, 1301}, {1013, 1287}},
        {{301, 1405}, {611, 1460, false}, {905, 1533}, {777, 1712}, {410, 1880}},
        {{1600, -300}, {1900, -250}, {1750, 100}},
    };
}
constexpr int kPoints = 20;

// Functions every case may call: 0 rounds the point it is given, 1 shifts
// it by 10, 2 counts its calls in storage 0, 3 calls 1 for a point and
// rounds it through 0.
const char *const kFontProgram =
    "PUSHB 0 FDEF MDAP[1] ENDF "
    "PUSHB 1 FDEF PUSHB 10 SHPIX ENDF "
    "PUSHB 2 FDEF PUSHB 0 0 RS PUSHB 1 ADD WS ENDF "
    "PUSHB 3 FDEF DUP PUSHB 1 CALL PUSHB 0 CALL ENDF";

const std::vector<int16_t> kCvt = {0, 70, 130, -90, 600, 1300, 33, 1000, -1000, 655};

struct Case {
    const char *name;
    const char *glyph;     // the glyph's program
    const char *prep = "";  // the control-value program
};

std::string FontFile(const Case &c, const std::string &tag) {
    FontBuilder b;
    b.UnitsPerEm(kUnitsPerEm)
        .Cvt(kCvt)
        .Fpgm(Assemble(kFontProgram))
        .Maxp(&MaxpValues::maxTwilightPoints, 8)
        .Maxp(&MaxpValues::maxStorage, 16)
        .Maxp(&MaxpValues::maxFunctionDefs, 8)
        .Maxp(&MaxpValues::maxStackElements, 64)
        .Maxp(&MaxpValues::maxZones, 2)
        .AddGlyph(Glyph::Simple(Outline(), Assemble(c.glyph)));
    if (*c.prep) b.Prep(Assemble(c.prep));
    return b.WriteTo(ScratchDir("interp_diff_" + tag) + "/font.ttf");
}

struct Outcome {
    bool ok = false;
    std::vector<FT_Vector> points;
    std::vector<int> onCurve;
};

Outcome FreeTypeOutcome(const std::string &path) {
    Outcome out;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return out;
    FT_UInt version = TT_INTERPRETER_VERSION_35;
    FT_Property_Set(library, "truetype", "interpreter-version", &version);
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) == 0 &&
        FT_Set_Char_Size(face, 0, kPpem * 64, 72, 72) == 0 &&
        FT_Load_Glyph(face, 1, FT_LOAD_TARGET_MONO | FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT) ==
            0) {
        const FT_Outline &o = face->glyph->outline;
        for (int i = 0; i < o.n_points; ++i) {
            out.points.push_back(o.points[i]);
            out.onCurve.push_back(o.tags[i] & 1);
        }
        out.ok = true;
    }
    if (face != nullptr) FT_Done_Face(face);
    FT_Done_FreeType(library);
    return out;
}

Outcome OurOutcome(const std::string &path, int32_t options) {
    Outcome out;
    _TTFont *pF = OpenTTF(path.c_str());
    if (pF == nullptr) return out;
    ChangeRenderOptions(pF, options);  // runs the font program as the mode runs it
    if (InitBuffers(pF, kPpem, 72) == 0) {
        pF->csDesired = csGlyphNumber;
        TTF2BitMap(pF, &pF->G, 1);
        for (int i = 0; i < kPoints; ++i) {
            const TTFCoord &p = pF->G.Zone1[i];
            out.points.push_back({p.Cur.x, p.Cur.y});
            out.onCurve.push_back(p.Flags & kOnCurve);
        }
        out.ok = true;
    }
    CloseTTF(pF);
    return out;
}

// Why two outcomes differ, or empty.
std::string Differences(const Outcome &ours, const Outcome &reference) {
    if (!ours.ok || !reference.ok) return ours.ok ? "FreeType failed" : "ours failed";
    if (ours.points.size() != reference.points.size()) return "point counts differ";
    std::string why;
    for (size_t i = 0; i < ours.points.size(); ++i) {
        const FT_Vector &a = ours.points[i], &b = reference.points[i];
        if (a.x != b.x || a.y != b.y || ours.onCurve[i] != reference.onCurve[i]) {
            char line[160];
            std::snprintf(line, sizeof line, " point %zu: ours (%ld, %ld)%s FreeType (%ld, %ld)%s;",
                          i, long(a.x), long(a.y), ours.onCurve[i] ? "" : " off", long(b.x),
                          long(b.y), reference.onCurve[i] ? "" : " off");
            why += line;
        }
    }
    return why;
}

// Where an outcome departs from the reference, point by point: "3:-64,128"
// for a point at another position, with "*" when its on-curve flag differs
// too; empty when they agree.
std::string Departures(const Outcome &ours, const Outcome &reference) {
    if (!ours.ok || !reference.ok || ours.points.size() != reference.points.size())
        return "failed";
    std::string out;
    for (size_t i = 0; i < ours.points.size(); ++i) {
        const FT_Vector &a = ours.points[i], &b = reference.points[i];
        const bool flag = ours.onCurve[i] != reference.onCurve[i];
        if (a.x == b.x && a.y == b.y && !flag) continue;
        char item[64];
        std::snprintf(item, sizeof item, "%s%zu:%ld,%ld%s", out.empty() ? "" : " ", i, long(a.x),
                      long(a.y), flag ? "*" : "");
        out += item;
    }
    return out;
}

// Rounding: MDAP[1] of points on both sides of the origin, in x and y.
#define ROUND_POINTS                                                                            \
    " SVTCA[1] PUSHB 0 MDAP[1] PUSHB 1 MDAP[1] PUSHB 2 MDAP[1] PUSHB 7 MDAP[1] PUSHB 17 MDAP[1]" \
    " SVTCA[0] PUSHB 0 MDAP[1] PUSHB 1 MDAP[1] PUSHB 5 MDAP[1] PUSHB 17 MDAP[1] PUSHB 18 MDAP[1]"

const Case kCases[] = {
    // ------------------------------------------------------------ rounding
    {"round to grid", "RTG" ROUND_POINTS},
    {"round to half grid", "RTHG" ROUND_POINTS},
    {"round to double grid", "RTDG" ROUND_POINTS},
    {"round down to grid", "RDTG" ROUND_POINTS},
    {"round up to grid", "RUTG" ROUND_POINTS},
    {"round off", "ROFF" ROUND_POINTS},
    {"super round 0x48", "PUSHB 72 SROUND" ROUND_POINTS},
    {"super round 0x59", "PUSHB 89 SROUND" ROUND_POINTS},
    {"super round 0x01", "PUSHB 1 SROUND" ROUND_POINTS},
    {"super round 0x30", "PUSHB 48 SROUND" ROUND_POINTS},
    {"super round 0x8F", "PUSHB 143 SROUND" ROUND_POINTS},
    {"super round period code 3", "PUSHB 200 SROUND" ROUND_POINTS},
    {"super round 45 0x48", "PUSHB 72 S45ROUND" ROUND_POINTS},
    {"super round 45 0x5A", "PUSHB 90 S45ROUND" ROUND_POINTS},
    {"super round 45 0x08", "PUSHB 8 S45ROUND" ROUND_POINTS},
    {"ROUND and values",
     "SVTCA[1] PUSHB 3 PUSHW -96 ROUND[00] SHPIX  PUSHB 4 PUSHW -32 ROUND[01] SHPIX"
     " RTHG PUSHB 5 PUSHW -100 ROUND[10] SHPIX  RDTG PUSHB 6 PUSHW -1 ROUND[11] SHPIX"
     " RUTG PUSHB 8 PUSHW -65 ROUND[00] SHPIX  PUSHB 9 PUSHB 50 NROUND[00] SHPIX"},

    // ---------------------------------------------------- arithmetic, logic
    {"MUL rounds",
     "SVTCA[1] PUSHB 2 PUSHW -100 PUSHB 97 MUL SHPIX  PUSHB 3 PUSHB 7 PUSHB 9 MUL SHPIX"
     " PUSHB 4 PUSHW -7 PUSHB 9 MUL SHPIX  PUSHB 5 PUSHB 100 PUSHB 97 MUL SHPIX"},
    {"DIV truncates", "SVTCA[1] PUSHB 2 PUSHW -100 PUSHB 7 DIV SHPIX  PUSHB 3 PUSHB 1 3 DIV SHPIX"},
    {"ODD and EVEN after rounding",
     "SVTCA[1] PUSHB 2 PUSHB 96 ODD SHPIX  PUSHB 3 PUSHB 96 EVEN SHPIX  RTHG"
     " PUSHB 4 PUSHB 96 ODD SHPIX  PUSHB 5 PUSHB 96 EVEN SHPIX  PUSHB 6 PUSHB 100 EVEN SHPIX"
     " ROFF PUSHB 8 PUSHB 64 ODD SHPIX  PUSHB 9 PUSHW -64 ODD SHPIX  PUSHB 10 PUSHB 128 EVEN SHPIX"},
    {"GETINFO, MPPEM, MPS",
     "SVTCA[1] PUSHB 2 PUSHB 1 GETINFO SHPIX  PUSHB 3 PUSHB 6 GETINFO SHPIX"
     " PUSHB 4 PUSHB 33 GETINFO SHPIX  PUSHB 5 MPPEM SHPIX  PUSHB 6 $4C SHPIX"},
    {"stack and comparison",
     "SVTCA[1] PUSHB 2 PUSHB 3 5 LT SHPIX  PUSHB 3 PUSHB 1 2 3 ROLL ADD SUB SHPIX"
     " PUSHB 4 PUSHB 9 8 7 3 MINDEX SHPIX POP POP  PUSHB 5 PUSHW -70 ABS FLOOR SHPIX"
     " PUSHB 6 PUSHB 70 CEILING NEG SHPIX  PUSHB 8 PUSHB 3 9 MAX PUSHB 4 MIN SHPIX"},
    {"CINDEX out of range copies 0",
     "SVTCA[1] PUSHB 2 PUSHB 40 9 CINDEX ADD SHPIX"},
    {"IF, ELSE, JMPR",
     "SVTCA[1] PUSHB 0 IF PUSHB 2 10 SHPIX ELSE PUSHB 1 IF PUSHB 3 20 SHPIX ELSE"
     " PUSHB 4 30 SHPIX EIF EIF  PUSHB 3 JMPR PUSHB 5 PUSHB 6 40 SHPIX"},
    {"JROT with a negative offset loops",
     "SVTCA[1] PUSHB 5  PUSHB 2 7 SHPIX  PUSHB 1 SUB DUP  PUSHW -12 SWAP JROT  POP"},
    {"JROF with a negative offset loops",
     "SVTCA[1] PUSHB 0  PUSHB 2 7 SHPIX  PUSHB 1 ADD DUP PUSHB 4 EQ  PUSHW -15 SWAP JROF  POP"},
    {"storage and control values",
     "SVTCA[1] PUSHB 3 77 WS PUSHB 2 PUSHB 3 RS SHPIX  PUSHB 1 PUSHW -300 WCVTP"
     " PUSHB 3 PUSHB 1 RCVT SHPIX  PUSHB 2 PUSHW 123 WCVTF PUSHB 4 PUSHB 2 RCVT SHPIX"},
    {"functions", "SVTCA[1] PUSHB 2 0 CALL  PUSHB 4 3 CALL  PUSHB 5 2 LOOPCALL"
                  " PUSHB 6 PUSHB 0 RS SHPIX  SVTCA[0] PUSHB 9 1 CALL"},

    // ------------------------------------------------------ graphics state
    {"vectors to lines",
     "PUSHB 0 2 SPVTL[0] PUSHB 4 GPV ADD SHPIX  PUSHB 8 10 SPVTL[1] GPV"
     " PUSHB 6 SWAP SHPIX PUSHB 9 SWAP SHPIX  PUSHB 12 14 SFVTL[1] GFV"
     " PUSHB 13 SWAP SHPIX PUSHB 15 SWAP SHPIX"},
    {"vector from the stack, normalised",
     "PUSHW 1000 16353 SPVFS GPV SVTCA[1] PUSHB 2 SWAP SHPIX PUSHB 3 SWAP SHPIX"
     " PUSHW 3 4 SFVFS GFV PUSHB 4 SWAP SHPIX PUSHB 5 SWAP SHPIX"
     " PUSHW -200 100 SPVFS GPV PUSHB 6 SWAP SHPIX PUSHB 8 SWAP SHPIX"},
    {"coincident points give the x axis",
     "PUSHB 3 3 SPVTL[1] GPV PUSHB 2 SWAP SHPIX PUSHB 4 SWAP SHPIX"},
    {"small f.p taken as 1", "PUSHW 1000 16353 SPVFS SFVTCA[1] PUSHB 6 20 SCFS"
                            "  PUSHB 4 PUSHW -300 SCFS"},
    {"moves along a diagonal freedom vector",
     "SVTCA[0] PUSHB 3 17 SFVTL[0] PUSHB 2 MDAP[1] PUSHB 4 PUSHW 131 SCFS PUSHB 6 MDRP[11100]"
     " PUSHB 9 PUSHW -150 SHPIX  SFVTPV PUSHB 10 MDAP[1]"},
    {"diagonal projection",
     "PUSHB 0 9 SPVTL[0] SFVTCA[1] PUSHB 0 MDAP[1] PUSHB 2 MDRP[11110] PUSHB 4 MDRP[10101]"
     " PUSHB 5 4 MIRP[10100] PUSHB 12 MDAP[1] IUP[1]"},
    {"dual projection vector",
     "SVTCA[1] PUSHB 2 40 SHPIX PUSHB 8 PUSHW -30 SHPIX PUSHB 2 8 SDPVTL[0] SFVTCA[1]"
     " PUSHB 2 MDAP[0] PUSHB 9 MDRP[00100] PUSHB 10 MDRP[01101] PUSHB 5 3 MIRP[00100]"
     " PUSHB 3 12 MD[1] PUSHB 4 SWAP SHPIX PUSHB 6 GC[1] PUSHB 7 SWAP SHPIX"},
    {"dual projection perpendicular",
     "SVTCA[0] PUSHB 0 30 SHPIX PUSHB 0 12 SDPVTL[1] SFVTCA[0] PUSHB 0 MDAP[0]"
     " PUSHB 12 MDRP[01100] PUSHB 1 IP PUSHB 3 5 6 3 SLOOP IP IUP[0] IUP[1]"},
    {"zone pointers that are not zones change nothing",
     "PUSHB 7 SZP0 SVTCA[1] PUSHB 3 MDAP[1] PUSHB 5 SZPS PUSHB 4 MDAP[1]"},
    {"SLOOP, SDB, SDS, SMD, SCVTCI, SSWCI, SSW",
     "SVTCA[1] PUSHB 70 SMD PUSHB 2 MDAP[0] PUSHB 3 MDRP[01100]"
     " PUSHB 0 SCVTCI PUSHB 4 1 MIRP[00100] PUSHB 100 SCVTCI PUSHB 5 2 MIRP[10100]"
     " PUSHB 40 SSWCI PUSHB 64 SSW PUSHB 6 MDRP[00100] PUSHB 8 6 MIRP[00100]"},

    // ---------------------------------------------------- direct moves
    {"MDAP and MIAP", "SVTCA[1] PUSHB 2 MDAP[0] PUSHB 3 MDAP[1] PUSHB 9 1 MIAP[1]"
                      " PUSHB 10 4 MIAP[0] PUSHB 17 3 MIAP[1] PUSHB 18 8 MIAP[1]"
                      " SVTCA[0] PUSHB 4 9 MIAP[1] PUSHB 5 4 MIAP[1] PUSHB 19 2 MIAP[0]"},
    {"MIAP cut-in measured from the current position",
     "SVTCA[0] PUSHB 4 100 SHPIX PUSHB 4 9 MIAP[1] PUSHB 200 SCVTCI PUSHB 6 4 MIAP[1]"
     " FLIPOFF PUSHB 0 3 MIAP[1] FLIPON PUSHB 1 3 MIAP[1]"},
    {"MIAP in the twilight zone", "SVTCA[0] PUSHB 0 SZP0 PUSHB 2 4 MIAP[1] PUSHB 3 9 MIAP[0]"
                                  " PUSHB 2 SRP0 PUSHB 4 MDRP[11100]"
                                  " PUSHB 3 SRP0 PUSHB 6 MDRP[00000]"},
    {"MSIRP sets rp1 and rp2",
     "SVTCA[1] PUSHB 2 MDAP[1] PUSHB 4 PUSHW 200 MSIRP[0] PUSHB 6 PUSHW -150 MSIRP[1]"
     " PUSHB 3 IP PUSHB 5 SHP[0] PUSHB 7 SHP[1] IUP[1]"},
    {"MSIRP in the twilight zone",
     "SVTCA[0] PUSHB 4 MDAP[1] PUSHB 0 SZP1 PUSHB 1 PUSHW 300 MSIRP[1]"
     " PUSHB 1 SZP1 PUSHB 0 SZP0 PUSHB 5 MDRP[00100]"},
    {"MDRP's reference points", "SVTCA[1] PUSHB 2 MDAP[1] PUSHB 4 MDRP[10000] PUSHB 6 MDRP[00000]"
                                " PUSHB 3 SHP[1] PUSHB 5 SHP[0] PUSHB 8 MDRP[00100] PUSHB 9 SHP[1]"},
    {"SCFS, also in the twilight zone",
     "SVTCA[0] PUSHB 3 PUSHW -40 SCFS PUSHB 0 SZP2 PUSHB 2 PUSHW 500 SCFS"
     " PUSHB 1 SZP2 PUSHB 0 SZP0 PUSHB 2 SRP0 PUSHB 5 MDRP[00100] IUP[0]"},

    // -------------------------------------------------------------- shifts
    {"SHP after a move is touched",
     "SVTCA[1] PUSHB 2 MDAP[1] PUSHB 3 4 5 3 SLOOP SHP[1] PUSHB 0 MDAP[1] IUP[1]"},
    {"SHP by rp2", "SVTCA[0] PUSHB 9 MDAP[1] PUSHB 9 SRP2 PUSHB 10 11 2 SLOOP SHP[0] IUP[0]"},
    {"SHC by rp1", "SVTCA[0] PUSHB 2 MDAP[1] PUSHB 1 SHC[1] PUSHB 0 SHC[1] IUP[0]"},
    {"SHC by rp2 and the reference's contour",
     "SVTCA[1] PUSHB 13 MDAP[1] PUSHB 13 SRP2 PUSHB 2 SHC[0] PUSHB 3 SHC[0] IUP[1]"},
    {"SHZ does not touch", "SVTCA[1] PUSHB 9 MDAP[1] PUSHB 1 SHZ[1] PUSHB 9 SRP2 PUSHB 1 SHZ[0]"
                           " PUSHB 14 MDAP[1] IUP[1]"},
    {"SHZ shifts zp2", "SVTCA[0] PUSHB 3 MDAP[1] PUSHB 0 SHZ[1] IUP[0]"},
    {"SHPIX along a diagonal", "PUSHB 0 18 SFVTL[1] PUSHB 2 5 PUSHB 2 SLOOP PUSHW 100 SHPIX"
                               " PUSHB 7 PUSHW -77 SHPIX IUP[0] IUP[1]"},

    // -------------------------------------------- interpolation, alignment
    {"IP", "SVTCA[1] PUSHB 0 MDAP[1] PUSHB 2 MDRP[01101] PUSHB 0 SRP1 PUSHB 2 SRP2"
           " PUSHB 1 3 7 3 SLOOP IP"},
    {"IP without truncation",
     "SVTCA[0] PUSHB 17 MDAP[1] PUSHB 19 MDRP[11100] PUSHB 18 IP PUSHB 0 1 2 3 4 5 5 SLOOP IP"},
    {"IP with a zero original range",
     "SVTCA[0] PUSHB 8 MDAP[1] PUSHB 8 SRP1 PUSHB 8 SRP2 PUSHB 9 10 11 3 SLOOP IP"
     " SVTCA[1] PUSHB 0 0 ALIGNRP"},
    {"IP in the twilight zone",
     "SVTCA[1] PUSHB 0 SZP0 PUSHB 0 4 MIAP[1] PUSHB 1 5 MIAP[1] PUSHB 0 SRP1 PUSHB 1 SRP2"
     " PUSHB 0 SZP1 PUSHB 3 12 2 SLOOP IP"},
    {"ALIGNRP", "SVTCA[0] PUSHB 4 MDAP[1] PUSHB 5 6 7 3 SLOOP ALIGNRP SVTCA[1] PUSHB 9 MDAP[1]"
                " PUSHB 10 ALIGNRP"},
    {"ALIGNPTS", "SVTCA[1] PUSHB 2 9 ALIGNPTS PUSHB 3 11 ALIGNPTS SVTCA[0] PUSHB 13 15 ALIGNPTS"},
    {"ISECT", "PUSHB 6 8 11 9 10 ISECT PUSHB 7 0 2 17 19 ISECT PUSHB 5 8 9 3 4 ISECT"},
    {"ISECT of nearly parallel lines", "PUSHB 7 8 9 0 2 ISECT"},
    {"ISECT in the zones", "PUSHB 0 SZP0 PUSHB 0 4 MIAP[0] PUSHB 1 5 MIAP[0]"
                           " SVTCA[0] PUSHB 0 7 MIAP[0] SVTCA[1] PUSHB 6 6 ALIGNRP"
                           " PUSHB 15 8 10 0 1 ISECT"},

    // ------------------------------------------------------------------ IUP
    {"IUP with only the first point touched (mend 1)", "SVTCA[1] PUSHB 12 MDAP[1] IUP[1]"},
    {"IUP with only the first point touched in y", "SVTCA[0] PUSHB 0 200 SHPIX IUP[0]"},
    {"IUP with only the last point touched", "SVTCA[1] PUSHB 16 MDAP[1] IUP[1]"},
    {"IUP between touched points",
     "SVTCA[0] PUSHB 0 MDAP[1] PUSHB 4 MDRP[11100] PUSHB 6 MDRP[10110] IUP[0]"
     " SVTCA[1] PUSHB 2 MDAP[1] PUSHB 6 MDRP[01100] IUP[1]"},
    {"IUP where the touched points cross",
     "SVTCA[1] PUSHB 8 PUSHW 700 SHPIX PUSHB 9 PUSHW -600 SHPIX IUP[1]"},
    {"IUP with coincident references", "SVTCA[0] PUSHB 0 MDAP[1] PUSHB 4 ALIGNRP IUP[0]"},
    {"IUP along the axis after a diagonal move",
     "PUSHB 0 9 SDPVTL[0] SFVTCA[0] PUSHB 0 MDAP[1] PUSHB 4 MDRP[01101] IUP[0] IUP[1]"},
    {"UTP before IUP", "SVTCA[1] PUSHB 0 MDAP[1] PUSHB 3 MDAP[1] PUSHB 3 UTP IUP[1]"},

    // --------------------------------------------------------------- DELTA
    {"DELTAP1", "SVTCA[1] PUSHB 20 SDB PUSHB 207 3 200 4 2 DELTAP1 IUP[1]"},
    {"DELTAP2 and its band", "SVTCA[0] PUSHB 120 9 112 10 2 DELTAP2 PUSHB 3 SDS"
                             " PUSHB 127 2 1 DELTAP2 IUP[0]"},
    {"DELTAP3 and its band",
     "SVTCA[1] PUSHB 0 SDB PUSHB 8 13 15 14 2 DELTAP3 PUSHB 16 SDB PUSHB 7 12 1 DELTAP3"
     " PUSHB 16 SDB PUSHB 248 15 1 DELTAP2 IUP[1]"},
    {"DELTA divisor for every shift",
     "SVTCA[1] PUSHB 20 SDB PUSHB 0 SDS PUSHB 207 2 1 DELTAP1 PUSHB 1 SDS PUSHB 200 3 1 DELTAP1"
     " PUSHB 2 SDS PUSHB 201 4 1 DELTAP1 PUSHB 4 SDS PUSHB 206 5 1 DELTAP1"
     " PUSHB 5 SDS PUSHB 195 6 1 DELTAP1 PUSHB 6 SDS PUSHB 207 8 1 DELTAP1"},
    {"DELTAC", "SVTCA[1] PUSHB 20 SDB PUSHB 207 1 200 2 2 DELTAC1 PUSHB 2 1 MIAP[0]"
               " PUSHB 3 2 MIAP[0] PUSHB 0 SDB PUSHB 15 4 1 DELTAC3 PUSHB 4 4 MIAP[0]"},

    // ------------------------------------------------ flags and control
    {"FLIPPT, FLIPRGON, FLIPRGOFF",
     "PUSHB 0 1 2 3 SLOOP FLIPPT PUSHB 8 10 FLIPRGOFF PUSHB 12 16 FLIPRGON"
     " PUSHB 3 40 FLIPRGON"},
    {"the control-value program's state carries",
     "SVTCA[1] PUSHB 2 MDAP[0] PUSHB 3 MDRP[01100] PUSHB 4 2 MIRP[00100] PUSHB 5 MDAP[1]"
     " PUSHB 201 5 1 DELTAP1 PUSHB 6 PUSHB 1 RS SHPIX",
     "PUSHB 100 SMD PUSHB 10 SCVTCI PUSHB 20 SDB PUSHB 1 SDS RTHG PUSHB 1 33 WS SVTCA[0]"
     " FLIPOFF"},
    {"INSTCTRL 1 in the control-value program stops glyph programs",
     "SVTCA[1] PUSHB 2 MDAP[1]", "PUSHB 1 1 INSTCTRL PUSHB 7 DUP POP POP"},
    {"INSTCTRL ends nothing", "SVTCA[1] PUSHB 2 MDAP[1] PUSHB 0 3 INSTCTRL PUSHB 3 MDAP[1]",
     "PUSHB 0 1 INSTCTRL PUSHB 80 SMD"},
    {"a fatal error ends the program", "SVTCA[1] PUSHB 2 MDAP[1] PUSHB 1 0 DIV PUSHB 3 MDAP[1]"},
    {"an unknown opcode ends the program", "SVTCA[1] PUSHB 2 MDAP[1] $28 PUSHB 3 MDAP[1]"},
    {"a call of an undefined function ends the program",
     "SVTCA[1] PUSHB 2 MDAP[1] PUSHB 7 CALL PUSHB 3 MDAP[1]"},
    {"missing operands read as zeros", "SVTCA[1] PUSHB 4 CLEAR MDAP[1] PUSHB 0 SRP0 PUSHB 5"
                                       " CLEAR PUSHB 6 MIRP[00100]"},
};

// The classic mode (the library's own rules, its default) on the same
// cases: where its points depart from FreeType's, case by case in the
// order above ("" where it agrees).  What the faithful mode changes is
// exactly these departures; that they stay as they are keeps the default
// rendering the classic one.
const char *const kClassicDepartures[] = {
    "",
    "",
    "",
    "0:-192,-128 1:192,-64 7:-128,395 17:1600,-320 18:1900,-256",
    "0:-128,-64 1:256,0 7:-64,395 17:1600,-256 18:1900,-192",
    "",
    "",
    "0:-112,-48 1:208,-48 7:-112,395 17:1616,-304 18:1900,-240",
    "0:-192,-96 1:192,-64 7:-128,395 17:1568,-320 18:1900,-288",
    "0:-136,-72 1:216,-40 7:-72,395 17:1624,-296 18:1900,-232",
    "0:0,0 1:384,-64 7:0,395 17:1664,-128 18:1900,-128",
    "0:-256,0 1:256,0 2:512,35 5:330,1024 7:0,395 17:1536,-256",
    "0:-158,-67 1:203,-45 2:588,35 5:330,904 17:1606,-294 18:1900,-248",
    "0:-152,-62 1:209,-39 2:593,35 5:330,910 7:-84,395 17:1611,-288 18:1900,-243",
    "0:-147,-79 1:214,-45 2:588,35 5:330,904 7:-101,395 17:1594,-294 18:1900,-248",
    "3:591,402 4:601,777 6:-17,810 8:936,203",
    "2:439,35 3:655,402 4:601,777 5:481,905",
    "",
    "4:602,777",
    "2:591,35 4:602,777 6:47,810",
    "",
    "2:590,35",
    "",
    "2:597,35",
    "2:597,35",
    "",
    "",
    "6:6701,810 9:-13454,219 13:-2711,17139 15:1480,-1610",
    "4:601,777 5:330,905 6:47,810 8:1000,203",
    "4:601,777",
    "",
    "2:552,63 4:1470,132 6:19,830",
    "2:580,35 3:633,402 4:579,777 5:296,905 6:15,810 12:272,1405 13:582,1460 14:876,1533 15:748,1712 16:381,1880",
    "4:955,777 5:342,905 7:-448,395 9:1523,219 10:1494,1301",
    "1:199,-37 2:576,39 3:641,406 4:587,781 5:316,909 6:33,814 7:-112,399 12:301,1652 13:477,1500 14:771,1573 15:643,1752 16:276,1920",
    "",
    "",
    "",
    "4:601,768",
    "",
    "0:229,-77 1:471,-41 3:639,402 5:605,905 7:267,395",
    "",
    "",
    "0:-150,-77 1:213,-41 2:590,35 4:601,777 5:330,1396 6:47,810 7:-98,395",
    "3:627,402 4:573,777 5:329,905 6:60,810 7:-78,395",
    "10:1488,1247 11:1013,1233",
    "0:-150,-19 1:213,17 3:655,460 4:601,835 5:330,963 6:47,868 7:-98,453 10:1488,1359",
    "12:359,1405 14:963,1533 15:835,1712 16:468,1880 18:1958,-250",
    "1:289,-41 2:666,35 3:731,402 4:677,777 5:406,905 6:123,810 18:1976,-250",
    "0:-150,-95 1:213,-59 2:590,17 4:601,759 5:330,887 6:47,792 7:-98,377 8:1000,203 9:1517,219 10:1488,1301 11:1013,1287 12:301,1405 13:611,1460 14:905,1533 15:777,1712 16:410,1880 17:1600,-300 18:1900,-250 19:1750,100",
    "0:-156,22 1:213,58 2:598,134 3:663,501 4:609,876 5:338,1004 6:46,877 7:-104,319",
    "1:248,-41 7:-75,395",
    "1:213,-72 2:590,1 3:655,353 4:601,713 5:330,836",
    "9:1517,219 10:1488,1301 11:1013,1287",
    "12:276,1405",
    "",
    "9:1053,219",
    "5:686,194 6:1160,13540",
    "",
    "15:777,1712",
    "",
    "",
    "",
    "1:220,-29 3:641,402",
    "10:960,1301",
    "",
    "0:-150,-55 1:219,-40 2:599,36 3:665,403 4:601,845 5:339,906 6:54,811 7:-93,396",
    "",
    "0:-150,-77 1:213,-41 2:590,35 3:687,402 4:605,777 5:330,905 6:47,810 7:-98,395",
    "0:-150,-77 1:213,-41 2:590,35 3:655,402 4:601,777 5:330,905 6:47,810 7:-98,395 8:1000,203 9:1517,219 10:1488,1269 11:1013,1287",
    "12:301,1405 13:615,1460 14:937,1533 15:777,1712 16:410,1880",
    "2:846,35 3:671,402 4:617,777 5:344,905 6:42,810 8:1004,203",
    "2:102,35 3:134,402 4:632,777",
    "0:-150,-77* 1:213,-41* 2:590,35* 3:655,402* 5:330,905* 7:-98,395* 8:1000,203* 9:1517,219* 10:1488,1301*",
    "3:654,402 5:320,905",
    "2:576,35",
    "",
    "3:640,402",
    "3:640,402",
    "3:640,402",
    "0:-150,-77",
};
static_assert(sizeof kClassicDepartures / sizeof kClassicDepartures[0] ==
                  sizeof kCases / sizeof kCases[0],
              "one entry per case");

class Differential : public ::testing::TestWithParam<size_t> {};

TEST_P(Differential, ClassicModeDepartsAsTheTableSays) {
    const Case &c = kCases[GetParam()];
    const std::string path = FontFile(c, std::to_string(GetParam()));
    const Outcome reference = FreeTypeOutcome(path);
    ASSERT_TRUE(reference.ok) << c.name;
    EXPECT_EQ(kClassicDepartures[GetParam()], Departures(OurOutcome(path, 0), reference))
        << c.name;
}

TEST_P(Differential, FaithfulPointsEqualFreeTypes) {
    const Case &c = kCases[GetParam()];
    const std::string path = FontFile(c, std::to_string(GetParam()));
    const Outcome reference = FreeTypeOutcome(path);
    ASSERT_TRUE(reference.ok) << c.name;
    const Outcome ours = OurOutcome(path, kFaithful);
    EXPECT_EQ("", Differences(ours, reference)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Differential,
                         ::testing::Range(size_t(0), sizeof kCases / sizeof kCases[0]));

}  // namespace
