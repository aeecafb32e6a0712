// A C++ program that embeds the Zu library: it compiles weights.zu, hands
// a C++ matrix to the Zu function weights() and reads back the results.
#include <cstdio>
#include <vector>

#include "zu.h"

namespace {

// A Zu matrix value copied from row-major C++ data; the value owns it.
ZuVALUE MatrixValue(const std::vector<double>& data, int rows, int columns) {
    ZuVALUE v{};
    ZuLibValMatMalloc(&v, rows, columns);
    double** m = ZuValGetMat(&v);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) m[i][j] = data[static_cast<size_t>(i * columns + j)];
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    const char* source = argc > 1 ? argv[1] : "weights.zu";
    ZuMainInit();
    // -r- compiles and links but leaves the run to the host.
    char program[] = "host", quiet[] = "-b", noRun[] = "-r-";
    char* args[] = {program, quiet, noRun, const_cast<char*>(source)};
    if (ZuMain(4, args) <= 0) {
        std::fprintf(stderr, "host: %s did not compile\n", source);
        return 1;
    }
    ZuNAMEDVALUE* weights = ZuSymFindGlobalFunction("weights");
    if (!weights) {
        std::fprintf(stderr, "host: no function weights in %s\n", source);
        return 1;
    }

    // y = 1 + 2 x plus a little noise, with a column of ones in x.
    const std::vector<double> x = {1, 0, 1, 1, 1, 2, 1, 3, 1, 4};
    const std::vector<double> y = {1.1, 2.9, 5.0, 7.1, 8.9};
    ZuVALUE sigma2{};
    ZuVALUE address{};
    address.t = ZU_ARRAY | ZU_FLAG_ADR;
    address.w1.i = 1;
    address.w2.v = &sigma2;
    ZuVALUE arguments[3] = {MatrixValue(y, 5, 1), MatrixValue(x, 5, 2), address};
    ZuVALUE result{};
    int ok = FZuCallBack(&weights->val, &result, arguments, 3);
    if (ok && ZuValGetMatr(&result) == 2) {
        double** b = ZuValGetMat(&result);
        double s2 = 0;
        ZuValGetDouble(&sigma2, &s2);
        std::printf("intercept %.4f, slope %.4f, residual variance %.5f\n", b[0][0], b[1][0], s2);
    } else {
        std::printf("host: the call of weights failed\n");
        ok = 0;
    }
    ZuFreeValue(&result);
    ZuFreeValue(&sigma2);
    ZuFreeValue(&arguments[0]);
    ZuFreeValue(&arguments[1]);
    ZuMainExit();
    return ok ? 0 : 1;
}
