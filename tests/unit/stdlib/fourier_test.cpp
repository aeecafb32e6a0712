// Fourier transforms and spectra, against values computed with R (fft and
// its raw periodogram): padding, odd and prime lengths, the inverse, missing values.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "matrix_result.h"
#include "stdlib/routines.h"

using namespace zu::stdlib;
using zu_stdlib_test::Failure;
using zu_stdlib_test::StdlibTest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kTolerance = 1e-12;  // R prints 15 significant digits

using FourierTest = StdlibTest;

// Calls a routine and returns its matrix row by row; frees everything.
template <std::size_t N>
std::vector<double> Elements(ZuLIBFUNC f, ZuVALUE (&args)[N], int* rows = nullptr, int* columns = nullptr) {
    ZuVALUE v = zu_stdlib_test::Call(f, args);
    zu_stdlib_test::FreeAll(args);
    std::vector<double> out;
    if (rows != nullptr) *rows = v.w1.i;
    if (columns != nullptr) *columns = v.w2.i;
    for (int i = 0; i < v.w1.i; ++i) {
        for (int j = 0; j < v.w2.i; ++j) out.push_back(v.w3.m[i][j]);
    }
    ZuFreeValue(&v);
    return out;
}

void ExpectNear(const std::vector<double>& got, const std::vector<double>& want, double tolerance = kTolerance) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t k = 0; k < got.size(); ++k) EXPECT_NEAR(got[k], want[k], tolerance) << "element " << k;
}

TEST_F(FourierTest, FftPadsToAPowerOfTwoAndDfftKeepsTheLength) {
    int r = 0, c = 0;
    ZuVALUE a[] = {Matrix(1, 5, {1, 3, -2, 5, 4})};
    // R: fft(c(1, 3, -2, 5, 4, 0, 0, 0))
    ExpectNear(Elements(FnFft, a, &r, &c),
               {11, -4.41421356237309, 7, -1.5857864376269, -5, -1.58578643762691, 7, -4.4142135623731, 0,
                -3.65685424949238, 2, -7.65685424949238, 0, 7.65685424949238, -2, 3.65685424949238});
    EXPECT_EQ(r, 2);
    EXPECT_EQ(c, 8);
    ZuVALUE b[] = {Matrix(1, 5, {1, 3, -2, 5, 4})};
    // R: fft(c(1, 3, -2, 5, 4)), a prime length
    ExpectNear(Elements(FnDfft, b, &r, &c),
               {11, 0.73606797749979, -3.73606797749979, -3.73606797749979, 0.73606797749979, 0, 5.06555328234247,
                -6.0696103617736, 6.0696103617736, -5.06555328234247});
    EXPECT_EQ(c, 5);
    ZuVALUE one[] = {Matrix(1, 1, {2.5})};
    ExpectNear(Elements(FnFft, one, &r, &c), {2.5, 0});
    ZuVALUE none[] = {Matrix(1, 0)};
    EXPECT_TRUE(Elements(FnDfft, none, &r, &c).empty());
    EXPECT_EQ(r, 2);
}

TEST_F(FourierTest, RealSeriesOfEveryParityMatchTheDefinitionAgainAndAgain) {
    // The real route parts FFTW's pairs in place, and a second transform of
    // the same length runs on the plan kept from the first.
    for (int n : {1, 2, 3, 4, 5, 8, 9, 16, 17, 100, 101, 1000}) {
        std::vector<double> x(static_cast<std::size_t>(n));
        for (int j = 0; j < n; ++j) x[static_cast<std::size_t>(j)] = std::sin(1.3 * j) + 0.1 * j;
        std::vector<double> want(2 * static_cast<std::size_t>(n));
        for (int k = 0; k < n; ++k) {
            for (int j = 0; j < n; ++j) {
                const double angle = -2 * 3.14159265358979323846 * j * k / n;
                want[static_cast<std::size_t>(k)] += x[static_cast<std::size_t>(j)] * std::cos(angle);
                want[static_cast<std::size_t>(n + k)] += x[static_cast<std::size_t>(j)] * std::sin(angle);
            }
        }
        for (int round = 0; round < 2; ++round) {
            ZuVALUE a[] = {Matrix(1, n)};
            for (int j = 0; j < n; ++j) a[0].w3.m[0][j] = x[static_cast<std::size_t>(j)];
            SCOPED_TRACE("n " + std::to_string(n) + " round " + std::to_string(round));
            ExpectNear(Elements(FnDfft, a), want, 1e-8);  // the direct sums lose digits
        }
    }
}

