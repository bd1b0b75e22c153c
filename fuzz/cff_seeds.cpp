// Writes the CFF fuzzer's seed corpus: CFF tables (the harness's input is
// the table alone) that use every part the reader knows: a name-keyed font
// with local and global subroutines and an accented glyph, CID-keyed fonts
// with FDSelect in both formats, every path operator, flex, hints and
// masks, and the arithmetic operators.
//
//   build/tests/cff_seeds fuzz/corpus/cff
#include <cstdio>
#include <string>
#include <vector>

#include "cff_builder.h"

using namespace kelmor_test;

namespace {

std::vector<Bytes> Glyphs() {
    return {
        Charstring("endchar"),
        Charstring("500 100 0 rmoveto 500 hlineto 500 vlineto -500 hlineto endchar"),
        Charstring("10 20 30 40 hstemhm 5 6 hintmask #F0 100 vmoveto 10 20 30 40 50 60 rrcurveto "
                   "1 2 3 4 5 hvcurveto 1 2 3 4 5 6 7 8 vhcurveto 7 1 2 3 4 hhcurveto "
                   "7 1 2 3 4 vvcurveto endchar"),
        Charstring("0 0 rmoveto 1 2 3 4 5 6 7 8 rcurveline 1 2 1 2 3 4 5 6 rlinecurve "
                   "1 1 2 2 3 3 4 -4 5 -5 6 -6 50 flex 1 2 3 4 5 6 7 hflex "
                   "1 2 3 4 5 6 7 8 9 hflex1 10 1 10 1 10 1 10 -1 10 -1 5 flex1 endchar"),
        Charstring("0 0 rmoveto -107 callsubr -107 callgsubr endchar"),
        Charstring("0 0 rmoveto 3 4 add 10 2 sub rlineto 6 3 div 2 neg rlineto 1 2 exch "
                   "rlineto 5 dup rlineto 1 2 3 3 1 roll drop rlineto 9 0 put 0 get 0 get "
                   "rlineto 1 2 5 6 ifelse 0 rlineto -4 abs 16 sqrt rlineto endchar"),
        Charstring("1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 vstem cntrmask #FF #C0 "
                   "0 0 rmoveto 5 0 rlineto endchar"),
        Charstring("300 10 20 65 193 endchar"),
    };
}

CffTable NameKeyed() {
    CffTable cff;
    cff.charStrings = Glyphs();
    cff.localSubrs = {Charstring("30 0 rlineto return")};
    cff.globalSubrs = {Charstring("0 30 rlineto -107 callsubr return"),
                       Charstring("5 5 rlineto return")};
    cff.charset = {34, 124, 200, 201, 202, 203, 204};
    return cff;
}

CffTable CidKeyed(int format) {
    CffTable cff = NameKeyed();
    cff.charset.clear();
    cff.fdLocalSubrs = {{Charstring("10 0 rlineto return")},
                        {Charstring("0 20 rlineto return"), Charstring("return")}};
    cff.fdOfGlyph = {0, 0, 1, 1, 0, 1, 0, 1};
    cff.fdSelectFormat = format;
    return cff;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cff_seeds DIRECTORY\n");
        return 2;
    }
    const std::string dir = argv[1];
    const std::vector<std::pair<const char *, CffTable>> seeds = {
        {"name_keyed.cff", NameKeyed()},
        {"cid_fdselect0.cff", CidKeyed(0)},
        {"cid_fdselect3.cff", CidKeyed(3)},
    };
    for (const auto &[name, table] : seeds) WriteBytes(table.Build(), dir + "/" + name);
    return 0;
}
