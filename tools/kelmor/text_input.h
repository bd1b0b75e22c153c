// The three ways text reaches `kelmor render`: UTF-8 text, lists of codes or
// glyph numbers, and UTF-8 text converted into a double-byte code space.
#ifndef KELMOR_TOOL_TEXT_INPUT_H
#define KELMOR_TOOL_TEXT_INPUT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kelmor {

// Decodes strict UTF-8 into code points.  Overlong forms, surrogates, values
// above U+10FFFF and cut-off sequences are refused: on failure the result is
// false and *error names the byte where decoding stopped.
bool DecodeUtf8(const std::string &text, std::vector<uint32_t> *codePoints,
                std::string *error);

// Encodes one code point as UTF-8 (for messages); invalid values give "?".
std::string EncodeUtf8(uint32_t codePoint);

// A comma-separated list of numbers, each at most `highest`.  With base 16
// each item may carry a "0x" or "U+" prefix.  Empty items are refused.
bool ParseNumberList(const std::string &text, int base, uint32_t highest,
                     std::vector<uint32_t> *values, std::string *error);

// The double-byte code spaces the library converts through concordances
// (Shift-JIS is taken as Windows writes it, code page 932).
enum class TextEncoding { kShiftJIS, kBig5, kGB2312, kGBK, kWansung };

// sjis|big5|gb|gbk|euc-kr (also cp949 for Wansung)
bool EncodingFromName(const std::string &name, TextEncoding *space);
const char *EncodingTitle(TextEncoding space);  // "Shift-JIS", ...
int EncodingCharset(TextEncoding space);        // 128, 136, 134, 242, 129

// One character in a double-byte code space, as GetBitmap reads it: lead
// byte then trail byte.  A single-byte character has a zero lead byte.
struct DbcsChar {
    uint32_t codePoint;  // the Unicode character it came from, 0 when not known
    uint8_t bytes[2];
    size_t brokenAt = 0;  // a broken lead byte: its place in the bytes, from 1
    uint32_t Code() const { return uint32_t(bytes[0]) << 8 | bytes[1]; }
};

// Whether a value is a code of the space: a single byte (lead 0), or a lead
// byte and a trail byte.  WhyNoCode says what is wrong ("C1 is no lead
// byte"), "" for a code.
std::string WhyNoCode(TextEncoding space, uint32_t code);

// Converts code points into the code space (iconv of the C library).  A
// character the code space lacks is an error that names it.
bool ConvertToEncoding(const std::vector<uint32_t> &codePoints, TextEncoding space,
                        std::vector<DbcsChar> *chars, std::string *error);
// The same, going on past the characters the code space lacks, which are
// listed in *lacking.  False only when iconv cannot convert at all.
bool ConvertEachToEncoding(const std::vector<uint32_t> &codePoints, TextEncoding space,
                           std::vector<DbcsChar> *chars, std::vector<uint32_t> *lacking,
                           std::string *error);

// Bytes of the code space as a printer receives them: a lead byte and its
// trail byte make one character, every other byte is a character of its own
// (codePoint 0: not known before the concordance is read).  A lead byte
// without a proper trail byte is an error that names its place.
bool DecodeEncodedBytes(const std::string &bytes, TextEncoding space,
                        std::vector<DbcsChar> *chars, std::string *error);
// The same, going on past broken bytes as a printer does: a lead byte
// without a proper trail byte becomes a character of its own, (lead, 00),
// which no code space maps, with brokenAt set.  The number of them.
size_t DecodeEncodedBytesPastBreaks(const std::string &bytes, TextEncoding space,
                                    std::vector<DbcsChar> *chars);
// What is wrong with such a character, for messages.
std::string DescribeBrokenByte(TextEncoding space, const DbcsChar &c, size_t totalBytes);

// The text's lines: LF, CR LF and CR end a line; other control characters
// are dropped (they are never glyphs).
std::vector<std::vector<uint32_t>> SplitLines(const std::vector<uint32_t> &codePoints);
std::vector<std::vector<DbcsChar>> SplitLines(const std::vector<DbcsChar> &chars);

// Control characters (C0 and DEL): line ends and tabs in a file of
// characters, never glyphs to draw.
inline bool IsControlCode(uint32_t code) { return code < 0x20 || code == 0x7F; }

// Far beyond any list of characters or receipt: a larger input (or a
// device such as /dev/zero) is refused before it eats the memory.
constexpr size_t kMaxInputFileBytes = size_t(4) << 20;

// The whole file, or false with a message that names it (and the cause).
bool ReadWholeFile(const std::string &path, std::string *bytes, std::string *error);

// What a command line gives to render, checked before any font is opened:
// "" when it can be used, else what is wrong with it (empty or malformed
// text, an unknown code space, text the code space cannot hold, a bad list
// of codes or glyph numbers).  Empty strings mean "not given".
std::string CheckRenderSource(bool haveText, const std::string &text,
                              const std::string &encoding, const std::string &codes,
                              const std::string &glyphs);

// "U+4E00 '一'": how messages name a character.
std::string DescribeCodePoint(uint32_t codePoint);

}  // namespace kelmor

#endif
