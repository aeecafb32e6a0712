// Reading an object file into a staged program: the header, the three
// sections, and the check that every operand lies inside the file.
#include "objfile/format.h"
#include "objfile/objfile.h"
#include "objfile/verifier.h"

#include "program/pcode.h"
#include "value/heap.h"

#include <cstring>

namespace zu::objfile {
using program::code;
using program::Op;
using program::Operand;

namespace {

// Flags a stored value never carries: an address or index array refers
// into memory of the program that wrote it, and the bits above the
// address flag are private to the run time, but for the mark of a Gauss
// keyword procedure.
constexpr int kGaussKeywordFlag = 0x80000;
constexpr int kForeignFlags = (ZU_FLAG_ADR | ZU_FLAG_IDX | ~0x7FFF) & ~kGaussKeywordFlag;

int kindOf(int typeword) { return typeword & ZU_TYPE_MASK; }

// A malloc'd copy of bytes with a terminator; null (and "out of memory")
// when it cannot be made.
char* copyText(ByteReader& in, const std::string& text) {
    auto* copy = static_cast<char*>(value::HeapAlloc(text.size() + 1));
    if (!copy) {
        in.fail(LinkError::kOutOfMemory);
        return nullptr;
    }
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// A name as read: an empty one is no name.
char* readName(ByteReader& in) {
    const std::string name = in.readString();
    return in.ok() && !name.empty() ? copyText(in, name) : nullptr;
}

bool checkFlags(ByteReader& in, int flags) {
    if (flags & kForeignFlags) in.fail(LinkError::kFileError);
    return in.ok();
}

ZuVALUE readValue(ByteReader& in, int depth, bool literal);

void readMatrix(ByteReader& in, ZuVALUE& v) {
    const int rows = in.readInt();
    const int columns = in.readInt();
    if (!in.ok() || rows <= 0 || columns <= 0) return;  // empty: no elements follow
    const std::size_t elements = static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns);
    if (elements > in.remaining() / 8) {
        in.fail(LinkError::kUnexpectedEnd);
        return;
    }
    double** m = MatAllocBlock(rows, columns);
    if (!m) {
        in.fail(LinkError::kOutOfMemory);
        return;
    }
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) m[i][j] = in.readDouble();
    v.w1.i = rows;
    v.w2.i = columns;
    v.w3.m = m;
}

void readString(ByteReader& in, ZuVALUE& v) {
    const std::string text = in.readString();
    if (!in.ok() || text.empty()) return;
    v.w2.s = copyText(in, text);
    if (v.w2.s) v.w1.i = static_cast<int>(text.size());
}

void readArray(ByteReader& in, ZuVALUE& v, int depth) {
    const int n = in.readCount(kMinValueBytes);
    if (n <= 0) return;
    auto* elements = static_cast<ZuVALUE*>(value::HeapCalloc(static_cast<std::size_t>(n), sizeof(ZuVALUE)));
    if (!elements) {
        in.fail(LinkError::kOutOfMemory);
        return;
    }
    // Elements not read after a fault stay cleared, which frees as nothing.
    v.w1.i = n;
    v.w2.v = elements;
    for (int i = 0; i < n && in.ok(); ++i) elements[i] = readValue(in, depth + 1, false);
}

void readImportName(ByteReader& in, ZuVALUE& v) {
    v.w2.i = in.readInt() != 0;
    v.w3.i = in.readInt() != 0;
    const std::string name = in.readString();
    if (in.ok()) v.w1.s = copyText(in, name);
}

// The payload of a value whose type word has been read.  Only the kinds
// that a program's constants and globals hold are accepted; an import name
// only in the literal section.
ZuVALUE readValueBody(ByteReader& in, int flags, int depth, bool literal) {
    ZuVALUE v{};
    if (!checkFlags(in, flags)) return v;
    const int kind = kindOf(flags);
    const bool storable = kind <= ZU_ARRAY || (literal && kind == ZU_IMPORTNAME);
    if (!storable || depth > kMaxValueDepth) {
        in.fail(LinkError::kFileError);
        return v;
    }
    v.t = flags;
    if (flags & ZU_FLAG_NUL) return v;
    switch (kind) {
    case ZU_INT: v.w1.i = in.readInt(); break;
    case ZU_DOUBLE: v.w1.d = in.readDouble(); break;
    case ZU_MATRIX: readMatrix(in, v); break;
    case ZU_STRING: readString(in, v); break;
    case ZU_ARRAY: readArray(in, v, depth); break;
    case ZU_IMPORTNAME: readImportName(in, v); break;
    default: break;
    }
    return v;
}

ZuVALUE readValue(ByteReader& in, int depth, bool literal) {
    const int flags = in.readInt();
    if (!in.ok()) return {};
    return readValueBody(in, flags, depth, literal);
}

// Argument count, code address and signature of a function whose flags
// have been read.  An external function has no code of its own.  The
// record owns the signature read for it, so it is a definition whatever
// its flags say: a value flag (a variable's copy, which leaves the text to
// the definition) would have the end of the run leave the text behind.
// A function without a value is no definition at all (nothing writes one),
// and its signature would have no owner: the file is refused.
ZuVALUE readFunction(ByteReader& in, int flags) {
    ZuVALUE f{};
    if (flags & ZU_FLAG_NUL) {
        in.fail(LinkError::kFileError);
        return f;
    }
    f.t = flags & ~ZU_FLAG_VAL;
    f.w1.i = in.readInt();
    f.w2.i = in.readInt();
    const std::string signature = in.readString();
    if (in.ok() && !signature.empty()) f.w3.s = copyText(in, signature);
    if (flags & ZU_FLAG_EXT) f.w2.i = 0;
    return f;
}

// The member functions; the table ends with a record without name, so a
// member function must have one.
void readMemberFunctions(ByteReader& in, ZuVALUE& c) {
    const int n = in.readCount(kMinMethodBytes);
    if (n < 0) return;
    auto* table = static_cast<ZuNAMEDVALUE*>(value::HeapCalloc(static_cast<std::size_t>(n) + 1, sizeof(ZuNAMEDVALUE)));
    if (!table) {
        in.fail(LinkError::kOutOfMemory);
        return;
    }
    c.w5.nv = table;
    for (int i = 0; i < n && in.ok(); ++i) {
        char* name = readName(in);
        const int flags = in.readInt();
        if (in.ok() && (!name || kindOf(flags) != ZU_FUNCTION || !checkFlags(in, flags))) {
            in.fail(LinkError::kFileError);
            value::HeapFree(name);
            return;
        }
        ZuVALUE f = readFunction(in, flags);
        table[i].name = name;
        table[i].val = f;
    }
}

// As with a function, a class without a value is no definition, and its
// tables would have no owner: the file is refused.
void readClass(ByteReader& in, StagedSymbol& s, int flags) {
    if (flags & ZU_FLAG_NUL) {
        in.fail(LinkError::kFileError);
        return;
    }
    ZuVALUE& c = s.record.val;
    c.t = flags;
    c.w2.i = -1;
    // The number of data members comes first, their records after the base.
    const int n = in.readCount(kMinMemberBytes);
    const int base = in.readInt();
    if (in.ok() && base != -1) {
        s.baseName = in.readString();
        s.hasBase = true;
    }
    if (!in.ok()) return;
    // Read the members through a count the table has already checked.
    auto* table = n > 0
                      ? static_cast<ZuNAMEDVALUE*>(value::HeapCalloc(static_cast<std::size_t>(n), sizeof(ZuNAMEDVALUE)))
                      : nullptr;
    if (n > 0 && !table) {
        in.fail(LinkError::kOutOfMemory);
        return;
    }
    c.w1.i = n;
    c.w4.nv = table;
    for (int i = 0; i < n && in.ok(); ++i) {
        table[i].name = readName(in);
        table[i].val = readValue(in, 0, false);
    }
    if (in.ok()) readMemberFunctions(in, c);
}

void readSymbol(ByteReader& in, StagedSymbol& s) {
    s.record.name = readName(in);
    const int flags = in.readInt();
    if (!in.ok() || !checkFlags(in, flags)) return;
    switch (kindOf(flags)) {
    case ZU_CLASS: readClass(in, s, flags); break;
    case ZU_FUNCTION: s.record.val = readFunction(in, flags); break;
    // A library function is stored as an external function.
    case ZU_INTFUNC: in.fail(LinkError::kFileError); break;
    default: s.record.val = readValueBody(in, flags, 0, false); break;
    }
}

bool inRange(int i, std::size_t n) { return i >= 0 && static_cast<std::size_t>(i) < n; }

bool isStringLiteral(const StagedProgram& stage, int i) {
    return inRange(i, stage.literals.size()) && kindOf(stage.literals[static_cast<std::size_t>(i)].t) == ZU_STRING;
}

// Whether an instruction's operand lies inside the file's own sections.
bool operandInFile(const StagedProgram& stage, const ZuPCODE& ins) {
    const program::OpcodeInfo* info = program::opcodeInfo(ins.op);
    if (!info) return false;
    const int arg = ins.arg;
    switch (info->operand) {
    case Operand::Global:
    case Operand::Class: return inRange(arg, stage.symbols.size());
    case Operand::CodeAddress: return inRange(arg, stage.code.size());
    case Operand::Literal:
        if (ins.op == program::code(Op::ELF)) return arg == -1 || isStringLiteral(stage, arg);
        return inRange(arg, stage.literals.size()) &&
               kindOf(stage.literals[static_cast<std::size_t>(arg)].t) != ZU_IMPORTNAME;
    case Operand::LocalName: return arg < 0 || isStringLiteral(stage, arg);
    default: return true;
    }
}

bool addressInFile(const StagedProgram& stage, const ZuVALUE& f) {
    return (f.t & ZU_FLAG_EXT) || inRange(f.w2.i, stage.code.size());
}

bool symbolInFile(const StagedProgram& stage, const ZuVALUE& v) {
    if (kindOf(v.t) == ZU_FUNCTION) return addressInFile(stage, v);
    if (kindOf(v.t) != ZU_CLASS) return true;
    for (int i = 0; v.w5.nv && v.w5.nv[i].name; ++i)
        if (!addressInFile(stage, v.w5.nv[i].val)) return false;
    return true;
}

}  // namespace

