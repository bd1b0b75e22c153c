// The writing system of a character, as far as choosing a font's layout
// rules needs it: the scripts CJK fonts carry rules for, and everything else
// (punctuation, symbols, digits, combining marks and the scripts no CJK font
// distinguishes) as common.
#ifndef KELMOR_TTF_SFNT_UNICODE_SCRIPT_H
#define KELMOR_TTF_SFNT_UNICODE_SCRIPT_H

#include <cstdint>

namespace kelmor {

enum LayoutScript : uint8_t {
    kScriptHan,
    kScriptKana,      // Hiragana and Katakana share one set of rules
    kScriptHangul,
    kScriptBopomofo,
    kScriptLatin,
    kScriptGreek,
    kScriptCyrillic,
    kScriptCommon,    // no script of its own: the font's default rules
    kLayoutScripts
};

// The script of a Unicode code point.
LayoutScript ScriptOfCodePoint(uint32_t c);
// The four-letter tag a font's script list files the script under; null
// for kScriptCommon.
const char *ScriptTag(LayoutScript script);

}  // namespace kelmor

#endif
