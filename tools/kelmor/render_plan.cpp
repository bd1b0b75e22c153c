#include "render_plan.h"

#include <cstdio>
#include <cstring>

#include "font_facts.h"
#include "ttf/api/tool_internals.h"

namespace kelmor {
namespace {

bool IsDoubleByteCharset(int charset) {
    return charset == csShiftJIS || charset == csGB2312 || charset == csBig5 ||
           charset == csWansung;
}

std::string Hex4(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", unsigned(value));
    return text;
}

// A glyph number or a code point: 32 bits in host order.
RenderItem HostOrderItem(uint32_t value, const std::string &label) {
    RenderItem item;
    const int32_t number = int32_t(value);
    std::memcpy(item.input, &number, sizeof number);  // host order, as GetBitmap reads it
    item.label = label;
    return item;
}

RenderItem TwoByteItem(uint32_t code, const std::string &label) {
    RenderItem item;
    item.input[0] = char(code >> 8 & 0xFF);
    item.input[1] = char(code & 0xFF);
    item.label = label;
    return item;
}

std::string NotInFont(const std::string &label) {
    return label + " is not in the font; glyph 0 is drawn in its place";
}

// The map's answer (codes above U+FFFF come from the font's format-12 map).
uint32_t LookUp(_TTFont &font, uint32_t code) { return GetGlyphNo(&font, code); }

// The Unicode value the library gives the character: single bytes straight,
// the others through the loaded concordance.
uint32_t ThroughConcordance(TextEncoding space, const DbcsChar &c) {
    const char *bytes = reinterpret_cast<const char *>(c.bytes);
    switch (space) {
    case TextEncoding::kShiftJIS: return DbcsToUnicode(kSlotShiftJis, bytes);
    case TextEncoding::kBig5: return DbcsToUnicode(kSlotBig5, bytes);
    case TextEncoding::kGB2312: return DbcsToUnicode(kSlotGB, bytes);
    case TextEncoding::kGBK: return DbcsToUnicode(kSlotGBK, bytes);
    case TextEncoding::kWansung: return DbcsToUnicode(kSlotWansung, bytes);
    }
    return 0;
}

// Why a converted character would show as glyph 0, or "".
std::string EncodedProblem(_TTFont &font, const DbcsChar &c, TextEncoding space,
                           const std::string &label) {
    if (font.csFont != csUnicode) return LookUp(font, c.Code()) == 0 ? NotInFont(label) : "";
    const uint32_t unicode = ThroughConcordance(space, c);
    if (unicode == 0) {
        return std::string("the ") + EncodingTitle(space) + " concordance has no value for " +
               label + "; glyph 0 is drawn in its place";
    }
    if (LookUp(font, unicode) == 0) return NotInFont(label);
    return "";
}

}  // namespace

bool PlanUnicodeText(_TTFont &font, const std::vector<uint32_t> &codePoints,
                     RenderPlan *plan, std::string *error) {
    if (IsDoubleByteCharset(font.csFont)) {
        *error = std::string("the font's character map is ") + CharsetTitle(font.csFont) +
                 ", not Unicode: give the text with --encoding, or codes with --code";
        return false;
    }
    // A Unicode font takes the code points themselves; any other font's map
    // is looked up here and the glyphs are asked for by number.
    const bool unicode = font.csFont == csUnicode;
    plan->charset = unicode ? csUnicode : csGlyphNumber;
    plan->items.clear();
    for (uint32_t codePoint : codePoints) {
        const uint32_t glyph = LookUp(font, codePoint);
        RenderItem item =
            HostOrderItem(unicode ? codePoint : glyph, DescribeCodePoint(codePoint));
        if (glyph == 0) item.problem = NotInFont(item.label);
        plan->items.push_back(item);
    }
    return true;
}

void PlanCodes(_TTFont &font, const std::vector<uint32_t> &codes, RenderPlan *plan) {
    const bool native = IsDoubleByteCharset(font.csFont);
    plan->charset = native ? font.csFont : csGlyphNumber;
    plan->items.clear();
    for (uint32_t code : codes) {
        const uint32_t glyph = LookUp(font, code);
        const std::string label = "code " + Hex4(code);
        RenderItem item = native ? TwoByteItem(code, label) : HostOrderItem(glyph, label);
        if (glyph == 0) item.problem = NotInFont(label);
        plan->items.push_back(item);
    }
}

void PlanGlyphs(const _TTFont &font, const std::vector<uint32_t> &glyphs, RenderPlan *plan) {
    const uint32_t count = font.leMaximumProfile.numGlyphs;
    plan->charset = csGlyphNumber;
    plan->items.clear();
    for (uint32_t glyph : glyphs) {
        RenderItem item = HostOrderItem(glyph, "glyph " + std::to_string(glyph));
        if (glyph >= count) {
            item.problem = item.label + " is beyond the font's " + std::to_string(count) +
                           " glyphs";
        }
        plan->items.push_back(item);
    }
}

void PlanEncodedText(_TTFont &font, const std::vector<DbcsChar> &chars, TextEncoding space,
                     RenderPlan *plan) {
    plan->charset = EncodingCharset(space);
    plan->items.clear();
    for (const DbcsChar &c : chars) {
        const std::string code = std::string(EncodingTitle(space)) + " " + Hex4(c.Code());
        const std::string whyNot = WhyNoCode(space, c.Code());
        if (c.brokenAt != 0 || !whyNot.empty()) {
            // No character of the space: the library's row arithmetic would
            // still find one (Shift-JIS C140 lands on 8140), so the lead byte
            // goes with a zero trail byte, which nothing maps: glyph 0.  A
            // broken byte was named where the bytes were read.
            RenderItem item = TwoByteItem(uint32_t(c.bytes[0]) << 8, code);
            if (c.brokenAt == 0)
                item.problem = code + " is no " + EncodingTitle(space) + " code (" + whyNot +
                               "); glyph 0 is drawn in its place";
            plan->items.push_back(item);
            continue;
        }
        // Codes given as such are named by what the library makes of them.
        const bool named = c.codePoint != 0 || font.csFont != csUnicode;
        const uint32_t codePoint = named ? c.codePoint : ThroughConcordance(space, c);
        const std::string label =
            codePoint != 0 ? DescribeCodePoint(codePoint) + " (" + code + ")" : code;
        RenderItem item = TwoByteItem(c.Code(), label);
        item.problem = EncodedProblem(font, c, space, label);
        plan->items.push_back(item);
    }
}

}  // namespace kelmor
