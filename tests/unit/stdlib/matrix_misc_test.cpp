// reflect, diagonalize, the fuzziness setting as isfeq sees it, and the
// parts of file names that zufilename takes apart.
#include "matrix_result.h"
#include "stdlib/routines.h"

using namespace zu::stdlib;
using namespace zu_stdlib_test;

namespace {

class MatrixMiscTest : public StdlibTest {
protected:
    void TearDown() override {
        SetFuzziness(kDefaultFuzziness);
        StdlibTest::TearDown();
    }
    static std::string Filename(const char* parts, const char* name) {
        ZuVALUE args[] = {String(parts), String(name)};
        ZuVALUE v = Call(FnZufilename, args);
        FreeAll(args);
        std::string text = ZuValGetString(&v) != nullptr ? ZuValGetString(&v) : "";
        ZuFreeValue(&v);
        return text;
    }
    static int Isfeq(double a, double b) {
        ZuVALUE args[] = {Double(a), Double(b)};
        return Call(FnIsfeq, args).w1.i;
    }
};

TEST_F(MatrixMiscTest, ReflectTransposesAlongTheAntiDiagonal) {
    ZuVALUE args[] = {Matrix(2, 3, {1, 2, 3, 4, 5, 6})};
    EXPECT_EQ(Result(FnReflect, args), (Shaped{3, 2, {6, 3, 5, 2, 4, 1}}));
    ZuVALUE toeplitz[] = {Matrix(3, 3, {1, 2, 3, 4, 1, 2, 5, 4, 1})};
    EXPECT_EQ(Result(FnReflect, toeplitz), (Shaped{3, 3, {1, 2, 3, 4, 1, 2, 5, 4, 1}}));
    ZuVALUE empty[] = {Matrix(0, 3)};
    EXPECT_EQ(Result(FnReflect, empty), (Shaped{3, 0, {}}));
}

TEST_F(MatrixMiscTest, DiagonalizeKeepsTheShape) {
    ZuVALUE args[] = {Matrix(2, 3, {1, 2, 3, 4, 5, 6})};
    EXPECT_EQ(Result(FnDiagonalize, args), (Shaped{2, 3, {1, 0, 0, 0, 5, 0}}));
}

TEST_F(MatrixMiscTest, FuzzinessSetsTheToleranceOfIsfeq) {
    EXPECT_EQ(Isfeq(1, 1 + 1e-10), 0);
    ZuVALUE set[] = {Double(1e-6)};
    EXPECT_EQ(Call(FnFuzziness, set).w1.d, kDefaultFuzziness);
    EXPECT_EQ(Isfeq(1, 1 + 1e-10), 1);
    EXPECT_EQ(Isfeq(1e6, 1e6 + 0.5), 1);  // relative above 1
    ZuVALUE query[] = {Int(0)};
    EXPECT_EQ(Call(FnFuzziness, query).w1.d, 1e-6);
    ZuVALUE negative[] = {Double(-1)};
    EXPECT_EQ(Call(FnFuzziness, negative).w1.d, 1e-6);  // not a tolerance: unchanged
}

TEST_F(MatrixMiscTest, FilenamePartsJoinInTheirOrder) {
    EXPECT_EQ(Filename("", "dir/sub/prog.zu"), "dir/sub/prog.zu");
    EXPECT_EQ(Filename("n", "dir/sub/prog.zu"), "prog");
    EXPECT_EQ(Filename("ep", "dir/sub/prog.zu"), "dir/sub/.zu");
    EXPECT_EQ(Filename("ne", "a.b/c"), "c");
    EXPECT_EQ(Filename("ne", ".profile"), ".profile");
    EXPECT_EQ(Filename("e", "x.tar.gz"), ".gz");
    ZuVALUE bad[] = {String("x"), String("a")};
    EXPECT_EQ(Failure(FnZufilename, bad, 37), "(): parts must be letters of \"pne\" in argument 1");
}

}  // namespace
