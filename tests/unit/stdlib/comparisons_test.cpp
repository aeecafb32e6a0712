// Comparisons, integer arithmetic and the string functions: zero divisors,
// the int limits, tolerances, empty and long strings.
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "stdlib/routines.h"
#include "stdlib_fixture.h"

using namespace zu::stdlib;
using zu_stdlib_test::Call;
using zu_stdlib_test::FreeAll;
using zu_stdlib_test::StdlibTest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class ComparisonsTest : public StdlibTest {
protected:
    template <std::size_t N>
    static int IntOf(ZuLIBFUNC f, ZuVALUE (&args)[N]) {
        ZuVALUE v = Call(f, args);
        FreeAll(args);
        EXPECT_EQ(ZuValType(&v), ZU_INT);
        return v.w1.i;
    }
    int Compare(ZuLIBFUNC f, ZuVALUE a, ZuVALUE b) {
        ZuVALUE args[] = {a, b};
        return IntOf(f, args);
    }
    template <std::size_t N>
    static std::string TextOf(ZuLIBFUNC f, ZuVALUE (&args)[N]) {
        ZuVALUE v = Call(f, args);
        FreeAll(args);
        EXPECT_EQ(ZuValType(&v), ZU_STRING);
        std::string text = v.w2.s != nullptr ? std::string(v.w2.s, static_cast<std::size_t>(v.w1.i)) : "";
        ZuFreeValue(&v);
        return text;
    }
    static ZuVALUE Bytes(const std::string& text) {
        ZuVALUE v{};
        ZuLibValStrMalloc(&v, static_cast<int>(text.size()));
        if (!text.empty()) std::copy(text.begin(), text.end(), v.w2.s);
        return v;
    }
};

TEST_F(ComparisonsTest, IntegerDivisionAtTheLimits) {
    EXPECT_EQ(Compare(FnIdiv, Int(-7), Int(2)), -3);
    EXPECT_EQ(Compare(FnImod, Int(-7), Int(2)), -1);
    EXPECT_EQ(Compare(FnImod, Int(7), Int(-3)), 1);
    EXPECT_EQ(Compare(FnIdiv, Int(INT_MIN), Int(-1)), INT_MIN);
    EXPECT_EQ(Compare(FnImod, Int(INT_MIN), Int(-1)), 0);
    EXPECT_EQ(Compare(FnIdiv, Int(INT_MAX), Int(1)), INT_MAX);
    // A double is truncated to an int first.
    EXPECT_EQ(Compare(FnIdiv, Double(7.9), Int(2)), 3);
    ZuVALUE zero[] = {Int(1), Int(0)};
    EXPECT_RUN_ERROR(Call(FnIdiv, zero), 6);
    ZuVALUE zeroMod[] = {Int(1), Double(0.4)};
    EXPECT_RUN_ERROR(Call(FnImod, zeroMod), 6);
    ZuVALUE text[] = {String("7"), Int(2)};
    EXPECT_RUN_ERROR(Call(FnIdiv, text), 37);
    FreeAll(text);
    ZuVALUE complement[] = {Int(INT_MIN)};
    EXPECT_EQ(IntOf(FnBincomp, complement), INT_MAX);
}

// fmod takes a short route for whole numbers; every pair must still give the
// C library's result to the bit: random whole numbers of every size, the
// edges of the route (2^52 and beyond), signs and signed zeros, fractions,
// infinities, NaN and a zero divisor.
TEST_F(ComparisonsTest, FmodAgreesWithTheCLibraryToTheBit) {
    std::vector<double> a, b;
    const double edges[] = {0.0, -0.0, 1.0, 3.0, 7.5, 1e15, 4503599627370495.0, 4503599627370496.0,
                            4503599627370497.0, 9007199254740991.0, 9007199254740992.0, kInf, kNaN};
    for (double x : edges)
        for (double y : edges)
            for (double sx : {1.0, -1.0})
                for (double sy : {1.0, -1.0}) {
                    a.push_back(sx * x);
                    b.push_back(sy * y);
                }
    std::mt19937_64 draw(20261209);
    for (int k = 0; k < 20000; ++k) {
        const int bits = 1 + static_cast<int>(draw() % 52);
        const auto whole = [&](int n) { return static_cast<double>(draw() >> (64 - n)) * (draw() % 2 ? 1.0 : -1.0); };
        a.push_back(whole(bits));
        b.push_back(whole(1 + static_cast<int>(draw() % static_cast<unsigned>(bits))));
    }
    for (double y = 1.0; y < 64.0; ++y) {  // the largest quotients the route takes
        a.push_back(4503599627370495.0 - y);
        b.push_back(y);
    }
    const int n = static_cast<int>(a.size());
    ZuVALUE args[] = {Matrix(n, 1), Matrix(n, 1)};
    for (int i = 0; i < n; ++i) {
        args[0].w3.m[i][0] = a[static_cast<std::size_t>(i)];
        args[1].w3.m[i][0] = b[static_cast<std::size_t>(i)];
    }
    ZuVALUE v = Call(FnFmod, args);
    FreeAll(args);
    ASSERT_EQ(ZuValType(&v), ZU_MATRIX);
    for (int i = 0; i < n; ++i) {
        const std::size_t k = static_cast<std::size_t>(i);
        const double want = std::fmod(a[k], b[k]), got = v.w3.m[i][0];
        if (std::isnan(want)) {
            EXPECT_TRUE(std::isnan(got)) << a[k] << " " << b[k];
        } else {
            EXPECT_EQ(got, want) << a[k] << " " << b[k];
            EXPECT_EQ(std::signbit(got), std::signbit(want)) << a[k] << " " << b[k];
        }
    }
    ZuFreeValue(&v);
}