StagedProgram::~StagedProgram() {
    for (ZuVALUE& v : literals) ZuFreeValue(&v);
    for (StagedSymbol& s : symbols) {
        value::HeapFree(s.record.name);
        ZuFreeValue(&s.record.val);
    }
}

bool FZuGetHeader(ByteReader& in, const char* name) {
    ZuResetLinkErrors();
    const std::size_t available = in.remaining() < kHeaderSize ? in.remaining() : kHeaderSize;
    const unsigned char* head = in.take(available);
    if (available < 2 || head[0] != 'Z' || head[1] != 'u') {
        ZuLinkError(static_cast<int>(LinkError::kNotAnObjectFile), name);
        return false;
    }
    if (available < kHeaderSize) {
        ZuLinkError(static_cast<int>(LinkError::kUnexpectedEnd), name);
        return false;
    }
    const bool digits = head[2] >= '0' && head[2] <= '9' && head[3] >= '0' && head[3] <= '9';
    if (!digits || (head[2] - '0') * 10 + (head[3] - '0') != kVersion / 100) {
        ZuLinkError(static_cast<int>(LinkError::kObjectFileVersion), name);
        return false;
    }
    in.expectMarker(kInfoMarker);
    in.readString();
    if (in.ok() && !in.atEnd()) in.expectMarker(kEndMarker);
    if (!in.ok()) {
        ZuLinkError(static_cast<int>(in.fault()), name);
        return false;
    }
    return true;
}

