// Matrix blocks, plain tables and the copy and fill routines.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include <sys/mman.h>
#include <unistd.h>

#include "value/test_support.h"
#include "value/value.h"

namespace {

using zu::value::testing::FailAllocationsAfter;

TEST(MatrixBlock, RowsPointIntoOneContiguousBlockBehindAHiddenSlot) {
    double** m = MatAllocBlock(3, 4);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m[-1], m[0]);
    EXPECT_EQ(m[1], m[0] + 4);
    EXPECT_EQ(m[2], m[0] + 8);
    for (int k = 0; k < 12; ++k) m[0][k] = k;  // the whole block is writable
    EXPECT_EQ(m[2][3], 11.0);
    MatFreeBlock(m);
}

TEST(MatrixBlock, RowsAdjoinUntilAnyRowPointsElsewhere) {
    const int r = 300, c = 3;
    double** m = MatAllocBlock(r, c);
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(zu::value::RowsAdjoin(m, r, c));
    EXPECT_TRUE(zu::value::RowsAdjoin(m, 1, c));
    // One row out of place, in the first chunk, past it, and last.
    for (int i : {1, 63, 64, 65, 130, r - 1}) {
        double* const kept = m[i];
        m[i] = m[0];
        EXPECT_FALSE(zu::value::RowsAdjoin(m, r, c)) << "row " << i;
        m[i] = kept;
    }
    std::swap(m[100], m[101]);
    EXPECT_FALSE(zu::value::RowsAdjoin(m, r, c));
    std::swap(m[100], m[101]);
    EXPECT_FALSE(zu::value::RowsAdjoin(m, r, c + 1));  // the wrong row length
    EXPECT_FALSE(zu::value::RowsAdjoin(nullptr, r, c));
    MatFreeBlock(m);
}

TEST(MatrixBlock, ZeroColumnsGiveNullRowsAndZeroRowsNoBlock) {
    double** m = MatAllocBlock(3, 0);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m[-1], nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(m[i], nullptr);
    MatFreeBlock(m);
    EXPECT_EQ(MatAllocBlock(0, 5), nullptr);
    EXPECT_EQ(MatAllocBlock(-1, 5), nullptr);
    EXPECT_EQ(MatAllocBlock(2, -1), nullptr);
    MatFreeBlock(nullptr);
}

TEST(MatrixBlock, OverflowingAndFailedRequestsReturnNullWithoutLeaking) {
    EXPECT_EQ(MatAllocBlock(INT_MAX, 2), nullptr);
    EXPECT_EQ(MatAllocBlock(65536, 65536), nullptr);
    EXPECT_EQ(MatAllocPlain(65536, 65536), nullptr);
    FailAllocationsAfter(1);  // the table succeeds, the data block fails
    EXPECT_EQ(MatAllocBlock(2, 2), nullptr);
    FailAllocationsAfter(-1);
}

// Large blocks freed are kept for the next request of about their size;
// the test switch still refuses such a request, and small blocks and
// requests of another size are not served from what was kept.
TEST(HeapReserve, LargeBlocksAreReusedWithinBoundsAndRefusalsStillHappen) {
    using zu::value::HeapAlloc;
    using zu::value::HeapFree;
    constexpr std::size_t kBig = std::size_t{6} << 20;
    void* first = HeapAlloc(kBig);
    ASSERT_NE(first, nullptr);
    std::memset(first, 1, kBig);
    HeapFree(first);
    FailAllocationsAfter(0);
    EXPECT_EQ(HeapAlloc(kBig), nullptr);
    FailAllocationsAfter(-1);
    void* again = HeapAlloc(kBig);
    EXPECT_EQ(again, first);
    HeapFree(again);
    void* larger = HeapAlloc(2 * kBig);  // twice the size: not the kept one
    ASSERT_NE(larger, nullptr);
    EXPECT_NE(larger, first);
    std::memset(larger, 2, 2 * kBig);
    // Keeping more blocks than there is room for frees the oldest ones.
    void* blocks[10];
    for (void*& b : blocks) b = HeapAlloc(kBig + 4096);
    for (void* b : blocks) HeapFree(b);
    HeapFree(larger);
    void* reused = HeapAlloc(2 * kBig);
    EXPECT_EQ(reused, larger);
    HeapFree(reused);
}

// A large block that its caller fills at once comes resident, so that
// filling it takes no page faults; it is still served from the kept blocks
// and still refused by the test switch.
TEST(HeapReserve, WrittenBlocksComeResidentAndShareTheKeptOnes) {
    using zu::value::HeapAllocWritten;
    using zu::value::HeapFree;
    constexpr std::size_t kBig = std::size_t{8} << 20;
    const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    void* block = HeapAllocWritten(kBig);
    ASSERT_NE(block, nullptr);
    const std::uintptr_t first = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
    const std::size_t pages = (kBig - page) / page;
    std::vector<unsigned char> resident(pages);
    ASSERT_EQ(mincore(reinterpret_cast<void*>(first), pages * page, resident.data()), 0);
    EXPECT_EQ(std::count_if(resident.begin(), resident.end(), [](unsigned char state) { return (state & 1) == 0; }), 0);
    HeapFree(block);
    FailAllocationsAfter(0);
    EXPECT_EQ(HeapAllocWritten(kBig), nullptr);
    FailAllocationsAfter(-1);
    void* again = HeapAllocWritten(kBig);
    EXPECT_EQ(again, block);
    HeapFree(again);
}

