// Constant expressions, evaluated while they are parsed: the initialisers
// of globals and constants, dimensions, enum values and the elements of
// matrix constants.
#include "compiler/parser.h"

#include "compiler/scanner.h"
#include "program/symbols.h"
#include "program/tokens.h"
#include "value/heap.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace zu::compiler {
namespace tok = program::tok;
using program::kindOf;
using program::symbolTable;

namespace {

using value::HeapAlloc;
using value::HeapCalloc;

constexpr double kIntMin = std::numeric_limits<int>::min();
constexpr double kIntMax = std::numeric_limits<int>::max();

// An int result, or the double when it leaves the int range.
ConstValue fromWide(std::int64_t v) {
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return ConstValue(static_cast<double>(v));
    return ConstValue(static_cast<int>(v));
}

// int ^ int: exact while it stays an int, else the double power.
ConstValue intPower(int base, int exponent) {
    if (exponent < 0) return ConstValue(std::pow(static_cast<double>(base), exponent));
    if (base == 0 || base == 1) return ConstValue(exponent == 0 ? 1 : base);
    if (base == -1) return ConstValue(exponent % 2 == 0 ? 1 : -1);
    // |base| >= 2: at most 31 steps before the int range is left.
    std::int64_t result = 1;
    for (int i = 0; i < exponent; ++i) {
        result *= base;
        if (result < std::numeric_limits<int>::min() || result > std::numeric_limits<int>::max())
            return ConstValue(std::pow(static_cast<double>(base), exponent));
    }
    return ConstValue(static_cast<int>(result));
}

ConstValue apply(int op, const ConstValue& a, const ConstValue& b) {
    if (!a.isNumber() || !b.isNumber()) {
        Error(Msg::BadOperand, SZuTokenName(op));
        return ConstValue(0);
    }
    const bool ints = a.kind() == ZU_INT && b.kind() == ZU_INT;
    const double x = a.number(), y = b.number();
    switch (op) {
    case tok::Plus: return ints ? fromWide(std::int64_t{a.value().w1.i} + b.value().w1.i) : ConstValue(x + y);
    case tok::Minus: return ints ? fromWide(std::int64_t{a.value().w1.i} - b.value().w1.i) : ConstValue(x - y);
    case tok::Star: return ints ? fromWide(std::int64_t{a.value().w1.i} * b.value().w1.i) : ConstValue(x * y);
    case tok::Slash:
        if (y == 0) {
            Error(Msg::DivideByZero);
            return ConstValue(1);
        }
        return ConstValue(x / y);
    case tok::Caret: return ints ? intPower(a.value().w1.i, b.value().w1.i) : ConstValue(std::pow(x, y));
    default: return ConstValue(0);
    }
}

ConstValue negate(const ConstValue& a) {
    if (!a.isNumber()) {
        Error(Msg::BadOperand, SZuTokenName(tok::Minus));
        return ConstValue(0);
    }
    if (a.kind() == ZU_INT) return fromWide(-std::int64_t{a.value().w1.i});
    return ConstValue(-a.number());
}

ConstValue intText(const std::string& text) {
    const double d = std::strtod(text.c_str(), nullptr);
    if (d >= kIntMin && d <= kIntMax) return ConstValue(static_cast<int>(d));
    return ConstValue(d);
}

// The value of a constant named in an expression.
ConstValue namedConstant(const std::string& name) {
    const int g = FindGlobal(name);
    if (g < 0) {
        Error(Msg::UndeclaredIdentifier, name);
        return ConstValue(0);
    }
    const ZuVALUE& v = symbolTable()[g].val;
    if (!(v.t & ZU_FLAG_CON) || (v.t & (ZU_FLAG_EXT | ZU_FLAG_NUL))) {
        Error(Msg::MustBeConstant, name);
        return ConstValue(0);
    }
    return ConstValue::adopt(CopyValue(v));
}

ConstValue constUnary(bool allowPower);

// number, string, name, ( expression ), < matrix >, { array }
ConstValue constPrimary() {
    const int t = Next();
    const std::string& text = State().text;
    switch (t) {
    case tok::Int: return intText(text);
    case tok::Double: return ConstValue(std::strtod(text.c_str(), nullptr));
    case tok::HexDouble: return ConstValue(HexDoubleValue(text));
    case tok::String: return ConstValue::string(text);
    case tok::Quote: IZuScanGetSingleQuotedString(); return intText(SZuScanText());
    case tok::Dot:
        if (Expect(tok::Identifier)) {
            if (State().text == "NaN") return ConstValue(std::numeric_limits<double>::quiet_NaN());
            if (State().text == "Inf") return ConstValue(std::numeric_limits<double>::infinity());
            Error(Msg::OutOfPlace, State().text);
        }
        return ConstValue(0);
    case tok::Identifier: {
        std::string name = text;
        if (Accept(tok::ColonColon) && Expect(tok::Identifier)) name += "::" + State().text;
        return namedConstant(name);
    }
    case tok::LParen: {
        ConstValue v = ParseConstExpression();
        Expect(tok::RParen);
        return v;
    }
    case tok::Lt: return ParseMatrixConstant();
    case tok::LBrace: return ParseConstArray();
    default:
        if (t == tok::Semicolon || t == tok::RBrace || t == tok::Eof || t == tok::Comma || t == tok::RParen ||
            t == tok::RBracket || t == tok::Gt)
            Unread(t);
        Error(Msg::MustBeConstant, t == tok::Identifier ? text : SZuTokenName(t));
        return ConstValue(0);
    }
}

// primary { ^ unary }: left-associative, the right side without power
ConstValue constPower() {
    ConstValue v = constPrimary();
    while (Accept(tok::Caret)) {
        ConstValue w = constUnary(false);
        v = apply(tok::Caret, v, w);
    }
    return v;
}

// - unary   + unary   power
ConstValue constUnary(bool allowPower) {
    NestingGuard nesting;
    if (Accept(tok::Minus)) return negate(constUnary(allowPower));
    if (Accept(tok::Plus)) return constUnary(allowPower);
    return allowPower ? constPower() : constPrimary();
}

// unary { * unary | / unary }
ConstValue constTerm() {
    ConstValue v = constUnary(true);
    for (int t = Peek(); t == tok::Star || t == tok::Slash; t = Peek()) {
        Next();
        ConstValue w = constUnary(true);
        v = apply(t, v, w);
    }
    return v;
}

char* copyBytes(std::string_view bytes) {
    auto* p = static_cast<char*>(HeapAlloc(bytes.size() + 1));
    if (!p) {
        Error(Msg::OutOfMemory);
        return nullptr;
    }
    if (!bytes.empty()) std::memcpy(p, bytes.data(), bytes.size());
    p[bytes.size()] = '\0';
    return p;
}

}  // namespace