int IZuGetLiteralStackSize(ByteReader& in) {
    in.expectMarker(kLiteralMarker);
    return in.readCount(kMinValueBytes);
}

void IZuGetLiteralStack(ByteReader& in, int n, StagedProgram& stage) {
    stage.literals.reserve(static_cast<std::size_t>(n > 0 ? n : 0));
    for (int i = 0; i < n && in.ok(); ++i) stage.literals.push_back(readValue(in, 0, true));
    in.expectMarker(kEndMarker);
}

void IZuGetSymbolStack(ByteReader& in, StagedProgram& stage) {
    in.expectMarker(kSymbolMarker);
    const int n = in.readCount(kMinSymbolBytes);
    stage.symbols.reserve(static_cast<std::size_t>(n > 0 ? n : 0));
    for (int i = 0; i < n && in.ok(); ++i) {
        stage.symbols.emplace_back();
        readSymbol(in, stage.symbols.back());
    }
    in.expectMarker(kEndMarker);
}

int IZuGetPcodeStackSize(ByteReader& in) {
    in.expectMarker(kCodeMarker);
    return in.readCount(kInstructionBytes);
}

void IZuGetPcodeStack(ByteReader& in, int n, StagedProgram& stage) {
    stage.code.reserve(static_cast<std::size_t>(n > 0 ? n : 0));
    for (int i = 0; i < n && in.ok(); ++i) {
        const unsigned char* op = in.take(1);
        const int arg = in.readInt();
        if (op) stage.code.push_back({*op, arg});
    }
    in.expectMarker(kEndMarker);
}

bool CheckStage(ByteReader& in, const StagedProgram& stage) {
    for (const ZuPCODE& ins : stage.code)
        if (!operandInFile(stage, ins)) in.fail(LinkError::kFileError);
    for (const StagedSymbol& s : stage.symbols)
        if (!symbolInFile(stage, s.record.val)) in.fail(LinkError::kFileError);
    return in.ok();
}

bool ReadObjectFile(std::FILE* file, const char* name, StagedProgram& stage) {
    std::vector<unsigned char> bytes;
    if (!ReadWholeFile(file, bytes)) {
        ZuResetLinkErrors();
        ZuLinkError(static_cast<int>(LinkError::kFileError), name);
        return false;
    }
    ByteReader in(std::move(bytes));
    if (!FZuGetHeader(in, name)) return false;
    IZuGetLiteralStack(in, IZuGetLiteralStackSize(in), stage);
    IZuGetSymbolStack(in, stage);
    IZuGetPcodeStack(in, IZuGetPcodeStackSize(in), stage);
    if (!CheckStage(in, stage)) {
        ZuLinkError(static_cast<int>(in.fault()), name);
        return false;
    }
    if (const auto fault = VerifyCode(stage.code, StagedEntries(stage))) {
        const std::string text = std::string(name) + ": " + DescribeFault(*fault, stage.code);
        ZuLinkError(static_cast<int>(LinkError::kInvalidCode), text.c_str());
        return false;
    }
    return true;
}

}  // namespace zu::objfile