TEST_F(FourierTest, ALongSeriesSharedAmongThreadsComesBack) {
    // Long enough for the threaded plans, and odd.
    const int n = (1 << 17) + 3;
    ZuVALUE a[] = {Matrix(1, n)};
    for (int j = 0; j < n; ++j) a[0].w3.m[0][j] = std::sin(0.01 * j) + (j % 7) * 0.25;
    ZuVALUE series = a[0];
    ZuVALUE spectrum = zu_stdlib_test::Call(FnDfft, a);
    for (int k : {0, 1, 7, n / 2, n / 2 + 1, n - 1}) {
        double re = 0, im = 0;
        for (int j = 0; j < n; ++j) {
            const double angle = -2 * 3.14159265358979323846 * (static_cast<long long>(j) * k % n) / n;
            re += series.w3.m[0][j] * std::cos(angle);
            im += series.w3.m[0][j] * std::sin(angle);
        }
        EXPECT_NEAR(spectrum.w3.m[0][k], re, 1e-7) << "element " << k;
        EXPECT_NEAR(spectrum.w3.m[1][k], im, 1e-7) << "element " << k;
    }
    ZuVALUE back[] = {spectrum, Int(2)};
    ZuVALUE again = zu_stdlib_test::Call(FnDfft, back);
    for (int j = 0; j < n; j += 997) EXPECT_NEAR(again.w3.m[0][j], series.w3.m[0][j], 1e-12) << "element " << j;
    zu_stdlib_test::FreeAll(back);
    ZuFreeValue(&again);
    ZuFreeValue(&series);
}

TEST_F(FourierTest, ComplexInputAndTheInverse) {
    // R: fft(complex(real = 1:3, imaginary = c(0, -1, 2))) and inverse / 3
    ZuVALUE a[] = {Matrix(2, 3, {1, 2, 3, 0, -1, 2})};
    ExpectNear(Elements(FnDfft, a), {6, -4.09807621135332, 1.09807621135332, 1, 0.366025403784439, -1.36602540378444});
    ZuVALUE b[] = {Matrix(2, 3, {1, 2, 3, 0, -1, 2}), Int(1)};
    ExpectNear(Elements(FnDfft, b),
               {2, 0.366025403784439, -1.36602540378444, 0.333333333333333, -0.45534180126148, 0.122008467928146});
    // The real inverse of the forward transform is the series (padded).
    ZuVALUE forward[] = {Matrix(1, 7, {0.5, -1, 2, 7, 3, -4, 1})};
    ZuVALUE spectrum = zu_stdlib_test::Call(FnDfft, forward);
    zu_stdlib_test::FreeAll(forward);
    ZuVALUE back[] = {spectrum, Int(2)};
    int r = 0;
    ExpectNear(Elements(FnDfft, back, &r), {0.5, -1, 2, 7, 3, -4, 1});
    EXPECT_EQ(r, 1);
}

TEST_F(FourierTest, MissingValuesAndBadArguments) {
    ZuVALUE a[] = {Matrix(1, 4, {1, kNaN, 2, 3})};
    for (double x : Elements(FnFft, a)) EXPECT_TRUE(std::isnan(x));
    ZuVALUE b[] = {Matrix(3, 2)};
    EXPECT_EQ(Failure(FnFft, b, 40),
              "(): found matrix[3][2] but expected 1 row (real) or 2 rows (complex) in argument 1");
    ZuVALUE c[] = {Matrix(1, 2), Int(3)};
    EXPECT_EQ(Failure(FnDfft, c, 37), "(): direction 3 is not 0, 1 or 2 in argument 2");
    ZuVALUE d[] = {String("abc")};
    EXPECT_EQ(Failure(FnFft, d, 37), "(): type error in argument 1; expected: matrix, found: string");
}

TEST_F(FourierTest, PeriodogramAgreesWithTheRawAndSmoothedSpectrum) {
    const std::initializer_list<double> y = {2.1, 1.4, 3.3, 2.8, 0.9, 1.7, 2.6, 3.9, 1.2, 2.2, 3.0, 1.8};
    ZuVALUE a[] = {Matrix(12, 1, y)};
    int r = 0;
    // R: the raw periodogram of y (no taper, no detrending, no padding),
    // divided by 2 pi,
    // at 2 pi k / 12, k = 1 .. 6; at frequency 0 the demeaned series gives 0.
    ExpectNear(Elements(FnPeriodogram, a, &r), {0, 0.00953503761478566, 0.0574284086323256, 0.428789942513415,
                                                0.0303720683067034, 0.185960284149759, 0.00649882684291906});
    EXPECT_EQ(r, 7);
    // Bartlett's window with truncation 2 weights c1 by 1/2 and c2 by 0:
    // the spectrum is (c0 + c1 cos w) / 2 pi, c1 from the acf of R.
    ZuVALUE b[] = {Matrix(12, 1, y), Int(2), Int(3), Int(1)};
    const double c0 = 0.7490972222222222;  // R: mean((y - mean(y))^2)
    const double c1 = -0.206181823800253 * c0;
    const double pi = 3.14159265358979323846;
    std::vector<double> want;
    for (int k = 0; k < 3; ++k) want.push_back((c0 + c1 * std::cos(pi * k / 2)) / (2 * pi));
    ExpectNear(Elements(FnPeriodogram, b), want, 1e-9);
    ZuVALUE c[] = {Matrix(4, 1), Int(0)};
    EXPECT_EQ(Failure(FnPeriodogram, c, 37), "(): truncation 0 below 1 in argument 2");
    ZuVALUE d[] = {Matrix(4, 1), Int(2), Int(1)};
    EXPECT_EQ(Failure(FnPeriodogram, d, 37), "(): fewer than 2 points in argument 3");
}

}  // namespace
