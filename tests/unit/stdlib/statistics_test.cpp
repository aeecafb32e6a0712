// Statistics, triangles and least squares: the edges where a count, a
// missing value or a singular matrix changes the answer.
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "stdlib/routines.h"
#include "stdlib_fixture.h"

using namespace zu::stdlib;
using zu_stdlib_test::Call;
using zu_stdlib_test::FreeAll;
using zu_stdlib_test::StdlibTest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using V = std::vector<double>;

class StatisticsTest : public StdlibTest {
protected:
    // The elements of a matrix result row by row after checking its shape;
    // frees the result and the arguments.
    template <std::size_t N>
    static V Result(ZuLIBFUNC f, ZuVALUE (&args)[N], int r, int c) {
        ZuVALUE v = Call(f, args);
        FreeAll(args);
        V out;
        EXPECT_EQ(ZuValType(&v), ZU_MATRIX);
        EXPECT_EQ(v.w1.i, r);
        EXPECT_EQ(v.w2.i, c);
        if (ZuValType(&v) == ZU_MATRIX && v.w1.i == r && v.w2.i == c)
            for (int i = 0; i < r; ++i)
                for (int j = 0; j < c; ++j) out.push_back(v.w3.m[i][j]);
        ZuFreeValue(&v);
        return out;
    }
    template <std::size_t N>
    static double Scalar(ZuLIBFUNC f, ZuVALUE (&args)[N]) {
        ZuVALUE v = Call(f, args);
        FreeAll(args);
        EXPECT_EQ(ZuValType(&v), ZU_DOUBLE);
        return v.w1.d;
    }
    // An output argument (&target) as a program passes it.
    static ZuVALUE Address(ZuVALUE* target) {
        ZuVALUE v{};
        v.t = ZU_ARRAY | ZU_FLAG_ADR;
        v.w1.i = 1;
        v.w2.v = target;
        return v;
    }
    static bool Same(const V& a, const V& b, double tol = 0.0) {
        if (a.size() != b.size()) return false;
        for (std::size_t k = 0; k < a.size(); ++k) {
            if (std::isnan(a[k]) || std::isnan(b[k])) {
                if (std::isnan(a[k]) != std::isnan(b[k])) return false;
            } else if (std::fabs(a[k] - b[k]) > tol) {
                return false;
            }
        }
        return true;
    }
};

TEST_F(StatisticsTest, VechAndUnvechInvertEachOther) {
    ZuVALUE s[] = {Matrix(3, 3, {4, 2, 1, 2, 5, 3, 1, 3, 6})};
    EXPECT_EQ(Result(FnVech, s, 6, 1), (V{4, 2, 1, 5, 3, 6}));
    ZuVALUE v[] = {Matrix(1, 6, {4, 2, 1, 5, 3, 6})};
    EXPECT_EQ(Result(FnUnvech, v, 3, 3), (V{4, 2, 1, 2, 5, 3, 1, 3, 6}));
    // A wide matrix has only as many triangle columns as rows.
    ZuVALUE wide[] = {Matrix(2, 3, {1, 2, 3, 4, 5, 6})};
    EXPECT_EQ(Result(FnVech, wide, 3, 1), (V{1, 4, 5}));
    ZuVALUE empty[] = {Matrix(0, 0)};
    EXPECT_EQ(Result(FnUnvech, empty, 0, 0), V{});
    ZuVALUE four[] = {Matrix(4, 1, {1, 2, 3, 4})};
    EXPECT_RUN_ERROR(Call(FnUnvech, four), 37);
    ZuVALUE square[] = {Matrix(2, 2)};
    EXPECT_RUN_ERROR(Call(FnUnvech, square), 37);
    FreeAll(four);
    FreeAll(square);
}

TEST_F(StatisticsTest, ToeplitzDiagAndDiagcatShapes) {
    ZuVALUE t[] = {Matrix(2, 1, {3, 1}), Int(3)};
    EXPECT_EQ(Result(FnToeplitz, t, 3, 3), (V{3, 1, 0, 1, 3, 1, 0, 1, 3}));
    ZuVALUE shorter[] = {Matrix(1, 3, {1, 2, 3}), Int(2)};
    EXPECT_EQ(Result(FnToeplitz, shorter, 2, 2), (V{1, 2, 2, 1}));
    ZuVALUE negative[] = {Matrix(1, 2, {1, 2}), Int(-1)};
    EXPECT_RUN_ERROR(Call(FnToeplitz, negative), 39);
    ZuVALUE notVector[] = {Matrix(2, 2)};
    EXPECT_RUN_ERROR(Call(FnDiag, notVector), 37);
    ZuVALUE d[] = {Matrix(2, 1, {5, 6})};
    EXPECT_EQ(Result(FnDiag, d, 2, 2), (V{5, 0, 0, 6}));
    ZuVALUE cat[] = {Matrix(0, 0), Matrix(1, 2, {1, 2})};
    EXPECT_EQ(Result(FnDiagcat, cat, 1, 2), (V{1, 2}));
    ZuVALUE cat2[] = {Int(7), Matrix(1, 2, {1, 2})};
    EXPECT_EQ(Result(FnDiagcat, cat2, 2, 3), (V{7, 0, 0, 0, 1, 2}));
    FreeAll(negative);
    FreeAll(notVector);
}

