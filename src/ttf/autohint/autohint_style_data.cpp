// The style table's data: for every script the Unicode ranges its glyphs
// come from and the characters its standard stems are measured on, for
// every style its writing system and blue-zone reference strings.  These are
// facts about scripts (which code points belong to which, which characters
// show a script's flat tops and bottoms), written down as the reference
// auto-hinter knows them so that glyphs land in the same styles; the order
// of the styles matters, since the first style covering a character takes
// its glyph.  Generated from the reference's tables; do not edit by hand.
#include "ttf/autohint/autohint_hints.h"

namespace kelmor {
namespace autohint {
namespace {

const UnicodeRange kAdlmRanges[] = {
    {0x1E900, 0x1E95F}, {0, 0}};
const UnicodeRange kAdlmNonbase[] = {
    {0x1D944, 0x1E94A}, {0, 0}};
const UnicodeRange kArabRanges[] = {
    {0x600, 0x6FF}, {0x750, 0x7FF}, {0x8A0, 0x8FF}, {0xFB50, 0xFDFF}, {0xFE70, 0xFEFF},
    {0x1EE00, 0x1EEFF}, {0, 0}};
const UnicodeRange kArabNonbase[] = {
    {0x600, 0x605}, {0x610, 0x61A}, {0x64B, 0x65F}, {0x670, 0x670}, {0x6D6, 0x6DC},
    {0x6DF, 0x6E4}, {0x6E7, 0x6E8}, {0x6EA, 0x6ED}, {0x8D4, 0x8E1}, {0x8D3, 0x8FF},
    {0xFBB2, 0xFBC1}, {0xFE70, 0xFE70}, {0xFE72, 0xFE72}, {0xFE74, 0xFE74}, {0xFE76, 0xFE76},
    {0xFE78, 0xFE78}, {0xFE7A, 0xFE7A}, {0xFE7C, 0xFE7C}, {0xFE7E, 0xFE7E}, {0, 0}};
const UnicodeRange kArmnRanges[] = {
    {0x530, 0x58F}, {0xFB13, 0xFB17}, {0, 0}};
const UnicodeRange kArmnNonbase[] = {
    {0x559, 0x55F}, {0, 0}};
const UnicodeRange kAvstRanges[] = {
    {0x10B00, 0x10B3F}, {0, 0}};
const UnicodeRange kAvstNonbase[] = {
    {0x10B39, 0x10B3F}, {0, 0}};
const UnicodeRange kBamuRanges[] = {
    {0xA6A0, 0xA6FF}, {0, 0}};
const UnicodeRange kBamuNonbase[] = {
    {0xA6F0, 0xA6F1}, {0, 0}};
const UnicodeRange kBengRanges[] = {
    {0x980, 0x9FF}, {0, 0}};
const UnicodeRange kBengNonbase[] = {
    {0x981, 0x981}, {0x9BC, 0x9BC}, {0x9C1, 0x9C4}, {0x9CD, 0x9CD}, {0x9E2, 0x9E3},
    {0x9FE, 0x9FE}, {0, 0}};
const UnicodeRange kBuhdRanges[] = {
    {0x1740, 0x175F}, {0, 0}};
const UnicodeRange kBuhdNonbase[] = {
    {0x1752, 0x1753}, {0, 0}};
const UnicodeRange kCakmRanges[] = {
    {0x11100, 0x1114F}, {0, 0}};
const UnicodeRange kCakmNonbase[] = {
    {0x11100, 0x11102}, {0x11127, 0x11134}, {0x11146, 0x11146}, {0, 0}};
const UnicodeRange kCansRanges[] = {
    {0x1400, 0x167F}, {0x18B0, 0x18FF}, {0, 0}};
const UnicodeRange kCansNonbase[] = {
    {0, 0}};
const UnicodeRange kCariRanges[] = {
    {0x102A0, 0x102DF}, {0, 0}};
const UnicodeRange kCariNonbase[] = {
    {0, 0}};
const UnicodeRange kCherRanges[] = {
    {0x13A0, 0x13FF}, {0xAB70, 0xABBF}, {0, 0}};
const UnicodeRange kCherNonbase[] = {
    {0, 0}};
const UnicodeRange kCoptRanges[] = {
    {0x2C80, 0x2CFF}, {0, 0}};
const UnicodeRange kCoptNonbase[] = {
    {0x2CEF, 0x2CF1}, {0, 0}};
const UnicodeRange kCprtRanges[] = {
    {0x10800, 0x1083F}, {0, 0}};
const UnicodeRange kCprtNonbase[] = {
    {0, 0}};
const UnicodeRange kCyrlRanges[] = {
    {0x400, 0x4FF}, {0x500, 0x52F}, {0x2DE0, 0x2DFF}, {0xA640, 0xA69F}, {0x1C80, 0x1C8F}, {0, 0}};
const UnicodeRange kCyrlNonbase[] = {
    {0x483, 0x489}, {0x2DE0, 0x2DFF}, {0xA66F, 0xA67F}, {0xA69E, 0xA69F}, {0, 0}};
const UnicodeRange kDevaRanges[] = {
    {0x900, 0x93B}, {0x93D, 0x950}, {0x953, 0x963}, {0x966, 0x97F}, {0x20B9, 0x20B9},
    {0xA8E0, 0xA8FF}, {0, 0}};
const UnicodeRange kDevaNonbase[] = {
    {0x900, 0x902}, {0x93A, 0x93A}, {0x941, 0x948}, {0x94D, 0x94D}, {0x953, 0x957},
    {0x962, 0x963}, {0xA8E0, 0xA8F1}, {0xA8FF, 0xA8FF}, {0, 0}};
const UnicodeRange kDsrtRanges[] = {
    {0x10400, 0x1044F}, {0, 0}};
const UnicodeRange kDsrtNonbase[] = {
    {0, 0}};
const UnicodeRange kEthiRanges[] = {
    {0x1200, 0x137F}, {0x1380, 0x139F}, {0x2D80, 0x2DDF}, {0xAB00, 0xAB2F}, {0, 0}};
const UnicodeRange kEthiNonbase[] = {
    {0x135D, 0x135F}, {0, 0}};
const UnicodeRange kGeorRanges[] = {
    {0x10D0, 0x10FF}, {0x1C90, 0x1CBF}, {0, 0}};
const UnicodeRange kGeorNonbase[] = {
    {0, 0}};
const UnicodeRange kGeokRanges[] = {
    {0x10A0, 0x10CD}, {0x2D00, 0x2D2D}, {0, 0}};
const UnicodeRange kGeokNonbase[] = {
    {0, 0}};
const UnicodeRange kGlagRanges[] = {
    {0x2C00, 0x2C5F}, {0x1E000, 0x1E02F}, {0, 0}};
const UnicodeRange kGlagNonbase[] = {
    {0x1E000, 0x1E02F}, {0, 0}};
const UnicodeRange kGothRanges[] = {
    {0x10330, 0x1034F}, {0, 0}};
const UnicodeRange kGothNonbase[] = {
    {0, 0}};
const UnicodeRange kGrekRanges[] = {
    {0x370, 0x3FF}, {0x1F00, 0x1FFF}, {0, 0}};
const UnicodeRange kGrekNonbase[] = {
    {0x37A, 0x37A}, {0x384, 0x385}, {0x1FBD, 0x1FC1}, {0x1FCD, 0x1FCF}, {0x1FDD, 0x1FDF},
    {0x1FED, 0x1FEF}, {0x1FFD, 0x1FFE}, {0, 0}};
const UnicodeRange kGujrRanges[] = {
    {0xA80, 0xAFF}, {0, 0}};
const UnicodeRange kGujrNonbase[] = {
    {0xA81, 0xA82}, {0xABC, 0xABC}, {0xAC1, 0xAC8}, {0xACD, 0xACD}, {0xAE2, 0xAE3},
    {0xAFA, 0xAFF}, {0, 0}};
const UnicodeRange kGuruRanges[] = {
    {0xA00, 0xA7F}, {0, 0}};
const UnicodeRange kGuruNonbase[] = {
    {0xA01, 0xA02}, {0xA3C, 0xA3C}, {0xA41, 0xA51}, {0xA70, 0xA71}, {0xA75, 0xA75}, {0, 0}};
const UnicodeRange kHebrRanges[] = {
    {0x590, 0x5FF}, {0xFB1D, 0xFB4F}, {0, 0}};
const UnicodeRange kHebrNonbase[] = {
    {0x591, 0x5BF}, {0x5C1, 0x5C2}, {0x5C4, 0x5C5}, {0x5C7, 0x5C7}, {0xFB1E, 0xFB1E}, {0, 0}};
const UnicodeRange kKaliRanges[] = {
    {0xA900, 0xA92F}, {0, 0}};
const UnicodeRange kKaliNonbase[] = {
    {0xA926, 0xA92D}, {0, 0}};
const UnicodeRange kKhmrRanges[] = {
    {0x1780, 0x17FF}, {0, 0}};
const UnicodeRange kKhmrNonbase[] = {
    {0x17B7, 0x17BD}, {0x17C6, 0x17C6}, {0x17C9, 0x17D3}, {0x17DD, 0x17DD}, {0, 0}};
const UnicodeRange kKhmsRanges[] = {
    {0x19E0, 0x19FF}, {0, 0}};
const UnicodeRange kKhmsNonbase[] = {
    {0, 0}};
const UnicodeRange kKndaRanges[] = {
    {0xC80, 0xCFF}, {0, 0}};
const UnicodeRange kKndaNonbase[] = {
    {0xC81, 0xC81}, {0xCBC, 0xCBC}, {0xCBF, 0xCBF}, {0xCC6, 0xCC6}, {0xCCC, 0xCCD},
    {0xCE2, 0xCE3}, {0, 0}};
const UnicodeRange kLaoRanges[] = {
    {0xE80, 0xEFF}, {0, 0}};
const UnicodeRange kLaoNonbase[] = {
    {0xEB1, 0xEB1}, {0xEB4, 0xEBC}, {0xEC8, 0xECD}, {0, 0}};
const UnicodeRange kLatnRanges[] = {
    {0x20, 0x7F}, {0xA0, 0xA9}, {0xAB, 0xB1}, {0xB4, 0xB8}, {0xBB, 0xFF}, {0x100, 0x17F},
    {0x180, 0x24F}, {0x250, 0x2AF}, {0x2B9, 0x2DF}, {0x2E5, 0x2FF}, {0x300, 0x36F},
    {0x1AB0, 0x1ABE}, {0x1D00, 0x1D2B}, {0x1D6B, 0x1D77}, {0x1D79, 0x1D7F}, {0x1D80, 0x1D9A},
    {0x1DC0, 0x1DFF}, {0x1E00, 0x1EFF}, {0x2000, 0x206F}, {0x20A0, 0x20B8}, {0x20BA, 0x20CF},
    {0x2150, 0x218F}, {0x2C60, 0x2C7B}, {0x2C7E, 0x2C7F}, {0x2E00, 0x2E7F}, {0xA720, 0xA76F},
    {0xA771, 0xA7F7}, {0xA7FA, 0xA7FF}, {0xAB30, 0xAB5B}, {0xAB60, 0xAB6F}, {0xFB00, 0xFB06},
    {0x1D400, 0x1D7FF}, {0, 0}};
const UnicodeRange kLatnNonbase[] = {
    {0x5E, 0x60}, {0x7E, 0x7E}, {0xA8, 0xA9}, {0xAE, 0xB0}, {0xB4, 0xB4}, {0xB8, 0xB8},
    {0xBC, 0xBE}, {0x2B9, 0x2DF}, {0x2E5, 0x2FF}, {0x300, 0x36F}, {0x1AB0, 0x1ABE},
    {0x1DC0, 0x1DFF}, {0x2017, 0x2017}, {0x203E, 0x203E}, {0xA788, 0xA788}, {0xA7F8, 0xA7FA}, {0, 0}};
const UnicodeRange kLatbRanges[] = {
    {0x1D62, 0x1D6A}, {0x2080, 0x209C}, {0x2C7C, 0x2C7C}, {0, 0}};
const UnicodeRange kLatbNonbase[] = {
    {0, 0}};
const UnicodeRange kLatpRanges[] = {
    {0xAA, 0xAA}, {0xB2, 0xB3}, {0xB9, 0xBA}, {0x2B0, 0x2B8}, {0x2E0, 0x2E4}, {0x1D2C, 0x1D61},
    {0x1D78, 0x1D78}, {0x1D9B, 0x1DBF}, {0x2070, 0x207F}, {0x2C7D, 0x2C7D}, {0xA770, 0xA770},
    {0xA7F8, 0xA7F9}, {0xAB5C, 0xAB5F}, {0, 0}};
const UnicodeRange kLatpNonbase[] = {
    {0, 0}};
const UnicodeRange kLisuRanges[] = {
    {0xA4D0, 0xA4FF}, {0, 0}};
const UnicodeRange kLisuNonbase[] = {
    {0, 0}};
const UnicodeRange kMlymRanges[] = {
    {0xD00, 0xD7F}, {0, 0}};
const UnicodeRange kMlymNonbase[] = {
    {0xD00, 0xD01}, {0xD3B, 0xD3C}, {0xD4D, 0xD4E}, {0xD62, 0xD63}, {0, 0}};
const UnicodeRange kMedfRanges[] = {
    {0x16E40, 0x16E9F}, {0, 0}};
const UnicodeRange kMedfNonbase[] = {
    {0, 0}};
const UnicodeRange kMongRanges[] = {
    {0x1800, 0x18AF}, {0x11660, 0x1167F}, {0, 0}};
const UnicodeRange kMongNonbase[] = {
    {0x1885, 0x1886}, {0x18A9, 0x18A9}, {0, 0}};
const UnicodeRange kMymrRanges[] = {
    {0x1000, 0x109F}, {0xA9E0, 0xA9FF}, {0xAA60, 0xAA7F}, {0, 0}};
const UnicodeRange kMymrNonbase[] = {
    {0x102D, 0x1030}, {0x1032, 0x1037}, {0x103A, 0x103A}, {0x103D, 0x103E}, {0x1058, 0x1059},
    {0x105E, 0x1060}, {0x1071, 0x1074}, {0x1082, 0x1082}, {0x1085, 0x1086}, {0x108D, 0x108D},
    {0xA9E5, 0xA9E5}, {0xAA7C, 0xAA7C}, {0, 0}};
const UnicodeRange kNkooRanges[] = {
    {0x7C0, 0x7FF}, {0, 0}};
const UnicodeRange kNkooNonbase[] = {
    {0x7EB, 0x7F5}, {0x7FD, 0x7FD}, {0, 0}};
const UnicodeRange kNoneRanges[] = {
    {0, 0}};
const UnicodeRange kNoneNonbase[] = {
    {0, 0}};
const UnicodeRange kOlckRanges[] = {
    {0x1C50, 0x1C7F}, {0, 0}};
const UnicodeRange kOlckNonbase[] = {
    {0, 0}};
const UnicodeRange kOrkhRanges[] = {
    {0x10C00, 0x10C4F}, {0, 0}};
const UnicodeRange kOrkhNonbase[] = {
    {0, 0}};
const UnicodeRange kOsgeRanges[] = {
    {0x104B0, 0x104FF}, {0, 0}};
const UnicodeRange kOsgeNonbase[] = {
    {0, 0}};
const UnicodeRange kOsmaRanges[] = {
    {0x10480, 0x104AF}, {0, 0}};
const UnicodeRange kOsmaNonbase[] = {
    {0, 0}};
const UnicodeRange kRohgRanges[] = {
    {0x10D00, 0x10D3F}, {0, 0}};
const UnicodeRange kRohgNonbase[] = {
    {0, 0}};
const UnicodeRange kSaurRanges[] = {
    {0xA880, 0xA8DF}, {0, 0}};
const UnicodeRange kSaurNonbase[] = {
    {0xA880, 0xA881}, {0xA8B4, 0xA8C5}, {0, 0}};
const UnicodeRange kShawRanges[] = {
    {0x10450, 0x1047F}, {0, 0}};
const UnicodeRange kShawNonbase[] = {
    {0, 0}};
const UnicodeRange kSinhRanges[] = {
    {0xD80, 0xDFF}, {0, 0}};
const UnicodeRange kSinhNonbase[] = {
    {0xDCA, 0xDCA}, {0xDD2, 0xDD6}, {0, 0}};
const UnicodeRange kSundRanges[] = {
    {0x1B80, 0x1BBF}, {0x1CC0, 0x1CCF}, {0, 0}};
const UnicodeRange kSundNonbase[] = {
    {0x1B80, 0x1B82}, {0x1BA1, 0x1BAD}, {0, 0}};
const UnicodeRange kTamlRanges[] = {
    {0xB80, 0xBFF}, {0, 0}};
const UnicodeRange kTamlNonbase[] = {
    {0xB82, 0xB82}, {0xBC0, 0xBC2}, {0xBCD, 0xBCD}, {0, 0}};
const UnicodeRange kTavtRanges[] = {
    {0xAA80, 0xAADF}, {0, 0}};
const UnicodeRange kTavtNonbase[] = {
    {0xAAB0, 0xAAB0}, {0xAAB2, 0xAAB4}, {0xAAB7, 0xAAB8}, {0xAABE, 0xAABF}, {0xAAC1, 0xAAC1}, {0, 0}};
const UnicodeRange kTeluRanges[] = {
    {0xC00, 0xC7F}, {0, 0}};
const UnicodeRange kTeluNonbase[] = {
    {0xC00, 0xC00}, {0xC04, 0xC04}, {0xC3E, 0xC40}, {0xC46, 0xC56}, {0xC62, 0xC63}, {0, 0}};
const UnicodeRange kTfngRanges[] = {
    {0x2D30, 0x2D7F}, {0, 0}};
const UnicodeRange kTfngNonbase[] = {
    {0, 0}};
const UnicodeRange kThaiRanges[] = {
    {0xE00, 0xE7F}, {0, 0}};
const UnicodeRange kThaiNonbase[] = {
    {0xE31, 0xE31}, {0xE34, 0xE3A}, {0xE47, 0xE4E}, {0, 0}};
const UnicodeRange kVaiiRanges[] = {
    {0xA500, 0xA63F}, {0, 0}};
const UnicodeRange kVaiiNonbase[] = {
    {0, 0}};
const UnicodeRange kLimbRanges[] = {
    {0x1900, 0x194F}, {0, 0}};
const UnicodeRange kLimbNonbase[] = {
    {0x1920, 0x1922}, {0x1927, 0x1934}, {0x1937, 0x193B}, {0, 0}};
const UnicodeRange kOryaRanges[] = {
    {0xB00, 0xB7F}, {0, 0}};
const UnicodeRange kOryaNonbase[] = {
    {0xB01, 0xB02}, {0xB3C, 0xB3C}, {0xB3F, 0xB3F}, {0xB41, 0xB44}, {0xB4D, 0xB56},
    {0xB62, 0xB63}, {0, 0}};
const UnicodeRange kSyloRanges[] = {
    {0xA800, 0xA82F}, {0, 0}};
const UnicodeRange kSyloNonbase[] = {
    {0xA802, 0xA802}, {0xA806, 0xA806}, {0xA80B, 0xA80B}, {0xA825, 0xA826}, {0, 0}};
const UnicodeRange kTibtRanges[] = {
    {0xF00, 0xFFF}, {0, 0}};
const UnicodeRange kTibtNonbase[] = {
    {0xF18, 0xF19}, {0xF35, 0xF35}, {0xF37, 0xF37}, {0xF39, 0xF39}, {0xF3E, 0xF3F},
    {0xF71, 0xF7E}, {0xF80, 0xF84}, {0xF86, 0xF87}, {0xF8D, 0xFBC}, {0, 0}};
const UnicodeRange kHaniRanges[] = {
    {0x1100, 0x11FF}, {0x2E80, 0x2EFF}, {0x2F00, 0x2FDF}, {0x2FF0, 0x2FFF}, {0x3000, 0x303F},
    {0x3040, 0x309F}, {0x30A0, 0x30FF}, {0x3100, 0x312F}, {0x3130, 0x318F}, {0x3190, 0x319F},
    {0x31A0, 0x31BF}, {0x31C0, 0x31EF}, {0x31F0, 0x31FF}, {0x3300, 0x33FF}, {0x3400, 0x4DBF},
    {0x4DC0, 0x4DFF}, {0x4E00, 0x9FFF}, {0xA960, 0xA97F}, {0xAC00, 0xD7AF}, {0xD7B0, 0xD7FF},
    {0xF900, 0xFAFF}, {0xFE10, 0xFE1F}, {0xFE30, 0xFE4F}, {0xFF00, 0xFFEF}, {0x1B000, 0x1B0FF},
    {0x1B100, 0x1B12F}, {0x1D300, 0x1D35F}, {0x20000, 0x2A6DF}, {0x2A700, 0x2B73F},
    {0x2B740, 0x2B81F}, {0x2B820, 0x2CEAF}, {0x2CEB0, 0x2EBEF}, {0x2F800, 0x2FA1F}, {0, 0}};
const UnicodeRange kHaniNonbase[] = {
    {0x302A, 0x302F}, {0x3190, 0x319F}, {0, 0}};

const BlueString kBluesAdlm[] = {
    {"\xF0\x9E\xA4\x8C \xF0\x9E\xA4\x85 \xF0\x9E\xA4\x88 \xF0\x9E\xA4\x8F \xF0\x9E\xA4\x94 \xF0\x9E\xA4\x9A",
     kBlueLatinTop},
    {"\xF0\x9E\xA4\x82 \xF0\x9E\xA4\x96",
     0},
    {"\xF0\x9E\xA4\xAC \xF0\x9E\xA4\xAE \xF0\x9E\xA4\xBB \xF0\x9E\xA4\xBC \xF0\x9E\xA4\xBE",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xF0\x9E\xA4\xA4 \xF0\x9E\xA4\xA8 \xF0\x9E\xA4\xA9 \xF0\x9E\xA4\xAD \xF0\x9E\xA4\xB4 \xF0\x9E\xA4\xB8 \xF0\x9E\xA4\xBA \xF0\x9E\xA5\x80",
     0},
};
const BlueString kBluesArab[] = {
    {"\xD8\xA7 \xD8\xA5 \xD9\x84 \xD9\x83 \xD8\xB7 \xD8\xB8",
     kBlueLatinTop},
    {"\xD8\xAA \xD8\xAB \xD8\xB7 \xD8\xB8 \xD9\x83",
     0},
    {"\xD9\x80",
     kBlueLatinNeutral},
};
const BlueString kBluesArmn[] = {
    {"\xD4\xB1 \xD5\x84 \xD5\x92 \xD5\x8D \xD4\xB2 \xD4\xB3 \xD4\xB4 \xD5\x95",
     kBlueLatinTop},
    {"\xD5\x92 \xD5\x88 \xD4\xB4 \xD5\x83 \xD5\x87 \xD5\x8D \xD5\x8F \xD5\x95",
     0},
    {"\xD5\xA5 \xD5\xA7 \xD5\xAB \xD5\xB4 \xD5\xBE \xD6\x86 \xD5\xB3",
     kBlueLatinTop},
    {"\xD5\xA1 \xD5\xB5 \xD6\x82 \xD5\xBD \xD5\xA3 \xD5\xB7 \xD6\x80 \xD6\x85",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xD5\xB0 \xD5\xB8 \xD5\xB3 \xD5\xA1 \xD5\xA5 \xD5\xAE \xD5\xBD \xD6\x85",
     0},
    {"\xD5\xA2 \xD5\xA8 \xD5\xAB \xD5\xAC \xD5\xB2 \xD5\xBA \xD6\x83 \xD6\x81",
     0},
};
const BlueString kBluesAvst[] = {
    {"\xF0\x90\xAC\x80 \xF0\x90\xAC\x81 \xF0\x90\xAC\x90 \xF0\x90\xAC\x9B",
     kBlueLatinTop},
    {"\xF0\x90\xAC\x80 \xF0\x90\xAC\x81",
     0},
};
const BlueString kBluesBamu[] = {
    {"\xEA\x9A\xA7 \xEA\x9A\xA8 \xEA\x9B\x9B \xEA\x9B\x89 \xEA\x9B\x81 \xEA\x9B\x88 \xEA\x9B\xAB \xEA\x9B\xAF",
     kBlueLatinTop},
    {"\xEA\x9A\xAD \xEA\x9A\xB3 \xEA\x9A\xB6 \xEA\x9B\xAC \xEA\x9A\xA2 \xEA\x9A\xBD \xEA\x9B\xAF \xEA\x9B\xB2",
     0},
};
const BlueString kBluesBeng[] = {
    {"\xE0\xA6\x87 \xE0\xA6\x9F \xE0\xA6\xA0 \xE0\xA6\xBF \xE0\xA7\x80 \xE0\xA7\x88 \xE0\xA7\x97",
     kBlueLatinTop},
    {"\xE0\xA6\x93 \xE0\xA6\x8F \xE0\xA6\xA1 \xE0\xA6\xA4 \xE0\xA6\xA8 \xE0\xA6\xAC \xE0\xA6\xB2 \xE0\xA6\x95",
     kBlueLatinTop},
    {"\xE0\xA6\x85 \xE0\xA6\xA1 \xE0\xA6\xA4 \xE0\xA6\xA8 \xE0\xA6\xAC \xE0\xA6\xAD \xE0\xA6\xB2 \xE0\xA6\x95",
     kBlueLatinTop | kBlueLatinNeutral | kBlueLatinXHeight},
    {"\xE0\xA6\x85 \xE0\xA6\xA1 \xE0\xA6\xA4 \xE0\xA6\xA8 \xE0\xA6\xAC \xE0\xA6\xAD \xE0\xA6\xB2 \xE0\xA6\x95",
     0},
};
const BlueString kBluesBuhd[] = {
    {"\xE1\x9D\x90 \xE1\x9D\x88",
     kBlueLatinTop},
    {"\xE1\x9D\x85 \xE1\x9D\x8A \xE1\x9D\x8E",
     kBlueLatinTop},
    {"\xE1\x9D\x82 \xE1\x9D\x83 \xE1\x9D\x89 \xE1\x9D\x8C",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE1\x9D\x80 \xE1\x9D\x83 \xE1\x9D\x86 \xE1\x9D\x89 \xE1\x9D\x8B \xE1\x9D\x8F \xE1\x9D\x91",
     0},
};
const BlueString kBluesCakm[] = {
    {"\xF0\x91\x84\x83 \xF0\x91\x84\x85 \xF0\x91\x84\x89 \xF0\x91\x84\x99 \xF0\x91\x84\x97",
     kBlueLatinTop},
    {"\xF0\x91\x84\x85 \xF0\x91\x84\x9B \xF0\x91\x84\x9D \xF0\x91\x84\x97 \xF0\x91\x84\x93",
     0},
    {"\xF0\x91\x84\x96\xF0\x91\x84\xB3\xF0\x91\x84\xA2 \xF0\x91\x84\x98\xF0\x91\x84\xB3\xF0\x91\x84\xA2 \xF0\x91\x84\x99\xF0\x91\x84\xB3\xF0\x91\x84\xA2 \xF0\x91\x84\xA4\xF0\x91\x84\xB3\xF0\x91\x84\xA2 \xF0\x91\x84\xA5\xF0\x91\x84\xB3\xF0\x91\x84\xA2",
     0},
};
const BlueString kBluesCans[] = {
    {"\xE1\x97\x9C \xE1\x96\xB4 \xE1\x90\x81 \xE1\x92\xA3 \xE1\x91\xAB \xE1\x91\x8E \xE1\x94\x91 \xE1\x97\xB0",
     kBlueLatinTop},
    {"\xE1\x97\xB6 \xE1\x96\xB5 \xE1\x92\xA7 \xE1\x90\x83 \xE1\x91\x8C \xE1\x92\x8D \xE1\x94\x91 \xE1\x97\xA2",
     0},
    {"\xE1\x93\x93 \xE1\x93\x95 \xE1\x93\x80 \xE1\x93\x82 \xE1\x93\x84 \xE1\x95\x84 \xE1\x95\x86 \xE1\x98\xA3",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE1\x95\x83 \xE1\x93\x82 \xE1\x93\x80 \xE1\x95\x82 \xE1\x93\x97 \xE1\x93\x9A \xE1\x95\x86 \xE1\x98\xA3",
     0},
    {"\xE1\x90\xAA \xE1\x99\x86 \xE1\xA3\x98 \xE1\x90\xA2 \xE1\x92\xBE \xE1\xA3\x97 \xE1\x94\x86",
     kBlueLatinTop},
    {"\xE1\x99\x86 \xE1\x97\xAE \xE1\x92\xBB \xE1\x90\x9E \xE1\x94\x86 \xE1\x92\xA1 \xE1\x92\xA2 \xE1\x93\x91",
     0},
};
const BlueString kBluesCari[] = {
    {"\xF0\x90\x8A\xA7 \xF0\x90\x8A\xAB \xF0\x90\x8A\xAC \xF0\x90\x8A\xAD \xF0\x90\x8A\xB1 \xF0\x90\x8A\xBA \xF0\x90\x8A\xBC \xF0\x90\x8A\xBF",
     kBlueLatinTop},
    {"\xF0\x90\x8A\xA3 \xF0\x90\x8A\xA7 \xF0\x90\x8A\xB7 \xF0\x90\x8B\x80 \xF0\x90\x8A\xAB \xF0\x90\x8A\xB8 \xF0\x90\x8B\x89",
     0},
};
const BlueString kBluesCher[] = {
    {"\xE1\x8F\x86 \xE1\x8E\xBB \xE1\x8E\xAC \xE1\x8F\x83 \xE1\x8E\xA4 \xE1\x8F\xA3 \xE1\x8E\xA6 \xE1\x8F\x95",
     kBlueLatinTop},
    {"\xE1\x8F\x86 \xE1\x8E\xBB \xE1\x8E\xAC \xE1\x8F\x83 \xE1\x8E\xA4 \xE1\x8F\xA3 \xE1\x8E\xA6 \xE1\x8F\x95",
     0},
    {"\xEA\xAE\x92 \xEA\xAE\xA4 \xEA\xAE\xB6 \xEA\xAD\xB4 \xEA\xAD\xBE \xEA\xAE\x97 \xEA\xAE\x9D \xEA\xAE\xBF",
     kBlueLatinTop},
    {"\xEA\xAE\x96 \xEA\xAD\xBC \xEA\xAE\x93 \xEA\xAE\xA0 \xEA\xAE\xB3 \xEA\xAD\xB6 \xEA\xAE\xA5 \xEA\xAE\xBB",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xEA\xAE\x96 \xEA\xAD\xBC \xEA\xAE\x93 \xEA\xAE\xA0 \xEA\xAE\xB3 \xEA\xAD\xB6 \xEA\xAE\xA5 \xEA\xAE\xBB",
     0},
    {"\xE1\x8F\xB8 \xEA\xAE\x90 \xEA\xAD\xB9 \xEA\xAD\xBB",
     0},
};
const BlueString kBluesCopt[] = {
    {"\xE2\xB2\x8C \xE2\xB2\x8E \xE2\xB2\xA0 \xE2\xB3\x9E \xE2\xB2\x9E \xE2\xB2\x90 \xE2\xB2\xA4 \xE2\xB3\x8A",
     kBlueLatinTop},
    {"\xE2\xB3\x90 \xE2\xB3\x98 \xE2\xB3\x9E \xE2\xB2\x8E \xE2\xB2\x9E \xE2\xB2\x90 \xE2\xB3\x9C \xE2\xB2\xB0",
     0},
    {"\xE2\xB2\x8D \xE2\xB2\x8F \xE2\xB2\xA1 \xE2\xB3\x9F \xE2\xB2\x9F \xE2\xB2\x91 \xE2\xB2\xA5 \xE2\xB3\x8B",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE2\xB3\x91 \xE2\xB3\x99 \xE2\xB3\x9F \xE2\xB2\x8F \xE2\xB2\x9F \xE2\xB2\x91 \xE2\xB3\x9D \xE2\xB3\x92",
     0},
};
const BlueString kBluesCprt[] = {
    {"\xF0\x90\xA0\x8D \xF0\x90\xA0\x99 \xF0\x90\xA0\xB3 \xF0\x90\xA0\xB1 \xF0\x90\xA0\x85 \xF0\x90\xA0\x93 \xF0\x90\xA0\xA3 \xF0\x90\xA0\xA6",
     kBlueLatinTop},
    {"\xF0\x90\xA0\x83 \xF0\x90\xA0\x8A \xF0\x90\xA0\x9B \xF0\x90\xA0\xA3 \xF0\x90\xA0\xB3 \xF0\x90\xA0\xB5 \xF0\x90\xA0\x90",
     0},
    {"\xF0\x90\xA0\x88 \xF0\x90\xA0\x8F \xF0\x90\xA0\x96",
     kBlueLatinTop},
    {"\xF0\x90\xA0\x88 \xF0\x90\xA0\x8F \xF0\x90\xA0\x96",
     0},
};
const BlueString kBluesCyrl[] = {
    {"\xD0\x91 \xD0\x92 \xD0\x95 \xD0\x9F \xD0\x97 \xD0\x9E \xD0\xA1 \xD0\xAD",
     kBlueLatinTop},
    {"\xD0\x91 \xD0\x92 \xD0\x95 \xD0\xA8 \xD0\x97 \xD0\x9E \xD0\xA1 \xD0\xAD",
     0},
    {"\xD1\x85 \xD0\xBF \xD0\xBD \xD1\x88 \xD0\xB5 \xD0\xB7 \xD0\xBE \xD1\x81",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xD1\x85 \xD0\xBF \xD0\xBD \xD1\x88 \xD0\xB5 \xD0\xB7 \xD0\xBE \xD1\x81",
     0},
    {"\xD1\x80 \xD1\x83 \xD1\x84",
     0},
};
const BlueString kBluesDeva[] = {
    {"\xE0\xA4\x88 \xE0\xA4\x90 \xE0\xA4\x93 \xE0\xA4\x94 \xE0\xA4\xBF \xE0\xA5\x80 \xE0\xA5\x8B \xE0\xA5\x8C",
     kBlueLatinTop},
    {"\xE0\xA4\x95 \xE0\xA4\xAE \xE0\xA4\x85 \xE0\xA4\x86 \xE0\xA4\xA5 \xE0\xA4\xA7 \xE0\xA4\xAD \xE0\xA4\xB6",
     kBlueLatinTop},
    {"\xE0\xA4\x95 \xE0\xA4\xA8 \xE0\xA4\xAE \xE0\xA4\x89 \xE0\xA4\x9B \xE0\xA4\x9F \xE0\xA4\xA0 \xE0\xA4\xA1",
     kBlueLatinTop | kBlueLatinNeutral | kBlueLatinXHeight},
    {"\xE0\xA4\x95 \xE0\xA4\xA8 \xE0\xA4\xAE \xE0\xA4\x89 \xE0\xA4\x9B \xE0\xA4\x9F \xE0\xA4\xA0 \xE0\xA4\xA1",
     0},
    {"\xE0\xA5\x81 \xE0\xA5\x83",
     0},
};
const BlueString kBluesDsrt[] = {
    {"\xF0\x90\x90\x82 \xF0\x90\x90\x84 \xF0\x90\x90\x8B \xF0\x90\x90\x97 \xF0\x90\x90\x91",
     kBlueLatinTop},
    {"\xF0\x90\x90\x80 \xF0\x90\x90\x82 \xF0\x90\x90\x84 \xF0\x90\x90\x97 \xF0\x90\x90\x9B",
     0},
    {"\xF0\x90\x90\xAA \xF0\x90\x90\xAC \xF0\x90\x90\xB3 \xF0\x90\x90\xBF \xF0\x90\x90\xB9",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xF0\x90\x90\xA8 \xF0\x90\x90\xAA \xF0\x90\x90\xAC \xF0\x90\x90\xBF \xF0\x90\x91\x83",
     0},
};
const BlueString kBluesEthi[] = {
    {"\xE1\x88\x80 \xE1\x88\x83 \xE1\x8B\x98 \xE1\x8D\x90 \xE1\x88\x9B \xE1\x89\xA0 \xE1\x8B\x8B \xE1\x8B\x90",
     kBlueLatinTop},
    {"\xE1\x88\x88 \xE1\x88\x90 \xE1\x89\xA0 \xE1\x8B\x98 \xE1\x88\x80 \xE1\x88\xAA \xE1\x8B\x90 \xE1\x8C\xA8",
     0},
};
const BlueString kBluesGeok[] = {
    {"\xE1\x82\xB1 \xE1\x82\xA7 \xE1\x82\xB9 \xE1\x82\xBC \xE1\x82\xA4 \xE1\x82\xA5 \xE1\x82\xB3 \xE1\x82\xBA",
     kBlueLatinTop},
    {"\xE1\x82\xA4 \xE1\x82\xA5 \xE1\x82\xA7 \xE1\x82\xA8 \xE1\x82\xA6 \xE1\x82\xB1 \xE1\x82\xAA \xE1\x82\xAB",
     0},
    {"\xE2\xB4\x81 \xE2\xB4\x97 \xE2\xB4\x82 \xE2\xB4\x84 \xE2\xB4\x85 \xE2\xB4\x87 \xE2\xB4\x94 \xE2\xB4\x96",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE2\xB4\x88 \xE2\xB4\x8C \xE2\xB4\x96 \xE2\xB4\x8E \xE2\xB4\x83 \xE2\xB4\x86 \xE2\xB4\x8B \xE2\xB4\xA2",
     0},
    {"\xE2\xB4\x90 \xE2\xB4\x91 \xE2\xB4\x93 \xE2\xB4\x95 \xE2\xB4\x99 \xE2\xB4\x9B \xE2\xB4\xA1 \xE2\xB4\xA3",
     kBlueLatinTop},
    {"\xE2\xB4\x84 \xE2\xB4\x85 \xE2\xB4\x94 \xE2\xB4\x95 \xE2\xB4\x81 \xE2\xB4\x82 \xE2\xB4\x98 \xE2\xB4\x9D",
     0},
};
const BlueString kBluesGeor[] = {
    {"\xE1\x83\x92 \xE1\x83\x93 \xE1\x83\x94 \xE1\x83\x95 \xE1\x83\x97 \xE1\x83\x98 \xE1\x83\x9D \xE1\x83\xA6",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE1\x83\x90 \xE1\x83\x96 \xE1\x83\x9B \xE1\x83\xA1 \xE1\x83\xA8 \xE1\x83\xAB \xE1\x83\xAE \xE1\x83\x9E",
     0},
    {"\xE1\x83\xA1 \xE1\x83\xAE \xE1\x83\xA5 \xE1\x83\x96 \xE1\x83\x9B \xE1\x83\xA8 \xE1\x83\xA9 \xE1\x83\xAC",
     kBlueLatinTop},
    {"\xE1\x83\x94 \xE1\x83\x95 \xE1\x83\x9F \xE1\x83\xA2 \xE1\x83\xA3 \xE1\x83\xA4 \xE1\x83\xA5 \xE1\x83\xA7",
     0},
    {"\xE1\xB2\x9C \xE1\xB2\x9F \xE1\xB2\xB3 \xE1\xB2\xB8 \xE1\xB2\x92 \xE1\xB2\x94 \xE1\xB2\x9D \xE1\xB2\xB4",
     kBlueLatinTop},
    {"\xE1\xB2\x98 \xE1\xB2\xB2 \xE1\xB2\x9D \xE1\xB2\xA9 \xE1\xB2\x9B \xE1\xB2\xA8 \xE1\xB2\xAF \xE1\xB2\xBD",
     0},
};
const BlueString kBluesGlag[] = {
    {"\xE2\xB0\x85 \xE2\xB0\x94 \xE2\xB0\xAA \xE2\xB0\x84 \xE2\xB0\x82 \xE2\xB0\x8A \xE2\xB0\xAB \xE2\xB0\x8B",
     kBlueLatinTop},
    {"\xE2\xB0\x85 \xE2\xB0\x84 \xE2\xB0\x82 \xE2\xB0\xAA \xE2\xB0\x9E \xE2\xB0\xA1 \xE2\xB0\x8A \xE2\xB0\x94",
     0},
    {"\xE2\xB0\xB5 \xE2\xB1\x84 \xE2\xB1\x9A \xE2\xB0\xB4 \xE2\xB0\xB2 \xE2\xB0\xBA \xE2\xB1\x9B \xE2\xB0\xBB",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE2\xB0\xB5 \xE2\xB0\xB4 \xE2\xB0\xB2 \xE2\xB1\x9A \xE2\xB1\x8E \xE2\xB1\x91 \xE2\xB0\xBA \xE2\xB1\x84",
     0},
};
const BlueString kBluesGoth[] = {
    {"\xF0\x90\x8C\xB2 \xF0\x90\x8C\xB6 \xF0\x90\x8D\x80 \xF0\x90\x8D\x84 \xF0\x90\x8C\xB4 \xF0\x90\x8D\x83 \xF0\x90\x8D\x88 \xF0\x90\x8C\xBE",
     kBlueLatinTop},
    {"\xF0\x90\x8C\xB6 \xF0\x90\x8C\xB4 \xF0\x90\x8D\x83 \xF0\x90\x8D\x88",
     0},
};
const BlueString kBluesGrek[] = {
    {"\xCE\x93 \xCE\x92 \xCE\x95 \xCE\x96 \xCE\x98 \xCE\x9F \xCE\xA9",
     kBlueLatinTop},
    {"\xCE\x92 \xCE\x94 \xCE\x96 \xCE\x9E \xCE\x98 \xCE\x9F",
     0},
    {"\xCE\xB2 \xCE\xB8 \xCE\xB4 \xCE\xB6 \xCE\xBB \xCE\xBE",
     kBlueLatinTop},
    {"\xCE\xB1 \xCE\xB5 \xCE\xB9 \xCE\xBF \xCF\x80 \xCF\x83 \xCF\x84 \xCF\x89",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xCE\xB1 \xCE\xB5 \xCE\xB9 \xCE\xBF \xCF\x80 \xCF\x83 \xCF\x84 \xCF\x89",
     0},
    {"\xCE\xB2 \xCE\xB3 \xCE\xB7 \xCE\xBC \xCF\x81 \xCF\x86 \xCF\x87 \xCF\x88",
     0},
};
const BlueString kBluesGujr[] = {
    {"\xE0\xAA\xA4 \xE0\xAA\xA8 \xE0\xAA\x8B \xE0\xAA\x8C \xE0\xAA\x9B \xE0\xAA\x9F \xE0\xAA\xB0 \xE0\xAB\xA6",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE0\xAA\x96 \xE0\xAA\x97 \xE0\xAA\x98 \xE0\xAA\x9E \xE0\xAA\x87 \xE0\xAA\x88 \xE0\xAA\xA0 \xE0\xAA\x9C",
     0},
    {"\xE0\xAA\x88 \xE0\xAA\x8A \xE0\xAA\xBF \xE0\xAB\x80 \xE0\xAA\xB2\xE0\xAB\x80 \xE0\xAA\xB6\xE0\xAB\x8D\xE0\xAA\x9A\xE0\xAA\xBF \xE0\xAA\x9C\xE0\xAA\xBF \xE0\xAA\xB8\xE0\xAB\x80",
     kBlueLatinTop},
    {"\xE0\xAB\x81 \xE0\xAB\x83 \xE0\xAB\x84 \xE0\xAA\x96\xE0\xAB\x81 \xE0\xAA\x9B\xE0\xAB\x83 \xE0\xAA\x9B\xE0\xAB\x84",
     0},
    {"\xE0\xAB\xA6 \xE0\xAB\xA7 \xE0\xAB\xA8 \xE0\xAB\xA9 \xE0\xAB\xAD",
     kBlueLatinTop},
};
const BlueString kBluesGuru[] = {
    {"\xE0\xA8\x87 \xE0\xA8\x88 \xE0\xA8\x89 \xE0\xA8\x8F \xE0\xA8\x93 \xE0\xA9\xB3 \xE0\xA8\xBF \xE0\xA9\x80",
     kBlueLatinTop},
    {"\xE0\xA8\x95 \xE0\xA8\x97 \xE0\xA8\x99 \xE0\xA8\x9A \xE0\xA8\x9C \xE0\xA8\xA4 \xE0\xA8\xA7 \xE0\xA8\xB8",
     kBlueLatinTop},
    {"\xE0\xA8\x95 \xE0\xA8\x97 \xE0\xA8\x99 \xE0\xA8\x9A \xE0\xA8\x9C \xE0\xA8\xA4 \xE0\xA8\xA7 \xE0\xA8\xB8",
     kBlueLatinTop | kBlueLatinNeutral | kBlueLatinXHeight},
    {"\xE0\xA8\x85 \xE0\xA8\x8F \xE0\xA8\x93 \xE0\xA8\x97 \xE0\xA8\x9C \xE0\xA8\xA0 \xE0\xA8\xB0 \xE0\xA8\xB8",
     0},
    {"\xE0\xA9\xA6 \xE0\xA9\xA7 \xE0\xA9\xA8 \xE0\xA9\xA9 \xE0\xA9\xAD",
     kBlueLatinTop},
};
const BlueString kBluesHani[] = {
    {"\xE4\xBB\x96 \xE4\xBB\xAC \xE4\xBD\xA0 \xE4\xBE\x86 \xE5\x80\x91 \xE5\x88\xB0 \xE5\x92\x8C \xE5\x9C\xB0 \xE5\xAF\xB9 \xE5\xB0\x8D \xE5\xB0\xB1 \xE5\xB8\xAD \xE6\x88\x91 \xE6\x97\xB6 \xE6\x99\x82 \xE6\x9C\x83 \xE6\x9D\xA5 \xE7\x82\xBA \xE8\x83\xBD \xE8\x88\xB0 \xE8\xAA\xAA \xE8\xAF\xB4 \xE8\xBF\x99 \xE9\x80\x99 \xE9\xBD\x8A | \xE5\x86\x9B \xE5\x90\x8C \xE5\xB7\xB2 \xE6\x84\xBF \xE6\x97\xA2 \xE6\x98\x9F \xE6\x98\xAF \xE6\x99\xAF \xE6\xB0\x91 \xE7\x85\xA7 \xE7\x8E\xB0 \xE7\x8F\xBE \xE7\x90\x86 \xE7\x94\xA8 \xE7\xBD\xAE \xE8\xA6\x81 \xE8\xBB\x8D \xE9\x82\xA3 \xE9\x85\x8D \xE9\x87\x8C \xE9\x96\x8B \xE9\x9B\xB7 \xE9\x9C\xB2 \xE9\x9D\xA2 \xE9\xA1\xBE",
     kBlueCjkTop},
    {"\xE4\xB8\xAA \xE4\xB8\xBA \xE4\xBA\xBA \xE4\xBB\x96 \xE4\xBB\xA5 \xE4\xBB\xAC \xE4\xBD\xA0 \xE4\xBE\x86 \xE5\x80\x8B \xE5\x80\x91 \xE5\x88\xB0 \xE5\x92\x8C \xE5\xA4\xA7 \xE5\xAF\xB9 \xE5\xB0\x8D \xE5\xB0\xB1 \xE6\x88\x91 \xE6\x97\xB6 \xE6\x99\x82 \xE6\x9C\x89 \xE6\x9D\xA5 \xE7\x82\xBA \xE8\xA6\x81 \xE8\xAA\xAA \xE8\xAF\xB4 | \xE4\xB8\xBB \xE4\xBA\x9B \xE5\x9B\xA0 \xE5\xAE\x83 \xE6\x83\xB3 \xE6\x84\x8F \xE7\x90\x86 \xE7\x94\x9F \xE7\x95\xB6 \xE7\x9C\x8B \xE7\x9D\x80 \xE7\xBD\xAE \xE8\x80\x85 \xE8\x87\xAA \xE8\x91\x97 \xE8\xA3\xA1 \xE8\xBF\x87 \xE8\xBF\x98 \xE8\xBF\x9B \xE9\x80\xB2 \xE9\x81\x8E \xE9\x81\x93 \xE9\x82\x84 \xE9\x87\x8C \xE9\x9D\xA2",
     0},
};
const BlueString kBluesHebr[] = {
    {"\xD7\x91 \xD7\x93 \xD7\x94 \xD7\x97 \xD7\x9A \xD7\x9B \xD7\x9D \xD7\xA1",
     kBlueLatinTop | kBlueLatinLong},
    {"\xD7\x91 \xD7\x98 \xD7\x9B \xD7\x9D \xD7\xA1 \xD7\xA6",
     0},
    {"\xD7\xA7 \xD7\x9A \xD7\x9F \xD7\xA3 \xD7\xA5",
     0},
};
const BlueString kBluesKali[] = {
    {"\xEA\xA4\x85 \xEA\xA4\x8F \xEA\xA4\x81 \xEA\xA4\x8B \xEA\xA4\x80 \xEA\xA4\x8D",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xEA\xA4\x88 \xEA\xA4\x98 \xEA\xA4\x80 \xEA\xA4\x8D \xEA\xA4\xA2",
     0},
    {"\xEA\xA4\x96 \xEA\xA4\xA1",
     kBlueLatinTop},
    {"\xEA\xA4\x91 \xEA\xA4\x9C \xEA\xA4\x9E",
     0},
    {"\xEA\xA4\x91\xEA\xA4\xAC \xEA\xA4\x9C\xEA\xA4\xAD \xEA\xA4\x94\xEA\xA4\xAC",
     0},
};
const BlueString kBluesKhmr[] = {
    {"\xE1\x9E\x81 \xE1\x9E\x91 \xE1\x9E\x93 \xE1\x9E\xA7 \xE1\x9E\xA9 \xE1\x9E\xB6",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE1\x9E\x80\xE1\x9F\x92\xE1\x9E\x80 \xE1\x9E\x80\xE1\x9F\x92\xE1\x9E\x81 \xE1\x9E\x80\xE1\x9F\x92\xE1\x9E\x82 \xE1\x9E\x80\xE1\x9F\x92\xE1\x9E\x90",
     kBlueLatinSubTop},
    {"\xE1\x9E\x81 \xE1\x9E\x83 \xE1\x9E\x85 \xE1\x9E\x8B \xE1\x9E\x94 \xE1\x9E\x98 \xE1\x9E\x99 \xE1\x9E\xB2",
     0},
    {"\xE1\x9E\x8F\xE1\x9F\x92\xE1\x9E\x9A \xE1\x9E\x9A\xE1\x9F\x80 \xE1\x9E\xB2\xE1\x9F\x92\xE1\x9E\x99 \xE1\x9E\xA2\xE1\x9E\xBF",
     0},
    {"\xE1\x9E\x93\xE1\x9F\x92\xE1\x9E\x8F\xE1\x9F\x92\xE1\x9E\x9A\xE1\x9F\x83 \xE1\x9E\x84\xE1\x9F\x92\xE1\x9E\x81\xE1\x9F\x92\xE1\x9E\x99 \xE1\x9E\x80\xE1\x9F\x92\xE1\x9E\x94\xE1\x9F\x80 \xE1\x9E\x85\xE1\x9F\x92\xE1\x9E\x9A\xE1\x9F\x80 \xE1\x9E\x93\xE1\x9F\x92\xE1\x9E\x8F\xE1\x9E\xBF \xE1\x9E\x9B\xE1\x9F\x92\xE1\x9E\x94\xE1\x9E\xBF",
     0},
};
const BlueString kBluesKhms[] = {
    {"\xE1\xA7\xA0 \xE1\xA7\xA1",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE1\xA7\xB6 \xE1\xA7\xB9",
     0},
};
const BlueString kBluesKnda[] = {
    {"\xE0\xB2\x87 \xE0\xB2\x8A \xE0\xB2\x90 \xE0\xB2\xA3 \xE0\xB2\xB8\xE0\xB2\xBE \xE0\xB2\xA8\xE0\xB2\xBE \xE0\xB2\xA6\xE0\xB2\xBE \xE0\xB2\xB0\xE0\xB2\xBE",
     kBlueLatinTop},
    {"\xE0\xB2\x85 \xE0\xB2\x89 \xE0\xB2\x8E \xE0\xB2\xB2 \xE0\xB3\xA6 \xE0\xB3\xA8 \xE0\xB3\xAC \xE0\xB3\xAD",
     0},
};
const BlueString kBluesLao[] = {
    {"\xE0\xBA\xB2 \xE0\xBA\x94 \xE0\xBA\xAD \xE0\xBA\xA1 \xE0\xBA\xA5 \xE0\xBA\xA7 \xE0\xBA\xA3 \xE0\xBA\x87",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE0\xBA\xB2 \xE0\xBA\xAD \xE0\xBA\x9A \xE0\xBA\x8D \xE0\xBA\xA3 \xE0\xBA\xAE \xE0\xBA\xA7 \xE0\xBA\xA2",
     0},
    {"\xE0\xBA\x9B \xE0\xBA\xA2 \xE0\xBA\x9F \xE0\xBA\x9D",
     kBlueLatinTop},
    {"\xE0\xBB\x82 \xE0\xBB\x84 \xE0\xBB\x83",
     kBlueLatinTop},
    {"\xE0\xBA\x87 \xE0\xBA\x8A \xE0\xBA\x96 \xE0\xBA\xBD \xE0\xBB\x86 \xE0\xBA\xAF",
     0},
};
const BlueString kBluesLatb[] = {
    {"\xE2\x82\x80 \xE2\x82\x83 \xE2\x82\x85 \xE2\x82\x87 \xE2\x82\x88",
     kBlueLatinTop},
    {"\xE2\x82\x80 \xE2\x82\x81 \xE2\x82\x82 \xE2\x82\x83 \xE2\x82\x88",
     0},
    {"\xE1\xB5\xA2 \xE2\xB1\xBC \xE2\x82\x95 \xE2\x82\x96 \xE2\x82\x97",
     kBlueLatinTop},
    {"\xE2\x82\x90 \xE2\x82\x91 \xE2\x82\x92 \xE2\x82\x93 \xE2\x82\x99 \xE2\x82\x9B \xE1\xB5\xA5 \xE1\xB5\xA4 \xE1\xB5\xA3",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE2\x82\x90 \xE2\x82\x91 \xE2\x82\x92 \xE2\x82\x93 \xE2\x82\x99 \xE2\x82\x9B \xE1\xB5\xA5 \xE1\xB5\xA4 \xE1\xB5\xA3",
     0},
    {"\xE1\xB5\xA6 \xE1\xB5\xA7 \xE1\xB5\xA8 \xE1\xB5\xA9 \xE2\x82\x9A",
     0},
};
const BlueString kBluesLatn[] = {
    {"T H E Z O C Q S",
     kBlueLatinTop},
    {"H E Z L O C U S",
     0},
    {"f i j k d b h",
     kBlueLatinTop},
    {"u v x z o e s c",
     kBlueLatinTop | kBlueLatinXHeight},
    {"n r x z o e s c",
     0},
    {"p q g j y",
     0},
};
const BlueString kBluesLatp[] = {
    {"\xE2\x81\xB0 \xC2\xB3 \xE2\x81\xB5 \xE2\x81\xB7 \xE1\xB5\x80 \xE1\xB4\xB4 \xE1\xB4\xB1 \xE1\xB4\xBC",
     kBlueLatinTop},
    {"\xE2\x81\xB0 \xC2\xB9 \xC2\xB2 \xC2\xB3 \xE1\xB4\xB1 \xE1\xB4\xB8 \xE1\xB4\xBC \xE1\xB5\x81",
     0},
    {"\xE1\xB5\x87 \xE1\xB5\x88 \xE1\xB5\x8F \xCA\xB0 \xCA\xB2 \xE1\xB6\xA0 \xE2\x81\xB1",
     kBlueLatinTop},
    {"\xE1\xB5\x89 \xE1\xB5\x92 \xCA\xB3 \xCB\xA2 \xCB\xA3 \xE1\xB6\x9C \xE1\xB6\xBB",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE1\xB5\x89 \xE1\xB5\x92 \xCA\xB3 \xCB\xA2 \xCB\xA3 \xE1\xB6\x9C \xE1\xB6\xBB",
     0},
    {"\xE1\xB5\x96 \xCA\xB8 \xE1\xB5\x8D",
     0},
};
const BlueString kBluesLisu[] = {
    {"\xEA\x93\xA1 \xEA\x93\xA7 \xEA\x93\xB1 \xEA\x93\xB6 \xEA\x93\xA9 \xEA\x93\x9A \xEA\x93\xB5 \xEA\x93\xB3",
     kBlueLatinTop},
    {"\xEA\x93\x95 \xEA\x93\x9C \xEA\x93\x9E \xEA\x93\xA1 \xEA\x93\x9B \xEA\x93\xA2 \xEA\x93\xB3 \xEA\x93\xB4",
     0},
};
const BlueString kBluesMedf[] = {
    {"\xF0\x96\xB9\x80 \xF0\x96\xB9\x81 \xF0\x96\xB9\x82 \xF0\x96\xB9\x83 \xF0\x96\xB9\x8F \xF0\x96\xB9\x9A \xF0\x96\xB9\x9F",
     kBlueLatinTop},
    {"\xF0\x96\xB9\x80 \xF0\x96\xB9\x81 \xF0\x96\xB9\x82 \xF0\x96\xB9\x83 \xF0\x96\xB9\x8F \xF0\x96\xB9\x9A \xF0\x96\xB9\x92 \xF0\x96\xB9\x93",
     0},
    {"\xF0\x96\xB9\xA4 \xF0\x96\xB9\xAC \xF0\x96\xB9\xA7 \xF0\x96\xB9\xB4 \xF0\x96\xB9\xB6 \xF0\x96\xB9\xBE",
     kBlueLatinTop},
    {"\xF0\x96\xB9\xA0 \xF0\x96\xB9\xA1 \xF0\x96\xB9\xA2 \xF0\x96\xB9\xB9 \xF0\x96\xB9\xB3 \xF0\x96\xB9\xAE",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xF0\x96\xB9\xA0 \xF0\x96\xB9\xA1 \xF0\x96\xB9\xA2 \xF0\x96\xB9\xB3 \xF0\x96\xB9\xAD \xF0\x96\xB9\xBD",
     0},
    {"\xF0\x96\xB9\xA5 \xF0\x96\xB9\xA8 \xF0\x96\xB9\xA9",
     0},
    {"\xF0\x96\xBA\x80 \xF0\x96\xBA\x85 \xF0\x96\xBA\x88 \xF0\x96\xBA\x84 \xF0\x96\xBA\x8D",
     kBlueLatinTop},
};
const BlueString kBluesMlym[] = {
    {"\xE0\xB4\x92 \xE0\xB4\x9F \xE0\xB4\xA0 \xE0\xB4\xB1 \xE0\xB4\x9A \xE0\xB4\xAA \xE0\xB4\x9A\xE0\xB5\x8D\xE0\xB4\x9A \xE0\xB4\xAA\xE0\xB5\x8D\xE0\xB4\xAA",
     kBlueLatinTop},
    {"\xE0\xB4\x9F \xE0\xB4\xA0 \xE0\xB4\xA7 \xE0\xB4\xB6 \xE0\xB4\x98 \xE0\xB4\x9A \xE0\xB4\xA5 \xE0\xB4\xB2",
     0},
};
const BlueString kBluesMong[] = {
    {"\xE1\xA0\xB3 \xE1\xA0\xB4 \xE1\xA0\xB6 \xE1\xA0\xBD \xE1\xA1\x82 \xE1\xA1\x8A \xE2\x80\x8D\xE1\xA1\xA1\xE2\x80\x8D \xE2\x80\x8D\xE1\xA1\xB3\xE2\x80\x8D",
     kBlueLatinTop},
    {"\xE1\xA1\x83",
     0},
};
const BlueString kBluesMymr[] = {
    {"\xE1\x80\x81 \xE1\x80\x82 \xE1\x80\x84 \xE1\x80\x92 \xE1\x80\x9D \xE1\x81\xA5 \xE1\x81\x8A \xE1\x81\x8B",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE1\x80\x84 \xE1\x80\x8E \xE1\x80\x92 \xE1\x80\x95 \xE1\x80\x97 \xE1\x80\x9D \xE1\x81\x8A \xE1\x81\x8B",
     0},
    {"\xE1\x80\xA9 \xE1\x80\xBC \xE1\x81\x8D \xE1\x81\x8F \xE1\x81\x86 \xE1\x80\xAB \xE1\x80\xAD",
     kBlueLatinTop},
    {"\xE1\x80\x89 \xE1\x80\x8A \xE1\x80\xA5 \xE1\x80\xA9 \xE1\x80\xA8 \xE1\x81\x82 \xE1\x81\x85 \xE1\x81\x89",
     0},
};
const BlueString kBluesNkoo[] = {
    {"\xDF\x90 \xDF\x89 \xDF\x92 \xDF\x9F \xDF\x96 \xDF\x9C \xDF\xA0 \xDF\xA5",
     kBlueLatinTop},
    {"\xDF\x80 \xDF\x98 \xDF\xA1 \xDF\xA0 \xDF\xA5",
     0},
    {"\xDF\x8F \xDF\x9B \xDF\x8B",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xDF\x8E \xDF\x8F \xDF\x9B \xDF\x8B",
     0},
};
const BlueString kBluesOlck[] = {
    {"\xE1\xB1\x9B \xE1\xB1\x9C \xE1\xB1\x9D \xE1\xB1\xA1 \xE1\xB1\xA2 \xE1\xB1\xA5",
     kBlueLatinTop},
    {"\xE1\xB1\x9B \xE1\xB1\x9C \xE1\xB1\x9D \xE1\xB1\xA1 \xE1\xB1\xA2 \xE1\xB1\xA5",
     0},
};
const BlueString kBluesOrkh[] = {
    {"\xF0\x90\xB0\x97 \xF0\x90\xB0\x98 \xF0\x90\xB0\xA7",
     kBlueLatinTop},
    {"\xF0\x90\xB0\x89 \xF0\x90\xB0\x97 \xF0\x90\xB0\xA6 \xF0\x90\xB0\xA7",
     0},
};
const BlueString kBluesOsge[] = {
    {"\xF0\x90\x92\xBE \xF0\x90\x93\x8D \xF0\x90\x93\x92 \xF0\x90\x93\x93 \xF0\x90\x92\xBB \xF0\x90\x93\x82 \xF0\x90\x92\xB5 \xF0\x90\x93\x86",
     kBlueLatinTop},
    {"\xF0\x90\x92\xB0 \xF0\x90\x93\x8D \xF0\x90\x93\x82 \xF0\x90\x92\xBF \xF0\x90\x93\x8E \xF0\x90\x92\xB9",
     0},
    {"\xF0\x90\x92\xBC \xF0\x90\x92\xBD \xF0\x90\x92\xBE",
     0},
    {"\xF0\x90\x93\xB5 \xF0\x90\x93\xB6 \xF0\x90\x93\xBA \xF0\x90\x93\xBB \xF0\x90\x93\x9D \xF0\x90\x93\xA3 \xF0\x90\x93\xAA \xF0\x90\x93\xAE",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xF0\x90\x93\x98 \xF0\x90\x93\x9A \xF0\x90\x93\xA3 \xF0\x90\x93\xB5 \xF0\x90\x93\xA1 \xF0\x90\x93\xA7 \xF0\x90\x93\xAA \xF0\x90\x93\xB6",
     0},
    {"\xF0\x90\x93\xA4 \xF0\x90\x93\xA6 \xF0\x90\x93\xB8 \xF0\x90\x93\xB9 \xF0\x90\x93\x9B",
     kBlueLatinTop},
    {"\xF0\x90\x93\xA4 \xF0\x90\x93\xA5 \xF0\x90\x93\xA6",
     0},
};
const BlueString kBluesOsma[] = {
    {"\xF0\x90\x92\x86 \xF0\x90\x92\x89 \xF0\x90\x92\x90 \xF0\x90\x92\x92 \xF0\x90\x92\x98 \xF0\x90\x92\x9B \xF0\x90\x92\xA0 \xF0\x90\x92\xA3",
     kBlueLatinTop},
    {"\xF0\x90\x92\x80 \xF0\x90\x92\x82 \xF0\x90\x92\x86 \xF0\x90\x92\x88 \xF0\x90\x92\x8A \xF0\x90\x92\x92 \xF0\x90\x92\xA0 \xF0\x90\x92\xA9",
     0},
};
const BlueString kBluesRohg[] = {
    {"\xF0\x90\xB4\x83 \xF0\x90\xB4\x80 \xF0\x90\xB4\x86 \xF0\x90\xB4\x96 \xF0\x90\xB4\x95",
     kBlueLatinTop},
    {"\xF0\x90\xB4\x94 \xF0\x90\xB4\x96 \xF0\x90\xB4\x95 \xF0\x90\xB4\x91 \xF0\x90\xB4\x90",
     0},
    {"\xD9\x80",
     kBlueLatinNeutral},
};
const BlueString kBluesSaur[] = {
    {"\xEA\xA2\x9C \xEA\xA2\x9E \xEA\xA2\xB3 \xEA\xA2\x82 \xEA\xA2\x96 \xEA\xA2\x92 \xEA\xA2\x9D \xEA\xA2\x9B",
     kBlueLatinTop},
    {"\xEA\xA2\x82 \xEA\xA2\xA8 \xEA\xA2\xBA \xEA\xA2\xA4 \xEA\xA2\x8E",
     0},
};
const BlueString kBluesShaw[] = {
    {"\xF0\x90\x91\x95 \xF0\x90\x91\x99",
     kBlueLatinTop},
    {"\xF0\x90\x91\x94 \xF0\x90\x91\x96 \xF0\x90\x91\x97 \xF0\x90\x91\xB9 \xF0\x90\x91\xBB",
     0},
    {"\xF0\x90\x91\x9F \xF0\x90\x91\xA3",
     0},
    {"\xF0\x90\x91\xB1 \xF0\x90\x91\xB2 \xF0\x90\x91\xB3 \xF0\x90\x91\xB4 \xF0\x90\x91\xB8 \xF0\x90\x91\xBA \xF0\x90\x91\xBC",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xF0\x90\x91\xB4 \xF0\x90\x91\xBB \xF0\x90\x91\xB9",
     0},
};
const BlueString kBluesSinh[] = {
    {"\xE0\xB6\x89 \xE0\xB6\x9A \xE0\xB6\x9D \xE0\xB6\xB3 \xE0\xB6\xB4 \xE0\xB6\xBA \xE0\xB6\xBD \xE0\xB7\x86",
     kBlueLatinTop},
    {"\xE0\xB6\x91 \xE0\xB6\x94 \xE0\xB6\x9D \xE0\xB6\xA2 \xE0\xB6\xA7 \xE0\xB6\xAE \xE0\xB6\xB0 \xE0\xB6\xBB",
     0},
    {"\xE0\xB6\xAF \xE0\xB6\xB3 \xE0\xB6\x8B \xE0\xB6\xBD \xE0\xB6\xAD\xE0\xB7\x96 \xE0\xB6\xAD\xE0\xB7\x94 \xE0\xB6\xB6\xE0\xB7\x94 \xE0\xB6\xAF\xE0\xB7\x94",
     0},
};
const BlueString kBluesSund[] = {
    {"\xE1\xAE\x8B \xE1\xAE\x9E \xE1\xAE\xAE \xE1\xAE\xBD \xE1\xAE\xB0 \xE1\xAE\x88",
     kBlueLatinTop},
    {"\xE1\xAE\x84 \xE1\xAE\x94 \xE1\xAE\x95 \xE1\xAE\x97 \xE1\xAE\xB0 \xE1\xAE\x86 \xE1\xAE\x88 \xE1\xAE\x89",
     0},
    {"\xE1\xAE\xBC \xE1\xB3\x84",
     0},
};
const BlueString kBluesTaml[] = {
    {"\xE0\xAE\x89 \xE0\xAE\x92 \xE0\xAE\x93 \xE0\xAE\xB1 \xE0\xAE\x88 \xE0\xAE\x95 \xE0\xAE\x99 \xE0\xAE\x9A",
     kBlueLatinTop},
    {"\xE0\xAE\x95 \xE0\xAE\x9A \xE0\xAE\xB2 \xE0\xAE\xB6 \xE0\xAE\x89 \xE0\xAE\x99 \xE0\xAE\x9F \xE0\xAE\xAA",
     0},
};
const BlueString kBluesTavt[] = {
    {"\xEA\xAA\x86 \xEA\xAA\x94 \xEA\xAA\x92 \xEA\xAA\x96 \xEA\xAA\xAB",
     kBlueLatinTop},
    {"\xEA\xAA\x89 \xEA\xAA\xAB \xEA\xAA\xAE",
     0},
};
const BlueString kBluesTelu[] = {
    {"\xE0\xB0\x87 \xE0\xB0\x8C \xE0\xB0\x99 \xE0\xB0\x9E \xE0\xB0\xA3 \xE0\xB0\xB1 \xE0\xB1\xAF",
     kBlueLatinTop},
    {"\xE0\xB0\x85 \xE0\xB0\x95 \xE0\xB0\x9A \xE0\xB0\xB0 \xE0\xB0\xBD \xE0\xB1\xA8 \xE0\xB1\xAC",
     0},
};
const BlueString kBluesTfng[] = {
    {"\xE2\xB5\x94 \xE2\xB5\x99 \xE2\xB5\x9B \xE2\xB5\x9E \xE2\xB4\xB5 \xE2\xB4\xBC \xE2\xB4\xB9 \xE2\xB5\x8E",
     kBlueLatinTop},
    {"\xE2\xB5\x94 \xE2\xB5\x99 \xE2\xB5\x9B \xE2\xB5\x9E \xE2\xB4\xB5 \xE2\xB4\xBC \xE2\xB4\xB9 \xE2\xB5\x8E",
     0},
};
const BlueString kBluesThai[] = {
    {"\xE0\xB8\x9A \xE0\xB9\x80 \xE0\xB9\x81 \xE0\xB8\xAD \xE0\xB8\x81 \xE0\xB8\xB2",
     kBlueLatinTop | kBlueLatinXHeight},
    {"\xE0\xB8\x9A \xE0\xB8\x9B \xE0\xB8\xA9 \xE0\xB8\xAF \xE0\xB8\xAD \xE0\xB8\xA2 \xE0\xB8\xAE",
     0},
    {"\xE0\xB8\x9B \xE0\xB8\x9D \xE0\xB8\x9F",
     kBlueLatinTop},
    {"\xE0\xB9\x82 \xE0\xB9\x83 \xE0\xB9\x84",
     kBlueLatinTop},
    {"\xE0\xB8\x8E \xE0\xB8\x8F \xE0\xB8\xA4 \xE0\xB8\xA6",
     0},
    {"\xE0\xB8\x8D \xE0\xB8\x90",
     0},
    {"\xE0\xB9\x90 \xE0\xB9\x91 \xE0\xB9\x93",
     0},
};
const BlueString kBluesVaii[] = {
    {"\xEA\x97\x8D \xEA\x98\x96 \xEA\x98\x99 \xEA\x98\x9C \xEA\x96\x9C \xEA\x96\x9D \xEA\x94\x85 \xEA\x95\xA2",
     kBlueLatinTop},
    {"\xEA\x97\x8D \xEA\x98\x96 \xEA\x98\x99 \xEA\x97\x9E \xEA\x94\x85 \xEA\x95\xA2 \xEA\x96\x9C \xEA\x94\x86",
     0},
};

const ScriptClass kScripts[] = {
    {"adlm", kAdlmRanges, kAdlmNonbase, false, "\xF0\x9E\xA4\x8C \xF0\x9E\xA4\xAE"},
    {"arab", kArabRanges, kArabNonbase, false, "\xD9\x84 \xD8\xAD \xD9\x80"},
    {"armn", kArmnRanges, kArmnNonbase, false, "\xD5\xBD \xD5\x8D"},
    {"avst", kAvstRanges, kAvstNonbase, false, "\xF0\x90\xAC\x9A"},
    {"bamu", kBamuRanges, kBamuNonbase, false, "\xEA\x9B\x81 \xEA\x9B\xAF"},
    {"beng", kBengRanges, kBengNonbase, true, "\xE0\xA7\xA6 \xE0\xA7\xAA"},
    {"buhd", kBuhdRanges, kBuhdNonbase, false, "\xE1\x9D\x8B \xE1\x9D\x8F"},
    {"cakm", kCakmRanges, kCakmNonbase, false, "\xF0\x91\x84\xA4 \xF0\x91\x84\x89 \xF0\x91\x84\x9B"},
    {"cans", kCansRanges, kCansNonbase, false, "\xE1\x91\x8C \xE1\x93\x9A"},
    {"cari", kCariRanges, kCariNonbase, false, "\xF0\x90\x8A\xAB \xF0\x90\x8B\x89"},
    {"cher", kCherRanges, kCherNonbase, false, "\xE1\x8E\xA4 \xE1\x8F\x85 \xEA\xAE\x95"},
    {"copt", kCoptRanges, kCoptNonbase, false, "\xE2\xB2\x9E \xE2\xB2\x9F"},
    {"cprt", kCprtRanges, kCprtNonbase, false, "\xF0\x90\xA0\x85 \xF0\x90\xA0\xA3"},
    {"cyrl", kCyrlRanges, kCyrlNonbase, false, "\xD0\xBE \xD0\x9E"},
    {"deva", kDevaRanges, kDevaNonbase, true, "\xE0\xA4\xA0 \xE0\xA4\xB5 \xE0\xA4\x9F"},
    {"dsrt", kDsrtRanges, kDsrtNonbase, false, "\xF0\x90\x90\x84 \xF0\x90\x90\xAC"},
    {"ethi", kEthiRanges, kEthiNonbase, false, "\xE1\x8B\x90"},
    {"geor", kGeorRanges, kGeorNonbase, false, "\xE1\x83\x98 \xE1\x83\x94 \xE1\x83\x90 \xE1\xB2\xBF"},
    {"geok", kGeokRanges, kGeokNonbase, false, "\xE1\x82\xB6 \xE1\x82\xB1 \xE2\xB4\x99"},
    {"glag", kGlagRanges, kGlagNonbase, false, "\xE2\xB0\x95 \xE2\xB1\x85"},
    {"goth", kGothRanges, kGothNonbase, true, "\xF0\x90\x8C\xB4 \xF0\x90\x8C\xBE \xF0\x90\x8D\x83"},
    {"grek", kGrekRanges, kGrekNonbase, false, "\xCE\xBF \xCE\x9F"},
    {"gujr", kGujrRanges, kGujrNonbase, false, "\xE0\xAA\x9F \xE0\xAB\xA6"},
    {"guru", kGuruRanges, kGuruNonbase, true, "\xE0\xA8\xA0 \xE0\xA8\xB0 \xE0\xA9\xA6"},
    {"hebr", kHebrRanges, kHebrNonbase, false, "\xD7\x9D"},
    {"kali", kKaliRanges, kKaliNonbase, false, "\xEA\xA4\x8D \xEA\xA4\x80"},
    {"khmr", kKhmrRanges, kKhmrNonbase, false, "\xE1\x9F\xA0"},
    {"khms", kKhmsRanges, kKhmsNonbase, false, "\xE1\xA7\xA1 \xE1\xA7\xAA"},
    {"knda", kKndaRanges, kKndaNonbase, false, "\xE0\xB3\xA6 \xE0\xB2\xAC"},
    {"lao", kLaoRanges, kLaoNonbase, false, "\xE0\xBB\x90"},
    {"latn", kLatnRanges, kLatnNonbase, false, "o O 0"},
    {"latb", kLatbRanges, kLatbNonbase, false, "\xE2\x82\x92 \xE2\x82\x80"},
    {"latp", kLatpRanges, kLatpNonbase, false, "\xE1\xB5\x92 \xE1\xB4\xBC \xE2\x81\xB0"},
    {"lisu", kLisuRanges, kLisuNonbase, false, "\xEA\x93\xB3"},
    {"mlym", kMlymRanges, kMlymNonbase, false, "\xE0\xB4\xA0 \xE0\xB4\xB1"},
    {"medf", kMedfRanges, kMedfNonbase, false, "\xF0\x96\xB9\xA1 \xF0\x96\xB9\x9B \xF0\x96\xB9\xAF"},
    {"mong", kMongRanges, kMongNonbase, true, "\xE1\xA1\x82 \xE1\xA0\xAA"},
    {"mymr", kMymrRanges, kMymrNonbase, false, "\xE1\x80\x9D \xE1\x80\x84 \xE1\x80\x82"},
    {"nkoo", kNkooRanges, kNkooNonbase, false, "\xDF\x8B \xDF\x80"},
    {"none", kNoneRanges, kNoneNonbase, false, ""},
    {"olck", kOlckRanges, kOlckNonbase, false, "\xE1\xB1\x9B"},
    {"orkh", kOrkhRanges, kOrkhNonbase, false, "\xF0\x90\xB0\x97"},
    {"osge", kOsgeRanges, kOsgeNonbase, false, "\xF0\x90\x93\x82 \xF0\x90\x93\xAA"},
    {"osma", kOsmaRanges, kOsmaNonbase, false, "\xF0\x90\x92\x86 \xF0\x90\x92\xA0"},
    {"rohg", kRohgRanges, kRohgNonbase, false, "\xF0\x90\xB4\xB0"},
    {"saur", kSaurRanges, kSaurNonbase, false, "\xEA\xA2\x9D \xEA\xA3\x90"},
    {"shaw", kShawRanges, kShawNonbase, false, "\xF0\x90\x91\xB4"},
    {"sinh", kSinhRanges, kSinhNonbase, false, "\xE0\xB6\xA7"},
    {"sund", kSundRanges, kSundNonbase, false, "\xE1\xAE\xB0"},
    {"taml", kTamlRanges, kTamlNonbase, false, "\xE0\xAF\xA6"},
    {"tavt", kTavtRanges, kTavtNonbase, false, "\xEA\xAA\x92 \xEA\xAA\xAB"},
    {"telu", kTeluRanges, kTeluNonbase, false, "\xE0\xB1\xA6 \xE0\xB1\xA7"},
    {"tfng", kTfngRanges, kTfngNonbase, false, "\xE2\xB5\x94"},
    {"thai", kThaiRanges, kThaiNonbase, false, "\xE0\xB8\xB2 \xE0\xB9\x85 \xE0\xB9\x90"},
    {"vaii", kVaiiRanges, kVaiiNonbase, false, "\xEA\x98\x93 \xEA\x96\x9C \xEA\x96\xB4"},
    {"limb", kLimbRanges, kLimbNonbase, false, "o"},
    {"orya", kOryaRanges, kOryaNonbase, false, "o"},
    {"sylo", kSyloRanges, kSyloNonbase, false, "o"},
    {"tibt", kTibtRanges, kTibtNonbase, false, "o"},
    {"hani", kHaniRanges, kHaniNonbase, false, "\xE7\x94\xB0 \xE5\x9B\x97"},
};

#define BLUES(set) set, int(sizeof(set) / sizeof(set[0]))
const StyleClass kStyles[] = {
    {"adlm_dflt", WritingSystemId::kLatin, &kScripts[0], BLUES(kBluesAdlm), true},
    {"arab_dflt", WritingSystemId::kLatin, &kScripts[1], BLUES(kBluesArab), true},
    {"armn_dflt", WritingSystemId::kLatin, &kScripts[2], BLUES(kBluesArmn), true},
    {"avst_dflt", WritingSystemId::kLatin, &kScripts[3], BLUES(kBluesAvst), true},
    {"bamu_dflt", WritingSystemId::kLatin, &kScripts[4], BLUES(kBluesBamu), true},
    {"beng_dflt", WritingSystemId::kLatin, &kScripts[5], BLUES(kBluesBeng), true},
    {"buhd_dflt", WritingSystemId::kLatin, &kScripts[6], BLUES(kBluesBuhd), true},
    {"cakm_dflt", WritingSystemId::kLatin, &kScripts[7], BLUES(kBluesCakm), true},
    {"cans_dflt", WritingSystemId::kLatin, &kScripts[8], BLUES(kBluesCans), true},
    {"cari_dflt", WritingSystemId::kLatin, &kScripts[9], BLUES(kBluesCari), true},
    {"cher_dflt", WritingSystemId::kLatin, &kScripts[10], BLUES(kBluesCher), true},
    {"copt_dflt", WritingSystemId::kLatin, &kScripts[11], BLUES(kBluesCopt), true},
    {"cprt_dflt", WritingSystemId::kLatin, &kScripts[12], BLUES(kBluesCprt), true},
    {"cyrl_c2cp", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), false},
    {"cyrl_c2sc", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), false},
    {"cyrl_ordn", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), false},
    {"cyrl_pcap", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), false},
    {"cyrl_sinf", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), false},
    {"cyrl_smcp", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), false},
    {"cyrl_subs", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), false},
    {"cyrl_sups", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), false},
    {"cyrl_titl", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), false},
    {"cyrl_dflt", WritingSystemId::kLatin, &kScripts[13], BLUES(kBluesCyrl), true},
    {"deva_dflt", WritingSystemId::kLatin, &kScripts[14], BLUES(kBluesDeva), true},
    {"dsrt_dflt", WritingSystemId::kLatin, &kScripts[15], BLUES(kBluesDsrt), true},
    {"ethi_dflt", WritingSystemId::kLatin, &kScripts[16], BLUES(kBluesEthi), true},
    {"geor_dflt", WritingSystemId::kLatin, &kScripts[17], BLUES(kBluesGeor), true},
    {"geok_dflt", WritingSystemId::kLatin, &kScripts[18], BLUES(kBluesGeok), true},
    {"glag_dflt", WritingSystemId::kLatin, &kScripts[19], BLUES(kBluesGlag), true},
    {"goth_dflt", WritingSystemId::kLatin, &kScripts[20], BLUES(kBluesGoth), true},
    {"grek_c2cp", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), false},
    {"grek_c2sc", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), false},
    {"grek_ordn", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), false},
    {"grek_pcap", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), false},
    {"grek_sinf", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), false},
    {"grek_smcp", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), false},
    {"grek_subs", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), false},
    {"grek_sups", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), false},
    {"grek_titl", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), false},
    {"grek_dflt", WritingSystemId::kLatin, &kScripts[21], BLUES(kBluesGrek), true},
    {"gujr_dflt", WritingSystemId::kLatin, &kScripts[22], BLUES(kBluesGujr), true},
    {"guru_dflt", WritingSystemId::kLatin, &kScripts[23], BLUES(kBluesGuru), true},
    {"hebr_dflt", WritingSystemId::kLatin, &kScripts[24], BLUES(kBluesHebr), true},
    {"kali_dflt", WritingSystemId::kLatin, &kScripts[25], BLUES(kBluesKali), true},
    {"khmr_dflt", WritingSystemId::kLatin, &kScripts[26], BLUES(kBluesKhmr), true},
    {"khms_dflt", WritingSystemId::kLatin, &kScripts[27], BLUES(kBluesKhms), true},
    {"knda_dflt", WritingSystemId::kLatin, &kScripts[28], BLUES(kBluesKnda), true},
    {"lao_dflt", WritingSystemId::kLatin, &kScripts[29], BLUES(kBluesLao), true},
    {"latn_c2cp", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), false},
    {"latn_c2sc", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), false},
    {"latn_ordn", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), false},
    {"latn_pcap", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), false},
    {"latn_sinf", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), false},
    {"latn_smcp", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), false},
    {"latn_subs", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), false},
    {"latn_sups", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), false},
    {"latn_titl", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), false},
    {"latn_dflt", WritingSystemId::kLatin, &kScripts[30], BLUES(kBluesLatn), true},
    {"latb_dflt", WritingSystemId::kLatin, &kScripts[31], BLUES(kBluesLatb), true},
    {"latp_dflt", WritingSystemId::kLatin, &kScripts[32], BLUES(kBluesLatp), true},
    {"lisu_dflt", WritingSystemId::kLatin, &kScripts[33], BLUES(kBluesLisu), true},
    {"mlym_dflt", WritingSystemId::kLatin, &kScripts[34], BLUES(kBluesMlym), true},
    {"medf_dflt", WritingSystemId::kLatin, &kScripts[35], BLUES(kBluesMedf), true},
    {"mong_dflt", WritingSystemId::kLatin, &kScripts[36], BLUES(kBluesMong), true},
    {"mymr_dflt", WritingSystemId::kLatin, &kScripts[37], BLUES(kBluesMymr), true},
    {"nkoo_dflt", WritingSystemId::kLatin, &kScripts[38], BLUES(kBluesNkoo), true},
    {"none_dflt", WritingSystemId::kDummy, &kScripts[39], nullptr, 0, true},
    {"olck_dflt", WritingSystemId::kLatin, &kScripts[40], BLUES(kBluesOlck), true},
    {"orkh_dflt", WritingSystemId::kLatin, &kScripts[41], BLUES(kBluesOrkh), true},
    {"osge_dflt", WritingSystemId::kLatin, &kScripts[42], BLUES(kBluesOsge), true},
    {"osma_dflt", WritingSystemId::kLatin, &kScripts[43], BLUES(kBluesOsma), true},
    {"rohg_dflt", WritingSystemId::kLatin, &kScripts[44], BLUES(kBluesRohg), true},
    {"saur_dflt", WritingSystemId::kLatin, &kScripts[45], BLUES(kBluesSaur), true},
    {"shaw_dflt", WritingSystemId::kLatin, &kScripts[46], BLUES(kBluesShaw), true},
    {"sinh_dflt", WritingSystemId::kLatin, &kScripts[47], BLUES(kBluesSinh), true},
    {"sund_dflt", WritingSystemId::kLatin, &kScripts[48], BLUES(kBluesSund), true},
    {"taml_dflt", WritingSystemId::kLatin, &kScripts[49], BLUES(kBluesTaml), true},
    {"tavt_dflt", WritingSystemId::kLatin, &kScripts[50], BLUES(kBluesTavt), true},
    {"telu_dflt", WritingSystemId::kLatin, &kScripts[51], BLUES(kBluesTelu), true},
    {"tfng_dflt", WritingSystemId::kLatin, &kScripts[52], BLUES(kBluesTfng), true},
    {"thai_dflt", WritingSystemId::kLatin, &kScripts[53], BLUES(kBluesThai), true},
    {"vaii_dflt", WritingSystemId::kLatin, &kScripts[54], BLUES(kBluesVaii), true},
    {"limb_dflt", WritingSystemId::kIndic, &kScripts[55], BLUES(kBluesAdlm), true},
    {"orya_dflt", WritingSystemId::kIndic, &kScripts[56], BLUES(kBluesAdlm), true},
    {"sylo_dflt", WritingSystemId::kIndic, &kScripts[57], BLUES(kBluesAdlm), true},
    {"tibt_dflt", WritingSystemId::kIndic, &kScripts[58], BLUES(kBluesAdlm), true},
    {"hani_dflt", WritingSystemId::kCjk, &kScripts[59], BLUES(kBluesHani), true},
};
#undef BLUES

}  // namespace

int StyleCount() { return int(sizeof(kStyles) / sizeof(kStyles[0])); }

const StyleClass &StyleAt(int style) { return kStyles[style]; }

}  // namespace autohint
}  // namespace kelmor
