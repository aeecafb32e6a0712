// Matrix constants "<...>": rows separated by ";", elements by ",", each
// element a value, "[n] * value", "a : b [step]" or "[r][c] = value".
#include "compiler/parser.h"

#include "program/tokens.h"

#include <cmath>
#include <vector>

namespace zu::compiler {
namespace tok = program::tok;

namespace {

// Bounds on what a constant may ask for: no source text allocates without
// limit.
constexpr double kMaxElements = 1 << 24;

struct Element {
    int row;
    int column;
    double value;
};

// The elements placed so far and the position of the next one.
class Builder {
public:
    bool place(double value) {
        if (static_cast<double>(elements_.size()) >= kMaxElements || column_ >= kMaxElements) {
            Error(Msg::InfiniteMatrix);
            return false;
        }
        elements_.push_back({row_, column_, value});
        rows_ = std::max(rows_, row_ + 1);
        columns_ = std::max(columns_, column_ + 1);
        ++column_;
        return true;
    }
    void moveTo(int row, int column) {
        row_ = row;
        column_ = column;
    }
    void nextRow() {
        ++row_;
        column_ = 0;
    }
    ConstValue build() const;

private:
    std::vector<Element> elements_;
    int row_ = 0, column_ = 0;  // where the next element goes
    int rows_ = 0, columns_ = 0;
};

ConstValue Builder::build() const {
    ConstValue m;
    ZuVALUE& v = m.value();
    // An empty matrix (also one that failed) has no rows and no data.
    v.t = ZU_MATRIX | ZU_FLAG_VAL;
    v.w1.i = 0;
    v.w2.i = 0;
    v.w3.m = nullptr;
    if (rows_ == 0) return m;
    if (static_cast<double>(rows_) * columns_ > kMaxElements) {
        Error(Msg::InfiniteMatrix);
        return m;
    }
    double** data = MatAllocBlock(rows_, columns_);
    if (!data) {
        Error(Msg::OutOfMemory);
        return m;
    }
    MatZero(data, rows_, columns_);
    for (const Element& e : elements_) data[e.row][e.column] = e.value;
    v.w1.i = rows_;
    v.w2.i = columns_;
    v.w3.m = data;
    return m;
}

// A constant of int or double value.
double number() {
    ConstValue v = ParseConstExpression();
    if (!v.isNumber()) {
        Error(Msg::MustBeIntegerOrDouble);
        return 0;
    }
    return v.number();
}

// A count or position: an int from 0 on.
int position() {
    const int n = ParseConstInt();
    if (n < 0 || n >= kMaxElements) {
        Error(Msg::InfiniteMatrix);
        return 0;
    }
    return n;
}

// [n] * value    [r][c] = value
void bracketElement(Builder& b) {
    const int first = position();
    Expect(tok::RBracket);
    if (Accept(tok::LBracket)) {
        const int column = position();
        Expect(tok::RBracket);
        Expect(tok::Assign);
        const double value = number();
        b.moveTo(first, column);
        b.place(value);
        return;
    }
    Expect(tok::Star);
    const double value = number();
    for (int i = 0; i < first; ++i)
        if (!b.place(value)) return;
}

// a : b [step]: a, a + step, ... up to b
void rangeElement(Builder& b, double from) {
    const double to = number();
    double step = to < from ? -1 : 1;
    if (Accept(tok::LBracket)) {
        step = number();
        Expect(tok::RBracket);
    }
    const double span = (to - from) / step;
    if (step == 0 || !(span >= 0) || span >= kMaxElements) {
        if (from == to && step != 0) {
            b.place(from);
            return;
        }
        Error(Msg::InfiniteMatrix);
        return;
    }
    // A small allowance keeps the end of a range like 0 : 1 [0.1].
    const auto count = static_cast<long>(std::floor(span + 1e-10)) + 1;
    for (long i = 0; i < count; ++i)
        if (!b.place(from + static_cast<double>(i) * step)) return;
}

void element(Builder& b) {
    if (Accept(tok::LBracket)) {
        bracketElement(b);
        return;
    }
    const double value = number();
    if (Accept(tok::Colon))
        rangeElement(b, value);
    else
        b.place(value);
}

}  // namespace

// < [element { , element } { ; element { , element } }] >
ConstValue ParseMatrixConstant() {
    Builder b;
    if (Accept(tok::Gt)) return b.build();
    for (;;) {
        const long before = State().taken;
        element(b);
        const int t = Peek();
        if (t == tok::Gt) {
            Next();
            break;
        }
        if (t == tok::Comma) {
            Next();
            continue;
        }
        if (t == tok::Semicolon) {
            Next();
            b.nextRow();
            if (Accept(tok::Gt)) break;
            continue;
        }
        Error(Msg::MatrixSeparator);
        if (t == tok::Eof || t == tok::RBrace || t == tok::RParen || State().taken == before) break;
    }
    return b.build();
}

}  // namespace zu::compiler
