// The band LDL' decomposition and its solve, and the symmetric Toeplitz
// solve, called as library routines on values built by hand.
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "numerics/library.h"
#include "numerics/library_fixture.h"

using zu::test::RelativeDistance;
using zu_stdlib_test::Call;
using zu_stdlib_test::FreeAll;

namespace {

using zu::test::Dense;

class BandedTest : public zu::test::LibraryTest {};

// A random symmetric band matrix with p sub-diagonals, diagonally dominant
// and so positive definite; dense, n by n.
Dense RandomBand(int n, int p, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    Dense a(n, std::vector<double>(n, 0.0));
    for (int i = 0; i < n; ++i) {
        a[i][i] = 2 * p + 1 + u(gen);
        for (int j = std::max(0, i - p); j < i; ++j) a[i][j] = a[j][i] = u(gen);
    }
    return a;
}

// Band storage of the lower band of a; unused corner elements get `fill`.
Dense BandStorage(const Dense& a, int p, double fill) {
    const int n = static_cast<int>(a.size());
    Dense b(p + 1, std::vector<double>(n, fill));
    for (int j = 0; j < n; ++j)
        for (int k = 0; k <= p && k <= j; ++k) b[p - k][j] = a[j][j - k];
    return b;
}

// max over the band of |(L D L')(i,j) - a(i,j)| / max |a|; outside the band
// L D L' is zero by construction of the band factor.
double BandReconstructionError(const zu::test::Matrix& l, const zu::test::Matrix& d, const Dense& a, int p) {
    const int n = static_cast<int>(a.size());
    double diff = 0, scale = 0;
    auto at = [&](int i, int j) { return i == j ? 1.0 : j < i - p || j > i ? 0.0 : l[p - (i - j)][i]; };
    for (int i = 0; i < n; ++i)
        for (int j = std::max(0, i - p); j <= i; ++j) {
            double s = 0;
            for (int m = std::max(0, i - p); m <= j; ++m) s += at(i, m) * d[0][m] * at(j, m);
            diff = std::fmax(diff, std::fabs(s - a[i][j]));
            scale = std::fmax(scale, std::fabs(a[i][j]));
        }
    return diff / scale;
}

TEST_F(BandedTest, BandFactorReproducesTheMatrixAndSolves) {
    for (int p : {0, 1, 5}) {
        for (int n = 1; n <= 200; ++n) {
            const Dense a = RandomBand(n, p, static_cast<unsigned>(1000 * p + n));
            ZuVALUE l{}, d{}, x{};
            ZuVALUE args[] = {FromDense(BandStorage(a, p, NAN), n), AddressOf(&l), AddressOf(&d)};
            ZuVALUE ok = Call(zu::numerics::FnDecldlband, args);
            ASSERT_EQ(ok.w1.i, 1) << n << " " << p;
            ASSERT_EQ(l.w1.i, p + 1);
            ASSERT_EQ(l.w2.i, n);
            ASSERT_EQ(d.w1.i, 1);
            const zu::test::Matrix lm = Copy(l), dm = Copy(d);
            EXPECT_LT(BandReconstructionError(lm, dm, a, p), 1e-12) << n << " " << p;
            for (int j = 0; j < n; ++j) {
                EXPECT_EQ(lm[p][j], 1);
                for (int row = 0; row < p - j; ++row) EXPECT_EQ(lm[row][j], 0) << "unused corner";
            }
            // Solve for b = A * (1, 2, ..., n)' and a second column of ones.
            Dense b(n, std::vector<double>(2, 0.0));
            for (int i = 0; i < n; ++i)
                for (int j = 0; j < n; ++j) {
                    b[i][0] += a[i][j] * (j + 1);
                    b[i][1] += a[i][j];
                }
            ZuVALUE solve[] = {l, d, FromDense(b, 2)};
            x = Call(zu::numerics::FnSolveldlband, solve);
            ASSERT_EQ(x.w1.i, n);
            ASSERT_EQ(x.w2.i, 2);
            for (int i = 0; i < n; ++i) {
                EXPECT_NEAR(x.w3.m[i][0], i + 1, 1e-12 * n) << n << " " << p;
                EXPECT_NEAR(x.w3.m[i][1], 1, 1e-12) << n << " " << p;
            }
            ZuFreeValue(&x);
            FreeAll(solve);
            ZuFreeValue(&args[0]);
        }
    }
}

TEST_F(BandedTest, AgreesWithTheDenseDecomposition) {
    for (int n : {3, 17, 60}) {
        const int p = 4;
        const Dense a = RandomBand(n, p, static_cast<unsigned>(n));
        ZuVALUE bl{}, bd{}, dl{}, dd{};
        ZuVALUE band[] = {FromDense(BandStorage(a, p, 0), n), AddressOf(&bl), AddressOf(&bd)};
        ZuVALUE dense[] = {FromDense(a, n), AddressOf(&dl), AddressOf(&dd)};
        EXPECT_EQ(Call(zu::numerics::FnDecldlband, band).w1.i, 1);
        EXPECT_EQ(Call(zu::numerics::FnDecldl, dense).w1.i, 1);
        EXPECT_LT(RelativeDistance(Copy(bd), Copy(dd)), 1e-13);
        double worst = 0;
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < i; ++j) {
                const double band_l = i - j <= p ? bl.w3.m[p - (i - j)][i] : 0;
                worst = std::fmax(worst, std::fabs(band_l - dl.w3.m[i][j]));
            }
        EXPECT_LT(worst, 1e-13) << n;
        ZuVALUE owned[] = {band[0], dense[0], bl, bd, dl, dd};
        FreeAll(owned);
    }
}