TEST_F(ComparisonsTest, EqualityNeedsTypeShapeAndValue) {
    EXPECT_EQ(Compare(FnIseq, Int(1), Double(1)), 0);
    EXPECT_EQ(Compare(FnIseq, Double(kNaN), Double(kNaN)), 1);
    EXPECT_EQ(Compare(FnIseq, Matrix(1, 2, {1, 2}), Matrix(2, 1, {1, 2})), 0);
    EXPECT_EQ(Compare(FnIseq, Matrix(0, 3), Matrix(0, 3)), 1);
    // Strings compare all their bytes, zeros included.
    EXPECT_EQ(Compare(FnIseq, Bytes(std::string("a\0b", 3)), Bytes(std::string("a\0c", 3))), 0);
    EXPECT_EQ(Compare(FnIseq, String("ab"), String("abc")), 0);
    EXPECT_EQ(Compare(FnIseq, String(""), String("")), 1);
    EXPECT_EQ(Compare(FnIseq, Strings({"a", "b"}), Strings({"a", "b"})), 1);
    EXPECT_EQ(Compare(FnIseq, Strings({"a", "b"}), Strings({"a", "c"})), 0);
}

TEST_F(ComparisonsTest, NearEqualityHasARelativeTolerance) {
    EXPECT_EQ(Compare(FnIsfeq, Double(1), Double(1 + 1e-14)), 1);
    EXPECT_EQ(Compare(FnIsfeq, Double(1), Double(1 + 1e-12)), 0);
    EXPECT_EQ(Compare(FnIsfeq, Double(1e20), Double(1e20 * (1 + 1e-14))), 1);
    EXPECT_EQ(Compare(FnIsfeq, Double(kInf), Double(kInf)), 1);
    EXPECT_EQ(Compare(FnIsfeq, Double(kInf), Double(-kInf)), 0);
    EXPECT_EQ(Compare(FnIsfeq, Double(kNaN), Double(1)), 0);
    EXPECT_EQ(Compare(FnIsfeq, Int(2), Matrix(1, 1, {2})), 1);
    EXPECT_EQ(Compare(FnIsfeq, Matrix(1, 2, {1, 2}), Matrix(2, 1, {1, 2})), 0);
    ZuVALUE dot[] = {Matrix(1, 3, {1, kNaN, 3}), Double(1)};
    ZuVALUE flags = Call(FnIsdotfeq, dot);
    FreeAll(dot);
    ASSERT_EQ(ZuValType(&flags), ZU_MATRIX);
    EXPECT_EQ(flags.w3.m[0][0], 1.0);
    EXPECT_EQ(flags.w3.m[0][1], 0.0);
    EXPECT_EQ(flags.w3.m[0][2], 0.0);
    ZuFreeValue(&flags);
}

TEST_F(ComparisonsTest, MissingValueTests) {
    ZuVALUE m[] = {Matrix(2, 2, {1, 2, 3, kNaN})};
    EXPECT_EQ(IntOf(FnIsmissing, m), 1);
    ZuVALUE empty[] = {Matrix(0, 0)};
    EXPECT_EQ(IntOf(FnIsnan, empty), 0);
    ZuVALUE text[] = {String("NaN")};
    EXPECT_EQ(IntOf(FnIsmissing, text), 0);
    ZuVALUE dots[] = {Matrix(1, 3, {kNaN, kInf, 0})};
    ZuVALUE inf = Call(FnIsdotinf, dots);
    FreeAll(dots);
    EXPECT_EQ(inf.w3.m[0][0], 0.0);
    EXPECT_EQ(inf.w3.m[0][1], 1.0);
    ZuFreeValue(&inf);
    ZuVALUE word[] = {String("x")};
    EXPECT_RUN_ERROR(Call(FnIsdotnan, word), 37);
    FreeAll(word);
}

