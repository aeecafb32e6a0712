// The uniform generators, seeds, the normal store and the derived draws.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "numerics/matrix_fixture.h"

using zu::test::Matrix;

namespace {

// Every test starts from PM in its initial state with an empty store.
class Random : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        for (const char* g : {"GM", "LE", "PM"}) {
            RanSetRan(g);
            RanSetSeed(nullptr, 0);
        }
    }
};

TEST_F(Random, PmStartsFromItsFixedState) {
    int seed = 0;
    EXPECT_EQ(RanGetSeed(&seed, 1), 1);
    EXPECT_EQ(seed, 198195252);
    const long long next = 198195252LL * 48271 % 2147483647;
    EXPECT_EQ(DRanU(), next * 4.656612875245797e-10);
    RanGetSeed(&seed, 1);
    EXPECT_EQ(seed, next);
    // Seeds 0 and the null seed both restore the initial state.
    const int zero = 0;
    RanSetSeed(&zero, 1);
    RanGetSeed(&seed, 1);
    EXPECT_EQ(seed, 198195252);
}

TEST_F(Random, PmSeedRules) {
    const int minus5 = -5;
    RanSetSeed(&minus5, 1);
    int seed = 0;
    RanGetSeed(&seed, 1);
    EXPECT_EQ(seed, 2147483642);
    const int positive = 12345;
    RanSetSeed(&positive, 1);
    RanGetSeed(&seed, 1);
    EXPECT_EQ(seed, 12345);
    // The modulus would be a fixed point giving 1 for ever.
    const int modulus = 2147483647;
    RanSetSeed(&modulus, 1);
    RanGetSeed(&seed, 1);
    EXPECT_EQ(seed, 198195252);
}

TEST_F(Random, PmStreamMatchesTheRecurrence) {
    long long x = 198195252;
    for (int i = 0; i < 1000; ++i) {
        x = x * 48271 % 2147483647;
        const double u = DRanU();
        ASSERT_EQ(u, x * 4.656612875245797e-10) << i;
        ASSERT_GT(u, 0);
        ASSERT_LT(u, 1);
    }
}

TEST_F(Random, GmSeedsAndStream) {
    RanSetRan("GM");
    int s[2] = {0, 0};
    EXPECT_EQ(RanGetSeed(s, 2), 2);
    EXPECT_EQ(s[0], 362436069);
    EXPECT_EQ(s[1], 521288629);
    unsigned z = 362436069, w = 521288629;
    z = 36969 * (z & 65535) + (z >> 16);
    w = 18000 * (w & 65535) + (w >> 16);
    EXPECT_EQ(DRanU(), ((z << 16) + (w & 65535)) * 2.32830643708e-10);
    const int one = 77;
    RanSetSeed(&one, 1);
    RanGetSeed(s, 2);
    EXPECT_EQ(s[0], 77);
    EXPECT_EQ(s[1], 77);
    const int three[3] = {1, 2, 3};
    RanSetSeed(three, 3);  // a count of 3 changes nothing
    RanGetSeed(s, 2);
    EXPECT_EQ(s[0], 77);
    s[1] = -1;
    RanGetSeed(s, 1);  // only the first word when the count is 1
    EXPECT_EQ(s[1], -1);
}

