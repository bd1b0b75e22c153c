// What an open face keeps of its CFF table (shared by the stage's files).
#ifndef KELMOR_TTF_CFF_CFF_FACE_H
#define KELMOR_TTF_CFF_CFF_FACE_H

#include <cstdint>

#include "ttf/cff/cff_charstring.h"
#include "ttf/cff/cff_table.h"

namespace kelmor {

namespace cff {

// A Private DICT's part in drawing: its local subroutines.
struct PrivateDict {
    Index subrs;
    int32_t bias;
    bool hasSubrs;
    uint8_t *memory;  // the subrs INDEX once copied (LoadSubroutines), else null
    bool ownsMemory;  // false when `memory` is another font DICT's copy of the same INDEX
};

// FDSelect: which font DICT of a CID-keyed font a glyph belongs to.
//   format 0: uint8 fd[nGlyphs]
//   format 3: card16 nRanges, {card16 first; uint8 fd}[nRanges], card16 sentinel
struct FdSelect {
    uint32_t format;
    uint32_t at;      // the first byte after the format byte
    uint32_t ranges;  // format 3
};

// A charset names each glyph by a string id (SID) for name-keyed fonts;
// only accented glyphs look names up.  0-2 are the predefined charsets.
constexpr uint32_t kIsoAdobeCharset = 0;

}  // namespace cff

struct CffFace {
    cff::TableSource src;
    cff::Index charStrings;
    cff::Index globalSubrs;
    int32_t globalBias;
    bool cid;
    cff::FdSelect fdSelect;
    uint32_t fdCount;
    cff::PrivateDict *privates;  // fdCount of them (one for a name-keyed font)
    uint32_t charset;            // an offset, or a predefined charset
    uint8_t *globalMemory;       // the Global Subr INDEX once copied, else null
    size_t subrBytes;            // bytes of subroutine INDEXes copied so far
    cff::LevelBuffers buffers;
    const char *problem;
};

}  // namespace kelmor

#endif
