// The uniform generators PM, GM and LE, the generator triple, and the
// polar-method normal with its store.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "numerics/random.h"

namespace zu::numerics {
namespace {

// ---- PM: multiplicative congruential, Schrage's method ----------------

constexpr std::int32_t kPmModulus = 2147483647;
constexpr std::int32_t kPmInitial = 198195252;
std::int32_t g_pmX = kPmInitial;  // the state word, kept between switches

double PmUniform() {
    const std::int32_t q = g_pmX / 44488, t = g_pmX % 44488;
    g_pmX = 48271 * t - 3399 * q;
    if (g_pmX < 1) g_pmX += kPmModulus;
    return g_pmX * 4.656612875245797e-10;
}

void PmSetSeed(const int* seeds, int count) {
    std::int32_t x = seeds == nullptr || count == 0 ? 0 : seeds[0];
    if (x < 0) x += kPmModulus;
    // The modulus itself is a fixed point that would yield 1 for ever.
    g_pmX = x == 0 || x == kPmModulus ? kPmInitial : x;
}

int PmGetSeed(int* seeds, int) {
    if (seeds != nullptr) seeds[0] = g_pmX;
    return 1;
}

// ---- GM: two multiply-with-carry halves ------------------------------

constexpr std::uint32_t kGmZ = 362436069, kGmW = 521288629;
std::uint32_t g_gmZ = kGmZ, g_gmW = kGmW;

double GmUniform() {
    g_gmZ = 36969 * (g_gmZ & 65535) + (g_gmZ >> 16);
    g_gmW = 18000 * (g_gmW & 65535) + (g_gmW >> 16);
    const std::uint32_t r = (g_gmZ << 16) + (g_gmW & 65535);
    return r * 2.32830643708e-10;
}

void GmSetSeed(const int* seeds, int count) {
    if (seeds == nullptr || count == 0 || seeds[0] == 0) {
        g_gmZ = kGmZ;
        g_gmW = kGmW;
    } else if (count == 1) {
        g_gmZ = g_gmW = static_cast<std::uint32_t>(seeds[0]);
    } else if (count == 2) {
        g_gmZ = static_cast<std::uint32_t>(seeds[0]);
        g_gmW = static_cast<std::uint32_t>(seeds[1]);
    }
}

int GmGetSeed(int* seeds, int count) {
    if (seeds != nullptr) {
        seeds[0] = static_cast<int>(g_gmZ);
        if (count >= 2) seeds[1] = static_cast<int>(g_gmW);
    }
    return 2;
}

// ---- LE: combined four-component Tausworthe --------------------------

constexpr std::uint32_t kLeInitial[4] = {112, 1118, 11126, 111238};
std::uint32_t g_le[4] = {112, 1118, 11126, 111238};

double LeUniform() {
    std::uint32_t* z = g_le;
    std::uint32_t b = ((z[0] << 6) ^ z[0]) >> 13;
    z[0] = ((z[0] & 0xFFFFFFFEu) << 18) ^ b;
    b = ((z[1] << 2) ^ z[1]) >> 27;
    z[1] = ((z[1] & 0xFFFFFFF8u) << 2) ^ b;
    b = ((z[2] << 13) ^ z[2]) >> 21;
    z[2] = ((z[2] & 0xFFFFFFF0u) << 7) ^ b;
    b = ((z[3] << 3) ^ z[3]) >> 12;
    z[3] = ((z[3] & 0xFFFFFF80u) << 13) ^ b;
    return (z[0] ^ z[1] ^ z[2] ^ z[3]) * 2.3283064365387e-10;
}

void LeSetSeed(const int* seeds, int count) {
    if (seeds == nullptr || count == 0 || seeds[0] == 0) {
        std::memcpy(g_le, kLeInitial, sizeof g_le);
        return;
    }
    // Each component needs bits above its mask to stay non-zero.
    if (count == 1) {
        const auto s = static_cast<std::uint32_t>(seeds[0]);
        if (s > 127) g_le[0] = g_le[1] = g_le[2] = g_le[3] = s;
    } else if (count == 4) {
        std::uint32_t s[4];
        for (int i = 0; i < 4; ++i) s[i] = static_cast<std::uint32_t>(seeds[i]);
        if (s[0] > 1 && s[1] > 7 && s[2] > 15 && s[3] > 127) std::memcpy(g_le, s, sizeof g_le);
    }
}

int LeGetSeed(int* seeds, int count) {
    if (seeds != nullptr) {
        seeds[0] = static_cast<int>(g_le[0]);
        for (int i = 1; i < 4 && count > i; ++i) seeds[i] = static_cast<int>(g_le[i]);
    }
    return 4;
}

// ---- The current generator and the normal store ----------------------

struct Generator {
    ZuRANU uniform;
    ZuRANSETSEED setSeed;
    ZuRANGETSEED getSeed;
};

Generator g_generator = {PmUniform, PmSetSeed, PmGetSeed};
double g_normalStore = 0;  // second value of the last polar pair

}  // namespace

void PolarPair(double* first, double* second) {
    double w1 = 0, w2 = 0, s = 2;
    for (long tries = 0; (s > 1 || s == 0) && tries < kMaxRejections; ++tries) {
        w1 = 2 * DRanU() - 1;
        w2 = 2 * DRanU() - 1;
        s = w1 * w1 + w2 * w2;  // s = 0 would divide by zero below
    }
    if (s > 1 || s == 0) {
        *first = *second = std::nan("");
        return;
    }
    const double f = std::sqrt(-2 * std::log(s) / s);
    *first = w1 * f;
    *second = w2 * f;
}

}  // namespace zu::numerics

