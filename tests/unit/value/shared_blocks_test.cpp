// ZuFreeByValue with live records that show the freed blocks without
// owning them: the deepest such record takes the block over.
#include <array>
#include <cstring>
#include <span>

#include "value/heap.h"
#include "value/shared_blocks.h"
#include "value/test_support.h"
#include "value/value.h"

namespace {

using zu_test::MatrixValue;
using zu_test::StringValue;

// Stands in for the interpreter's stack: the first `liveCount` records.
std::array<ZuVALUE, 40> live{};
std::size_t liveCount = 0;

std::size_t settledCount = 0;
std::size_t unchangedCount = 0;

zu::value::LiveStack LiveView() { return {{live.data(), liveCount}, settledCount, unchangedCount}; }

ZuVALUE ShallowCopy(const ZuVALUE& owner) {
    ZuVALUE copy = owner;
    copy.t &= ~ZU_FLAG_VAL;
    return copy;
}

bool Owns(const ZuVALUE& v) { return (v.t & ZU_FLAG_VAL) != 0; }

ZuVALUE TwoStrings(const char* first, const char* second) {
    ZuVALUE array{};
    ZuLibValArrayCalloc(&array, 2);
    ZuValSetString(&array.w2.v[0], first);
    ZuValSetString(&array.w2.v[1], second);
    return array;
}

class SharedBlocks : public zu_test::ValueTest {
protected:
    void SetUp() override {
        ValueTest::SetUp();
        live.fill(ZuVALUE{});
        liveCount = settledCount = unchangedCount = 0;
        zu::value::SetLiveRecords(&LiveView);
    }
    void TearDown() override {
        zu::value::SetLiveRecords(nullptr);
        for (std::size_t k = 0; k < liveCount; ++k) ZuFreeByValue(&live[k]);
        ValueTest::TearDown();
    }
    void Push(const ZuVALUE& v) { live[liveCount++] = v; }
};

TEST_F(SharedBlocks, TheDeepestCopyTakesTheBlockOver) {
    ZuVALUE s = StringValue("old text");
    Push(zu_test::IntValue(1));
    Push(ShallowCopy(s));
    Push(ShallowCopy(s));
    ZuFreeByValue(&s);
    EXPECT_FALSE(Owns(s));
    EXPECT_EQ(s.w2.s, nullptr);
    EXPECT_TRUE(Owns(live[1]));
    EXPECT_FALSE(Owns(live[2]));
    EXPECT_STREQ(live[1].w2.s, "old text");
    EXPECT_STREQ(live[2].w2.s, "old text");
    live[2] = ZuVALUE{};  // popped before the owner below it
}

TEST_F(SharedBlocks, OnlyCopiesOfTheSameBlockAndTypeTakeOver) {
    ZuVALUE s = StringValue("owner");
    ZuVALUE other = StringValue("owner");
    ZuVALUE m = MatrixValue(1, 1, {5});
    Push(ShallowCopy(other));
    // A matrix whose word 2 happens to hold the string's pointer.
    ZuVALUE lookalike = ShallowCopy(m);
    lookalike.w2.s = s.w2.s;
    Push(lookalike);
    ZuFreeByValue(&s);
    EXPECT_FALSE(Owns(live[0]));
    EXPECT_FALSE(Owns(live[1]));
    // An address refers to a record, whatever table it lies in.
    ZuVALUE array = TwoStrings("a", "b");
    ZuVALUE address{};
    address.t = ZU_ARRAY | ZU_FLAG_ADR;
    address.w1.i = 1;
    address.w2.v = array.w2.v;
    Push(address);
    ZuFreeByValue(&array);
    EXPECT_FALSE(Owns(live[2]));
    liveCount = 0;
    ZuFreeByValue(&other);
    ZuFreeByValue(&m);
}

TEST_F(SharedBlocks, AnElementOfAFreedArrayPassesToItsCopy) {
    ZuVALUE array = TwoStrings("first", "second");
    Push(ShallowCopy(array.w2.v[1]));
    ZuFreeByValue(&array);
    EXPECT_EQ(array.w2.v, nullptr);
    ASSERT_TRUE(Owns(live[0]));
    EXPECT_STREQ(live[0].w2.s, "second");
}

TEST_F(SharedBlocks, ManyCopiesAreAllLookedAt) {
    ZuVALUE m = MatrixValue(1, 2, {1, 2});
    std::array<ZuVALUE, 36> strings{};
    for (ZuVALUE& s : strings) {
        s = StringValue("filler");
        Push(ShallowCopy(s));
    }
    Push(ShallowCopy(m));
    ZuFreeByValue(&m);
    ASSERT_TRUE(Owns(live[36]));
    EXPECT_EQ(live[36].w3.m[0][1], 2.0);
    for (ZuVALUE& s : strings) {
        ZuFreeByValue(&s);
        EXPECT_FALSE(Owns(s));
    }
    // Each filler went to its copy.
    for (std::size_t k = 0; k < strings.size(); ++k) EXPECT_TRUE(Owns(live[k]));
}

TEST_F(SharedBlocks, AnIndexArrayGetsItsOwnElementsFirst) {
    ZuVALUE array = TwoStrings("first", "second");
    ZuVALUE cut{};
    cut.t = ZU_ARRAY | ZU_FLAG_IDX | ZU_FLAG_VAL;
    cut.w1.i = 2;
    cut.w2.v = static_cast<ZuVALUE*>(zu::value::HeapAlloc(2 * sizeof(ZuVALUE)));
    ASSERT_NE(cut.w2.v, nullptr);
    cut.w2.v[0] = ShallowCopy(array.w2.v[1]);
    cut.w2.v[1] = ShallowCopy(array.w2.v[0]);
    Push(cut);
    Push(ShallowCopy(cut));
    ZuFreeByValue(&array);
    for (std::size_t k : {0U, 1U}) {
        EXPECT_EQ(live[k].t & ZU_FLAG_IDX, 0) << k;
        EXPECT_TRUE(Owns(live[k])) << k;
        ASSERT_EQ(live[k].w1.i, 2);
        EXPECT_STREQ(live[k].w2.v[0].w2.s, "second");
        EXPECT_STREQ(live[k].w2.v[1].w2.s, "first");
    }
}

TEST_F(SharedBlocks, SettledRecordsAreLookedAtAgainOnceTheyChange) {
    ZuVALUE first = StringValue("first");
    ZuVALUE second = StringValue("second");
    Push(zu_test::IntValue(0));
    Push(ShallowCopy(first));
    Push(zu_test::IntValue(0));
    settledCount = 3;
    ZuFreeByValue(&first);
    EXPECT_TRUE(Owns(live[1]));
    // Unchanged since that look: the list found then still serves.
    live[2] = ShallowCopy(second);
    unchangedCount = 2;
    settledCount = 2;
    ZuFreeByValue(&second);
    EXPECT_TRUE(Owns(live[2]));
    // A return went below the list: the records there are new.
    ZuVALUE third = StringValue("third");
    ZuFreeByValue(&live[1]);
    live[0] = ShallowCopy(third);
    unchangedCount = 0;
    settledCount = 3;
    ZuFreeByValue(&third);
    EXPECT_TRUE(Owns(live[0]));
}

TEST_F(SharedBlocks, FreeUnsharedLeavesCopiesAlone) {
    ZuVALUE s = StringValue("text");
    Push(ShallowCopy(s));
    zu::value::FreeUnshared(&s);
    EXPECT_FALSE(Owns(live[0]));
    live[0] = ZuVALUE{};
}

}  // namespace
