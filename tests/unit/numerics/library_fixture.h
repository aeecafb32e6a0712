// Fixture of the tests that call the numerics library routines directly:
// the standard library fixture (messages captured, run-time errors thrown
// as RunError) with address arguments and conversions to test matrices.
#pragma once

#include <string>
#include <vector>

#include "numerics/matrix_fixture.h"
#include "stdlib/stdlib_fixture.h"

namespace zu::test {

using Dense = std::vector<std::vector<double>>;

class LibraryTest : public zu_stdlib_test::StdlibTest {
protected:
    // An address argument (&x) referring to `target`.
    static ZuVALUE AddressOf(ZuVALUE* target) {
        ZuVALUE v{};
        v.t = ZU_ARRAY | ZU_FLAG_ADR;
        v.w2.v = target;
        return v;
    }
    // The matrix of a value record as a test matrix.
    static zu::test::Matrix Copy(const ZuVALUE& v) {
        zu::test::Matrix m(v.w1.i, v.w2.i);
        if (v.w1.i >= 1 && v.w2.i >= 1) MatCopy(m.m(), v.w3.m, v.w1.i, v.w2.i);
        return m;
    }
    // A matrix value with the first c columns of the rows of a.
    static ZuVALUE FromDense(const Dense& a, int c) {
        const int r = static_cast<int>(a.size());
        ZuVALUE v = Matrix(r, c);
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j) v.w3.m[i][j] = a[i][j];
        return v;
    }
    static ZuVALUE FromMatrix(const zu::test::Matrix& a) {
        ZuVALUE v = Matrix(a.rows(), a.cols());
        if (a.rows() >= 1 && a.cols() >= 1) MatCopy(v.w3.m, a.m(), a.rows(), a.cols());
        return v;
    }
    static bool Warned() {
        for (const std::string& m : zu_stdlib_test::runMessages)
            if (m.find("Warning") != std::string::npos) return true;
        return false;
    }
};

}  // namespace zu::test
