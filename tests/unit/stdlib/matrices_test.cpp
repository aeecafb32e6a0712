// Matrix construction, column and row summaries, sorting and reshaping,
// and the size and type queries.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "stdlib/math_functions.h"
#include "stdlib/routines.h"
#include "stdlib/sorting.h"
#include "stdlib_fixture.h"

using namespace zu::stdlib;
using zu_stdlib_test::Call;
using zu_stdlib_test::FreeAll;
using zu_stdlib_test::StdlibTest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class MatricesTest : public StdlibTest {
protected:
    // The elements of a matrix result row by row, and its shape; frees it.
    static std::vector<double> Take(ZuVALUE v, int r, int c) {
        std::vector<double> out;
        EXPECT_EQ(ZuValType(&v), ZU_MATRIX);
        EXPECT_EQ(v.w1.i, r);
        EXPECT_EQ(v.w2.i, c);
        if (ZuValType(&v) == ZU_MATRIX && v.w1.i == r && v.w2.i == c) {
            for (int i = 0; i < r; ++i)
                for (int j = 0; j < c; ++j) out.push_back(v.w3.m[i][j]);
        }
        ZuFreeValue(&v);
        return out;
    }
    template <std::size_t N>
    static std::vector<double> Result(ZuLIBFUNC f, ZuVALUE (&args)[N], int r, int c) {
        std::vector<double> out = Take(Call(f, args), r, c);
        FreeAll(args);
        return out;
    }
    static bool SameWithNaN(const std::vector<double>& a, const std::vector<double>& b) {
        if (a.size() != b.size()) return false;
        for (std::size_t k = 0; k < a.size(); ++k)
            if (!(a[k] == b[k] || (std::isnan(a[k]) && std::isnan(b[k])))) return false;
        return true;
    }
};

using V = std::vector<double>;

TEST_F(MatricesTest, ConstructorsTakeTwoDimensionsOrTheShapeOfOneValue) {
    ZuVALUE a[] = {Int(2), Int(3)};
    EXPECT_EQ(Result(FnZeros, a, 2, 3), V(6, 0.0));
    ZuVALUE b[] = {Matrix(4, 5)};
    EXPECT_EQ(Result(FnOnes, b, 4, 5), V(20, 1.0));
    ZuVALUE c[] = {Int(7)};
    EXPECT_EQ(Result(FnOnes, c, 1, 1), V{1.0});
    ZuVALUE d[] = {Double(2.5), Int(2), Double(2.0)};
    EXPECT_EQ(Result(FnConstant, d, 2, 2), V(4, 2.5));
    ZuVALUE e[] = {Int(2), Int(3)};
    EXPECT_EQ(Result(FnUnit, e, 2, 3), (V{1, 0, 0, 0, 1, 0}));
    ZuVALUE f[] = {Double(2)};
    EXPECT_EQ(Result(FnUnit, f, 2, 2), (V{1, 0, 0, 1}));
    // More arguments than declared are accepted; the first two count.
    ZuVALUE g[] = {Int(1), Int(2), Int(9)};
    EXPECT_EQ(Result(FnZeros, g, 1, 2), V(2, 0.0));
    // An array is no shape and no number; a negative size is refused.
    ZuVALUE h[] = {Strings({"x"})};
    EXPECT_RUN_ERROR(Call(FnZeros, h), 37);
    ZuVALUE k[] = {Strings({"x"}), Int(2)};
    EXPECT_RUN_ERROR(Call(FnConstant, k), 37);
    ZuVALUE n[] = {Int(-1), Int(2)};
    EXPECT_RUN_ERROR(Call(FnZeros, n), 39);
    FreeAll(h);
    FreeAll(k);
}