using namespace zu::numerics;

extern "C" {

int fNormalInStore = 0;

double DRanU(void) { return g_generator.uniform(); }

void RanSetSeed(const int* seeds, int count) {
    fNormalInStore = 0;
    g_generator.setSeed(seeds, count);
}

int RanGetSeed(int* seeds, int count) { return g_generator.getSeed(seeds, count); }

void RanSetRan(const char* name) {
    fNormalInStore = 0;
    if (name != nullptr && std::strcmp(name, "GM") == 0)
        g_generator = {GmUniform, GmSetSeed, GmGetSeed};
    else if (name != nullptr && std::strcmp(name, "LE") == 0)
        g_generator = {LeUniform, LeSetSeed, LeGetSeed};
    else
        g_generator = {PmUniform, PmSetSeed, PmGetSeed};
}

void RanNewRan(ZuRANU uniform, ZuRANSETSEED setseed, ZuRANGETSEED getseed) {
    fNormalInStore = 0;
    // A host must give all three; a partial triple keeps the current one.
    if (uniform != nullptr && setseed != nullptr && getseed != nullptr) g_generator = {uniform, setseed, getseed};
}

double DRanNormalPM(void) {
    if (fNormalInStore) {
        fNormalInStore = 0;
        return g_normalStore;
    }
    double first;
    PolarPair(&first, &g_normalStore);
    fNormalInStore = 1;
    return first;
}

void MatRan(double** m, int r, int c) {
    if (m == nullptr) return;
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) m[i][j] = DRanU();
}

void MatRann(double** m, int r, int c) {
    if (m == nullptr || r < 1 || c < 1) return;
    // The r*c elements as one run in row order.
    const long long count = static_cast<long long>(r) * c;
    auto at = [m, c](long long k) -> double& { return m[k / c][k % c]; };
    long long k = 0;
    if (fNormalInStore) at(k++) = DRanNormalPM();
    for (; k + 1 < count; k += 2) PolarPair(&at(k), &at(k + 1));
    if (k < count) at(k) = DRanNormalPM();
}

void MatRanNormal(double** m, int r, int c) {
    if (m == nullptr) return;
    const int h = c / 2;
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < h; ++j) PolarPair(&m[i][j], &m[i][j + h]);
        if (c % 2 != 0) {
            double dropped;
            PolarPair(&m[i][c - 1], &dropped);
        }
    }
}

}  // extern "C"
