// The tool's side of reading .FOT files: the library's message boxes become
// text on the terminal and a question on standard input.
#ifndef KELMOR_TOOL_FOT_PROMPT_H
#define KELMOR_TOOL_FOT_PROMPT_H

#include <cstdint>
#include <string>

namespace kelmor {

// DoFOT with its message boxes printed on standard output; the font
// directory entry is accepted when `yes` is set, else when the user answers
// y to the question on standard input.
int DoFotWithPrompt(const char *fot, bool yes, char *fontFile128, uint8_t *fontDir256);

// Bytes read from a file, made safe for a terminal: every byte outside
// printable ASCII (control characters, which could move the cursor or
// start an escape sequence, and bytes from 0x7F up, 0x9B among them) is
// shown as \xNN; line breaks stay when asked to.  Backslashes stay as they
// are: Windows paths must read as paths.
std::string PrintableText(const std::string &bytes, bool keepLineBreaks = false);

// What a negative LoadExeInfo result means, for messages.
std::string ExeLoadError(int32_t code);

}  // namespace kelmor

#endif
