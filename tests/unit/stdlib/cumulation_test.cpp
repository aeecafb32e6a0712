// Recursions down the columns, lags and differences, and thinning:
// coefficient shapes, start rows, lags past the sample, counts beyond the
// line count.
#include <climits>
#include <limits>

#include "matrix_result.h"
#include "stdlib/routines.h"

using namespace zu::stdlib;
using zu_stdlib_test::Failure;
using zu_stdlib_test::Result;
using zu_stdlib_test::Shaped;
using zu_stdlib_test::StdlibTest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMiss = Shaped::kMissing;  // a missing element in a Shaped result

using CumulationTest = StdlibTest;

TEST_F(CumulationTest, CumsumCoefficientsAreSharedOrPerColumn) {
    // One column of lags serves both columns: y[t] = x[t] + y[t-1] - y[t-2].
    ZuVALUE a[] = {Matrix(3, 2, {1, 2, 1, 2, 1, 2}), Matrix(2, 1, {1, -1})};
    EXPECT_EQ(Result(FnCumsum, a), (Shaped{3, 2, {1, 2, 2, 4, 2, 4}}));
    // One coefficient per column.
    ZuVALUE b[] = {Matrix(3, 2, {1, 1, 1, 1, 1, 1}), Matrix(1, 2, {0.5, 2})};
    EXPECT_EQ(Result(FnCumsum, b), (Shaped{3, 2, {1, 1, 1.5, 3, 1.75, 7}}));
    // A one-column series takes a row of lags.
    ZuVALUE c[] = {Matrix(3, 1, {1, 0, 0}), Matrix(1, 2, {0, 1})};
    EXPECT_EQ(Result(FnCumsum, c), (Shaped{3, 1, {1, 0, 1}}));
    ZuVALUE d[] = {Matrix(2, 1, {1, 2}), Matrix(0, 0)};
    EXPECT_EQ(Result(FnCumsum, d), (Shaped{2, 1, {1, 2}}));
    ZuVALUE e[] = {Matrix(2, 2), Matrix(1, 3)};
    EXPECT_EQ(Failure(FnCumsum, e, 40), "(): found matrix[1][3] but expected 1 or 2 columns in argument 2");
    ZuVALUE f[] = {Matrix(2, 1), Matrix(2, 2)};
    EXPECT_EQ(Failure(FnCumsum, f, 40), "(): found matrix[2][2] but expected a vector in argument 2");
}

TEST_F(CumulationTest, CumsumStartRowsReplaceTheFirstRows) {
    ZuVALUE a[] = {Matrix(4, 1, {1, 1, 1, 1}), Double(0.5), Matrix(1, 1, {10})};
    EXPECT_EQ(Result(FnCumsum, a), (Shaped{4, 1, {10, 6, 4, 3}}));
    ZuVALUE b[] = {Matrix(2, 1, {1, 1}), Double(1), Matrix(2, 1, {kNaN, 5})};
    EXPECT_EQ(Result(FnCumsum, b), (Shaped{2, 1, {kMiss, 5}}));
    ZuVALUE c[] = {Matrix(3, 1, {1, 1, 1}), Double(1), Matrix(1, 1, {kNaN})};  // a missing start carries on
    EXPECT_EQ(Result(FnCumsum, c), (Shaped{3, 1, {kMiss, kMiss, kMiss}}));
    ZuVALUE d[] = {Matrix(1, 2), Double(1), Matrix(2, 2)};
    EXPECT_EQ(Failure(FnCumsum, d, 40), "(): found matrix[2][2] but expected at most 1 row of 2 columns in argument 3");
    ZuVALUE e[] = {Matrix(1, 2), Double(1), Matrix(1, 2), Int(0)};
    EXPECT_EQ(Failure(FnCumsum, e, 37), "(): error in argument 4");
}

TEST_F(CumulationTest, CumulateRunsTheVectorRecursion) {
    ZuVALUE a[] = {Matrix(3, 2, {1, 2, 3, 4, 5, 6})};
    EXPECT_EQ(Result(FnCumulate, a), (Shaped{3, 2, {1, 2, 4, 6, 9, 12}}));
    // y[t] = x[t] + A y[t-1] with A exchanging the two elements.
    ZuVALUE b[] = {Matrix(3, 2, {1, 0, 0, 1, 0, 0}), Matrix(2, 2, {0, 1, 1, 0})};
    EXPECT_EQ(Result(FnCumulate, b), (Shaped{3, 2, {1, 0, 0, 2, 2, 0}}));
    // A is not symmetric: row i of A weights y[t-1] into element i.
    ZuVALUE c[] = {Matrix(2, 2, {1, 2, 0, 0}), Matrix(2, 2, {0, 1, 0, 0})};
    EXPECT_EQ(Result(FnCumulate, c), (Shaped{2, 2, {1, 2, 2, 0}}));
    // Scalars stand for multiples of the identity, one per lag.
    ZuVALUE d[] = {Matrix(3, 1, {1, 0, 0}), Double(0), Double(2)};
    EXPECT_EQ(Result(FnCumulate, d), (Shaped{3, 1, {1, 0, 2}}));
    ZuVALUE e[] = {Matrix(2, 2), Matrix(2, 3)};
    EXPECT_EQ(Failure(FnCumulate, e, 40), "(): found matrix[2][3] but expected matrix[2][2] in argument 2");
}

