// The emitter: every instruction passes here.  It folds loads into the
// preceding PSH, negates constants in place, rewrites transposed products,
// keeps jump chains and places line markers.
#include "compiler/parser.h"

#include "program/code_buffer.h"
#include "program/tokens.h"
#include "program/pcode.h"

#include <climits>

namespace zu::compiler {
namespace tok = program::tok;
using program::code;
using program::CodeBuffer;
using program::codeBuffer;
using program::Op;

namespace {

constexpr int kPSH = code(Op::PSH);
constexpr int kOPR = code(Op::OPR);

bool isTranspose(const ZuPCODE& i) { return i.op == kOPR && (i.arg == tok::Quote || i.arg == tok::DotQuote); }

// The instruction before `position` when a rewrite may touch it.
ZuPCODE* rewritable(int position) {
    if (position < State().barrier || position < 0 || position >= Here()) return nullptr;
    return &codeBuffer()[position];
}

// ---------------------------------------------------------------------------
// Rewrites

// PSH x followed by LAP n, LBP n or LTI k: load into a fresh slot.
bool foldIntoPush(int op, int arg) {
    if (State().testDepth > 0) return false;
    ZuPCODE* prev = rewritable(Here() - 1);
    if (!prev || prev->op != kPSH) return false;
    if (op == code(Op::LAP))
        prev->op = code(Op::PAP);
    else if (op == code(Op::LBP))
        prev->op = code(Op::PBP);
    else if (op == code(Op::LTI))
        prev->op = kPSH;
    else
        return false;
    prev->arg = arg;
    return true;
}

// Unary minus of a constant just pushed or loaded: negate the constant.
bool negateConstant() {
    ZuPCODE* prev = rewritable(Here() - 1);
    if (!prev || (prev->op != kPSH && prev->op != code(Op::LTI)) || prev->arg == INT_MIN) return false;
    prev->arg = -prev->arg;
    return true;
}

// A simple variable load: which variable, and where its code starts.
struct VariableLoad {
    int kind = 0;  // 'a' argument, 'l' local, 'g' global
    int index = 0;
    int member = -1;  // the LMP that follows, -1 none
    int start = 0;    // first instruction of the load
};

int variableKind(int op) {
    switch (static_cast<Op>(op)) {
    case Op::LAP:
    case Op::PAP: return 'a';
    case Op::LBP:
    case Op::PBP: return 'l';
    case Op::LOD: return 'g';
    default: return 0;
    }
}

// The load ending before `end`: "LAP n" style when fresh is false, a load
// into a fresh slot ("PAP n", or "PSH 0" and a load) when it is true.
bool loadBefore(int end, bool fresh, VariableLoad& v) {
    int at = end - 1;
    const ZuPCODE* i = rewritable(at);
    if (i && i->op == code(Op::LMP)) {
        v.member = i->arg;
        i = rewritable(--at);
    }
    if (!i || !(v.kind = variableKind(i->op))) return false;
    v.index = i->arg;
    v.start = at;
    const bool folded = i->op == code(Op::PAP) || i->op == code(Op::PBP);
    if (!fresh) return true;
    if (folded) return true;
    const ZuPCODE* push = rewritable(at - 1);
    if (!push || push->op != kPSH || push->arg != 0) return false;
    v.start = at - 1;
    return true;
}

// "A * B'" becomes XY'; "x' * x" of one simple variable becomes X'X.
bool rewriteProduct() {
    const int n = Here();
    if (ZuPCODE* prev = rewritable(n - 1); prev && isTranspose(*prev)) {
        prev->arg = tok::MulTranspose;
        return true;
    }
    VariableLoad right, left;
    if (!loadBefore(n, true, right)) return false;
    const ZuPCODE* t = rewritable(right.start - 1);
    if (!t || !isTranspose(*t) || !loadBefore(right.start - 1, false, left)) return false;
    if (left.kind != right.kind || left.index != right.index || left.member != right.member) return false;
    codeBuffer().setSize(right.start - 1);
    codeBuffer().append(kOPR, tok::TransposeMul);
    return true;
}

}  // namespace

int Here() { return codeBuffer().size(); }

ZuPCODE& At(int position) { return codeBuffer()[position]; }

int Emit(int op, int arg) {
    if (foldIntoPush(op, arg)) return Here() - 1;
    if (op == kOPR && arg == tok::UnaryMinus && negateConstant()) return Here() - 1;
    if (op == kOPR && arg == tok::Star && State().optimize && rewriteProduct()) return Here() - 1;
    return codeBuffer().append(op, arg);
}

int Target() {
    State().barrier = Here();
    return Here();
}

// ---------------------------------------------------------------------------
// Jump chains

int EmitChained(int op, int chain) { return codeBuffer().append(op, chain); }

void PatchTo(int chain, int position) {
    CodeBuffer& c = codeBuffer();
    // Every link points below its jump, so the walk ends.
    while (chain > 0 && chain < c.size()) {
        const int next = c[chain].arg;
        c[chain].arg = position;
        if (next >= chain) break;
        chain = next;
    }
}

void PatchHere(int chain) {
    if (chain > 0) PatchTo(chain, Target());
}

void PatchOrDropJump(int chain) {
    CodeBuffer& c = codeBuffer();
    const int n = c.size();
    const bool single = chain > 0 && c[chain].op == code(Op::JMP) && c[chain].arg == 0;
    if (single && chain == n - 1) {
        c.setSize(chain);
        return;
    }
    if (single && chain == n - 2 && c[n - 1].op == code(Op::NUM)) {
        c[chain] = c[n - 1];
        c.setSize(n - 1);
        return;
    }
    PatchHere(chain);
}

// ---------------------------------------------------------------------------
// Line markers

void LineMarker(bool beforeJump) {
    ParseState& s = State();
    if (!s.lineNumbers) return;
    const int line = IZuLineNo();
    if (beforeJump && line == s.lastLine) return;
    s.lastLine = line;
    if (ZuPCODE* prev = rewritable(Here() - 1); prev && prev->op == code(Op::NUM)) {
        prev->arg = line;
        return;
    }
    codeBuffer().append(code(Op::NUM), line);
}

}  // namespace zu::compiler
