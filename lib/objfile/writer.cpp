// Writing the program to an object file: the sections, and ZuWriteCode,
// which chooses the symbols that are written and numbers them.
#include "objfile/format.h"
#include "objfile/objfile.h"

#include "zu.h"
#include "program/pcode.h"

#include <cstdio>
#include <string>

namespace zu::objfile {
using program::code;
using program::Operand;

namespace {

using program::Op;

int kindOf(int typeword) { return typeword & ZU_TYPE_MASK; }

void reportIfFailed(const ByteWriter& out) {
    if (out.failed()) ZuLinkError(static_cast<int>(LinkError::kWritingFile), nullptr);
}

void putValue(ByteWriter& out, const ZuVALUE& v);

void putMatrix(ByteWriter& out, const ZuVALUE& v) {
    const int rows = v.w1.i, columns = v.w2.i;
    const bool filled = rows > 0 && columns > 0 && v.w3.m;
    out.writeInt(filled ? rows : 0);
    out.writeInt(filled ? columns : 0);
    for (int i = 0; filled && i < rows; ++i)
        for (int j = 0; j < columns; ++j) out.writeDouble(v.w3.m[i][j]);
}

void putArray(ByteWriter& out, const ZuVALUE& v) {
    const int n = v.w2.v ? v.w1.i : 0;
    out.writeInt(n > 0 ? n : 0);
    for (int i = 0; i < n; ++i) putValue(out, v.w2.v[i]);
}

void putValue(ByteWriter& out, const ZuVALUE& v) {
    out.writeInt(v.t);
    if (v.t & ZU_FLAG_NUL) return;
    switch (kindOf(v.t)) {
    case ZU_INT: out.writeInt(v.w1.i); break;
    case ZU_DOUBLE: out.writeDouble(v.w1.d); break;
    case ZU_MATRIX: putMatrix(out, v); break;
    case ZU_STRING: out.writeString(std::string_view(v.w2.s ? v.w2.s : "", v.w2.s ? v.w1.i : 0)); break;
    case ZU_ARRAY: putArray(out, v); break;
    case ZU_IMPORTNAME:
        out.writeInt(v.w2.i);
        out.writeInt(v.w3.i);
        out.writeString(v.w1.s);
        break;
    default: break;
    }
}

void putFunction(ByteWriter& out, int flags, const ZuVALUE& f, int address) {
    out.writeInt(flags);
    out.writeInt(f.w1.i);
    out.writeInt(address);
    out.writeString(f.w3.s);
}

void putClass(ByteWriter& out, const ZuNAMEDVALUE* symbols, int n, const ZuVALUE& c, const std::vector<int>& map) {
    out.writeInt(c.t);
    const int members = c.w4.nv ? c.w1.i : 0;
    out.writeInt(members);
    const int base = c.w2.i;
    const bool hasBase = base >= 0 && base < n;
    out.writeInt(hasBase ? map[static_cast<std::size_t>(base)] : -1);
    if (hasBase) out.writeString(symbols[base].name);
    for (int i = 0; i < members; ++i) {
        out.writeString(c.w4.nv[i].name);
        putValue(out, c.w4.nv[i].val);
    }
    int functions = 0;
    while (c.w5.nv && c.w5.nv[functions].name) ++functions;
    out.writeInt(functions);
    for (int i = 0; i < functions; ++i) {
        const ZuNAMEDVALUE& m = c.w5.nv[i];
        out.writeString(m.name);
        putFunction(out, m.val.t, m.val, m.val.w2.i);
    }
}

// The name under which a symbol is written: a static one is not linked by
// name, so it keeps its name only as "@name" for the debugger.
std::string writtenName(const ZuNAMEDVALUE& s) {
    if (!s.name) return {};
    if (!(s.val.t & ZU_FLAG_STA)) return s.name;
    return ZuIsDebug() ? std::string("@") + s.name : std::string();
}

bool refersToGlobal(const ZuPCODE& i) {
    const program::OpcodeInfo* info = program::opcodeInfo(i.op);
    return info && (info->operand == Operand::Global || info->operand == Operand::Class);
}

// Every symbol that is not external is written, and an external one only
// when the code refers to it; the written ones are numbered in order.
std::vector<int> numberKeptSymbols(const ZuNAMEDVALUE* symbols, int n, const ZuPCODE* code, int length) {
    std::vector<int> map(static_cast<std::size_t>(n), -1);
    std::vector<bool> used(static_cast<std::size_t>(n), false);
    for (int a = 0; a < length; ++a)
        if (refersToGlobal(code[a]) && code[a].arg >= 0 && code[a].arg < n)
            used[static_cast<std::size_t>(code[a].arg)] = true;
    int next = 0;
    for (int g = 0; g < n; ++g)
        if (!(symbols[g].val.t & ZU_FLAG_EXT) || used[static_cast<std::size_t>(g)])
            map[static_cast<std::size_t>(g)] = next++;
    return map;
}

}  // namespace

void ZuPutHeader(ByteWriter& out) {
    char header[kHeaderSize] = {};
    std::snprintf(header, sizeof header, "Zu%04d", kVersion);
    out.writeBytes(header, sizeof header);
    out.writeString(kInfoMarker);
    out.writeString("");
    out.writeString(kEndMarker);
    reportIfFailed(out);
}

void ZuPutLiteralStack(ByteWriter& out, const ZuVALUE* literals, int n) {
    out.writeString(kLiteralMarker);
    out.writeInt(n);
    for (int i = 0; i < n; ++i) putValue(out, literals[i]);
    out.writeString(kEndMarker);
    reportIfFailed(out);
}

void ZuPutSymbolStack(ByteWriter& out, const ZuNAMEDVALUE* symbols, int n, const std::vector<int>& map) {
    int kept = 0;
    for (int g = 0; g < n; ++g) kept += map[static_cast<std::size_t>(g)] >= 0;
    out.writeString(kSymbolMarker);
    out.writeInt(kept);
    for (int g = 0; g < n; ++g) {
        if (map[static_cast<std::size_t>(g)] < 0) continue;
        const ZuVALUE& v = symbols[g].val;
        out.writeString(writtenName(symbols[g]));
        switch (kindOf(v.t)) {
        case ZU_CLASS: putClass(out, symbols, n, v, map); break;
        case ZU_FUNCTION: putFunction(out, v.t, v, v.w2.i); break;
        // The routine of a library function is found again by name when
        // the program is linked; only its declaration is stored.
        case ZU_INTFUNC: putFunction(out, kIntFuncFlags, v, 0); break;
        default: putValue(out, v); break;
        }
    }
    out.writeString(kEndMarker);
    reportIfFailed(out);
}

void ZuPutPcodeStack(ByteWriter& out, const ZuPCODE* code, int n, const std::vector<int>& map) {
    out.writeString(kCodeMarker);
    out.writeInt(n);
    const int symbols = static_cast<int>(map.size());
    for (int a = 0; a < n; ++a) {
        int arg = code[a].arg;
        if (refersToGlobal(code[a])) arg = arg >= 0 && arg < symbols ? map[static_cast<std::size_t>(arg)] : -1;
        out.writeByte(static_cast<unsigned char>(code[a].op));
        out.writeInt(arg);
    }
    out.writeString(kEndMarker);
    reportIfFailed(out);
}

}  // namespace zu::objfile

using namespace zu::objfile;

extern "C" int ZuWriteCode(FILE* file) {
    if (!file) return 0;
    ZuParseDelUnusedExternals();
    const int errorsBefore = IZuGetLinkErrors();
    const ZuNAMEDVALUE* symbols = ZuGetSymGloBase();
    const int n = symbols ? ZuGetSymTabCount() : 0;
    int length = 0;
    const ZuPCODE* code = PZuGetPcode(&length);
    if (!code) length = 0;
    const std::vector<int> map = numberKeptSymbols(symbols, n, code, length);
    ByteWriter out(file);
    ZuPutHeader(out);
    ZuPutLiteralStack(out, ZuGetLitStack(), ZuGetLitStack() ? ZuGetLitStackCount() : 0);
    ZuPutSymbolStack(out, symbols, n, map);
    ZuPutPcodeStack(out, code, length, map);
    const bool closed = std::fclose(file) == 0;
    if (!closed && IZuGetLinkErrors() == errorsBefore) ZuLinkError(static_cast<int>(LinkError::kWritingFile), nullptr);
    return IZuGetLinkErrors() == errorsBefore ? 1 : 0;
}