TEST_F(Random, LeSeedsOnlyWhenLargeEnough) {
    RanSetRan("LE");
    int s[4];
    EXPECT_EQ(RanGetSeed(s, 4), 4);
    EXPECT_EQ(s[0], 112);
    EXPECT_EQ(s[3], 111238);
    const int hundred = 100;
    RanSetSeed(&hundred, 1);
    RanGetSeed(s, 4);
    EXPECT_EQ(s[0], 112);
    const int thousand = 1000;
    RanSetSeed(&thousand, 1);
    RanGetSeed(s, 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(s[i], 1000);
    const int bad[4] = {2, 8, 16, 127};
    RanSetSeed(bad, 4);
    RanGetSeed(s, 4);
    EXPECT_EQ(s[3], 1000);
    const int good[4] = {2, 8, 16, 128};
    RanSetSeed(good, 4);
    RanGetSeed(s, 4);
    EXPECT_EQ(s[0], 2);
    EXPECT_EQ(s[3], 128);
    // The first step from the initial state, by hand.
    RanSetSeed(nullptr, 0);
    unsigned z1 = 112, z2 = 1118, z3 = 11126, z4 = 111238;
    z1 = ((z1 & 0xFFFFFFFEu) << 18) ^ (((z1 << 6) ^ z1) >> 13);
    z2 = ((z2 & 0xFFFFFFF8u) << 2) ^ (((z2 << 2) ^ z2) >> 27);
    z3 = ((z3 & 0xFFFFFFF0u) << 7) ^ (((z3 << 13) ^ z3) >> 21);
    z4 = ((z4 & 0xFFFFFF80u) << 13) ^ (((z4 << 3) ^ z4) >> 12);
    EXPECT_EQ(DRanU(), (z1 ^ z2 ^ z3 ^ z4) * 2.3283064365387e-10);
}

TEST_F(Random, StatesSurviveSwitching) {
    RanSetRan("GM");
    std::vector<double> straight;
    for (int i = 0; i < 4; ++i) straight.push_back(DRanU());
    RanSetSeed(nullptr, 0);
    const double g1 = DRanU(), g2 = DRanU();
    RanSetRan("PM");
    const double p1 = DRanU();
    RanSetRan("GM");
    EXPECT_EQ(g1, straight[0]);
    EXPECT_EQ(g2, straight[1]);
    EXPECT_EQ(DRanU(), straight[2]);
    RanSetRan("PM");
    RanSetRan("anything else");  // PM again, its state kept
    EXPECT_NE(DRanU(), p1);
    int seed;
    RanGetSeed(&seed, 1);
    EXPECT_EQ(seed, 198195252LL * 48271 % 2147483647 * 48271 % 2147483647);
}

TEST_F(Random, ScalarNormalsComeInPolarPairs) {
    // Replay the uniforms to compute the pair by hand.
    double w1, w2, s;
    do {
        w1 = 2 * DRanU() - 1;
        w2 = 2 * DRanU() - 1;
        s = w1 * w1 + w2 * w2;
    } while (s > 1);
    const double f = std::sqrt(-2 * std::log(s) / s);
    RanSetSeed(nullptr, 0);
    EXPECT_EQ(DRanNormalPM(), w1 * f);
    EXPECT_EQ(fNormalInStore, 1);
    EXPECT_EQ(DRanNormalPM(), w2 * f);
    EXPECT_EQ(fNormalInStore, 0);
}

TEST_F(Random, MatRannStartsWithTheStoredValue) {
    const double first = DRanNormalPM();
    (void)first;
    RanSetSeed(nullptr, 0);
    DRanNormalPM();
    const double stored = DRanNormalPM();  // second of the first pair
    const double third = DRanNormalPM();   // first of the second pair
    const double fourth = DRanNormalPM();

    RanSetSeed(nullptr, 0);
    DRanNormalPM();
    ASSERT_EQ(fNormalInStore, 1);
    Matrix m(1, 3);
    MatRann(m.m(), 1, 3);
    EXPECT_EQ(m[0][0], stored);
    EXPECT_EQ(m[0][1], third);
    EXPECT_EQ(m[0][2], fourth);
    EXPECT_EQ(fNormalInStore, 0);
    // An odd count leaves the other value of the last pair in store.
    Matrix odd(3, 1);
    MatRann(odd.m(), 3, 1);
    EXPECT_EQ(fNormalInStore, 1);
}

TEST_F(Random, MatRanNormalSplitsPairsAcrossHalvesOfTheRow) {
    RanSetSeed(nullptr, 0);
    std::vector<double> seq;
    for (int i = 0; i < 6; ++i) seq.push_back(DRanNormalPM());
    RanSetSeed(nullptr, 0);
    Matrix m(1, 5);
    DRanNormalPM();  // something in store: MatRanNormal must ignore it
    RanSetSeed(nullptr, 0);
    fNormalInStore = 1;
    MatRanNormal(m.m(), 1, 5);
    EXPECT_EQ(fNormalInStore, 1);
    EXPECT_EQ(m[0][0], seq[0]);
    EXPECT_EQ(m[0][2], seq[1]);
    EXPECT_EQ(m[0][1], seq[2]);
    EXPECT_EQ(m[0][3], seq[3]);
    EXPECT_EQ(m[0][4], seq[4]);
}

TEST_F(Random, SeedingOrSwitchingEmptiesTheStore) {
    DRanNormalPM();
    RanSetRan("PM");
    EXPECT_EQ(fNormalInStore, 0);
    DRanNormalPM();
    RanSetSeed(nullptr, 0);
    EXPECT_EQ(fNormalInStore, 0);
}

TEST_F(Random, MatRanFillsRowByRow) {
    Matrix m(2, 3);
    MatRan(m.m(), 2, 3);
    RanSetSeed(nullptr, 0);
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j) EXPECT_EQ(m[i][j], DRanU());
}

