// The instruction handlers the two dispatch tables (instruct_loop.cpp) name,
// by the file that holds them.  Ins_ handlers make the classic table; the
// faithful table is the classic one with the InsF_ handlers put in where
// the faithful mode departs from it.  A handler is named after its mnemonic;
// a name ending in x stands for a family told apart by the opcode (SRPx:
// SRP0, SRP1, SRP2).
#ifndef KELMOR_TTF_HINT_INSTRUCT_HANDLERS_H
#define KELMOR_TTF_HINT_INSTRUCT_HANDLERS_H

#include "ttf/hint/instruct_internal.h"

namespace kelmor {

using InsHandler = void (*)(Exec &);

// ------------------------------- classic: instruct_classic.cpp

// pushes
void Ins_NPUSH(Exec &e);
void Ins_PUSH(Exec &e);
// stack
void Ins_DUP(Exec &e);
void Ins_POP(Exec &e);
void Ins_CLEAR(Exec &e);
void Ins_SWAP(Exec &e);
void Ins_DEPTH(Exec &e);
void Ins_CINDEX(Exec &e);
void Ins_MINDEX(Exec &e);
void Ins_ROLL(Exec &e);
// arithmetic and logic
void Ins_LT(Exec &e);
void Ins_LTEQ(Exec &e);
void Ins_GT(Exec &e);
void Ins_GTEQ(Exec &e);
void Ins_EQ(Exec &e);
void Ins_NEQ(Exec &e);
void Ins_AND(Exec &e);
void Ins_OR(Exec &e);
void Ins_ADD(Exec &e);
void Ins_SUB(Exec &e);
void Ins_DIV(Exec &e);
void Ins_MUL(Exec &e);
void Ins_MAX(Exec &e);
void Ins_MIN(Exec &e);
void Ins_ODD(Exec &e);
void Ins_EVEN(Exec &e);
void Ins_NOT(Exec &e);
void Ins_ABS(Exec &e);
void Ins_NEG(Exec &e);
void Ins_FLOOR(Exec &e);
void Ins_CEILING(Exec &e);
void Ins_ROUND(Exec &e);
void Ins_NROUND(Exec &e);
// control flow and functions
void Ins_IF(Exec &e);
void Ins_ELSE(Exec &e);
void Ins_EIF(Exec &e);
void Ins_JMPR(Exec &e);
void Ins_JROx(Exec &e);
void Ins_FDEF(Exec &e);
void Ins_ENDF(Exec &e);
void Ins_CALL(Exec &e);
void Ins_LOOPCALL(Exec &e);
void Ins_IDEF(Exec &e);
void Ins_Undefined(Exec &e);
// graphics state
void Ins_SVTCA(Exec &e);
void Ins_SPVTCA(Exec &e);
void Ins_SFVTCA(Exec &e);
void Ins_SPVTL(Exec &e);
void Ins_SFVTL(Exec &e);
void Ins_SDPVTL(Exec &e);
void Ins_SxVFS(Exec &e);
void Ins_GxV(Exec &e);
void Ins_SFVTPV(Exec &e);
void Ins_SRPx(Exec &e);
void Ins_SZPx(Exec &e);
void Ins_SLOOP(Exec &e);
void Ins_SMD(Exec &e);
void Ins_SCVTCI(Exec &e);
void Ins_SSWCI(Exec &e);
void Ins_SSW(Exec &e);
void Ins_SDB(Exec &e);
void Ins_SDS(Exec &e);
void Ins_SANGW(Exec &e);
void Ins_RTG(Exec &e);
void Ins_RTHG(Exec &e);
void Ins_RTDG(Exec &e);
void Ins_RDTG(Exec &e);
void Ins_RUTG(Exec &e);
void Ins_ROFF(Exec &e);
void Ins_SxROUND(Exec &e);
void Ins_FLIPON(Exec &e);
void Ins_FLIPOFF(Exec &e);
void Ins_SCANCTRL(Exec &e);
void Ins_SCANTYPE(Exec &e);
void Ins_GETINFO(Exec &e);
void Ins_INSTCTRL(Exec &e);
// control values and storage
void Ins_WS(Exec &e);
void Ins_RS(Exec &e);
void Ins_WCVTx(Exec &e);
void Ins_RCVT(Exec &e);
void Ins_MPPEM(Exec &e);

// ------------------------ classic: instruct_classic_points.cpp

void Ins_GC(Exec &e);
void Ins_SCFS(Exec &e);
void Ins_MD(Exec &e);
void Ins_MDAP(Exec &e);
void Ins_MIAP(Exec &e);
void Ins_MDRP(Exec &e);
void Ins_MIRP(Exec &e);
void Ins_MSIRP(Exec &e);
void Ins_SHP(Exec &e);
void Ins_SHC(Exec &e);
void Ins_SHZ(Exec &e);
void Ins_SHPIX(Exec &e);
void Ins_IP(Exec &e);
void Ins_ALIGNRP(Exec &e);
void Ins_ALIGNPTS(Exec &e);
void Ins_ISECT(Exec &e);
void Ins_AA(Exec &e);
void Ins_UTP(Exec &e);
void Ins_FLIPRG(Exec &e);
void Ins_IUP(Exec &e);
void Ins_DELTAP(Exec &e);
void Ins_DELTAC(Exec &e);

// ---------------------------- faithful: instruct_faithful.cpp

// pushes and stack
void InsF_NPUSH(Exec &e);
void InsF_PUSH(Exec &e);
void InsF_CINDEX(Exec &e);
// arithmetic
void InsF_DIV(Exec &e);
void InsF_MUL(Exec &e);
void InsF_ODD(Exec &e);
void InsF_EVEN(Exec &e);
void InsF_ROUND(Exec &e);
// control flow, functions and instruction definitions
void InsF_JMPR(Exec &e);
void InsF_JROx(Exec &e);
void InsF_FDEF(Exec &e);
void InsF_ENDF(Exec &e);
void InsF_CALL(Exec &e);
void InsF_LOOPCALL(Exec &e);
void InsF_IDEF(Exec &e);
void InsF_Unknown(Exec &e);
void InsF_DEBUG(Exec &e);
// graphics state
void InsF_SxVTL(Exec &e);
void InsF_SDPVTL(Exec &e);
void InsF_SxVFS(Exec &e);
void InsF_SRPx(Exec &e);
void InsF_SZPx(Exec &e);
void InsF_SLOOP(Exec &e);
void InsF_SSW(Exec &e);
void InsF_SDB(Exec &e);
void InsF_SDS(Exec &e);
void InsF_GETINFO(Exec &e);
// control values and storage
void InsF_WS(Exec &e);
void InsF_WCVTP(Exec &e);
void InsF_WCVTF(Exec &e);

// --------------------- faithful: instruct_faithful_points.cpp

void InsF_GC(Exec &e);
void InsF_SCFS(Exec &e);
void InsF_MD(Exec &e);
void InsF_MDAP(Exec &e);
void InsF_MIAP(Exec &e);
void InsF_MDRP(Exec &e);
void InsF_MIRP(Exec &e);
void InsF_MSIRP(Exec &e);
void InsF_SHP(Exec &e);
void InsF_SHC(Exec &e);
void InsF_SHZ(Exec &e);
void InsF_SHPIX(Exec &e);
void InsF_IP(Exec &e);
void InsF_ALIGNRP(Exec &e);
void InsF_ALIGNPTS(Exec &e);
void InsF_ISECT(Exec &e);
void InsF_UTP(Exec &e);
void InsF_FLIPPT(Exec &e);
void InsF_FLIPRG(Exec &e);
void InsF_IUP(Exec &e);
void InsF_DELTAP(Exec &e);
void InsF_DELTAC(Exec &e);

}  // namespace kelmor

#endif
