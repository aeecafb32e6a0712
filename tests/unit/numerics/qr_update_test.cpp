// The Givens update of QR factors after a change of columns, and the
// products with Q, on the factors that decqr returns.
#include <cmath>
#include <random>
#include <vector>

#include "numerics/library.h"
#include "numerics/library_fixture.h"

using Mat = zu::test::Matrix;
using zu::test::NaiveProduct;
using zu::test::RelativeDistance;
using zu_stdlib_test::Call;
using zu_stdlib_test::FreeAll;

namespace {

// Copies of a matrix with column j removed, replaced or inserted.
Mat WithoutColumn(const Mat& a, int j) {
    Mat out(a.rows(), a.cols() - 1);
    for (int i = 0; i < a.rows(); ++i)
        for (int l = 0; l < out.cols(); ++l) out[i][l] = a[i][l < j ? l : l + 1];
    return out;
}
Mat WithColumn(const Mat& a, int j, const Mat& z, bool insert) {
    Mat out(a.rows(), a.cols() + (insert ? 1 : 0));
    for (int i = 0; i < a.rows(); ++i)
        for (int l = 0; l < out.cols(); ++l) out[i][l] = l == j ? z[i][0] : a[i][insert && l > j ? l - 1 : l];
    return out;
}

// max |q'q - I|.
double OrthonormalityError(const Mat& q) {
    const Mat qtq = NaiveProduct(q, true, q, false);
    double worst = 0;
    for (int i = 0; i < qtq.rows(); ++i)
        for (int j = 0; j < qtq.cols(); ++j) worst = std::fmax(worst, std::fabs(qtq[i][j] - (i == j ? 1 : 0)));
    return worst;
}

bool UpperTriangular(const Mat& r) {
    for (int i = 0; i < r.rows(); ++i)
        for (int j = 0; j < i && j < r.cols(); ++j)
            if (r[i][j] != 0) return false;
    return true;
}

class QrUpdateTest : public zu::test::LibraryTest {
protected:
    void TearDown() override {
        ZuFreeValue(&q_);
        ZuFreeValue(&r_);
        LibraryTest::TearDown();
    }

    // decqr(x): keeps q and r, and returns x with its columns in the
    // pivoting order, which q r reproduces.
    Mat Decompose(const Mat& x) {
        ZuVALUE p{};
        ZuVALUE args[] = {FromMatrix(x), AddressOf(&q_), AddressOf(&r_), AddressOf(&p)};
        EXPECT_EQ(Call(zu::numerics::FnDecqr, args).w1.i, 1);
        Mat ordered(x.rows(), x.cols());
        for (int i = 0; i < x.rows(); ++i)
            for (int j = 0; j < x.cols(); ++j) ordered[i][j] = x[i][static_cast<int>(p.w3.m[0][j])];
        ZuFreeValue(&p);
        ZuFreeValue(&args[0]);
        return ordered;
    }
    void SetR(const Mat& r) {
        ZuFreeValue(&r_);
        r_ = FromMatrix(r);
    }
    // decqrupdate(&q or 0, &r, first [, last]); the result.
    int Update(bool withQ, int first, int last = -2) {
        ZuVALUE args[] = {withQ ? AddressOf(&q_) : Int(0), AddressOf(&r_), Int(first), Int(last)};
        ZuVALUE rtn{};
        ZuValSetInt(&rtn, 0);
        zu::numerics::FnDecqrupdate(&rtn, args, last == -2 ? 3 : 4);
        return rtn.w1.i;
    }
    // q r and the checks that every update must pass.
    void ExpectFactorsOf(const Mat& changed, const char* what) {
        const Mat q = Copy(q_), r = Copy(r_);
        EXPECT_LT(OrthonormalityError(q), 1e-12) << what;
        EXPECT_TRUE(UpperTriangular(r)) << what;
        EXPECT_LT(RelativeDistance(NaiveProduct(q, false, r, false), changed), 1e-12) << what;
    }

