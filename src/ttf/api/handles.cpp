#include "ttf/api/handles.h"

#include <mutex>
#include <vector>

#include "ttf/font/ttf.h"

namespace kelmor {

namespace {

// Low 16 bits: slot number + 1; bits 16-30: the slot's generation, bumped
// every time the slot is reused.  Handles stay positive.
constexpr uint32_t kSlotBits = 16;
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr uint32_t kGenerationMask = 0x7FFF;
constexpr size_t kMaxSlots = kSlotMask;  // slot + 1 must fit in 16 bits

struct Slot {
    _TTFont *font = nullptr;
    uint32_t generation = 0;
};

// A slot that has handed out its last generation is never used again: a
// generation that wrapped round would make a closed handle name whatever
// font opened there next.  The slots' generations together last for about
// two thousand million opens.
bool Reusable(const Slot &s) { return s.font == nullptr && s.generation < kGenerationMask; }

std::vector<Slot> &Slots() {
    static std::vector<Slot> slots;
    return slots;
}

// Handles are made and released on any thread; the table may grow under a
// reader on another one.
std::mutex &SlotsLock() {
    static std::mutex lock;
    return lock;
}

int32_t MakeHandle(size_t slot, uint32_t generation) {
    return int32_t((generation << kSlotBits) | uint32_t(slot + 1));
}

Slot *SlotOf(int32_t lHandle) {
    if (lHandle <= 0) return nullptr;
    uint32_t h = uint32_t(lHandle);
    size_t slot = (h & kSlotMask);
    if (slot == 0 || slot > Slots().size()) return nullptr;
    Slot &s = Slots()[slot - 1];
    if (s.font == nullptr || s.generation != ((h >> kSlotBits) & kGenerationMask)) return nullptr;
    return &s;
}

}  // namespace

int32_t HandleFromFont(_TTFont *pF) {
    if (pF == nullptr) return 0;
    std::lock_guard<std::mutex> hold(SlotsLock());
    std::vector<Slot> &slots = Slots();
    for (size_t i = 0; i < slots.size(); ++i) {
        if (Reusable(slots[i])) {
            slots[i].font = pF;
            slots[i].generation += 1;
            return MakeHandle(i, slots[i].generation);
        }
    }
    if (slots.size() >= kMaxSlots) return 0;
    slots.push_back(Slot{pF, 1});
    return MakeHandle(slots.size() - 1, 1);
}

_TTFont *FontFromHandle(int32_t lHandle) {
    std::lock_guard<std::mutex> hold(SlotsLock());
    Slot *s = SlotOf(lHandle);
    if (s == nullptr || !IsValidFont(s->font)) return nullptr;
    return s->font;
}

void ReleaseHandle(int32_t lHandle) {
    std::lock_guard<std::mutex> hold(SlotsLock());
    if (Slot *s = SlotOf(lHandle)) s->font = nullptr;
}

}  // namespace kelmor
