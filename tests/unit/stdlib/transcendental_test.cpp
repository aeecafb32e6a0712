// Bessel functions of the four kinds and their scaled forms (large
// arguments above all, where the plain scaling would overflow), Dawson's
// integral and Ei, against R's besselJ/Y/I/K and series or exact values.
#include <cmath>
#include <limits>

#include "matrix_result.h"
#include "stdlib/routines.h"

using namespace zu::stdlib;
using namespace zu_stdlib_test;

namespace {

class SpecialFunctionsTest : public StdlibTest {
protected:
    static double Bessel(double x, const char* type, double n) {
        ZuVALUE args[] = {Double(x), String(type), Double(n)};
        ZuVALUE v = Call(FnBessel, args);
        FreeAll(args);
        EXPECT_EQ(ZuValType(&v), ZU_DOUBLE);
        return v.w1.d;
    }
    static double One(ZuLIBFUNC f, double x) {
        ZuVALUE args[] = {Double(x)};
        ZuVALUE v = Call(f, args);
        FreeAll(args);
        return v.w1.d;
    }
};

void ExpectRelative(double got, double want, double tol) {
    EXPECT_LE(std::fabs(got - want), tol * std::fabs(want)) << "got " << got << ", want " << want;
}

TEST_F(SpecialFunctionsTest, FourKindsAgreeWithR) {
    ExpectRelative(Bessel(10, "J", 0), -0.2459357644513483, 1e-13);
    ExpectRelative(Bessel(1000, "J", 0), 0.0247866861524202, 1e-12);
    ExpectRelative(Bessel(100, "Y", 1), -0.0203723120027598, 1e-12);
    ExpectRelative(Bessel(2, "K", 0.5), 0.119937771968061, 1e-13);
    ExpectRelative(Bessel(1, "i", 2), 0.04993877689422354 * std::exp(1.0), 1e-13);  // either case
    EXPECT_TRUE(std::isnan(Bessel(-1, "Y", 0)));
    EXPECT_TRUE(std::isnan(Bessel(-1, "J", 0.5)));
    EXPECT_TRUE(std::isnan(Bessel(1e5, "J", 1e9)));  // refused rather than minutes of recurrence
    EXPECT_TRUE(std::isnan(Bessel(1, "K", -1e6)));
}

TEST_F(SpecialFunctionsTest, ScaledFormsStayFiniteForLargeArguments) {
    // Below, at and above the switch to the large-argument series.
    ExpectRelative(Bessel(50, "IE", 3), 0.05164737175755632, 1e-13);
    ExpectRelative(Bessel(700, "IE", 3), 0.01498458666171944, 1e-13);
    ExpectRelative(Bessel(701, "IE", 3), 0.01497402853545449, 1e-13);
    ExpectRelative(Bessel(2000, "IE", 3), 0.00890112318428676, 1e-13);
    ExpectRelative(Bessel(1e5, "IE", 2), 0.00126154260674618, 1e-13);
    ExpectRelative(Bessel(701, "KE", 3.5), 0.04774363576349385, 1e-13);
    ExpectRelative(Bessel(1e6, "KE", 3.5), 0.00125332165721912, 1e-13);
    ExpectRelative(Bessel(701, "IE", 30), 0.00792831809888812, 1e-11);
    ExpectRelative(Bessel(2000, "KE", 30), 0.0350919754883713, 1e-12);
    // I of a negative argument at an odd order changes sign.
    EXPECT_DOUBLE_EQ(Bessel(-2000, "IE", 3), -Bessel(2000, "IE", 3));
    // An order far above sqrt(x) would leave too few digits: missing.
    EXPECT_TRUE(std::isnan(Bessel(800, "IE", 1000)));
}

TEST_F(SpecialFunctionsTest, BesselGoesElementByElementOverXAndOrder) {
    ZuVALUE args[] = {Matrix(1, 2, {1, 2}), String("J"), Matrix(1, 2, {0, 1})};
    const Shaped s = Result(FnBessel, args);
    ASSERT_EQ(s.c, 2);
    ExpectRelative(s.elements[0], 0.7651976865579666, 1e-14);
    ExpectRelative(s.elements[1], 0.5767248077568734, 1e-14);  // J1(2)
    ZuVALUE sizes[] = {Matrix(1, 2), String("J"), Matrix(1, 3)};
    EXPECT_EQ(Failure(FnBessel, sizes, 40), "(): found matrix[1][3] but expected matrix[1][2] in argument 3");
    ZuVALUE type[] = {Double(1), String("JE"), Double(0)};
    EXPECT_EQ(Failure(FnBessel, type, 37),
              "(): type must be \"J\", \"Y\", \"I\", \"K\", \"IE\" or \"KE\" in argument 2");
    ZuVALUE notText[] = {Double(1), Int(1), Double(0)};
    EXPECT_NE(Failure(FnBessel, notText, 37).find("type error in argument 2"), std::string::npos);
}

TEST_F(SpecialFunctionsTest, DawsonAndEi) {
    ExpectRelative(One(FnDawson, 1.0), 0.5380795069127684, 1e-14);
    ExpectRelative(One(FnDawson, 0.9241388730), 0.5410442246, 1e-9);  // the maximum
    ExpectRelative(One(FnDawson, -2.0), -0.3013403889237920, 1e-14);
    EXPECT_EQ(One(FnDawson, 1e200), 0.5e-200);
    EXPECT_EQ(One(FnDawson, 1e-300), 1e-300);
    ExpectRelative(One(FnExpint, -1.0), -0.219383934395521, 1e-13);
    ExpectRelative(One(FnExpint, 1.0), 1.89511781635594, 1e-13);
    ExpectRelative(One(FnExpint, 10.0), 2492.22897624188, 1e-13);
    ExpectRelative(One(FnExpint, -10.0), -4.15696892968532e-06, 1e-12);
    EXPECT_EQ(One(FnExpint, 0.0), -std::numeric_limits<double>::infinity());
}

}  // namespace
