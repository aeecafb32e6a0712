// Reversal, sorting by keys and sorting permutations (missing keys, ties), indices of
// extremes and of chosen elements, counts in intervals, and sets.
#include <limits>

#include "matrix_result.h"
#include "stdlib/routines.h"

using namespace zu::stdlib;
using zu_stdlib_test::Failure;
using zu_stdlib_test::Result;
using zu_stdlib_test::Shaped;
using zu_stdlib_test::StdlibTest;
using zu_stdlib_test::Take;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kMiss = Shaped::kMissing;  // a missing element in a Shaped result

class OrderingTest : public StdlibTest {
protected:
    // An address argument (&target).
    static ZuVALUE AddressOf(ZuVALUE* target) {
        ZuVALUE v{};
        v.t = ZU_ARRAY | ZU_FLAG_ADR;
        v.w1.i = 1;
        v.w2.v = target;
        return v;
    }
};

TEST_F(OrderingTest, SortbyPutsMissingKeysFirstAndKeepsTies) {
    // Rows keyed by column 0; the two rows with key 1 keep their order.
    ZuVALUE a[] = {Matrix(4, 2, {3, 0, 1, 1, kNaN, 2, 1, 3}), Int(0)};
    EXPECT_EQ(Result(FnSortbyc, a), (Shaped{4, 2, {kMiss, 2, 1, 1, 1, 3, 3, 0}}));
    // A second key column breaks the ties.
    ZuVALUE b[] = {Matrix(3, 2, {1, 5, 0, 9, 1, 2}), Matrix(1, 2, {0, 1})};
    EXPECT_EQ(Result(FnSortbyc, b), (Shaped{3, 2, {0, 9, 1, 2, 1, 5}}));
    ZuVALUE c[] = {Matrix(2, 3, {3, 1, 2, 6, 5, 4}), Double(1.0)};
    EXPECT_EQ(Result(FnSortbyr, c), (Shaped{2, 3, {2, 1, 3, 4, 5, 6}}));
    ZuVALUE d[] = {Matrix(0, 0), Matrix(0, 0)};
    EXPECT_EQ(Result(FnSortbyc, d), (Shaped{0, 0, {}}));
    ZuVALUE e[] = {Matrix(2, 2), Int(2)};
    EXPECT_EQ(Failure(FnSortbyc, e, 37), "(): index 2 out of range for 2 columns in argument 2");
    ZuVALUE f[] = {Matrix(1, 2), Double(kNaN)};
    EXPECT_EQ(Failure(FnSortbyr, f, 37), "(): index .NaN out of range for 1 row in argument 2");
}

TEST_F(OrderingTest, SortcindexIsAStablePermutation) {
    ZuVALUE a[] = {Matrix(5, 2, {3, 0, 1, 0, kNaN, 0, 1, 0, -kInf, 0})};
    EXPECT_EQ(Result(FnSortcindex, a), (Shaped{5, 1, {2, 4, 1, 3, 0}}));
    ZuVALUE b[] = {Matrix(1, 3, {2, 9, 1})};  // a row: its elements
    EXPECT_EQ(Result(FnSortcindex, b), (Shaped{3, 1, {2, 0, 1}}));
    ZuVALUE c[] = {Matrix(3, 0)};
    EXPECT_EQ(Result(FnSortcindex, c), (Shaped{0, 1, {}}));
    ZuVALUE d[] = {Matrix(2, 3, {3, kNaN, 1, 2, 0, 2})};
    EXPECT_EQ(Result(FnSortr, d), (Shaped{2, 3, {kMiss, 1, 3, 0, 2, 2}}));
}

TEST_F(OrderingTest, ExtremeIndicesSkipMissingValuesAndTakeTheFirstTie) {
    ZuVALUE a[] = {Matrix(3, 3, {5, kNaN, -kInf, 1, kNaN, -kInf, 5, kNaN, -kInf})};
    EXPECT_EQ(Result(FnMaxcindex, a), (Shaped{1, 3, {0, kMiss, 0}}));
    ZuVALUE b[] = {Matrix(3, 2, {5, kNaN, 1, 3, 1, 2})};
    EXPECT_EQ(Result(FnMincindex, b), (Shaped{1, 2, {1, 2}}));
    ZuVALUE c[] = {Matrix(0, 2)};
    EXPECT_EQ(Result(FnMaxcindex, c), (Shaped{1, 2, {kMiss, kMiss}}));
}

