// The matrix cache: its counters, limits, eviction and report.
#include "value/matrix_cache.h"

#include "value/test_support.h"

namespace {

using zu::value::GetCacheCounters;

class MatrixCache : public ::testing::Test {
protected:
    void Start(int size, int limit) {
        SetMatCacheSize(size, limit);
        MatCacheInit();
    }
    void SetUp() override { Start(16, 1000); }
    void TearDown() override {
        zu::value::testing::FailAllocationsAfter(-1);
        MatCacheExit();
        SetMatCacheSize(16, 1000);
    }
};

TEST_F(MatrixCache, FreeThenAllocateOfTheSameShapeIsAHit) {
    double** m = CMatAlloc(2, 2);
    EXPECT_EQ(GetCacheCounters().misses, 1);
    CMatFree(m, 2, 2);
    EXPECT_EQ(CMatAlloc(2, 2), m);
    EXPECT_EQ(GetCacheCounters().hits, 1);
    CMatFree(m, 2, 2);
    double** other = CMatAlloc(4, 1);  // same element count, other shape
    EXPECT_NE(other, m);
    EXPECT_EQ(GetCacheCounters().misses, 2);
    CMatFree(other, 4, 1);
}

TEST_F(MatrixCache, BlocksOfTheLimitOrMoreElementsAreSkipped) {
    double** small = CMatAlloc(31, 32);  // 992 elements
    double** large = CMatAlloc(25, 40);  // 1000 elements
    auto c = GetCacheCounters();
    EXPECT_EQ(c.misses, 1);
    EXPECT_EQ(c.skipped, 1);
    CMatFree(large, 25, 40);
    CMatFree(small, 31, 32);
    EXPECT_EQ(GetCacheCounters().stored, 1);
    EXPECT_EQ(CMatAlloc(31, 32), small);
    CMatFree(small, 31, 32);
    EXPECT_EQ(CMatAlloc(0, 3), nullptr);
    EXPECT_EQ(GetCacheCounters().skipped, 2);
}

TEST_F(MatrixCache, AFullCacheEvictsTheBlockStoredLongestAgo) {
    Start(2, 1000);
    double** a = CMatAlloc(1, 1);
    double** b = CMatAlloc(1, 2);
    double** c = CMatAlloc(1, 3);
    CMatFree(a, 1, 1);
    CMatFree(b, 1, 2);
    CMatFree(c, 1, 3);  // evicts a
    EXPECT_EQ(GetCacheCounters().flushes, 1);
    EXPECT_EQ(CMatAlloc(1, 2), b);
    EXPECT_EQ(CMatAlloc(1, 3), c);
    double** again = CMatAlloc(1, 1);
    EXPECT_EQ(GetCacheCounters().misses, 4);
    CMatFree(again, 1, 1);
    CMatFree(b, 1, 2);
    CMatFree(c, 1, 3);
}

TEST_F(MatrixCache, TheFreeAfterAHitTakesTheRememberedEntry) {
    Start(3, 1000);
    double** a = CMatAlloc(1, 1);
    double** b = CMatAlloc(2, 1);
    double** c = CMatAlloc(3, 1);
    CMatFree(a, 1, 1);  // entry 0
    CMatFree(b, 2, 1);  // entry 1
    CMatFree(c, 3, 1);  // entry 2
    EXPECT_EQ(CMatAlloc(2, 1), b);
    EXPECT_EQ(GetCacheCounters().remembered, 1);
    double** d = CMatAlloc(4, 1);
    CMatFree(d, 4, 1);  // into the remembered entry 1, no eviction
    EXPECT_EQ(GetCacheCounters().remembered, -1);
    EXPECT_EQ(GetCacheCounters().flushes, 0);
    CMatFree(b, 2, 1);  // now full: evicts a, the oldest
    EXPECT_EQ(GetCacheCounters().flushes, 1);
    EXPECT_EQ(CMatAlloc(2, 1), b);
    CMatFree(b, 2, 1);
}

TEST_F(MatrixCache, ASizeOfZeroSwitchesTheCacheOffAtTheNextRun) {
    SetMatCacheSize(5, 0);
    double** before = CMatAlloc(2, 2);  // still the running cache
    EXPECT_EQ(GetCacheCounters().misses, 1);
    CMatFree(before, 2, 2);
    MatCacheInit();
    double** m = CMatAlloc(2, 2);
    CMatFree(m, 2, 2);
    double** n = CMatAlloc(2, 2);
    CMatFree(n, 2, 2);
    auto c = GetCacheCounters();
    EXPECT_EQ(c.capacity, 0);
    EXPECT_EQ(c.limit, 0);
    EXPECT_EQ(c.skipped, 2);
    EXPECT_EQ(c.hits + c.misses, 0);
}

TEST_F(MatrixCache, NegativeOrHugeSizesAreBounded) {
    Start(-3, 1000);
    EXPECT_EQ(GetCacheCounters().capacity, 0);
    Start(1 << 30, 1000);
    EXPECT_EQ(GetCacheCounters().capacity, zu::value::kMaxCacheEntries);
}

TEST_F(MatrixCache, AFailedInitSwitchesTheCacheOff) {
    SetMatCacheSize(8, 100);
    zu::value::testing::FailAllocationsAfter(0);
    MatCacheInit();
    zu::value::testing::FailAllocationsAfter(-1);
    double** m = CMatAlloc(2, 2);
    CMatFree(m, 2, 2);
    EXPECT_EQ(GetCacheCounters().capacity, 0);
    EXPECT_EQ(GetCacheCounters().skipped, 1);
}

TEST_F(MatrixCache, FlushFreesTheStoredBlocksAndInitClearsTheCounters) {
    double** a = CMatAlloc(2, 2);
    double** b = CMatAlloc(3, 3);
    CMatFree(a, 2, 2);
    CMatFree(b, 3, 3);
    MatCacheFlush();
    EXPECT_EQ(GetCacheCounters().stored, 0);
    EXPECT_EQ(GetCacheCounters().remembered, 0);
    double** c = CMatAlloc(2, 2);
    EXPECT_EQ(GetCacheCounters().misses, 3);
    CMatFree(c, 2, 2);
    MatCacheInit();  // a second run: counters restart, stored blocks released
    auto k = GetCacheCounters();
    EXPECT_EQ(k.misses + k.hits + k.flushes + k.skipped, 0);
    EXPECT_EQ(k.stored, 0);
    EXPECT_EQ(k.capacity, 16);
}

TEST_F(MatrixCache, DuplicatesComeFromTheCache) {
    double** a = CMatAlloc(2, 2);
    a[1][1] = 4.0;
    double** b = CMatAlloc(2, 2);
    CMatFree(b, 2, 2);
    double** copy = CMatDup(a, 2, 2);
    EXPECT_EQ(copy, b);
    EXPECT_EQ(copy[1][1], 4.0);
    CMatFree(copy, 2, 2);
    CMatFree(a, 2, 2);
}

TEST_F(MatrixCache, StatusReportText) {
    double** a = CMatAlloc(2, 2);
    CMatFree(a, 2, 2);
    a = CMatAlloc(2, 2);
    CMatFree(a, 2, 2);
    CMatFree(CMatAlloc(40, 40), 40, 40);
    ::testing::internal::CaptureStdout();
    MatCacheStatus();
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "\nCache status: size 16 limit 1000 hits 1 misses 1 flushes 0 skipped 1\n");
}

}  // namespace