    ZuVALUE q_{};
    ZuVALUE r_{};
};

TEST_F(QrUpdateTest, RemovingAColumnRestoresTheFactorsOfTheSmallerMatrix) {
    for (int rows : {5, 8, 30}) {
        const int c = 5;
        for (int j = 0; j < c; ++j) {
            const Mat x = Decompose(zu::test::RandomMatrix(rows, c, static_cast<unsigned>(rows + j)));
            SetR(WithoutColumn(Copy(r_), j));
            EXPECT_EQ(Update(true, j), 1);
            ExpectFactorsOf(WithoutColumn(x, j), "remove");
        }
    }
}

TEST_F(QrUpdateTest, ReplacingOrInsertingAColumnWithASquareQ) {
    const Mat z = zu::test::RandomMatrix(5, 1, 3);
    for (int j : {0, 3, 6}) {
        const Mat x = Decompose(zu::test::RandomMatrix(5, 7, static_cast<unsigned>(j)));
        const Mat qtz = NaiveProduct(Copy(q_), true, z, false);
        SetR(WithColumn(Copy(r_), j, qtz, false));
        EXPECT_EQ(Update(true, j), 1);
        ExpectFactorsOf(WithColumn(x, j, z, false), "replace");
    }
    for (int j : {0, 2, 7}) {
        const Mat x = Decompose(zu::test::RandomMatrix(5, 7, static_cast<unsigned>(10 + j)));
        const Mat qtz = NaiveProduct(Copy(q_), true, z, false);
        SetR(WithColumn(Copy(r_), j, qtz, true));
        EXPECT_EQ(Update(true, j), 1);
        ExpectFactorsOf(WithColumn(x, j, z, true), "insert");
    }
}

TEST_F(QrUpdateTest, ColumnRangesComposeAndQMayBeLeftOut) {
    const Mat x = Decompose(zu::test::RandomMatrix(8, 5, 21));
    const Mat removed = WithoutColumn(Copy(r_), 1);
    // Columns 1 to 1 only: column 2 keeps its element below the diagonal.
    SetR(removed);
    EXPECT_EQ(Update(true, 1, 1), 1);
    EXPECT_EQ(r_.w3.m[2][1], 0);
    EXPECT_NE(r_.w3.m[3][2], 0);
    EXPECT_EQ(Update(true, 2), 1);
    ExpectFactorsOf(WithoutColumn(x, 1), "two ranges");
    const Mat twoSteps = Copy(r_);
    // The same rotations without q give the same r.
    SetR(removed);
    EXPECT_EQ(Update(false, 1), 1);
    EXPECT_LT(RelativeDistance(Copy(r_), twoSteps), 1e-15);
    // An empty range (first = number of columns) changes nothing.
    EXPECT_EQ(Update(true, 4), 1);
    EXPECT_LT(RelativeDistance(Copy(r_), twoSteps), 1e-15);
}

TEST_F(QrUpdateTest, UpdateArgumentErrors) {
    Decompose(zu::test::RandomMatrix(6, 4, 5));
    EXPECT_RUN_ERROR(Update(true, -1), 37);
    EXPECT_RUN_ERROR(Update(true, 5), 37);
    EXPECT_RUN_ERROR(Update(true, 1, 4), 37);
    EXPECT_RUN_ERROR(Update(true, 1, -1), 37);
    ZuFreeValue(&r_);
    r_ = Matrix(3, 4);
    EXPECT_RUN_ERROR(Update(true, 0), 40);
    ZuVALUE text = String("r");
    ZuVALUE stringTarget[] = {Int(0), AddressOf(&text), Int(0)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnDecqrupdate, stringTarget), 37);
    ZuVALUE leftOut[] = {AddressOf(&q_), Int(0), Int(0)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnDecqrupdate, leftOut), 37);
    ZuVALUE byValue[] = {Int(0), Matrix(2, 2), Int(0)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnDecqrupdate, byValue), 37);
    ZuFreeValue(&text);
    FreeAll(byValue);
}

TEST_F(QrUpdateTest, ProductsGiveTheRegressionFitAndResiduals) {
    const int n = 12;
    const Mat x = zu::test::RandomMatrix(n, 3, 8), b = zu::test::RandomMatrix(n, 2, 9);
    const Mat ordered = Decompose(x);
    ZuVALUE one[] = {q_};
    ZuVALUE qtq = Call(zu::numerics::FnDecqrmul, one);
    EXPECT_LT(OrthonormalityError(Copy(q_)), 1e-12);
    EXPECT_LT(RelativeDistance(Copy(qtq), NaiveProduct(Copy(q_), true, Copy(q_), false)), 1e-14);
    ZuFreeValue(&qtq);
    ZuVALUE fit{}, residual{};
    ZuVALUE args[] = {q_, FromMatrix(b), AddressOf(&fit), AddressOf(&residual)};
    ZuVALUE qtb = Call(zu::numerics::FnDecqrmul, args);
    // The least-squares coefficients from the normal equations ...
    const Mat xtx = NaiveProduct(ordered, true, ordered, false);
    ZuVALUE inv[] = {FromMatrix(xtx)};
    ZuVALUE xtxInverse = Call(zu::numerics::FnInvertsym, inv);
    const Mat beta = NaiveProduct(Copy(xtxInverse), false, NaiveProduct(ordered, true, b, false), false);
    // ... give the fitted values, and r beta = q'b.
    EXPECT_LT(RelativeDistance(Copy(fit), NaiveProduct(ordered, false, beta, false)), 1e-12);
    EXPECT_LT(RelativeDistance(NaiveProduct(Copy(r_), false, beta, false), Copy(qtb)), 1e-12);
    const Mat res = Copy(residual), fitted = Copy(fit);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < 2; ++j) EXPECT_NEAR(res[i][j] + fitted[i][j], b[i][j], 1e-15);
    const Mat xtr = NaiveProduct(x, true, res, false);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 2; ++j) EXPECT_NEAR(xtr[i][j], 0, 1e-13);
    ZuVALUE wrongRows[] = {q_, Matrix(n - 1, 1)};
    EXPECT_RUN_ERROR(Call(zu::numerics::FnDecqrmul, wrongRows), 40);
    ZuVALUE owned[] = {qtb, fit, residual, xtxInverse, inv[0], args[1], wrongRows[1]};
    FreeAll(owned);
}

}  // namespace