TEST_F(MatricesTest, ColumnSummaries) {
    ZuVALUE col[] = {Matrix(4, 1, {1, 2, 3, 4})};
    EXPECT_EQ(Result(FnVarc, col, 1, 1), V{1.25});
    ZuVALUE m[] = {Matrix(2, 2, {1, 2, 3, 4})};
    ZuVALUE m2[] = {Matrix(2, 2, {1, 2, 3, 4})};
    ZuVALUE m3[] = {Matrix(2, 2, {1, 2, 3, 4})};
    EXPECT_EQ(Result(FnSumc, m, 1, 2), (V{4, 6}));
    EXPECT_EQ(Result(FnMeanc, m2, 1, 2), (V{2, 3}));
    EXPECT_EQ(Result(FnProdc, m3, 1, 2), (V{3, 8}));
    ZuVALUE missing[] = {Matrix(3, 2, {kNaN, kNaN, 3, kNaN, 7, kNaN})};
    ZuVALUE missing2[] = {Matrix(3, 2, {kNaN, kNaN, 3, kNaN, 7, kNaN})};
    EXPECT_TRUE(SameWithNaN(Result(FnMaxc, missing, 1, 2), V{7, kNaN}));
    EXPECT_TRUE(SameWithNaN(Result(FnMinc, missing2, 1, 2), V{3, kNaN}));
    const double inf = std::numeric_limits<double>::infinity();
    ZuVALUE infinite[] = {Matrix(2, 1, {-inf, -inf})};
    EXPECT_EQ(Result(FnMaxc, infinite, 1, 1), V{-inf});
    ZuVALUE scalar[] = {Int(5)};
    EXPECT_EQ(Result(FnSumc, scalar, 1, 1), V{5});
    ZuVALUE noColumns[] = {Matrix(3, 0)};
    EXPECT_EQ(Result(FnSumc, noColumns, 1, 0), V{});
    ZuVALUE noRows[] = {Matrix(0, 2)};
    EXPECT_TRUE(SameWithNaN(Result(FnMeanc, noRows, 1, 2), V{kNaN, kNaN}));
}

TEST_F(MatricesTest, RowSummaries) {
    ZuVALUE m[] = {Matrix(2, 3, {1, 2, 3, 4, 6, 8})};
    ZuVALUE m2[] = {Matrix(2, 3, {1, 2, 3, 4, 6, 8})};
    EXPECT_EQ(Result(FnSumr, m, 2, 1), (V{6, 18}));
    EXPECT_EQ(Result(FnMeanr, m2, 2, 1), (V{2, 6}));
    ZuVALUE v[] = {Matrix(1, 4, {1, 2, 3, 4})};
    EXPECT_EQ(Result(FnVarr, v, 1, 1), V{1.25});
    ZuVALUE empty[] = {Matrix(2, 0)};
    EXPECT_TRUE(SameWithNaN(Result(FnMeanr, empty, 2, 1), V{kNaN, kNaN}));
    for (ZuVALUE x : {Int(3), Double(1.5), String("ab")}) {
        ZuVALUE args[] = {x};
        ZuVALUE r = Call(FnVarr, args);
        EXPECT_EQ(ZuValType(&r), ZU_DOUBLE);
        EXPECT_EQ(r.w1.d, 0.0);
        FreeAll(args);
    }
    ZuVALUE array[] = {Strings({"a"})};
    EXPECT_RUN_ERROR(Call(FnVarr, array), 37);
    EXPECT_EQ(FirstRunMessage(), "(): error in argument 1");
    FreeAll(array);
}

TEST_F(MatricesTest, SortingPutsMissingValuesFirst) {
    ZuVALUE col[] = {Matrix(4, 1, {3, kNaN, 1, 2})};
    EXPECT_TRUE(SameWithNaN(Result(FnSortc, col, 4, 1), V{kNaN, 1, 2, 3}));
    ZuVALUE m[] = {Matrix(2, 2, {4, 1, 2, 3})};
    EXPECT_EQ(Result(FnSortc, m, 2, 2), (V{2, 1, 4, 3}));
    ZuVALUE scalar[] = {Double(2.5)};
    ZuVALUE r = Call(FnSortc, scalar);
    EXPECT_EQ(ZuValType(&r), ZU_DOUBLE);
    EXPECT_EQ(r.w1.d, 2.5);
    // Long vectors with repeats and gaps of every size come out ordered.
    std::vector<double> v;
    for (int k = 0; k < 1000; ++k) v.push_back(k % 7 == 0 ? kNaN : static_cast<double>((k * 7919) % 211));
    SortVec(v.data(), static_cast<int>(v.size()));
    std::size_t front = 0;
    while (front < v.size() && std::isnan(v[front])) ++front;
    EXPECT_EQ(front, 143u);
    for (std::size_t k = front + 1; k < v.size(); ++k) EXPECT_LE(v[k - 1], v[k]);
    SortVec(nullptr, 0);
}

