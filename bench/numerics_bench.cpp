// Times the matrix kernels at order 1000 against the same BLAS and LAPACK
// work called directly, and prints the ratios.
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include "zu.h"

extern "C" {
void dgemm_(const char*, const char*, const int*, const int*, const int*, const double*, const double*, const int*,
            const double*, const int*, const double*, double*, const int*);
void dgetrf_(const int*, const int*, double*, const int*, int*, int*);
void dgetri_(const int*, double*, const int*, const int*, double*, const int*, int*);
void dpotrf_(const char*, const int*, double*, const int*, int*);
void dpotri_(const char*, const int*, double*, const int*, int*);
void dsyevd_(const char*, const char*, const int*, double*, const int*, double*, double*, const int*, int*, const int*,
             int*);
}

namespace {

constexpr int kOrder = 1000;

// Best of a few runs, in seconds; prepare() runs untimed before each.
double Time(const std::function<void()>& prepare, const std::function<void()>& run) {
    double best = 1e30;
    for (int rep = 0; rep < 5; ++rep) {
        prepare();
        const auto t0 = std::chrono::steady_clock::now();
        run();
        const auto t1 = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double>(t1 - t0).count());
    }
    return best;
}

struct Block {
    explicit Block(int order) : n(order), m(MatAllocBlock(order, order)) {}
    ~Block() { MatFreeBlock(m); }
    Block(const Block&) = delete;
    Block& operator=(const Block&) = delete;
    double* data() const { return m[0]; }
    int n;
    double** m;
};

void Report(const char* name, double ours, double direct) {
    std::printf("%-22s %10.4f s %10.4f s %8.2f\n", name, ours, direct, ours / direct);
}

}  // namespace

int main() {
    SetFastMath(1);
    const int n = kOrder;
    const std::size_t nn = static_cast<std::size_t>(n) * n;
    std::mt19937 gen(1);
    std::uniform_real_distribution<double> u(-1, 1);
    Block a(n), b(n), c(n), spd(n), work(n);
    for (std::size_t i = 0; i < nn; ++i) a.data()[i] = u(gen), b.data()[i] = u(gen);
    for (int i = 0; i < n; ++i) a.m[i][i] += n;
    MatBBt(spd.m, b.m, n, n);
    for (int i = 0; i < n; ++i) spd.m[i][i] += n;
    std::vector<double> buf(nn), wvec(n);
    std::vector<int> ipiv(n);
    const double one = 1, zero = 0;
    int info = 0;
    auto copyA = [&] { MatCopy(work.m, a.m, n, n); };
    auto copySpd = [&] { MatCopy(work.m, spd.m, n, n); };
    auto bufA = [&] { std::copy(a.data(), a.data() + nn, buf.begin()); };
    auto bufSpd = [&] { std::copy(spd.data(), spd.data() + nn, buf.begin()); };
    auto none = [] {};

    std::printf("order %d              zu kernel     direct     ratio\n", n);
    Report("product A*B", Time(none, [&] { MatAB(c.m, a.m, n, n, b.m, n); }),
           Time(none, [&] { dgemm_("N", "N", &n, &n, &n, &one, b.data(), &n, a.data(), &n, &zero, c.data(), &n); }));
    Report("inverse", Time(copyA, [&] { IInvert(work.m, n); }), Time(bufA, [&] {
               dgetrf_(&n, &n, buf.data(), &n, ipiv.data(), &info);
               int lwork = static_cast<int>(nn);
               std::vector<double> w(nn);
               dgetri_(&n, buf.data(), &n, ipiv.data(), w.data(), &lwork, &info);
           }));
    Report("determinant (LU)",
           Time(copyA,
                [&] {
                    double logdet;
                    int sign;
                    ILUPdec(work.m, n, ipiv.data(), &logdet, &sign);
                }),
           Time(bufA, [&] { dgetrf_(&n, &n, buf.data(), &n, ipiv.data(), &info); }));
    Report("choleski", Time(copySpd, [&] { FPPtDec(work.m, n); }),
           Time(bufSpd, [&] { dpotrf_("U", &n, buf.data(), &n, &info); }));
    Report("symmetric eigen", Time(copySpd, [&] { IEigenSym(work.m, n, wvec.data(), 1); }), Time(bufSpd, [&] {
               int lwork = 1 + 6 * n + 2 * n * n, liwork = 3 + 5 * n;
               std::vector<double> w(lwork);
               std::vector<int> iw(liwork);
               dsyevd_("V", "U", &n, buf.data(), &n, wvec.data(), w.data(), &lwork, iw.data(), &liwork, &info);
           }));
    Report("symmetric inverse", Time(copySpd, [&] { ISymInv(work.m, n); }), Time(bufSpd, [&] {
               dpotrf_("U", &n, buf.data(), &n, &info);
               dpotri_("U", &n, buf.data(), &n, &info);
           }));
    return 0;
}