TEST_F(BandedTest, PivotsNotAboveTheToleranceFail) {
    // A = <1,1,0; 1,1,1; 0,1,3>: the second pivot is 0.  Its multiplier
    // below is cleared, so the third pivot is a(2,2) = 3.
    ZuVALUE l{}, d{};
    ZuVALUE args[] = {Matrix(2, 3, {0, 1, 1, 1, 1, 3}), AddressOf(&l), AddressOf(&d)};
    EXPECT_EQ(Call(zu::numerics::FnDecldlband, args).w1.i, 0);
    ASSERT_EQ(d.w2.i, 3);
    EXPECT_EQ(d.w3.m[0][0], 1);
    EXPECT_EQ(d.w3.m[0][1], 0);
    EXPECT_EQ(d.w3.m[0][2], 3);
    EXPECT_EQ(l.w3.m[0][1], 1);
    EXPECT_EQ(l.w3.m[0][2], 0);
    // The solve refuses the zero pivot with the warning and no matrix.
    ZuVALUE solve[] = {l, d, Matrix(3, 1, {1, 1, 1})};
    ZuVALUE x = Call(zu::numerics::FnSolveldlband, solve);
    EXPECT_NE(ZuValType(&x), ZU_MATRIX);
    EXPECT_TRUE(Warned());
    FreeAll(solve);
    // A negative or missing diagonal element fails as well.
    for (double bad : {-2.0, static_cast<double>(NAN), 1e-14}) {
        ZuVALUE out{};
        ZuVALUE one[] = {Matrix(1, 2, {4, bad}), Int(0), AddressOf(&out)};
        EXPECT_EQ(Call(zu::numerics::FnDecldlband, one).w1.i, 0) << bad;
        EXPECT_EQ(out.w3.m[0][0], 4);
        EXPECT_EQ(out.w3.m[0][1], 0);
        ZuFreeValue(&out);
        ZuFreeValue(&one[0]);
    }
    ZuFreeValue(&args[0]);
}

TEST_F(BandedTest, BandArgumentErrors) {
    ZuVALUE wrongPivots[] = {Matrix(2, 3, {0, 1, 1, 4, 4, 4}), Matrix(1, 2, {1, 1}), Matrix(3, 1)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnSolveldlband, wrongPivots), 40);
    ZuVALUE wrongRows[] = {Matrix(2, 3, {0, 1, 1, 4, 4, 4}), Matrix(3, 1, {4, 4, 4}), Matrix(2, 1)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnSolveldlband, wrongRows), 40);
    ZuVALUE notMatrix[] = {String("band"), Int(0), Int(0)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnDecldlband, notMatrix), 37);
    ZuVALUE badOutput[] = {Matrix(1, 1, {1}), Int(3), Int(0)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnDecldlband, badOutput), 37);
    FreeAll(wrongPivots);
    FreeAll(wrongRows);
    FreeAll(notMatrix);
    FreeAll(badOutput);
}

// Autocovariances of an MA process with the given coefficients plus
// `extra` on the diagonal: a positive definite Toeplitz first column.
std::vector<double> MovingAverageColumn(int n, const std::vector<double>& theta, double extra) {
    std::vector<double> r(n, 0.0);
    const int q = static_cast<int>(theta.size());
    for (int k = 0; k < n && k < q; ++k)
        for (int i = 0; i + k < q; ++i) r[k] += theta[i] * theta[i + k];
    r[0] += extra;
    return r;
}

