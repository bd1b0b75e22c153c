// Which script a code point belongs to, from the Unicode Script property of
// the characters CJK fonts map.  A shaper picks a font's layout rules by the
// script of the text, so the vertical forms a font gives a character depend
// on it; characters of no script of their own (punctuation, the long vowel
// mark, the ideographic brackets) take the font's default rules.
#include "ttf/sfnt/unicode_script.h"

#include <algorithm>
#include <iterator>

namespace kelmor {

namespace {

struct ScriptRange {
    uint32_t first, last;
    LayoutScript script;
};

// Sorted by first code point; gaps are common.
constexpr ScriptRange kScriptRanges[] = {
    {0x0041, 0x005A, kScriptLatin},     {0x0061, 0x007A, kScriptLatin},
    {0x00AA, 0x00AA, kScriptLatin},     {0x00BA, 0x00BA, kScriptLatin},
    {0x00C0, 0x00D6, kScriptLatin},     {0x00D8, 0x00F6, kScriptLatin},
    {0x00F8, 0x02B8, kScriptLatin},     {0x02E0, 0x02E4, kScriptLatin},
    {0x02EA, 0x02EB, kScriptBopomofo},  {0x0370, 0x0373, kScriptGreek},
    {0x0375, 0x0377, kScriptGreek},     {0x037A, 0x037D, kScriptGreek},
    {0x037F, 0x037F, kScriptGreek},     {0x0384, 0x0384, kScriptGreek},
    {0x0386, 0x0386, kScriptGreek},     {0x0388, 0x038A, kScriptGreek},
    {0x038C, 0x038C, kScriptGreek},     {0x038E, 0x03A1, kScriptGreek},
    {0x03A3, 0x03E1, kScriptGreek},
    {0x03F0, 0x03FF, kScriptGreek},     {0x0400, 0x0484, kScriptCyrillic},
    {0x0487, 0x052F, kScriptCyrillic},  {0x1100, 0x11FF, kScriptHangul},
    {0x1C80, 0x1C88, kScriptCyrillic},  {0x1D00, 0x1D25, kScriptLatin},
    {0x1D26, 0x1D2A, kScriptGreek},     {0x1D2B, 0x1D2B, kScriptCyrillic},
    {0x1D2C, 0x1D5C, kScriptLatin},     {0x1D5D, 0x1D61, kScriptGreek},
    {0x1D62, 0x1D65, kScriptLatin},     {0x1D66, 0x1D6A, kScriptGreek},
    {0x1D6B, 0x1D77, kScriptLatin},     {0x1D78, 0x1D78, kScriptCyrillic},
    {0x1D79, 0x1DBE, kScriptLatin},     {0x1DBF, 0x1DBF, kScriptGreek},
    {0x1E00, 0x1EFF, kScriptLatin},     {0x1F00, 0x1F15, kScriptGreek},
    {0x1F18, 0x1F1D, kScriptGreek},     {0x1F20, 0x1F45, kScriptGreek},
    {0x1F48, 0x1F4D, kScriptGreek},     {0x1F50, 0x1F57, kScriptGreek},
    {0x1F59, 0x1F59, kScriptGreek},     {0x1F5B, 0x1F5B, kScriptGreek},
    {0x1F5D, 0x1F5D, kScriptGreek},     {0x1F5F, 0x1F7D, kScriptGreek},
    {0x1F80, 0x1FB4, kScriptGreek},     {0x1FB6, 0x1FC4, kScriptGreek},
    {0x1FC6, 0x1FD3, kScriptGreek},     {0x1FD6, 0x1FDB, kScriptGreek},
    {0x1FDD, 0x1FEF, kScriptGreek},     {0x1FF2, 0x1FF4, kScriptGreek},
    {0x1FF6, 0x1FFE, kScriptGreek},
    {0x2071, 0x2071, kScriptLatin},     {0x207F, 0x207F, kScriptLatin},
    {0x2090, 0x209C, kScriptLatin},     {0x2126, 0x2126, kScriptGreek},
    {0x212A, 0x212B, kScriptLatin},     {0x2132, 0x2132, kScriptLatin},
    {0x214E, 0x214E, kScriptLatin},     {0x2160, 0x2188, kScriptLatin},
    {0x2C60, 0x2C7F, kScriptLatin},     {0x2DE0, 0x2DFF, kScriptCyrillic},
    {0x2E80, 0x2E99, kScriptHan},       {0x2E9B, 0x2EF3, kScriptHan},
    {0x2F00, 0x2FD5, kScriptHan},       {0x3005, 0x3005, kScriptHan},
    {0x3007, 0x3007, kScriptHan},       {0x3021, 0x3029, kScriptHan},
    {0x302E, 0x302F, kScriptHangul},    {0x3038, 0x303B, kScriptHan},
    {0x3041, 0x3096, kScriptKana},      {0x309D, 0x309F, kScriptKana},
    {0x30A1, 0x30FA, kScriptKana},      {0x30FD, 0x30FF, kScriptKana},
    {0x3105, 0x312F, kScriptBopomofo},  {0x3131, 0x318E, kScriptHangul},
    {0x31A0, 0x31BF, kScriptBopomofo},  {0x31F0, 0x31FF, kScriptKana},
    {0x3200, 0x321E, kScriptHangul},    {0x3260, 0x327E, kScriptHangul},
    {0x32D0, 0x32FE, kScriptKana},      {0x3300, 0x3357, kScriptKana},
    {0x3400, 0x4DBF, kScriptHan},       {0x4E00, 0x9FFF, kScriptHan},
    {0xA640, 0xA69F, kScriptCyrillic},  {0xA722, 0xA787, kScriptLatin},
    {0xA78B, 0xA7CA, kScriptLatin},
    {0xA7D0, 0xA7D1, kScriptLatin},     {0xA7D3, 0xA7D3, kScriptLatin},
    {0xA7D5, 0xA7D9, kScriptLatin},     {0xA7F2, 0xA7FF, kScriptLatin},
    {0xA960, 0xA97C, kScriptHangul},
    {0xAB30, 0xAB5A, kScriptLatin},     {0xAB5C, 0xAB64, kScriptLatin},
    {0xAB65, 0xAB65, kScriptGreek},     {0xAB66, 0xAB69, kScriptLatin},
    {0xAC00, 0xD7A3, kScriptHangul},    {0xD7B0, 0xD7C6, kScriptHangul},
    {0xD7CB, 0xD7FB, kScriptHangul},    {0xF900, 0xFA6D, kScriptHan},
    {0xFA70, 0xFAD9, kScriptHan},       {0xFB00, 0xFB06, kScriptLatin},
    {0xFE2E, 0xFE2F, kScriptCyrillic},  {0xFF21, 0xFF3A, kScriptLatin},
    {0xFF41, 0xFF5A, kScriptLatin},     {0xFF66, 0xFF6F, kScriptKana},
    {0xFF71, 0xFF9D, kScriptKana},      {0xFFA0, 0xFFBE, kScriptHangul},
    {0xFFC2, 0xFFC7, kScriptHangul},    {0xFFCA, 0xFFCF, kScriptHangul},
    {0xFFD2, 0xFFD7, kScriptHangul},    {0xFFDA, 0xFFDC, kScriptHangul},
    {0x1AFF0, 0x1AFF3, kScriptKana},    {0x1AFF5, 0x1AFFB, kScriptKana},
    {0x1AFFD, 0x1AFFE, kScriptKana},    {0x1B000, 0x1B11F, kScriptKana},
    {0x1B120, 0x1B122, kScriptKana},    {0x1B132, 0x1B132, kScriptKana},
    {0x1B150, 0x1B152, kScriptKana},    {0x1B155, 0x1B155, kScriptKana},
    {0x1B164, 0x1B167, kScriptKana},    {0x1F200, 0x1F200, kScriptKana},
    {0x20000, 0x2A6DF, kScriptHan},     {0x2A700, 0x2EBE0, kScriptHan},
    {0x2F800, 0x2FA1D, kScriptHan},     {0x30000, 0x323AF, kScriptHan},
};

constexpr const char *kScriptTags[kLayoutScripts] = {"hani", "kana", "hang", "bopo",
                                                     "latn", "grek", "cyrl", nullptr};

}  // namespace

LayoutScript ScriptOfCodePoint(uint32_t c) {
    const ScriptRange *after = std::upper_bound(
        std::begin(kScriptRanges), std::end(kScriptRanges), c,
        [](uint32_t code, const ScriptRange &r) { return code < r.first; });
    if (after == std::begin(kScriptRanges)) return kScriptCommon;
    const ScriptRange &r = *(after - 1);
    return c <= r.last ? r.script : kScriptCommon;
}

const char *ScriptTag(LayoutScript script) {
    return script < kLayoutScripts ? kScriptTags[script] : nullptr;
}

}  // namespace kelmor
