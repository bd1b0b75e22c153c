// Stands in for the Latin writing system until autohint_latin.cpp exists:
// Latin glyphs are only scaled.  Delete this file when adding that one.
#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {

const WritingSystemClass kLatinWritingSystem = kDummyWritingSystem;

}  // namespace autohint
}  // namespace kelmor
