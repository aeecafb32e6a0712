// Choosing, dropping and inserting rows and columns, selectrc and submat:
// empty matrices, indices out of range or repeated, the array base.
#include <limits>

#include "stdlib/routines.h"
#include "matrix_result.h"

using namespace zu::stdlib;
using zu_stdlib_test::Failure;
using zu_stdlib_test::Result;
using zu_stdlib_test::Shaped;
using zu_stdlib_test::StdlibTest;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kMiss = Shaped::kMissing;  // a missing element in a Shaped result

class SelectionTest : public StdlibTest {
protected:
    static ZuVALUE Sample() { return Matrix(3, 3, {1, 2, 3, 4, kNaN, 6, 7, 8, 9}); }
};

TEST_F(SelectionTest, SelectAndDeleteByValuesOrMissingValues) {
    ZuVALUE a[] = {Sample()};
    EXPECT_EQ(Result(FnSelectr, a), (Shaped{1, 3, {4, kMiss, 6}}));
    ZuVALUE b[] = {Sample()};
    EXPECT_EQ(Result(FnDeletec, b), (Shaped{3, 2, {1, 3, 4, 6, 7, 9}}));
    ZuVALUE c[] = {Sample(), Matrix(1, 2, {9, 1})};
    EXPECT_EQ(Result(FnSelectr, c), (Shaped{2, 3, {1, 2, 3, 7, 8, 9}}));
    // A missing value among the values matches missing elements.
    ZuVALUE d[] = {Sample(), Matrix(1, 2, {3, kNaN})};
    EXPECT_EQ(Result(FnDeletec, d), (Shaped{3, 1, {1, 4, 7}}));
    ZuVALUE e[] = {Sample(), Int(5)};
    EXPECT_EQ(Result(FnSelectc, e), (Shaped{3, 0, {}}));
    ZuVALUE f[] = {Sample(), Double(8)};
    EXPECT_EQ(Result(FnDeleter, f), (Shaped{2, 3, {1, 2, 3, 4, kMiss, 6}}));
    ZuVALUE empty[] = {Matrix(0, 0)};
    EXPECT_EQ(Result(FnSelectr, empty), (Shaped{0, 0, {}}));
    ZuVALUE tooMany[] = {Sample(), Int(1), Int(2)};
    EXPECT_EQ(Failure(FnSelectr, tooMany, 37), "(): error in argument 3");
}

TEST_F(SelectionTest, SelectorsNeedTheMatchingLineCount) {
    ZuVALUE a[] = {Sample(), Matrix(3, 1, {0, kNaN, 2})};
    EXPECT_EQ(Result(FnSelectifr, a), (Shaped{2, 3, {4, kMiss, 6, 7, 8, 9}}));  // NaN counts as non-zero
    ZuVALUE b[] = {Sample(), Matrix(2, 3, {0, 0, 0, 0, 1, 0})};
    EXPECT_EQ(Result(FnDeleteifc, b), (Shaped{3, 2, {1, 3, 4, 6, 7, 9}}));
    ZuVALUE c[] = {Sample(), Matrix(3, 0)};
    EXPECT_EQ(Result(FnSelectifr, c), (Shaped{0, 3, {}}));
    ZuVALUE d[] = {Sample(), Matrix(1, 2, {1, 1})};
    EXPECT_EQ(Failure(FnSelectifc, d, 40), "(): found matrix[1][2] but expected 3 columns in argument 2");
    ZuVALUE e[] = {Matrix(1, 2, {1, 2}), Matrix(2, 1, {1, 1})};
    EXPECT_EQ(Failure(FnDeleteifr, e, 40), "(): found matrix[2][1] but expected 1 row in argument 2");
}

TEST_F(SelectionTest, DropTakesEachListedLineOnce) {
    ZuVALUE a[] = {Sample(), Matrix(1, 3, {2, 0, 2})};
    EXPECT_EQ(Result(FnDropc, a), (Shaped{3, 1, {2, kMiss, 8}}));
    ZuVALUE b[] = {Sample(), Matrix(0, 0)};
    EXPECT_EQ(Result(FnDropr, b).r, 3);
    ZuVALUE c[] = {Sample(), Matrix(3, 1, {0, 1, 2})};
    EXPECT_EQ(Result(FnDropr, c), (Shaped{0, 3, {}}));
    ZuVALUE d[] = {Sample(), Double(1.0)};  // an index given as a double
    EXPECT_EQ(Result(FnDropr, d), (Shaped{2, 3, {1, 2, 3, 7, 8, 9}}));
    ZuVALUE e[] = {Sample(), Int(3)};
    EXPECT_EQ(Failure(FnDropc, e, 37), "(): index 3 out of range for 3 columns in argument 2");
    ZuVALUE f[] = {Sample(), Int(-1)};
    EXPECT_EQ(Failure(FnDropr, f, 37), "(): index -1 out of range for 3 rows in argument 2");
    ZuVALUE g[] = {Sample(), Matrix(1, 1, {kNaN})};
    EXPECT_EQ(Failure(FnDropr, g, 37), "(): index .NaN is not an index in argument 2");
    ZuVALUE h[] = {Matrix(0, 0), Int(0)};
    EXPECT_EQ(Failure(FnDropc, h, 37), "(): index 0 out of range for 0 columns in argument 2");
}