TEST_F(StatisticsTest, SettersCheckTheShapeOfTheirSource) {
    ZuVALUE diagonal[] = {Matrix(2, 3, {1, 2, 3, 4, 5, 6}), Matrix(2, 1, {8, 9})};
    EXPECT_EQ(Result(FnSetdiagonal, diagonal, 2, 3), (V{8, 2, 3, 4, 9, 6}));
    ZuVALUE fromMatrix[] = {Matrix(2, 2, {1, 2, 3, 4}), Matrix(2, 2, {5, 6, 7, 8})};
    EXPECT_EQ(Result(FnSetdiagonal, fromMatrix, 2, 2), (V{5, 2, 3, 8}));
    ZuVALUE wrong[] = {Matrix(2, 2), Matrix(3, 3)};
    EXPECT_RUN_ERROR(Call(FnSetlower, wrong), 40);
    ZuVALUE lower[] = {Matrix(2, 2, {1, 2, 3, 4}), Int(0), Int(9)};
    EXPECT_EQ(Result(FnSetlower, lower, 2, 2), (V{9, 2, 0, 9}));
    ZuVALUE text[] = {Matrix(2, 2), String("x")};
    EXPECT_RUN_ERROR(Call(FnSetupper, text), 37);
    FreeAll(wrong);
    FreeAll(text);
}

TEST_F(StatisticsTest, OuterAndItsDiagonalAgree) {
    ZuVALUE full[] = {Matrix(2, 2, {1, 2, 3, 4}), Matrix(2, 2, {2, 1, 1, 3})};
    // x m x' = [1 2; 3 4] [2 1; 1 3] [1 3; 2 4]
    EXPECT_EQ(Result(FnOuter, full, 2, 2), (V{18, 40, 40, 90}));
    ZuVALUE diagonal[] = {Matrix(2, 2, {1, 2, 3, 4}), Matrix(2, 2, {2, 1, 1, 3}), String("d")};
    EXPECT_EQ(Result(FnOuter, diagonal, 2, 1), (V{18, 90}));
    ZuVALUE noColumns[] = {Matrix(2, 0), Int(1)};
    EXPECT_EQ(Result(FnOuter, noColumns, 2, 2), (V{0, 0, 0, 0}));
    ZuVALUE badOption[] = {Matrix(1, 1), Int(1), String("x")};
    EXPECT_RUN_ERROR(Call(FnOuter, badOption), 37);
    FreeAll(badOption);
}

TEST_F(StatisticsTest, QuantilesInterpolateAndSkipMissingValues) {
    ZuVALUE m[] = {Matrix(4, 2, {1, kNaN, 4, kNaN, 2, kNaN, 3, kNaN}), Matrix(1, 3, {0.25, 1, 1.5})};
    EXPECT_TRUE(Same(Result(FnQuantilec, m, 3, 2), V{1.75, kNaN, 4, kNaN, kNaN, kNaN}));
    ZuVALUE median[] = {Matrix(1, 5, {5, kNaN, 1, 3, 2})};
    EXPECT_EQ(Result(FnQuantiler, median, 1, 1), V{2.5});
    ZuVALUE noRows[] = {Matrix(0, 2)};
    EXPECT_TRUE(Same(Result(FnQuantilec, noRows, 1, 2), V{kNaN, kNaN}));
    const double inf = std::numeric_limits<double>::infinity();
    ZuVALUE infinite[] = {Matrix(3, 1, {inf, 1, inf}), Double(1.0)};
    EXPECT_EQ(Result(FnQuantilec, infinite, 1, 1), V{inf});
}