// A host generator: a counter, to see that draws go through the triple.
unsigned g_hostState = 0;
double HostUniform() { return ((g_hostState++ % 1000) + 0.5) / 1000; }
void HostSetSeed(const int* s, int n) { g_hostState = s && n ? s[0] : 0; }
int HostGetSeed(int* s, int) {
    if (s) s[0] = static_cast<int>(g_hostState);
    return 1;
}

TEST_F(Random, HostGeneratorReplacesTheTriple) {
    RanNewRan(HostUniform, HostSetSeed, HostGetSeed);
    const int seed = 10;
    RanSetSeed(&seed, 1);
    EXPECT_EQ(DRanU(), 10.5 / 1000);
    EXPECT_EQ(DRanExp(2), -std::log(11.5 / 1000) / 2);
    int got;
    EXPECT_EQ(RanGetSeed(&got, 1), 1);
    EXPECT_EQ(got, 12);
}

TEST_F(Random, GammaBranchesAndDomains) {
    RanSetSeed(nullptr, 0);
    const double u = DRanU();
    RanSetSeed(nullptr, 0);
    EXPECT_EQ(DRanGamma(1, 2), -std::log(u) / 2);
    EXPECT_TRUE(std::isnan(DRanGamma(2, 0)));
    EXPECT_TRUE(std::isnan(DRanGamma(-1, 1)));
    EXPECT_TRUE(std::isnan(DRanChi(0)));
    EXPECT_TRUE(std::isnan(DRanT(0)));
    EXPECT_TRUE(std::isnan(DRanBeta(1, -1)));
    EXPECT_TRUE(std::isnan(DRanExp(0)));
    EXPECT_TRUE(std::isnan(DRanStable(2.5, 0)));
    EXPECT_EQ(IRanPoisson(-1), -1);
    EXPECT_EQ(IRanBinomial(5, 1.5), -1);
}

// Sample means and variances against the distributions' own.
struct Moments {
    double mean = 0, var = 0;
};

template <class Draw>
Moments Sample(Draw draw, int n) {
    double s = 0, s2 = 0;
    for (int i = 0; i < n; ++i) {
        const double x = draw();
        s += x;
        s2 += x * x;
    }
    Moments m;
    m.mean = s / n;
    m.var = s2 / n - m.mean * m.mean;
    return m;
}