TEST_F(SelectionTest, TheArrayBaseIsTakenOffEveryIndex) {
    ZuVALUE a[] = {Sample(), Int(1), Int(1)};
    EXPECT_EQ(Result(FnDropc, a), (Shaped{3, 2, {2, 3, kMiss, 6, 8, 9}}));
    ZuVALUE b[] = {Sample(), Int(0), Int(1)};
    EXPECT_EQ(Failure(FnDropr, b, 37), "(): index 0 out of range for 3 rows in argument 2");
    ZuVALUE c[] = {Matrix(1, 2, {1, 2}), Int(2), Int(1), Int(1)};
    EXPECT_EQ(Result(FnInsertr, c), (Shaped{2, 2, {1, 2, 0, 0}}));
    ZuVALUE d[] = {Sample(), Int(2), Int(3), Int(2), Int(2), Int(1)};
    EXPECT_EQ(Result(FnSubmat, d), (Shaped{2, 1, {kMiss, 8}}));
    ZuVALUE e[] = {Sample(), Int(1), Int(1), Int(1), Int(1)};
    EXPECT_EQ(Failure(FnDropc, e, 37), "(): error in argument 4");
}

TEST_F(SelectionTest, InsertPlacesZerosBeforeThePosition) {
    ZuVALUE a[] = {Matrix(2, 2, {1, 2, 3, 4}), Int(1), Double(2.0)};
    EXPECT_EQ(Result(FnInsertc, a), (Shaped{2, 4, {1, 0, 0, 2, 3, 0, 0, 4}}));
    ZuVALUE b[] = {Matrix(2, 2, {1, 2, 3, 4}), Int(2), Int(1)};
    EXPECT_EQ(Result(FnInsertr, b), (Shaped{3, 2, {1, 2, 3, 4, 0, 0}}));
    ZuVALUE c[] = {Matrix(0, 0), Int(0), Int(2)};
    EXPECT_EQ(Result(FnInsertr, c), (Shaped{2, 0, {}}));
    ZuVALUE d[] = {Matrix(2, 2, {1, 2, 3, 4}), Int(0), Int(0)};
    EXPECT_EQ(Result(FnInsertc, d), (Shaped{2, 2, {1, 2, 3, 4}}));
    ZuVALUE e[] = {Matrix(2, 2), Int(3), Int(1)};
    EXPECT_EQ(Failure(FnInsertr, e, 37), "(): position 3 out of range for 2 rows in argument 2");
    ZuVALUE f[] = {Matrix(2, 2), Int(0), Int(-1)};
    EXPECT_EQ(Failure(FnInsertc, f, 37), "(): count -1 of new columns out of range in argument 3");
    ZuVALUE g[] = {Matrix(2, 2), Int(0), Int(std::numeric_limits<int>::max())};
    EXPECT_EQ(Failure(FnInsertr, g, 37), "(): count 2147483647 of new rows out of range in argument 3");
}

TEST_F(SelectionTest, SelectrcPairsRowAndColumnIndices) {
    ZuVALUE a[] = {Sample(), Matrix(1, 3, {0, 2, 0}), Matrix(1, 3, {2, 0, 2})};
    EXPECT_EQ(Result(FnSelectrc, a), (Shaped{1, 3, {3, 7, 3}}));
    ZuVALUE b[] = {Sample(), Int(1), Matrix(2, 1, {0, 2})};
    EXPECT_EQ(Result(FnSelectrc, b), (Shaped{2, 1, {4, 6}}));
    ZuVALUE c[] = {Sample(), Matrix(0, 0), Matrix(0, 0)};
    EXPECT_EQ(Result(FnSelectrc, c), (Shaped{0, 0, {}}));
    ZuVALUE d[] = {Sample(), Matrix(1, 2, {0, 1}), Matrix(1, 3, {0, 1, 2})};
    EXPECT_EQ(Failure(FnSelectrc, d, 40), "(): found matrix[1][3] but expected matrix[1][2] in argument 3");
    ZuVALUE e[] = {Sample(), Int(3), Int(0)};
    EXPECT_EQ(Failure(FnSelectrc, e, 37), "(): index 3 out of range for 3 rows in argument 2");
}

TEST_F(SelectionTest, SubmatBlocksIncludeBothEnds) {
    ZuVALUE a[] = {Sample(), Int(0), Int(1), Int(1), Int(2)};
    EXPECT_EQ(Result(FnSubmat, a), (Shaped{2, 2, {2, 3, kMiss, 6}}));
    ZuVALUE b[] = {Sample(), Int(3), Int(2), Int(0), Int(2)};  // no rows
    EXPECT_EQ(Result(FnSubmat, b), (Shaped{0, 3, {}}));
    ZuVALUE c[] = {Matrix(0, 0), Int(0), Int(-1), Int(0), Int(-1)};
    EXPECT_EQ(Result(FnSubmat, c), (Shaped{0, 0, {}}));
    ZuVALUE d[] = {Sample(), Int(0), Int(3), Int(0), Int(0)};
    EXPECT_EQ(Failure(FnSubmat, d, 37), "(): index 3 out of range for 3 rows in argument 3");
    ZuVALUE e[] = {Sample(), Int(2), Int(0), Int(0), Int(0)};
    EXPECT_EQ(Failure(FnSubmat, e, 37), "(): index 0 out of range for 3 rows in argument 3");
    ZuVALUE f[] = {Sample(), Int(0), Int(0), Int(-1), Int(0)};
    EXPECT_EQ(Failure(FnSubmat, f, 37), "(): index -1 out of range for 3 columns in argument 4");
}

}  // namespace