// ---------------------------------------------------------------------------
// ConstValue

ConstValue& ConstValue::operator=(ConstValue&& other) noexcept {
    if (this != &other) {
        ZuFreeValue(&value_);
        value_ = other.value_;
        other.value_ = Blank();
        other.value_.t = ZU_INT;
    }
    return *this;
}

ConstValue::~ConstValue() { ZuFreeValue(&value_); }

ZuVALUE ConstValue::release() {
    ZuVALUE v = value_;
    value_ = Blank();
    value_.t = ZU_INT;
    return v;
}

ConstValue ConstValue::adopt(const ZuVALUE& v) {
    ConstValue c;
    c.value_ = v;
    return c;
}

ConstValue ConstValue::string(std::string_view bytes) {
    ConstValue c;
    c.value_.t = ZU_STRING | ZU_FLAG_VAL;
    c.value_.w1.i = static_cast<int>(bytes.size());
    c.value_.w2.s = copyBytes(bytes);
    if (!c.value_.w2.s) c.value_.w1.i = 0;
    return c;
}

// ---------------------------------------------------------------------------
// Entry points

// term { + term | - term }
ConstValue ParseConstExpression() {
    NestingGuard nesting;
    ConstValue v = constTerm();
    for (int t = Peek(); t == tok::Plus || t == tok::Minus; t = Peek()) {
        Next();
        ConstValue w = constTerm();
        v = apply(t, v, w);
    }
    return v;
}

int ParseConstInt() {
    ConstValue v = ParseConstExpression();
    if (v.kind() != ZU_INT) {
        Error(Msg::MustBeInteger);
        return 0;
    }
    return v.value().w1.i;
}