TEST_F(Random, DrawsHaveTheirDistributionsMoments) {
    const int n = 200000;
    struct Case {
        const char* name;
        double (*draw)();
        double mean, var;
    };
    const Case cases[] = {
        {"normal", [] { return DRanNormalPM(); }, 0, 1},
        {"gamma 0.4", [] { return DRanGamma(0.4, 2); }, 0.2, 0.1},
        {"gamma 2", [] { return DRanGamma(2, 1); }, 2, 2},
        {"gamma 7.5", [] { return DRanGamma(7.5, 0.5); }, 15, 30},
        {"beta", [] { return DRanBeta(2, 3); }, 0.4, 0.04},
        {"t 5", [] { return DRanT(5); }, 0, 5.0 / 3},
        {"F", [] { return DRanF(5, 10); }, 1.25, 2 * 100.0 * 13 / (5 * 64 * 6)},
        {"logistic", [] { return DRanLogistic(); }, 0, 3.289868133696453},
        {"poisson 3", [] { return double(IRanPoisson(3)); }, 3, 3},
        {"poisson 40", [] { return double(IRanPoisson(40)); }, 40, 40},
        {"binomial", [] { return double(IRanBinomial(1000, 0.3)); }, 300, 210},
        {"negbin", [] { return double(IRanNegBin(3, 0.4)); }, 4.5, 11.25},
        {"geometric", [] { return double(IRanGeometric(0.25)); }, 3, 12},
        {"inv gaussian", [] { return DRanInvGaussian(2, 3); }, 2, 8.0 / 3},
        {"hypergeometric", [] { return DRanHypergeometric(50, 20, 10); }, 4, 10 * 0.4 * 0.6 * 40 / 49},
        {"logarithmic", [] { return double(IRanLogarithmic(0.5)); }, 0.5 / (0.5 * std::log(2.0)),
         0.5 * (1 - 0.5 / std::log(2.0)) / (0.25 * std::log(2.0))},
        {"weibull", [] { return DRanWeibull(2, 1); }, 0.886226925452758, 1 - 0.785398163397448},
        {"mises", [] { return DRanMises(0.5, 4); }, 0.5, 0.2982283777},
        {"gig", [] { return DRanGIG(0.5, 2, 3); }, 1.1498299143, 0.4943877492},
        {"gig negative", [] { return DRanGIG(-1.5, 2, 3); }, 0.5797958971, 0.1372380853},
    };
    for (const Case& c : cases) {
        const Moments m = Sample(c.draw, n);
        const double se = std::sqrt(c.var / n);
        EXPECT_NEAR(m.mean, c.mean, 5 * se) << c.name;
        EXPECT_NEAR(m.var, c.var, 0.05 * c.var + 0.01) << c.name;
    }
}

TEST_F(Random, MultivariateDraws) {
    double x[4];
    const double alpha[4] = {1, 2, 3, 4};
    ASSERT_EQ(RanDirichlet(x, alpha, 4), 0);
    EXPECT_NEAR(x[0] + x[1] + x[2] + x[3], 1, 1e-15);
    const double badAlpha[2] = {1, 0};
    EXPECT_EQ(RanDirichlet(x, badAlpha, 2), 1);
    EXPECT_TRUE(std::isnan(x[0]));

    ASSERT_EQ(RanUorder(x, 4), 0);
    for (int i = 1; i < 4; ++i) EXPECT_LE(x[i - 1], x[i]);
    EXPECT_LT(x[3], 1);

    int idx[5];
    ASSERT_EQ(RanSubSample(idx, 5, 9), 0);
    for (int i = 1; i < 5; ++i) EXPECT_LT(idx[i - 1], idx[i]);
    EXPECT_EQ(RanSubSample(idx, 10, 9), 1);

    int counts[3];
    const double p[3] = {0.2, 0.3, 0.5};
    ASSERT_EQ(RanMultinomial(counts, 100, p, 3), 0);
    EXPECT_EQ(counts[0] + counts[1] + counts[2], 100);

    double v[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(RanShuffle(v, 6), 0);
    double sum = 0;
    for (double e : v) sum += e;
    EXPECT_EQ(sum, 21);

    // E W = df L L'.
    Matrix l(2, 2), w(2, 2), acc(2, 2);
    l[0][0] = 1;
    l[1][0] = 0.5;
    l[1][1] = 2;
    const int reps = 20000;
    for (int r = 0; r < reps; ++r) {
        ASSERT_EQ(RanWishart(w.m(), l.m(), 2, 3), 0);
        for (int i = 0; i < 2; ++i)
            for (int j = 0; j < 2; ++j) acc[i][j] += w[i][j] / reps;
    }
    EXPECT_NEAR(acc[0][0], 3, 0.1);
    EXPECT_NEAR(acc[1][0], 1.5, 0.1);
    EXPECT_NEAR(acc[1][1], 3 * 4.25, 0.4);
}

}  // namespace
