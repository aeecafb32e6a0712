// Random permutations: a permutation, the stream of the current uniform
// generator, the textbook steps on both of its paths, no bias.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <utility>
#include <vector>

#include "numerics/shuffle.h"
#include "zu.h"

using zu::numerics::RanShuffle;

namespace {

class Shuffle : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        for (const char* g : {"GM", "LE", "PM"}) {
            RanSetRan(g);
            RanSetSeed(nullptr, 0);
        }
    }
    static void Seed(int s) { RanSetSeed(&s, 1); }
    static std::vector<int> Draw(int k, int n) {
        std::vector<int> idx(k);
        EXPECT_EQ(RanShuffle(idx.data(), k, n), 0);
        return idx;
    }
};

// The first k entries of the permutation that Fisher-Yates makes from the
// next k uniforms, with the whole array at hand.
std::vector<int> Textbook(int k, int n) {
    std::vector<int> a(n);
    std::iota(a.begin(), a.end(), 0);
    for (int i = 0; i < k; ++i) std::swap(a[i], a[i + static_cast<int>((n - i) * DRanU())]);
    a.resize(k);
    return a;
}

TEST_F(Shuffle, FullShuffleIsAPermutation) {
    Seed(42);
    std::vector<int> p = Draw(500, 500);
    std::vector<int> sorted = p;
    std::sort(sorted.begin(), sorted.end());
    std::vector<int> expected(500);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(sorted, expected);
    EXPECT_NE(p, expected);
}

TEST_F(Shuffle, BothPathsTakeTheTextbookSteps) {
    // (k, n) pairs on the whole-array path and on the sparse one.
    const std::pair<int, int> cases[] = {{10, 10}, {7, 40}, {5, 1000}, {30, 100000}};
    for (auto [k, n] : cases) {
        Seed(2024);
        const std::vector<int> got = Draw(k, n);
        const double next = DRanU();
        Seed(2024);
        EXPECT_EQ(got, Textbook(k, n)) << k << " of " << n;
        EXPECT_EQ(DRanU(), next) << "one uniform per step, " << k << " of " << n;
        std::vector<int> unique = got;
        std::sort(unique.begin(), unique.end());
        EXPECT_EQ(std::adjacent_find(unique.begin(), unique.end()), unique.end());
        EXPECT_GE(unique.front(), 0);
        EXPECT_LT(unique.back(), n);
    }
}

TEST_F(Shuffle, AFewOfVeryManyNeedLittleMemory) {
    std::vector<int> got = Draw(30, 2000000000);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(std::adjacent_find(got.begin(), got.end()), got.end());
    EXPECT_GE(got.front(), 0);
    EXPECT_LT(got.back(), 2000000000);
}

TEST_F(Shuffle, FollowsTheCurrentGenerator) {
    Seed(9);
    const std::vector<int> pm = Draw(20, 20);
    Seed(9);
    EXPECT_EQ(Draw(20, 20), pm);
    RanSetRan("GM");
    const std::vector<int> gm = Draw(20, 20);
    EXPECT_NE(gm, pm);
    RanSetRan("LE");
    EXPECT_NE(Draw(20, 20), gm);
}

TEST_F(Shuffle, AllOrdersOfThreeAreEquallyLikely) {
    std::map<std::vector<int>, int> counts;
    const int draws = 6000;
    for (int t = 0; t < draws; ++t) ++counts[Draw(3, 3)];
    ASSERT_EQ(counts.size(), 6u);
    // 1000 expected each, standard deviation 29: 150 is five of them.
    for (const auto& [order, count] : counts) EXPECT_NEAR(count, 1000, 150);
}

TEST_F(Shuffle, CountsOutsideTheRangeAreRefused) {
    int idx[4];
    EXPECT_EQ(RanShuffle(idx, 5, 4), 1);
    EXPECT_EQ(RanShuffle(idx, -1, 4), 1);
    EXPECT_EQ(RanShuffle(nullptr, 1, 4), 1);
    EXPECT_EQ(RanShuffle(idx, 0, 0), 0);
}

}  // namespace