// { constant, ... }
ConstValue ParseConstArray() {
    std::vector<ConstValue> elements;
    if (!Accept(tok::RBrace)) {
        do {
            if (Peek() == tok::RBrace) break;
            elements.push_back(ParseConstExpression());
        } while (Accept(tok::Comma));
        Expect(tok::RBrace);
    }
    ConstValue array;
    ZuVALUE& v = array.value();
    v.t = ZU_ARRAY | ZU_FLAG_VAL;
    if (elements.empty()) return array;
    auto* items = static_cast<ZuVALUE*>(HeapCalloc(elements.size(), sizeof(ZuVALUE)));
    if (!items) {
        Error(Msg::OutOfMemory);
        return array;
    }
    for (std::size_t i = 0; i < elements.size(); ++i) items[i] = elements[i].release();
    v.w1.i = static_cast<int>(elements.size());
    v.w2.v = items;
    return array;
}

ZuVALUE CopyValue(const ZuVALUE& v) {
    ZuVALUE c = v;
    c.t &= ~(ZU_FLAG_VAL | ZU_FLAG_GLO | ZU_FLAG_CON | ZU_FLAG_STA | ZU_FLAG_MEM);
    switch (kindOf(v)) {
    case ZU_STRING:
        c.w2.s = copyBytes(v.w1.i > 0 && v.w2.s ? std::string_view(v.w2.s, static_cast<std::size_t>(v.w1.i))
                                                : std::string_view{});
        c.t |= ZU_FLAG_VAL;
        break;
    case ZU_MATRIX:
        c.w3.m = v.w1.i > 0 && v.w3.m ? MatDup(v.w3.m, v.w1.i, v.w2.i) : nullptr;
        if (v.w1.i > 0 && v.w3.m && !c.w3.m) {
            Error(Msg::OutOfMemory);
            c.w1.i = c.w2.i = 0;
        }
        c.t |= ZU_FLAG_VAL;
        break;
    case ZU_ARRAY:
        c.w2.v = nullptr;
        c.t |= ZU_FLAG_VAL;
        if (v.w1.i > 0 && v.w2.v) {
            c.w2.v = static_cast<ZuVALUE*>(HeapCalloc(static_cast<std::size_t>(v.w1.i), sizeof(ZuVALUE)));
            if (!c.w2.v) {
                Error(Msg::OutOfMemory);
                c.w1.i = 0;
                break;
            }
            for (int i = 0; i < v.w1.i; ++i) c.w2.v[i] = CopyValue(v.w2.v[i]);
        }
        break;
    case ZU_INT:
    case ZU_DOUBLE: break;
    default:
        c = ConstValue::Blank();
        c.t = ZU_INT;
        break;
    }
    return c;
}

bool SameValue(const ZuVALUE& a, const ZuVALUE& b) {
    if (kindOf(a) != kindOf(b)) return false;
    switch (kindOf(a)) {
    case ZU_INT: return a.w1.i == b.w1.i;
    case ZU_DOUBLE: return a.w1.d == b.w1.d || (std::isnan(a.w1.d) && std::isnan(b.w1.d));
    case ZU_STRING:
        return a.w1.i == b.w1.i && (a.w1.i <= 0 || std::memcmp(a.w2.s, b.w2.s, static_cast<std::size_t>(a.w1.i)) == 0);
    case ZU_MATRIX:
        if (a.w1.i != b.w1.i || a.w2.i != b.w2.i) return false;
        for (int i = 0; i < a.w1.i; ++i)
            for (int j = 0; j < a.w2.i; ++j)
                if (a.w3.m[i][j] != b.w3.m[i][j]) return false;
        return true;
    case ZU_ARRAY:
        if (a.w1.i != b.w1.i) return false;
        for (int i = 0; i < a.w1.i; ++i)
            if (!SameValue(a.w2.v[i], b.w2.v[i])) return false;
        return true;
    default: return false;
    }
}

char* CopyText(std::string_view text) {
    auto* p = static_cast<char*>(std::malloc(text.size() + 1));
    if (!p) {
        Error(Msg::OutOfMemory);
        return nullptr;
    }
    std::memcpy(p, text.data(), text.size());
    p[text.size()] = '\0';
    return p;
}

}  // namespace zu::compiler
