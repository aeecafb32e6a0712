// Inverses through the kernel slots: the general inverse, and the
// generalized inverse from the singular value decomposition
// A = U diag(s) V', whose inverse is V diag(1/s) U'.
#include "run/opr_inverse.h"

#include <algorithm>
#include <memory>
#include <new>

#include "zu.h"

namespace zu::run::ops {
namespace {

// A cache block that frees itself; null when memory ran out.
struct Block {
    Block(int r, int c) : rows(r), columns(c), m(r >= 1 && c >= 1 ? CMatAlloc(r, c) : nullptr) {}
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    ~Block() {
        if (m != nullptr) CMatFree(m, rows, columns);
    }
    int rows;
    int columns;
    double** m;
};

}  // namespace

bool GeneralizedInverse(double** a, int r, int c, double** out) {
    if (r < 1 || c < 1) return true;  // nothing to write: out is c x r
    const int k = std::min(r, c);
    Block u(r, k), v(c, k), work(r, c);
    std::unique_ptr<double[]> sv(new (std::nothrow) double[static_cast<std::size_t>(k)]);
    if (u.m == nullptr || v.m == nullptr || work.m == nullptr || sv == nullptr) return false;
    MatCopy(work.m, a, r, c);
    if (IDecSVD(work.m, r, c, sv.get(), u.m, v.m) != 0) return false;
    const double tolerance = DGetInvertEps() * sv[0];
    for (int l = 0; l < k; ++l) {
        const double inverse = sv[l] > tolerance && sv[l] > 0.0 ? 1.0 / sv[l] : 0.0;
        for (int i = 0; i < c; ++i) v.m[i][l] *= inverse;
    }
    // out = (V diag(1/s)) U'
    MatABt(out, v.m, c, k, u.m, r);
    return true;
}

bool InverseOrGeneralized(double** a, int n, double** out) {
    if (n < 1) return true;
    MatCopy(out, a, n, n);
    if (IInvert(out, n) == 0) return true;
    return GeneralizedInverse(a, n, n, out);
}

}  // namespace zu::run::ops