TEST_F(ComparisonsTest, FuzzyTruncation) {
    const double cases[][2] = {
        {2.9999999999999996, 3}, {-2.9999999999999996, -3}, {2.5, 2}, {-2.7, -2}, {1e15 + 0.5, 1e15}, {0.0, 0}};
    for (const auto& c : cases) {
        ZuVALUE args[] = {Double(c[0])};
        ZuVALUE r = Call(FnTruncf, args);
        EXPECT_EQ(r.w1.d, c[1]) << c[0];
    }
    ZuVALUE nan[] = {Double(kNaN)};
    EXPECT_TRUE(std::isnan(Call(FnTruncf, nan).w1.d));
}

TEST_F(ComparisonsTest, SearchingTextsAndArrays) {
    ZuVALUE empty[] = {String("abc"), String("")};
    EXPECT_EQ(IntOf(FnStrfind, empty), 0);
    ZuVALUE longer[] = {String("ab"), String("abc")};
    EXPECT_EQ(IntOf(FnStrfind, longer), -1);
    ZuVALUE inEmpty[] = {String(""), String("a")};
    EXPECT_EQ(IntOf(FnStrfindr, inEmpty), -1);
    ZuVALUE based[] = {String("xxAbx"), String("ab"), Int(1)};
    EXPECT_EQ(IntOf(FnStrifind, based), 3);
    ZuVALUE beyondInt[] = {String("xab"), String("ab"), Int(INT_MAX)};
    EXPECT_EQ(IntOf(FnStrfind, beyondInt), -1);
    ZuVALUE lastI[] = {String("aAaA"), String("a")};
    EXPECT_EQ(IntOf(FnStrifindr, lastI), 3);
    // Elements that are not strings never match.
    ZuVALUE mixed{};
    ZuLibValArrayCalloc(&mixed, 3);
    ZuValSetInt(&mixed.w2.v[0], 5);
    ZuValSetString(&mixed.w2.v[1], "b");
    ZuValSetString(&mixed.w2.v[2], "B");
    ZuVALUE inArray[] = {mixed, String("b")};
    EXPECT_EQ(IntOf(FnStrifindr, inArray), 2);
    ZuVALUE notText[] = {Int(3), String("a")};
    EXPECT_RUN_ERROR(Call(FnStrfind, notText), 37);
    FreeAll(notText);
    // A long text is searched to its end.
    std::string text(1 << 20, 'a');
    text += "needle";
    ZuVALUE big[] = {Bytes(text), String("needle")};
    EXPECT_EQ(IntOf(FnStrfind, big), 1 << 20);
}

TEST_F(ComparisonsTest, ChangingAndTrimmingStrings) {
    ZuVALUE blank[] = {String(" \t\n ")};
    EXPECT_EQ(TextOf(FnStrtrim, blank), "");
    ZuVALUE zero[] = {Bytes(std::string("aB\0cD", 5))};
    EXPECT_EQ(TextOf(FnStrupr, zero), std::string("AB\0CD", 5));
    ZuVALUE highBytes[] = {Bytes("\xc3\x84x")};
    EXPECT_EQ(TextOf(FnStrlwr, highBytes), "\xc3\x84x");
    ZuVALUE array[] = {Strings({" a ", "B"})};
    ZuVALUE lower = Call(FnStrlwr, array);
    FreeAll(array);
    ASSERT_EQ(ZuValType(&lower), ZU_ARRAY);
    ASSERT_EQ(lower.w1.i, 2);
    EXPECT_EQ(std::string(lower.w2.v[1].w2.s), "b");
    ZuFreeValue(&lower);
    ZuVALUE notAll{};
    ZuLibValArrayCalloc(&notAll, 1);
    ZuValSetInt(&notAll.w2.v[0], 1);
    ZuVALUE bad[] = {notAll};
    EXPECT_RUN_ERROR(Call(FnStrtrim, bad), 37);
    FreeAll(bad);
}

TEST_F(ComparisonsTest, EnvironmentValues) {
    ASSERT_EQ(setenv("ZU_STDMAT_TEST_VARIABLE", "value 1", 1), 0);
    ZuVALUE set[] = {String("ZU_STDMAT_TEST_VARIABLE")};
    EXPECT_EQ(TextOf(FnGetenv, set), "value 1");
    unsetenv("ZU_STDMAT_TEST_VARIABLE");
    ZuVALUE unset[] = {String("ZU_STDMAT_TEST_VARIABLE")};
    EXPECT_EQ(TextOf(FnGetenv, unset), "");
    ZuVALUE withZero[] = {Bytes(std::string("PATH\0X", 6))};
    EXPECT_EQ(TextOf(FnGetenv, withZero), "");
    ZuVALUE number[] = {Int(1)};
    EXPECT_RUN_ERROR(Call(FnGetenv, number), 37);
}

}  // namespace