// The comb sort as the library's documentation describes it: NaNs to the
// front by exchanges, then gaps shrinking by 1.3 in single precision.
void ReferenceCombSort(std::vector<double>& v) {
    const int n = static_cast<int>(v.size());
    int front = 0;
    for (int i = 0; i < n; ++i)
        if (std::isnan(v[i])) std::swap(v[i], v[front++]);
    int gap = n;
    bool exchanged = false;
    do {
        gap = static_cast<int>(static_cast<float>(gap) / 1.3f);
        if (gap == 0) gap = 1;
        if (gap == 9 || gap == 10) gap = 11;
        exchanged = false;
        for (int i = front; i < n - gap; ++i)
            if (v[i] > v[i + gap]) {
                std::swap(v[i], v[i + gap]);
                exchanged = true;
            }
    } while (exchanged || gap >= 2);
}

std::vector<std::uint64_t> Bits(const std::vector<double>& v) {
    std::vector<std::uint64_t> bits(v.size());
    std::memcpy(bits.data(), v.data(), v.size() * sizeof(double));
    return bits;
}

TEST_F(MatricesTest, SortingLeavesTheCombSortsBits) {
    // Signed zeros and NaNs of both signs are the elements whose order a
    // different algorithm could change; with only one kind of zero, and
    // with both, the bits must be those of the comb sort.
    std::mt19937 gen(7);
    const double negativeNaN = -kNaN;
    for (int trial = 0; trial < 40; ++trial) {
        // Long vectors as well, where the library sort spreads by keys.
        std::vector<double> v(static_cast<std::size_t>(trial < 36 ? 1 + trial * 37 : 150000 + trial));
        for (double& x : v) {
            const unsigned pick = gen() % 10;
            x = pick == 0                     ? 0.0
                : pick == 1 && trial % 2 == 0 ? -0.0
                : pick == 2                   ? (gen() % 2 ? kNaN : negativeNaN)
                : trial < 36
                    ? static_cast<double>(gen() % 50) - 25
                    : std::ldexp(static_cast<double>(gen() % 2001) - 1000, static_cast<int>(gen() % 400) - 200);
        }
        std::vector<double> expected = v, column = v;
        ReferenceCombSort(expected);
        SortVec(v.data(), static_cast<int>(v.size()));
        EXPECT_EQ(Bits(v), Bits(expected)) << trial;
        // A column of a wider matrix goes through the same sort.
        const int r = static_cast<int>(column.size());
        double** m = MatAllocBlock(r, 2);
        for (int i = 0; i < r; ++i) {
            m[i][0] = 99;
            m[i][1] = column[static_cast<std::size_t>(i)];
        }
        SortMatCol(m, r, 1);
        for (int i = 0; i < r; ++i) {
            column[static_cast<std::size_t>(i)] = m[i][1];
            EXPECT_EQ(m[i][0], 99);
        }
        MatFreeBlock(m);
        EXPECT_EQ(Bits(column), Bits(expected)) << trial;
    }
}

TEST_F(MatricesTest, VecReshapeAndShape) {
    ZuVALUE a[] = {Matrix(2, 2, {1, 2, 3, 4})};
    EXPECT_EQ(Result(FnVec, a, 4, 1), (V{1, 3, 2, 4}));
    ZuVALUE b[] = {Matrix(2, 2, {1, 2, 3, 4})};
    EXPECT_EQ(Result(FnVecr, b, 4, 1), (V{1, 2, 3, 4}));
    ZuVALUE c[] = {Matrix(1, 2, {1, 2}), Int(2), Int(3)};
    EXPECT_EQ(Result(FnReshape, c, 2, 3), (V{1, 2, 1, 2, 1, 2}));
    ZuVALUE d[] = {Matrix(1, 2, {1, 2}), Int(2), Int(3)};
    EXPECT_EQ(Result(FnShape, d, 2, 3), (V{1, 0, 0, 2, 0, 0}));
    ZuVALUE e[] = {Matrix(2, 3, {1, 2, 3, 4, 5, 6}), Int(2), Int(2)};
    EXPECT_EQ(Result(FnShape, e, 2, 2), (V{1, 2, 4, 5}));  // column order, the rest dropped
    for (auto f : {FnReshape, FnShape}) {
        ZuVALUE z[] = {Matrix(2, 2, {1, 2, 3, 4}), Int(0), Int(3)};
        ZuVALUE r = Call(f, z);
        EXPECT_EQ(ZuValType(&r), ZU_INT);
        EXPECT_EQ(r.w1.i, 0);
        FreeAll(z);
        ZuVALUE empty[] = {Matrix(0, 0), Int(2), Int(2)};
        r = Call(f, empty);
        EXPECT_EQ(ZuValType(&r), ZU_INT);
        FreeAll(empty);
    }
}