TEST_F(BandedTest, ToeplitzSolveAgreesWithDenseSolveAndLogdet) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n : {1, 2, 3, 10, 64, 150}) {
        std::vector<double> theta(12);
        for (double& t : theta) t = u(gen);
        const std::vector<double> r = MovingAverageColumn(n, theta, 0.3);
        Dense t(n, std::vector<double>(n)), b(n, std::vector<double>(3));
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) t[i][j] = r[std::abs(i - j)];
            for (double& x : b[i]) x = u(gen);
        }
        // The first column given as a longer row: only n elements count.
        ZuVALUE row = Matrix(1, n + 2);
        for (int i = 0; i < n; ++i) row.w3.m[0][i] = r[i];
        row.w3.m[0][n] = row.w3.m[0][n + 1] = 99;
        ZuVALUE logdet{}, denseLogdet{};
        ZuVALUE args[] = {row, Int(n), FromDense(b, 3), AddressOf(&logdet)};
        ZuVALUE x = Call(zu::numerics::FnSolvetoeplitz, args);
        ZuVALUE inv[] = {FromDense(t, n), AddressOf(&denseLogdet)};
        ZuVALUE tinv = Call(zu::numerics::FnInvertsym, inv);
        ASSERT_EQ(x.w1.i, n);
        ASSERT_EQ(x.w2.i, 3);
        zu::test::Matrix expected(n, 3);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < 3; ++c)
                for (int j = 0; j < n; ++j) expected[i][c] += tinv.w3.m[i][j] * b[j][c];
        EXPECT_LT(RelativeDistance(Copy(x), expected), 1e-10) << n;
        EXPECT_NEAR(logdet.w1.d, denseLogdet.w1.d, 1e-10 * n) << n;
        ZuVALUE owned[] = {x, tinv, inv[0]};
        FreeAll(owned);
        FreeAll(args);
    }
}

TEST_F(BandedTest, ToeplitzNotPositiveDefiniteGivesMissingValues) {
    // First column (1, 2): the second prediction error variance is -3.
    ZuVALUE logdet{};
    ZuVALUE args[] = {Matrix(2, 1, {1, 2}), Int(2), Matrix(2, 2, {1, 2, 3, 4}), AddressOf(&logdet)};
    ZuVALUE x = Call(zu::numerics::FnSolvetoeplitz, args);
    ASSERT_EQ(ZuValType(&x), ZU_MATRIX);
    ASSERT_EQ(x.w1.i, 2);
    ASSERT_EQ(x.w2.i, 2);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) EXPECT_TRUE(std::isnan(x.w3.m[i][j]));
    EXPECT_TRUE(std::isnan(logdet.w1.d));
    EXPECT_TRUE(Warned());
    ZuFreeValue(&x);
    // A positive semi-definite column (all ones) fails at the tolerance.
    ZuVALUE ones[] = {Matrix(1, 3, {1, 1, 1}), Int(3), Matrix(3, 1, {1, 1, 1})};
    x = Call(zu::numerics::FnSolvetoeplitz, ones);
    EXPECT_TRUE(std::isnan(x.w3.m[0][0]));
    ZuFreeValue(&x);
    FreeAll(args);
    FreeAll(ones);
}

TEST_F(BandedTest, ToeplitzArgumentErrors) {
    ZuVALUE shortColumn[] = {Matrix(2, 1, {2, 1}), Int(3), Matrix(3, 1)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnSolvetoeplitz, shortColumn), 40);
    ZuVALUE notVector[] = {Matrix(2, 2, {2, 1, 1, 2}), Int(2), Matrix(2, 1)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnSolvetoeplitz, notVector), 40);
    ZuVALUE zeroOrder[] = {Matrix(1, 2, {2, 1}), Int(0), Matrix(1, 1)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnSolvetoeplitz, zeroOrder), 37);
    ZuVALUE wrongRows[] = {Matrix(1, 2, {2, 1}), Int(2), Matrix(3, 1)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnSolvetoeplitz, wrongRows), 40);
    ZuVALUE text[] = {String("r"), Int(1), Matrix(1, 1)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnSolvetoeplitz, text), 37);
    FreeAll(shortColumn);
    FreeAll(notVector);
    FreeAll(zeroOrder);
    FreeAll(wrongRows);
    FreeAll(text);
}

}  // namespace