TEST_F(CumulationTest, CumprodCarriesMissingValues) {
    ZuVALUE a[] = {Matrix(3, 2, {1, 2, kNaN, 4, 3, 0.5})};
    EXPECT_EQ(Result(FnCumprod, a), (Shaped{3, 2, {1, 2, kMiss, 8, kMiss, 4}}));
    ZuVALUE b[] = {Matrix(0, 3)};
    EXPECT_EQ(Result(FnCumprod, b), (Shaped{0, 3, {}}));
    ZuVALUE c[] = {Matrix(1, 1), Int(1)};
    EXPECT_EQ(Failure(FnCumprod, c, 37), "(): error in argument 2");
}

TEST_F(CumulationTest, LagsAndLeadsFillOutsideTheSample) {
    ZuVALUE a[] = {Matrix(3, 1, {1, 2, 3}), Double(1.0)};
    EXPECT_EQ(Result(FnLag0, a), (Shaped{3, 1, {0, 1, 2}}));
    ZuVALUE b[] = {Matrix(3, 2, {1, 4, 2, 5, 3, 6}), Matrix(1, 2, {-1, 5}), Double(kNaN)};
    EXPECT_EQ(Result(FnLag0, b), (Shaped{3, 4, {2, 5, kMiss, kMiss, 3, 6, kMiss, kMiss, kMiss, kMiss, kMiss, kMiss}}));
    ZuVALUE c[] = {Matrix(2, 1, {1, 2}), Int(INT_MIN), Int(7)};
    EXPECT_EQ(Result(FnLag0, c), (Shaped{2, 1, {7, 7}}));
    ZuVALUE d[] = {Matrix(2, 1, {1, 2}), Matrix(0, 0)};
    EXPECT_EQ(Result(FnLag0, d), (Shaped{2, 0, {}}));
    ZuVALUE e[] = {Matrix(2, 1), Double(kNaN)};
    EXPECT_EQ(Failure(FnLag0, e, 37), "(): lag is not an integer in argument 2");
}

TEST_F(CumulationTest, DifferencesNeedBothObservations) {
    ZuVALUE a[] = {Matrix(4, 1, {1, 4, 9, 16}), Int(2)};
    EXPECT_EQ(Result(FnDiff0, a), (Shaped{4, 1, {0, 0, 8, 12}}));
    ZuVALUE b[] = {Matrix(3, 1, {1, 4, 9}), Int(-1), Double(kNaN)};
    EXPECT_EQ(Result(FnDiff0, b), (Shaped{3, 1, {-3, -5, kMiss}}));
    ZuVALUE c[] = {Matrix(2, 1, {1, 4}), Int(5), Int(-1)};
    EXPECT_EQ(Result(FnDiff0, c), (Shaped{2, 1, {-1, -1}}));
    ZuVALUE d[] = {Matrix(2, 1), Int(1), Int(0), Int(0)};
    EXPECT_EQ(Failure(FnDiff0, d, 37), "(): error in argument 4");
}

TEST_F(CumulationTest, ThinningKeepsTheFirstAndTheLastLine) {
    ZuVALUE a[] = {Matrix(1, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), Int(4)};
    EXPECT_EQ(Result(FnThinc, a), (Shaped{1, 4, {0, 3, 6, 9}}));
    ZuVALUE b[] = {Matrix(4, 1, {0, 1, 2, 3}), Int(3)};
    EXPECT_EQ(Result(FnThinr, b), (Shaped{3, 1, {0, 1, 3}}));
    ZuVALUE c[] = {Matrix(2, 1, {0, 1}), Int(9)};
    EXPECT_EQ(Result(FnThinr, c), (Shaped{2, 1, {0, 1}}));
    ZuVALUE d[] = {Matrix(2, 3), Int(0)};
    EXPECT_EQ(Result(FnThinc, d), (Shaped{2, 0, {}}));
    ZuVALUE e[] = {Matrix(1, 3, {5, 6, 7}), Int(1)};
    EXPECT_EQ(Result(FnThinc, e), (Shaped{1, 1, {5}}));
    ZuVALUE f[] = {Matrix(1, 3), Int(-1)};
    EXPECT_EQ(Failure(FnThinc, f, 37), "(): negative count -1 in argument 2");
}

}  // namespace