TEST_F(MatricesTest, Diagonal) {
    ZuVALUE a[] = {Matrix(2, 3, {1, 2, 3, 4, 5, 6})};
    EXPECT_EQ(Result(FnDiagonal, a, 1, 2), (V{1, 5}));
    ZuVALUE b[] = {Int(4)};
    EXPECT_EQ(Result(FnDiagonal, b, 1, 1), V{4});
    ZuVALUE c[] = {Matrix(0, 3)};
    EXPECT_EQ(Result(FnDiagonal, c, 0, 0), V{});
    ZuVALUE d[] = {String("s")};
    EXPECT_RUN_ERROR(Call(FnDiagonal, d), 37);
    ZuVALUE e[] = {Matrix(2, 2), Int(1)};
    EXPECT_RUN_ERROR(Call(FnDiagonal, e), 37);
    FreeAll(d);
    FreeAll(e);
}

TEST_F(MatricesTest, MathFunctionsApplyElementByElement) {
    ZuVALUE m[] = {Matrix(2, 3, {0, 1, 4, 9, 16, 25})};
    EXPECT_EQ(Result(FnMath<MathSqrt>, m, 2, 3), (V{0, 1, 2, 3, 4, 5}));
    ZuVALUE i[] = {Int(-2)};
    ZuVALUE r = Call(FnMath<MathFabs>, i);
    EXPECT_EQ(ZuValType(&r), ZU_DOUBLE);
    EXPECT_EQ(r.w1.d, 2.0);
    EXPECT_EQ(MathRound(-2.5), -2.0);
    EXPECT_EQ(MathRound(2.5), 3.0);
    EXPECT_EQ(MathTrunc(-2.7), -2.0);
    ZuVALUE s[] = {String("abc")};
    EXPECT_RUN_ERROR(Call(FnMath<MathAcos>, s), 37);
    EXPECT_NE(FirstRunMessage().find("expected: double, found: string[3]"), std::string::npos);
    FreeAll(s);
}

TEST_F(MatricesTest, SizeTypeAndBitQueries) {
    ZuVALUE m = Keep(Matrix(2, 3));
    ZuVALUE s = Keep(String("abcd"));
    ZuVALUE one[] = {m};
    EXPECT_EQ(Call(FnRows, one).w1.i, 2);
    EXPECT_EQ(Call(FnColumns, one).w1.i, 3);
    EXPECT_EQ(Call(FnSizerc, one).w1.i, 6);
    EXPECT_EQ(Call(FnIsmatrix, one).w1.i, 1);
    EXPECT_EQ(Call(FnIsstring, one).w1.i, 0);
    ZuVALUE text[] = {s};
    EXPECT_EQ(Call(FnColumns, text).w1.i, 4);
    EXPECT_EQ(Call(FnSizer, text).w1.i, 1);
    EXPECT_EQ(Call(FnIsstring, text).w1.i, 1);
    ZuVALUE bits[] = {Int(12), Int(10), Int(6)};
    EXPECT_EQ(Call(FnBinand, bits).w1.i, 0);
    EXPECT_EQ(Call(FnBinor, bits).w1.i, 14);
    ZuVALUE convertible[] = {Double(12.0), Matrix(1, 1, {4})};
    EXPECT_EQ(Call(FnBinand, convertible).w1.i, 4);
    FreeAll(convertible);
    ZuVALUE none[] = {Int(0)};
    EXPECT_EQ(Call(FnZuversion, none).w1.i, 340);
    EXPECT_EQ(Call(FnIsclass, none).w1.i, 0);
}

}  // namespace