TEST(PlainTable, RowsAreAllocatedOneByOneAndAFailureFreesThem) {
    void** t = TabAllocPlain(3, 5, static_cast<int>(sizeof(int)));
    ASSERT_NE(t, nullptr);
    for (int k = 0; k < 3; ++k) std::memset(t[k], 0xff, 5 * sizeof(int));
    TabFreePlain(t, 3, 5);

    void** empty = TabAllocPlain(4, 0, 8);
    ASSERT_NE(empty, nullptr);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(empty[k], nullptr);
    TabFreePlain(empty, 4, 0);

    EXPECT_EQ(TabAllocPlain(0, 5, 8), nullptr);
    EXPECT_EQ(TabAllocPlain(2, INT_MAX, 8), nullptr);
    FailAllocationsAfter(3);  // the table and two rows, then the third row fails
    EXPECT_EQ(TabAllocPlain(3, 5, 8), nullptr);
    FailAllocationsAfter(-1);
    TabFreePlain(nullptr, 3, 5);
}

TEST(PlainMatrix, HoldsSeparateRowsThatCopyLikeABlock) {
    double** plain = MatAllocPlain(2, 3);
    ASSERT_NE(plain, nullptr);
    const double values[] = {1, 2, 3, 4, 5, 6};
    MatCopyVecr(plain, values, 2, 3);
    double** block = MatDup(plain, 2, 3);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[1][0], 4.0);
    EXPECT_EQ(block[1] - block[0], 3);
    MatFreeBlock(block);
    MatFreePlain(plain, 2, 3);
}

TEST(StrDupPlain, CopiesAndRefusesNull) {
    char* s = StrDupPlain("abc");
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s, "abc");
    std::free(s);
    EXPECT_EQ(StrDupPlain(nullptr), nullptr);
    FailAllocationsAfter(0);
    EXPECT_EQ(StrDupPlain("abc"), nullptr);
    FailAllocationsAfter(-1);
}

TEST(MatrixCopies, RowAndColumnOrderOfVectors) {
    double** m = MatAllocBlock(2, 3);
    const double v[] = {1, 2, 3, 4, 5, 6};
    MatCopyVecc(m, v, 2, 3);  // columns (1,2) (3,4) (5,6)
    EXPECT_EQ(m[0][1], 3.0);
    EXPECT_EQ(m[1][0], 2.0);
    double out[6] = {};
    VecrCopyMat(out, m, 2, 3);
    const double rows[] = {1, 3, 5, 2, 4, 6};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(out[k], rows[k]);
    VeccCopyMat(out, m, 2, 3);
    for (int k = 0; k < 6; ++k) EXPECT_EQ(out[k], v[k]);
    MatFreeBlock(m);
}

TEST(MatrixCopies, NullSourceOrTargetDoesNothing) {
    double** m = MatAllocBlock(2, 2);
    MatZero(m, 2, 2);
    EXPECT_EQ(MatCopy(nullptr, m, 2, 2), nullptr);
    EXPECT_EQ(MatCpy(m, nullptr, 2, 2), nullptr);
    EXPECT_EQ(MatDup(nullptr, 2, 2), nullptr);
    EXPECT_EQ(CMatDup(nullptr, 2, 2), nullptr);
    EXPECT_EQ(VecDup(nullptr, 3), nullptr);
    MatCopyVecr(m, nullptr, 2, 2);
    EXPECT_EQ(m[1][1], 0.0);
    MatFreeBlock(m);
}

TEST(MatrixFills, IdentityZeroNaNAndElements) {
    double** m = MatAllocBlock(3, 3);
    MatI(m, 3);
    EXPECT_EQ(m[1][1], 1.0);
    EXPECT_EQ(m[1][2], 0.0);
    MatNaN(m, 3, 3);
    EXPECT_TRUE(FIsNaN(m[2][0]));
    MatZero(m, 3, 3);
    EXPECT_FALSE(FIsNaN(m[2][0]));
    MatSetAt(m, 7.5, 2, 1);
    EXPECT_EQ(MatGetAt(m, 2, 1), 7.5);
    double d = 0;
    EXPECT_TRUE(std::isnan(SetNaN(&d)));
    EXPECT_TRUE(FIsNaN(d));
    const double v[] = {1.5, -2};
    double* copy = VecDup(v, 2);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy[1], -2.0);
    std::free(copy);
    MatFreeBlock(m);
}

}  // namespace
