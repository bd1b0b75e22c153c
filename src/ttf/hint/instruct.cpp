// Interpreter memory: sizing it from maxp, resetting and releasing it; the
// interpreter's copy of the mode; and the drivers that decide when the
// control-value and glyph programs run.
#include "common/bytes.h"
#include "ttf/hint/instruct.h"

#include <cstdlib>
#include <cstring>

#include "ttf/hint/instruct_internal.h"

namespace kelmor {

const longpointtype xAxis = {16384, 0};
const longpointtype yAxis = {0, 16384};
const longpointtype NulVect = {0, 0};
const TTFCoord NulTTF = {};
thread_local TTFCoord ErrorTTF = {};
const int32_t Exception[16] = {-8, -7, -6, -5, -4, -3, -2, -1, 1, 2, 3, 4, 5, 6, 7, 8};

uint8_t NoInterpretOverall = 0;

namespace {

// Zero-filled room for `count` records.  Never null for a
// count of 0, so that an empty array is not mistaken for a failed allocation.
template <typename T>
T *AllocateRecords(int count) {
    return static_cast<T *>(std::calloc(count > 0 ? size_t(count) : 1, sizeof(T)));
}

// The size fields hold record counts times the records' packed sizes; this
// turns them back into counts.
int EntryCount(int32_t byteSize, int entryBytes) {
    return byteSize > 0 ? byteSize / entryBytes : 0;
}

void ZeroRecords(void *p, int count, size_t size) {
    if (p != nullptr && count > 0) std::memset(p, 0, size_t(count) * size);
}

// Room for `points` outline points and, after the last of them, the
// phantom points; the sizes the programs see count the outline only.  The
// points' unscaled positions follow the zone in the same block, so that
// releasing Zone1 releases them too.
bool AllocateGlyphZone(_TtfGlyph *pG, int points) {
    const int slots = points + kPhantomPoints;
    static_assert(sizeof(TTFCoord) % alignof(longpointtype) == 0, "the positions follow aligned");
    const int records = slots + (slots * int(sizeof(longpointtype)) + int(sizeof(TTFCoord)) - 1) /
                                    int(sizeof(TTFCoord));
    pG->Zone1 = AllocateRecords<TTFCoord>(records);
    if (pG->Zone1 == nullptr) return false;
    pG->Unscaled = reinterpret_cast<longpointtype *>(pG->Zone1 + slots);
    pG->Zone1Size = points * kTTFCoordBytes;
    pG->ZonePoints[1] = int16_t(points);
    pG->Zone1Slots = slots;
    return true;
}

bool AllocateEndPoints(_TtfGlyph *pG, int contours) {
    pG->EndPoints = AllocateRecords<int16_t>(contours);
    pG->AbsEndPoints = AllocateRecords<int16_t>(contours);
    if (pG->EndPoints == nullptr || pG->AbsEndPoints == nullptr) return false;
    pG->EndPointsSize = int16_t(contours * int(sizeof(int16_t)));
    return true;
}

// An optional area of `count` records: absent when the font asks for none.
// Its size field holds count times the packed record size.
template <typename T, typename Size>
bool AllocateArea(T **lpArea, Size *lpSize, int count, int packedBytes) {
    if (count == 0) return true;
    *lpArea = AllocateRecords<T>(count);
    if (*lpArea == nullptr) return false;
    *lpSize = Size(count * packedBytes);
    return true;
}

int Larger(int a, int b) { return a > b ? a : b; }

}  // namespace

int InsMemoryLimitBroken(const leMaxpHeader &maxp, int32_t options, bool beyondLimits) {
    const int pointLimit = beyondLimits ? kMaxZonePointsBeyondLimits : kMaxZonePoints;
    if (Larger(maxp.maxPoints, maxp.maxComponentPoints) > pointLimit ||
        maxp.maxTwilightPoints > pointLimit)
        return kInsMemoryTooManyPoints;
    // Only the twilight zone and the glyph zone exist.
    if (maxp.maxZones > 2 || Larger(maxp.maxContours, maxp.maxComponentContours) > kMaxContours ||
        maxp.maxStorage > kMaxStorage || maxp.maxFunctionDefs > kMaxFunctionDefs ||
        maxp.maxStackElements > kMaxStack)
        return kInsMemoryBeyondLimits;
    // The classic limits leave out IDEF, so a font that relies on it cannot
    // be hinted; opened past them (or in the faithful mode) the font keeps
    // one definition per opcode.
    if (maxp.maxInstructionDefs > 0 && (options & kFaithful) == 0 && !beyondLimits)
        return kInsMemoryInstructionDefs;
    return kInsMemoryReady;
}

int InitInsMemory(_TTFont *pF, _TtfGlyph *pG) {
    if (pF == nullptr || pG == nullptr) return kInsMemoryNoRoom;
    const leMaxpHeader &maxp = pF->leMaximumProfile;
    const int broken = InsMemoryLimitBroken(maxp, pF->RenderOptions, pF->BeyondLimits != 0);
    if (broken != kInsMemoryReady) return broken;
    if (!AllocateGlyphZone(pG, Larger(maxp.maxPoints, maxp.maxComponentPoints)) ||
        !AllocateEndPoints(pG, Larger(maxp.maxContours, maxp.maxComponentContours)) ||
        !AllocateArea(&pG->Zone0, &pG->Zone0Size, maxp.maxTwilightPoints, kTTFCoordBytes) ||
        !AllocateArea(&pG->Storage, &pG->StorageSize, maxp.maxStorage, 4) ||
        !AllocateArea(&pG->FunctDef, &pG->FunctDefSize, maxp.maxFunctionDefs, kFunctDefBytes))
        return kInsMemoryNoRoom;
    if (maxp.maxInstructionDefs > 0) {
        pG->InsDef = AllocateRecords<FunctDefEntry>(kInstructionDefs);
        if (pG->InsDef == nullptr) return kInsMemoryNoRoom;
    }
    // The stack keeps kStackSlack entries beyond maxp's count for the
    // faithful mode, which lets fonts that understate it go that far; its
    // size field gives maxp's count.
    if (maxp.maxStackElements > 0) {
        pG->Stack = AllocateRecords<int32_t>(maxp.maxStackElements + kStackSlack);
        if (pG->Stack == nullptr) return kInsMemoryNoRoom;
        pG->StackSize = int16_t(maxp.maxStackElements * 4);
    }
    return kInsMemoryReady;
}

template <typename T>
static void Release(T *&p) {
    p = static_cast<T *>(FreeBuffer(p));
}

void FreeInsMemory(_TtfGlyph *pG) {
    Release(pG->Zone1);
    Release(pG->Zone0);
    Release(pG->EndPoints);
    Release(pG->AbsEndPoints);
    Release(pG->Stack);
    Release(pG->FunctDef);
    Release(pG->Storage);
    Release(pG->PrepCvt);
    Release(pG->PrepStorage);
    Release(pG->InsDef);
}

void ResetStack(_TtfGlyph *pG) {
    pG->lpStack = pG->Stack;
    pG->InternalError = 0;
}

void ResetGsv(_TtfGlyph *pG) {
    GsvStruct &gs = pG->Gsv;
    gs.freedom_vector = xAxis;
    gs.projection_vector = xAxis;
    gs.dual_projection_vector = NulVect;
    gs.zp0 = gs.zp1 = gs.zp2 = 1;
    gs.rp0 = gs.rp1 = gs.rp2 = 0;
    gs.angle_weight = 128;
    gs.auto_flip = 1;
    gs.delta_base = 9;
    gs.delta_shift = 3;
    gs.instruct_Control = 0;
    gs.loop = 1;
    gs.round_state = 1;  // round to grid
    gs.scan_control = 0;
    gs.minimum_distance = 64;
    gs.control_value_cut_in = 68;
    gs.single_width_cut_in = 0;
    gs.single_width_value = 0;
}

void ResetGlyph(_TtfGlyph *pG) {
    pG->NumComponents = 0;
    ZeroRecords(pG->Zone1, EntryCount(pG->Zone1Size, kTTFCoordBytes), sizeof(TTFCoord));
    ZeroRecords(pG->Zone0, EntryCount(pG->Zone0Size, kTTFCoordBytes), sizeof(TTFCoord));
    ZeroRecords(pG->EndPoints, EntryCount(pG->EndPointsSize, sizeof(int16_t)), sizeof(int16_t));
}

void ResetTTF(_TtfGlyph *pG) {
    ZeroRecords(pG->FunctDef, EntryCount(pG->FunctDefSize, kFunctDefBytes),
                sizeof(FunctDefEntry));
    ZeroRecords(pG->Storage, EntryCount(pG->StorageSize, sizeof(int32_t)), sizeof(int32_t));
    ZeroRecords(pG->InsDef, kInstructionDefs, sizeof(FunctDefEntry));
    ResetGlyph(pG);
    ResetGsv(pG);
    ResetStack(pG);
}

void FlipTable(_TtfGlyph *pG, const uint8_t *lpTable, int32_t *lpToTable) {
    if (lpTable == nullptr || lpToTable == nullptr) return;
    int32_t entries = BlockLength(lpTable) / 2;
    const uint8_t *values = BlockBytes(lpTable);
    if (pG->Faithful) {
        // The faithful mode scales as the reference rasterizer (FreeType's
        // v35 interpreter) does: the values are taken in 26.6 and
        // multiplied, rounded, by the rounded 16.16 scale less its low six
        // bits.  (The scale itself, ScaleFUnitsRounded's, would put about
        // one control value in two one unit higher, which moves stems by a
        // pixel where a value sits near a half pixel.)
        for (int32_t i = 0; i < entries; ++i) {
            const int64_t v = int16_t(ReadBE16(values + 2 * i));
            lpToTable[i] = Clamp32(MulFixF(v * 64, pG->Scale >> 6));
        }
        return;
    }
    for (int32_t i = 0; i < entries; ++i) {
        int32_t v = int16_t(ReadBE16(values + 2 * i));
        lpToTable[i] = ScaleFUnits(v, pG->Multiplier);
    }
}

void SetInterpreterMode(_TtfGlyph *pG, bool faithful) { pG->Faithful = faithful ? 1 : 0; }

namespace {

// What a glyph program starts from in the faithful mode, besides the state
// the control-value program left: TrueType resets the vectors, zones,
// reference points, loop and round state of every glyph program.
void ResetForGlyphProgram(GsvStruct &gs) {
    gs.freedom_vector = gs.projection_vector = xAxis;
    gs.dual_projection_vector = NulVect;
    gs.zp0 = gs.zp1 = gs.zp2 = 1;
    gs.rp0 = gs.rp1 = gs.rp2 = 0;
    gs.loop = 1;
    gs.round_state = 1;
}

// Copies `count` entries of `from` into *to, allocating it on first use.
void KeepCopy(const int32_t *from, int count, int32_t **to) {
    if (from == nullptr || count <= 0) return;
    if (*to == nullptr) *to = AllocateRecords<int32_t>(count);
    if (*to != nullptr) std::memcpy(*to, from, size_t(count) * sizeof(int32_t));
}

// The faithful mode keeps the control values and storage the control-value
// program left, for every glyph program to start from.
void KeepPrepValues(_TTFont *pF, _TtfGlyph *pG) {
    KeepCopy(pG->lControlTable, CvtEntries(pF), &pG->PrepCvt);
    KeepCopy(pG->Storage, StorageEntries(pG), &pG->PrepStorage);
    pG->ProgramWrote = 0;
}

// Puts them back when a glyph program has written since.
void RestorePrepValues(_TTFont *pF, _TtfGlyph *pG) {
    if (!pG->ProgramWrote) return;
    if (pG->PrepCvt != nullptr && pG->lControlTable != nullptr)
        std::memcpy(pG->lControlTable, pG->PrepCvt, size_t(CvtEntries(pF)) * sizeof(int32_t));
    if (pG->PrepStorage != nullptr && pG->Storage != nullptr)
        std::memcpy(pG->Storage, pG->PrepStorage, size_t(StorageEntries(pG)) * sizeof(int32_t));
    pG->ProgramWrote = 0;
}

}  // namespace

void ExecuteprepCVT(_TTFont *pF, _TtfGlyph *pG) {
    ResetStack(pG);
    ResetGsv(pG);
    // Every size starts from the font's own control values, whatever the
    // programs of the previous size wrote into the table.
    if (pF->controlTable != nullptr && pG->lControlTable != nullptr)
        FlipTable(pG, pF->controlTable, pG->lControlTable);
    // TrueType also clears the storage area for every size.
    if (pG->Faithful) ZeroRecords(pG->Storage, StorageEntries(pG), sizeof(int32_t));
    pG->ProgramsFailed &= uint8_t(~kSizeProgramFailed);
    RunProgram(pF, pG, kControlValueProgram, pF->PrepInstructions);
    pG->PrepGsv = pG->Gsv;
    if (pG->Faithful) {
        ResetForGlyphProgram(pG->PrepGsv);
        KeepPrepValues(pF, pG);
    }
}

void RunFontProgram(_TTFont *pF, _TtfGlyph *pG) {
    ResetTTF(pG);
    ResetStack(pG);
    ResetGsv(pG);
    pG->ProgramsFailed &= uint8_t(~kFontProgramFailed);
    RunProgram(pF, pG, kFontProgram, pF->FontProgram);
}

void InterpretGlyph(_TTFont *pF, _TtfGlyph *pG, int NumContours, int16_t *lpEndPoints,
                    TTFCoord *lpStart, int program) {
    (void)NumContours, (void)lpEndPoints, (void)lpStart;  // the record says it all
    if (pG->instructions == nullptr) return;
    ResetStack(pG);
    if (!pG->Faithful) {
        // The glyph program never sees the graphics state the control-value
        // program left behind.
        ResetGsv(pG);
    } else {
        // The faithful mode starts every glyph and component program from
        // the state the control-value program left, unless that program
        // asked (INSTCTRL selector 1) for glyph programs not to run or
        // (selector 2) for them to start from the default state.
        pG->Gsv = pG->PrepGsv;
        if (pG->Gsv.instruct_Control & 1) {
            Release(pG->instructions);
            return;
        }
        if (pG->Gsv.instruct_Control & 2) ResetGsv(pG);
        ResetForGlyphProgram(pG->Gsv);
        // Nor does it see what earlier glyph programs wrote into the
        // control values or storage.
        RestorePrepValues(pF, pG);
    }
    RunProgram(pF, pG, program, pG->instructions);
    // A glyph's instructions run once per load: the block goes now.
    Release(pG->instructions);
}

}  // namespace kelmor
