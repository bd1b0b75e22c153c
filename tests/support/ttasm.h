// A tiny assembler for TrueType bytecode in tests, so that a case reads as
// the program it runs:
//
//   Assemble("PUSHB 1 2 SWAP")           -> B1 01 02 23
//   Assemble("PUSHW -64 300  MDRP[10110]")
//   Assemble("NPUSHB 1 2 3  $4C")        ("$4C" is the raw byte 0x4C)
//
// PUSHB and PUSHW take the numbers that follow them and pick the short form
// for up to eight values, NPUSHB/NPUSHW otherwise; NPUSHB and NPUSHW always
// use the long form.  Mnemonics with a bit field take it in brackets as
// binary ("SVTCA[1]", "MIRP[01101]"); without brackets the bits are 0.  A
// bad token fails the running test and is skipped.
#ifndef KELMOR_TESTS_TTASM_H
#define KELMOR_TESTS_TTASM_H

#include <cstdint>
#include <string>
#include <vector>

namespace kelmor_test {

std::vector<uint8_t> Assemble(const std::string &text);

}  // namespace kelmor_test

#endif
