// The Gaussian kernel density estimate and its rule-of-thumb bandwidth,
// against values computed directly in R.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "numerics/kernel_density.h"
#include "zu.h"

using zu::numerics::DDensKernel;
using zu::numerics::KernelBandwidth;

namespace {

const std::vector<double> kSample{1.2, -0.7, 3.1, 0.4, 0.4, 2.2, -1.5, 0.9};

// sapply(x, function(p) mean(dnorm((p - x) / h)) / h) for h = 0.6 and for
// h = bw.nrd0(x) = 0.58713178492413287.
const double kAtFixedBandwidth[] = {0.24662975645009069, 0.15117187889022729, 0.11075481061114642, 0.27608676719908953,
                                    0.27608676719908953, 0.14061598148256996, 0.11841752565783119, 0.28437376424873717};
const double kAtRuleOfThumb[] = {0.24743340609991488, 0.15039917423092322, 0.11170000784080733, 0.27845297139435565,
                                 0.27845297139435565, 0.13994881233028494, 0.11942957117840015, 0.28716851584478442};

TEST(KernelDensity, EstimateAtTheObservationsMatchesDirectSums) {
    const int n = static_cast<int>(kSample.size());
    std::vector<double> sorted(n);
    const double rule = KernelBandwidth(kSample.data(), n, sorted.data());
    EXPECT_NEAR(rule, 0.58713178492413287, 1e-15);
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
    for (int i = 0; i < n; ++i) {
        EXPECT_NEAR(DDensKernel(kSample[i], kSample.data(), n, 0.6), kAtFixedBandwidth[i], 2e-15) << i;
        EXPECT_NEAR(DDensKernel(kSample[i], kSample.data(), n, rule), kAtRuleOfThumb[i], 2e-15) << i;
    }
}

TEST(KernelDensity, BandwidthFallsBackWhenTheSpreadVanishes) {
    std::vector<double> sorted(5);
    // The quartiles coincide: the standard deviation alone.
    const double tied[] = {5, 5, 7, 5, 5};
    EXPECT_NEAR(KernelBandwidth(tied, 5, sorted.data()), 0.58343637480939448, 1e-15);
    EXPECT_EQ(sorted[4], 7);
    // No spread at all: |first observation|, then 1.
    const double same[] = {-3, -3, -3};
    EXPECT_NEAR(KernelBandwidth(same, 3, sorted.data()), 2.167402216752623, 1e-14);
    const double zeros[] = {0, 0, 0};
    EXPECT_NEAR(KernelBandwidth(zeros, 3, sorted.data()), 0.72246740558420763, 1e-15);
    const double one[] = {2};
    EXPECT_NEAR(KernelBandwidth(one, 1, sorted.data()), 1.8, 1e-15);
}

TEST(KernelDensity, OneObservationIsTheScaledKernel) {
    const double x = 0.25;
    EXPECT_DOUBLE_EQ(DDensKernel(1.0, &x, 1, 0.5), DDensNormal(1.5) / 0.5);
}

}  // namespace