TEST_F(StatisticsTest, MomentsLimitsAndCounts) {
    ZuVALUE m[] = {Matrix(4, 1, {1, 2, 3, 10})};
    // mean 4, variance 12.5, third central moment 45, fourth 348.5.
    EXPECT_TRUE(Same(Result(FnMoments, m, 5, 1),
                     V{4, 4, std::sqrt(12.5), 45 / std::pow(12.5, 1.5), 348.5 / (12.5 * 12.5)}, 1e-12));
    ZuVALUE first[] = {Matrix(3, 1, {1, 2, 3}), Int(0)};
    EXPECT_EQ(Result(FnMoments, first, 1, 1), V{3});
    ZuVALUE negative[] = {Matrix(3, 1), Int(-1)};
    EXPECT_RUN_ERROR(Call(FnMoments, negative), 37);
    ZuVALUE noRows[] = {Matrix(0, 1)};
    EXPECT_TRUE(Same(Result(FnMoments, noRows, 5, 1), V{0, kNaN, kNaN, kNaN, kNaN}));
    // Ties give the first row; the base counts the rows from 1.
    ZuVALUE limits[] = {Matrix(3, 2, {2, kNaN, 1, kNaN, 1, kNaN}), Int(1)};
    EXPECT_TRUE(Same(Result(FnLimits, limits, 4, 2), V{1, kNaN, 2, kNaN, 2, kNaN, 1, kNaN}));
    FreeAll(negative);
}

TEST_F(StatisticsTest, RangeCountsItsSteps) {
    ZuVALUE tenths[] = {Int(0), Int(1), Double(0.1)};
    EXPECT_EQ(Result(FnRange, tenths, 1, 11).back(), 1.0);
    ZuVALUE down[] = {Int(3), Int(1)};
    EXPECT_EQ(Result(FnRange, down, 1, 3), (V{3, 2, 1}));
    ZuVALUE away[] = {Int(1), Int(3), Int(-1)};
    EXPECT_EQ(Result(FnRange, away, 1, 0), V{});
    ZuVALUE zero[] = {Int(1), Int(3), Int(0)};
    EXPECT_RUN_ERROR(Call(FnRange, zero), 37);
    ZuVALUE missing[] = {Double(kNaN), Int(3)};
    EXPECT_RUN_ERROR(Call(FnRange, missing), 37);
    ZuVALUE textStep[] = {Int(0), Int(3), String("1")};
    EXPECT_RUN_ERROR(Call(FnRange, textStep), 37);
    FreeAll(textStep);
    ZuVALUE huge[] = {Int(0), Double(1e12)};
    EXPECT_RUN_ERROR(Call(FnRange, huge), 4);
}

TEST_F(StatisticsTest, ExtremesNormsAndAny) {
    ZuVALUE all[] = {Matrix(1, 2, {kNaN, kNaN}), Double(kNaN)};
    EXPECT_TRUE(std::isnan(Scalar(FnMax, all)));
    ZuVALUE mixed[] = {Int(3), Matrix(2, 1, {kNaN, -8}), Double(2.5)};
    EXPECT_EQ(Scalar(FnMin, mixed), -8.0);
    ZuVALUE text[] = {Int(3), String("z")};
    EXPECT_RUN_ERROR(Call(FnMax, text), 37);
    // The largest singular value of [1 -2; 3 4] is sqrt(15 + sqrt(125)).
    ZuVALUE two[] = {Matrix(2, 2, {1, -2, 3, 4})};
    EXPECT_NEAR(Scalar(FnNorm, two), std::sqrt(15 + std::sqrt(125.0)), 1e-12);
    ZuVALUE one[] = {Matrix(2, 2, {1, -2, 3, 4}), Int(1)};
    EXPECT_EQ(Scalar(FnNorm, one), 6.0);
    ZuVALUE rowOne[] = {Matrix(1, 3, {1, -2, 3}), Int(1)};
    EXPECT_EQ(Scalar(FnNorm, rowOne), 6.0);
    ZuVALUE rowInf[] = {Matrix(1, 3, {1, -7, 3}), String("inf")};
    EXPECT_EQ(Scalar(FnNorm, rowInf), 7.0);
    ZuVALUE missing[] = {Matrix(2, 2, {1, kNaN, 3, 4})};
    EXPECT_TRUE(std::isnan(Scalar(FnNorm, missing)));
    ZuVALUE badType[] = {Matrix(2, 2), Int(3)};
    EXPECT_RUN_ERROR(Call(FnNorm, badType), 37);
    ZuVALUE nan[] = {Matrix(1, 2, {0, kNaN})};
    ZuVALUE flag = Call(FnAny, nan);
    EXPECT_EQ(flag.w1.i, 1);
    FreeAll(nan);
    FreeAll(text);
    FreeAll(badType);
}

