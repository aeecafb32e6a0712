// A matrix result reduced to its shape and elements, for comparing whole
// results in one expectation, and the calls of the selection, ordering and
// cumulation tests.
#ifndef ZU_TESTS_STDLIB_MATRIX_RESULT_H
#define ZU_TESTS_STDLIB_MATRIX_RESULT_H

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "stdlib_fixture.h"

namespace zu_stdlib_test {

// Elements row by row, a missing value written as kMissing so that results
// compare with ==.  A result that is no matrix has the shape -1 x -1.
struct Shaped {
    static constexpr double kMissing = -999;
    int r;
    int c;
    std::vector<double> elements;
    bool operator==(const Shaped&) const = default;
};

inline void PrintTo(const Shaped& s, std::ostream* os) {
    *os << s.r << " x " << s.c << " {";
    for (double x : s.elements) *os << ' ' << x;
    *os << " }";
}

// Takes a result apart and frees it.
inline Shaped Take(ZuVALUE v) {
    Shaped out{-1, -1, {}};
    if (ZuValType(&v) == ZU_MATRIX) {
        out.r = v.w1.i;
        out.c = v.w2.i;
        for (int i = 0; i < out.r; ++i) {
            for (int j = 0; j < out.c; ++j) {
                out.elements.push_back(std::isnan(v.w3.m[i][j]) ? Shaped::kMissing : v.w3.m[i][j]);
            }
        }
    }
    ZuFreeValue(&v);
    return out;
}

// Calls the routine, frees the arguments and takes the result apart.
template <std::size_t N>
Shaped Result(ZuLIBFUNC f, ZuVALUE (&args)[N]) {
    ZuVALUE v = Call(f, args);
    FreeAll(args);
    return Take(v);
}

// Every element of a result within the tolerance of the wanted ones, in
// row order; 1e-12 suits values that R printed with 15 digits.
inline void ExpectNear(const Shaped& got, const std::vector<double>& want, double tolerance = 1e-12) {
    ASSERT_EQ(got.elements.size(), want.size());
    for (std::size_t k = 0; k < want.size(); ++k) EXPECT_NEAR(got.elements[k], want[k], tolerance) << "element " << k;
}

// A call that must raise run-time error `code`: its first message.
template <std::size_t N>
std::string Failure(ZuLIBFUNC f, ZuVALUE (&args)[N], int code) {
    runMessages.clear();
    EXPECT_RUN_ERROR(Call(f, args), code);
    FreeAll(args);
    return runMessages.empty() ? std::string{} : runMessages.front();
}

}  // namespace zu_stdlib_test

#endif