TEST_F(OrderingTest, ElementIndicesFollowVecOrVecrOrder) {
    ZuVALUE a[] = {Matrix(2, 2, {0, 2, kNaN, 0})};
    EXPECT_EQ(Result(FnVecindex, a), (Shaped{2, 1, {1, 2}}));
    ZuVALUE b[] = {Matrix(2, 2, {0, 2, 3, 0})};
    EXPECT_EQ(Result(FnVecrindex, b), (Shaped{2, 1, {1, 2}}));
    ZuVALUE c[] = {Matrix(2, 2, {1, kNaN, 4, 1}), Matrix(1, 2, {kNaN, 1})};
    EXPECT_EQ(Result(FnVecindex, c), (Shaped{3, 1, {0, 2, 3}}));
    ZuVALUE d[] = {Matrix(2, 2), Int(7)};
    EXPECT_EQ(Result(FnVecrindex, d), (Shaped{0, 1, {}}));
    ZuVALUE e[] = {Matrix(1, 1), Int(1), Int(2)};
    EXPECT_EQ(Failure(FnVecindex, e, 37), "(): error in argument 3");
}

TEST_F(OrderingTest, CountsUseSortedBoundsAndSkipMissingElements) {
    // Bounds given unsorted and twice: (−inf, 2], (2, 2] (empty), (2, 5], (5, inf).
    ZuVALUE a[] = {Matrix(4, 2, {1, 5, 2, 6, 3, kNaN, 7, kInf}), Matrix(1, 3, {5, 2, 2})};
    EXPECT_EQ(Result(FnCountc, a), (Shaped{4, 2, {2, 0, 0, 0, 1, 1, 1, 2}}));
    ZuVALUE b[] = {Matrix(1, 4, {1, 2, 3, 10}), Matrix(0, 0)};
    EXPECT_EQ(Result(FnCountr, b), (Shaped{1, 1, {4}}));
    ZuVALUE c[] = {Matrix(0, 0), Int(1)};
    EXPECT_EQ(Result(FnCountc, c), (Shaped{2, 0, {}}));
    ZuVALUE d[] = {Matrix(1, 1), Matrix(1, 2, {1, kNaN})};
    EXPECT_EQ(Failure(FnCountc, d, 37), "(): missing value among the bounds in argument 2");
}

TEST_F(OrderingTest, SetsHoldDistinctSortedValuesWithOneMissingValue) {
    ZuVALUE a[] = {Matrix(3, 2, {3, 1, kNaN, 3, 1, kNaN})};
    EXPECT_EQ(Result(FnUnique, a), (Shaped{1, 3, {kMiss, 1, 3}}));
    ZuVALUE b[] = {Matrix(0, 0)};
    EXPECT_EQ(Result(FnUnique, b), (Shaped{1, 0, {}}));

    // Indices are those of vec(a): column after column, first occurrences.
    ZuVALUE where{};
    ZuVALUE c[] = {Matrix(2, 3, {5, 1, 9, 1, 3, kNaN}), Matrix(1, 2, {3, 4}), AddressOf(&where)};
    EXPECT_EQ(Result(FnExclusion, c), (Shaped{1, 4, {kMiss, 1, 5, 9}}));
    EXPECT_EQ(Take(where), (Shaped{1, 4, {5, 1, 0, 4}}));

    ZuVALUE both{};
    ZuVALUE d[] = {Matrix(1, 4, {5, kNaN, 3, 3}), Matrix(3, 1, {3, kNaN, 8}), AddressOf(&both)};
    EXPECT_EQ(Result(FnIntersection, d), (Shaped{1, 2, {kMiss, 3}}));
    EXPECT_EQ(Take(both), (Shaped{2, 2, {1, 2, 1, 0}}));

    ZuVALUE e[] = {Matrix(1, 2, {1, 2}), Matrix(1, 1, {7}), Int(0)};  // the int 0 leaves the output out
    EXPECT_EQ(Result(FnIntersection, e), (Shaped{1, 0, {}}));
    ZuVALUE f[] = {Matrix(1, 2, {1, 2}), Matrix(1, 1, {7}), Int(3)};
    EXPECT_EQ(Failure(FnExclusion, f, 37), "(): error in argument 3");
}

TEST_F(OrderingTest, ReversalTurnsColumnsOrRows) {
    ZuVALUE a[] = {Matrix(3, 2, {1, 2, 3, 4, 5, 6})};
    EXPECT_EQ(Result(FnReversec, a), (Shaped{3, 2, {5, 6, 3, 4, 1, 2}}));
    ZuVALUE b[] = {Matrix(2, 3, {1, 2, 3, 4, 5, 6})};
    EXPECT_EQ(Result(FnReverser, b), (Shaped{2, 3, {3, 2, 1, 6, 5, 4}}));
    ZuVALUE c[] = {Matrix(2, 0)};
    EXPECT_EQ(Result(FnReverser, c), (Shaped{2, 0, {}}));
}

}  // namespace