TEST_F(StatisticsTest, CorrelationOfAConstantColumnIsMissing) {
    ZuVALUE m[] = {Matrix(3, 2, {1, 5, 2, 5, 3, 5})};
    EXPECT_TRUE(Same(Result(FnCorrelation, m, 2, 2), V{1, kNaN, kNaN, kNaN}));
    ZuVALUE v[] = {Matrix(2, 2, {1, 2, 3, 6})};
    EXPECT_EQ(Result(FnVariance, v, 2, 2), (V{1, 2, 2, 4}));
}

TEST_F(StatisticsTest, LeastSquaresRecoversAnExactFit) {
    // y = 1 + 2 t, and a second column y2 = 3 - t.
    ZuVALUE b{}, ixx{};
    ZuVALUE args[] = {Matrix(4, 2, {3, 2, 5, 1, 7, 0, 9, -1}), Matrix(4, 2, {1, 1, 1, 2, 1, 3, 1, 4}), Address(&b),
                      Address(&ixx)};
    ZuVALUE r = Call(FnOlsc, args);
    FreeAll(args);
    EXPECT_EQ(r.w1.i, 1);
    ASSERT_EQ(ZuValType(&b), ZU_MATRIX);
    ASSERT_EQ(b.w1.i, 2);
    ASSERT_EQ(b.w2.i, 2);
    EXPECT_NEAR(b.w3.m[0][0], 1, 1e-12);
    EXPECT_NEAR(b.w3.m[1][0], 2, 1e-12);
    EXPECT_NEAR(b.w3.m[0][1], 3, 1e-12);
    EXPECT_NEAR(b.w3.m[1][1], -1, 1e-12);
    // X'X = [4 10; 10 30], its inverse [1.5 -0.5; -0.5 0.2].
    EXPECT_NEAR(ixx.w3.m[0][0], 1.5, 1e-12);
    EXPECT_NEAR(ixx.w3.m[1][0], -0.5, 1e-12);
    EXPECT_NEAR(ixx.w3.m[1][1], 0.2, 1e-12);
    ZuFreeValue(&b);
    ZuFreeValue(&ixx);
}

TEST_F(StatisticsTest, LeastSquaresRefusesSingularAndMismatchedData) {
    ZuVALUE b = Int(42);
    ZuVALUE singular[] = {Matrix(3, 1, {1, 2, 3}), Matrix(3, 2, {1, 2, 1, 2, 1, 2}), Address(&b)};
    ZuVALUE r = Call(FnOlsc, singular);
    FreeAll(singular);
    EXPECT_EQ(r.w1.i, 0);
    EXPECT_EQ(ZuValType(&b), ZU_INT);
    EXPECT_EQ(b.w1.i, 42);
    ZuVALUE fewer[] = {Matrix(1, 1, {1}), Matrix(1, 2, {1, 1}), Address(&b)};
    r = Call(FnOlsc, fewer);
    FreeAll(fewer);
    EXPECT_EQ(r.w1.i, 0);
    ZuVALUE mismatch[] = {Matrix(3, 1), Matrix(2, 1), Address(&b)};
    EXPECT_RUN_ERROR(Call(FnOlsc, mismatch), 40);
    ZuVALUE notAddress[] = {Matrix(2, 1, {1, 2}), Matrix(2, 1, {1, 1}), Int(5)};
    EXPECT_RUN_ERROR(Call(FnOlsc, notAddress), 37);
    FreeAll(mismatch);
    FreeAll(notAddress);
}

TEST_F(StatisticsTest, LeastSquaresInRowsAndFromCrossProductsAgree) {
    // Observations in columns: y = 2 x over x = 1, 2, 3.
    ZuVALUE b{};
    ZuVALUE rows[] = {Matrix(1, 3, {2, 4, 6}), Matrix(1, 3, {1, 2, 3}), Address(&b)};
    ZuVALUE r = Call(FnOlsr, rows);
    FreeAll(rows);
    EXPECT_EQ(r.w1.i, 1);
    ASSERT_EQ(b.w1.i, 1);
    EXPECT_NEAR(b.w3.m[0][0], 2, 1e-12);
    // X'y = 28, X'X = 14.
    ZuVALUE cross[] = {Double(28), Double(14), Address(&b)};
    r = Call(FnOls2c, cross);
    FreeAll(cross);
    EXPECT_EQ(r.w1.i, 1);
    EXPECT_NEAR(b.w3.m[0][0], 2, 1e-12);
    ZuVALUE notSquare[] = {Matrix(2, 1), Matrix(2, 3), Address(&b)};
    EXPECT_RUN_ERROR(Call(FnOls2c, notSquare), 40);
    FreeAll(notSquare);
    ZuFreeValue(&b);
}

}  // namespace
