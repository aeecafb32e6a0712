// A small value stack for the operator tests: operands are laid out as the
// engine leaves them, DoOpr runs on the top, and the entries are freed at
// the end of each test.  Run-time errors unwind as zu_test::RunError.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "run/opr.h"
#include "value/test_support.h"
#include "zu.h"

namespace zu_test {

class OperatorTest : public ValueTest {
protected:
    void TearDown() override {
        for (ZuVALUE& v : stack_) ZuFreeByValue(&v);
        ValueTest::TearDown();
    }

    // Applies the operator to the operands (left first); the result is the
    // new top, which the test must find where the first operand was.
    // The entries of an earlier Apply are freed first.
    ZuVALUE& Apply(int code, std::initializer_list<ZuVALUE> operands) {
        for (ZuVALUE& v : stack_) {
            ZuFreeByValue(&v);
            v = ZuVALUE{};
        }
        int k = 1;
        for (const ZuVALUE& v : operands) stack_[k++] = v;
        ZuVALUE* top = zu::run::DoOpr(&stack_[k - 1], code);
        EXPECT_EQ(top, &stack_[1]) << "the result replaces the operands";
        return stack_[1];
    }

    // A reference to a matrix that someone else owns (a variable's value).
    static ZuVALUE Reference(const ZuVALUE& owner) {
        ZuVALUE v = owner;
        v.t &= ~ZU_FLAG_VAL;
        return v;
    }

public:
    static std::vector<double> Elements(const ZuVALUE& m) {
        std::vector<double> out;
        for (int i = 0; i < m.w1.i; ++i)
            for (int j = 0; j < m.w2.i; ++j) out.push_back(m.w3.m[i][j]);
        return out;
    }

    static std::string Text(const ZuVALUE& s) {
        return s.w2.s == nullptr ? std::string{} : std::string(s.w2.s, static_cast<std::size_t>(s.w1.i));
    }

protected:
    ZuVALUE stack_[6]{};
};

}  // namespace zu_test

#define EXPECT_MATRIX(value, rows, cols, ...)                                              \
    do {                                                                                   \
        const ZuVALUE& m_ = (value);                                                       \
        ASSERT_EQ(m_.t& ZU_TYPE_MASK, ZU_MATRIX);                                          \
        EXPECT_EQ(m_.w1.i, rows);                                                          \
        EXPECT_EQ(m_.w2.i, cols);                                                          \
        EXPECT_EQ(zu_test::OperatorTest::Elements(m_), (std::vector<double> __VA_ARGS__)); \
    } while (false)
