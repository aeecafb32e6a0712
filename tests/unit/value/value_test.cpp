// Value records: accessors, setters, type descriptions and ownership.
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "value/matrix_cache.h"
#include "value/test_support.h"
#include "value/value.h"

namespace {

using zu_test::DoubleValue;
using zu_test::IntValue;
using zu_test::MatrixValue;
using zu_test::StringValue;
using zu_test::ValueTest;

std::string TypeSize(ZuVALUE* v) {
    char buffer[ZU_TYPESIZE_MAX];
    return SZuGetTypeSize(buffer, v);
}

// An owned array of n elements built with the library allocator.
ZuVALUE ArrayValue(int n) {
    ZuVALUE v{};
    ZuLibValArrayCalloc(&v, n);
    return v;
}

using ValueAccess = ValueTest;

TEST_F(ValueAccess, StringsAreReadWithoutConversion) {
    ZuVALUE s = StringValue("abcdefghij");
    char buffer[4];
    EXPECT_EQ(ZuValGetStringCopy(&s, buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(ZuValGetStringLen(&s), 10);
    EXPECT_EQ(ZuValSizer(&s), 1);
    EXPECT_EQ(ZuValRows(&s), 10);
    EXPECT_EQ(ZuValSizec(&s), 10);
    EXPECT_EQ(ZuValSizerc(&s), 10);
    ZuFreeByValue(&s);
    // A failed conversion changes nothing.
    ZuVALUE f{};
    f.t = ZU_FUNCTION;
    int i = 0;
    EXPECT_EQ(ZuValGetInt(&f, &i), 0);
    EXPECT_EQ(ZuValGetMat(&f), nullptr);
    EXPECT_EQ(ZuValType(&f), ZU_FUNCTION);

    ZuVALUE n = IntValue(3);
    EXPECT_EQ(ZuValGetString(&n), nullptr);
    EXPECT_EQ(ZuValGetStringCopy(&n, buffer, sizeof buffer), 0);
    EXPECT_EQ(ZuValGetStringCopy(nullptr, buffer, sizeof buffer), 0);
}

TEST_F(ValueAccess, ScalarsConvertInPlace) {
    ZuVALUE d = DoubleValue(-2.9);
    int i = 0;
    EXPECT_EQ(ZuValGetInt(&d, &i), 1);
    EXPECT_EQ(i, -2);
    EXPECT_EQ(d.t, ZU_INT);

    ZuVALUE m = MatrixValue(1, 1, {4.5});
    double x = 0;
    EXPECT_EQ(ZuValGetDouble(&m, &x), 1);  // the owned block is released
    EXPECT_EQ(x, 4.5);
    EXPECT_EQ(m.t, ZU_DOUBLE);

    ZuVALUE big = MatrixValue(1, 2, {1, 2});
    EXPECT_EQ(ZuValGetDouble(&big, &x), 0);
    EXPECT_EQ(ZuValGetMatrc(&big), 2);
    ZuFreeByValue(&big);

    ZuVALUE nan = DoubleValue(std::nan(""));
    EXPECT_EQ(ZuValGetInt(&nan, &i), 0);
    ZuVALUE huge = DoubleValue(3e9);
    EXPECT_EQ(ZuValGetInt(&huge, &i), 0);

    ZuVALUE null{};
    ZuValSetNull(&null);
    EXPECT_EQ(ZuValGetInt(&null, &i), 0);
    EXPECT_EQ(ZuValGetInt(nullptr, &i), 0);
    EXPECT_EQ(ZuValGetMat(nullptr), nullptr);
}

TEST_F(ValueAccess, MatrixAccessorsConvertScalarsToOneByOne) {
    ZuVALUE v = IntValue(7);
    double** m = ZuValGetMat(&v);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m[0][0], 7.0);
    EXPECT_EQ(v.t, ZU_MATRIX | ZU_FLAG_VAL);
    EXPECT_EQ(ZuValGetMatr(&v), 1);
    EXPECT_EQ(ZuValGetMatc(&v), 1);
    ZuFreeByValue(&v);

    ZuVALUE range{};
    range.t = ZU_RANGE;
    range.w1.i = 2;
    range.w2.i = 5;
    EXPECT_EQ(ZuValGetMatc(&range), 4);
    EXPECT_EQ(range.w3.m[0][3], 5.0);
    ZuFreeByValue(&range);
}

TEST_F(ValueAccess, SizesByType) {
    ZuVALUE m = MatrixValue(2, 3, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(ZuValRows(&m), 2);
    EXPECT_EQ(ZuValColumns(&m), 3);
    EXPECT_EQ(ZuValSizerc(&m), 6);
    ZuFreeByValue(&m);

    int shape[2] = {4, 5};
    ZuVALUE file{};
    file.t = ZU_FILE;
    file.w3.p = shape;
    EXPECT_EQ(ZuValRows(&file), 4);
    EXPECT_EQ(ZuValSizec(&file), 5);
    EXPECT_EQ(ZuValSizerc(&file), 20);
    EXPECT_EQ(TypeSize(&file), "file[4][5]");
    shape[0] = shape[1] = 0;
    EXPECT_EQ(TypeSize(&file), "file");

    ZuVALUE d = DoubleValue(1);
    EXPECT_EQ(ZuValRows(&d), 0);
    EXPECT_EQ(ZuValSizer(&d), 1);
    EXPECT_EQ(ZuValSizerc(&d), 1);

    ZuVALUE null{};
    ZuValSetNull(&null);
    EXPECT_EQ(ZuValSizer(&null), 0);
    EXPECT_EQ(ZuValSizerc(&null), 0);
    EXPECT_EQ(ZuValSizer(nullptr), 0);
}

TEST_F(ValueAccess, ArraysAndRecordsInARow) {
    ZuVALUE a = ArrayValue(3);
    ZuValSetInt(ZuValGetArrayVal(&a, 2), 9);
    EXPECT_EQ(ZuValGetArrayLen(&a), 3);
    EXPECT_EQ(ZuValGetArrayVal(&a, 3), nullptr);
    EXPECT_EQ(ZuValGetArrayVal(&a, -1), nullptr);
    EXPECT_EQ(ZuValGetVal(ZuValGetArray(&a), 2)->w1.i, 9);
    EXPECT_TRUE(ZuValHasFlag(ZuValGetArrayVal(&a, 0), ZU_FLAG_NUL));
    EXPECT_EQ(ZuValGetVal(nullptr, 1), nullptr);
    ZuFreeByValue(&a);
}

TEST_F(ValueAccess, TypeNamesAndDescriptions) {
    EXPECT_STREQ(SZuGetTypeName(ZU_INT), "int");
    EXPECT_STREQ(SZuGetTypeName(ZU_INTFUNC | ZU_FLAG_CON), "int.func");
    EXPECT_STREQ(SZuGetTypeName(ZU_ARRAY | ZU_FLAG_ADR), "address");
    EXPECT_STREQ(SZuGetTypeName(ZU_IMPORTNAME), "??");
    EXPECT_STREQ(SZuGetTypeName(15), "??");
    ZuVALUE m = MatrixValue(2, 3, {});
    EXPECT_EQ(TypeSize(&m), "matrix[2][3]");
    ZuFreeByValue(&m);
    ZuVALUE s = StringValue("abcd");
    EXPECT_EQ(TypeSize(&s), "string[4]");
    ZuFreeByValue(&s);
    ZuVALUE a = ArrayValue(2);
    EXPECT_EQ(TypeSize(&a), "array[2]");
    ZuFreeByValue(&a);
    ZuVALUE null{};
    ZuValSetNull(&null);
    EXPECT_EQ(TypeSize(&null), "(null)");
    EXPECT_EQ(TypeSize(nullptr), "");
}

using ValueSetters = ValueTest;

TEST_F(ValueSetters, SetNullKeepsTheMatrixAndSetIntFreesIt) {
    ZuVALUE m = MatrixValue(2, 2, {1, 2, 3, 4});
    double** data = m.w3.m;
    ZuValSetNull(&m);
    EXPECT_EQ(m.t, ZU_INT | ZU_FLAG_NUL);
    EXPECT_EQ(m.w3.m, data);  // not freed: whoever holds it still owns it
    ZuVALUE owner{};
    owner.t = ZU_MATRIX | ZU_FLAG_VAL;
    owner.w1.i = owner.w2.i = 2;
    owner.w3.m = data;
    ZuValSetInt(&owner, 5);
    EXPECT_EQ(owner.t, ZU_INT);
    EXPECT_EQ(owner.w1.i, 5);
    EXPECT_EQ(zu::value::GetCacheCounters().stored, 1);  // the block went back to the cache
}

TEST_F(ValueSetters, StringsAreCopies) {
    char text[] = "hello";
    ZuVALUE s = StringValue(text);
    text[0] = 'j';
    EXPECT_STREQ(ZuValGetString(&s), "hello");
    EXPECT_EQ(s.t, ZU_STRING | ZU_FLAG_VAL);
    ZuValSetString(&s, nullptr);
    EXPECT_EQ(s.w1.i, 0);
    EXPECT_EQ(s.w2.s, nullptr);
    zu::value::testing::FailAllocationsAfter(0);
    ZuValSetString(&s, "lost");
    zu::value::testing::FailAllocationsAfter(-1);
    EXPECT_EQ(s.t, ZU_STRING | ZU_FLAG_VAL);
    EXPECT_EQ(s.w2.s, nullptr);
    ZuValSetZero(&s);
    EXPECT_EQ(s.t, ZU_INT);
    ZuValSetInt(nullptr, 1);  // null records are ignored
    ZuValSetString(nullptr, "x");
}

TEST_F(ValueSetters, AppendGrowsTheOwnedTextAndKeepsItWhenMemoryRunsOut) {
    ZuVALUE s = StringValue("ab");
    ASSERT_TRUE(zu::value::TryAppendString(&s, "cd", 2));
    EXPECT_STREQ(ZuValGetString(&s), "abcd");
    EXPECT_EQ(s.w1.i, 4);
    ASSERT_TRUE(zu::value::TryAppendString(&s, s.w2.s + 1, 3));  // a piece of itself
    EXPECT_STREQ(ZuValGetString(&s), "abcdbcd");
    // Repeated appends move the block only a few times (geometric growth).
    int moves = 0;
    for (int k = 0; k < 10000; ++k) {
        const char* before = s.w2.s;
        ASSERT_TRUE(zu::value::TryAppendString(&s, "xyz", 3));
        if (s.w2.s != before) ++moves;
    }
    EXPECT_EQ(s.w1.i, 30007);
    EXPECT_EQ(std::strlen(s.w2.s), 30007u);
    EXPECT_LT(moves, 40);
    const std::string kept(s.w2.s, 64);
    zu::value::testing::FailAllocationsAfter(0);
    bool grown = true;
    for (int k = 0; k < 100000 && grown; ++k) grown = zu::value::TryAppendString(&s, "x", 1);
    zu::value::testing::FailAllocationsAfter(-1);
    EXPECT_FALSE(grown);
    EXPECT_EQ(std::string(s.w2.s, 64), kept);
    EXPECT_EQ(std::strlen(s.w2.s), static_cast<std::size_t>(s.w1.i));
    EXPECT_FALSE(zu::value::TryAppendString(&s, "x", -1));
    EXPECT_FALSE(zu::value::TryAppendString(&s, "x", INT_MAX));  // the length would pass INT_MAX
    ZuFreeByValue(&s);
    ZuVALUE empty = StringValue("");
    ASSERT_TRUE(zu::value::TryAppendString(&empty, "q", 1));
    EXPECT_STREQ(ZuValGetString(&empty), "q");
    ZuFreeByValue(&empty);
}

using LibraryResults = ValueTest;

TEST_F(LibraryResults, MatricesComeFromTheCache) {
    ZuVALUE v{};
    ZuLibValMatMalloc(&v, 2, 3);
    EXPECT_EQ(v.t, ZU_MATRIX | ZU_FLAG_VAL);
    EXPECT_EQ(zu::value::GetCacheCounters().misses, 1);
    double** src = MatAllocBlock(1, 2);
    src[0][0] = 1;
    src[0][1] = 2;
    ZuLibValMatDup(&v, src, 1, 2);  // frees the 2 x 3 first
    EXPECT_EQ(v.w3.m[0][1], 2.0);
    EXPECT_EQ(zu::value::GetCacheCounters().stored, 1);
    MatFreeBlock(src);
    ZuLibValMatMalloc(&v, 0, 4);
    EXPECT_EQ(v.w3.m, nullptr);
    EXPECT_EQ(v.w2.i, 4);
    ZuFreeByValue(&v);
}

TEST_F(LibraryResults, EmptyArraysAndStrings) {
    ZuVALUE a{};
    ZuLibValArrayCalloc(&a, 0);
    EXPECT_EQ(a.t, ZU_ARRAY | ZU_FLAG_VAL);
    EXPECT_EQ(ZuValGetArrayLen(&a), 0);
    EXPECT_EQ(ZuValGetArray(&a), nullptr);
    ZuVALUE s{};
    ZuLibValStrMalloc(&s, 0);
    EXPECT_EQ(s.w2.s, nullptr);
    ZuLibValStrMalloc(&s, 3);
    EXPECT_EQ(s.w1.i, 3);
    EXPECT_EQ(s.w2.s[3], '\0');
    ZuFreeByValue(&s);
}

TEST_F(LibraryResults, NegativeSizesAndExhaustedMemoryAreRunTimeErrors) {
    ZuVALUE v = MatrixValue(2, 2, {});
    EXPECT_RUN_ERROR(ZuLibValMatMalloc(&v, -1, 2), 39);
    EXPECT_EQ(v.t, ZU_INT | ZU_FLAG_NUL);  // released, and left holding nothing
    EXPECT_RUN_ERROR(ZuLibValArrayCalloc(&v, -2), 39);
    EXPECT_RUN_ERROR(ZuLibValStrMalloc(&v, -3), 39);
    EXPECT_RUN_ERROR(ZuLibValMatMalloc(&v, 100000, 100000), 4);
    zu::value::testing::FailAllocationsAfter(0);
    EXPECT_RUN_ERROR(ZuLibValArrayCalloc(&v, 4), 4);
    EXPECT_RUN_ERROR(ZuLibValStrMalloc(&v, 4), 4);
    EXPECT_RUN_ERROR(ZuLibValMatMalloc(&v, 3, 3), 4);  // 2 x 2 would be a cache hit
    EXPECT_EQ(v.t, ZU_INT | ZU_FLAG_NUL);
}

using Ownership = ValueTest;

// Makes a reference copy by value and frees both: under the sanitizers a
// shared block or a missed copy shows as a double free or a leak.
void CopyAndFreeBoth(ZuVALUE* owner) {
    ZuVALUE copy = *owner;
    copy.t &= ~ZU_FLAG_VAL;
    ZuMakeByValue(&copy);
    EXPECT_TRUE(ZuValHasFlag(&copy, ZU_FLAG_VAL));
    ZuFreeByValue(owner);
    ZuFreeByValue(&copy);
    EXPECT_FALSE(ZuValHasFlag(&copy, ZU_FLAG_VAL));
}

TEST_F(Ownership, EveryOwningTypeCopiesAndFreesByValue) {
    ZuVALUE m = MatrixValue(2, 2, {1, 2, 3, 4});
    ZuVALUE ref = m;
    ref.t &= ~ZU_FLAG_VAL;
    ZuMakeByValue(&ref);
    EXPECT_NE(ref.w3.m, m.w3.m);
    EXPECT_EQ(ref.w3.m[1][0], 3.0);
    ZuFreeByValue(&ref);
    CopyAndFreeBoth(&m);

    ZuVALUE s = StringValue("text");
    CopyAndFreeBoth(&s);

    ZuVALUE a = ArrayValue(3);  // elements: a matrix, a string, a nested array
    ZuVALUE* e = ZuValGetArray(&a);
    e[0] = MatrixValue(1, 2, {5, 6});
    e[1] = StringValue("inner");
    e[2] = ArrayValue(1);
    ZuValGetArray(&e[2])[0] = StringValue("deep");
    CopyAndFreeBoth(&a);

    auto* bound = static_cast<ZuWORD*>(zu::value::HeapAlloc(zu::value::kBoundRecordSize));
    std::memset(bound, 0, zu::value::kBoundRecordSize);
    ZuVALUE f{};
    f.t = ZU_FUNCTION | ZU_FLAG_MEM | ZU_FLAG_VAL;
    f.w4.p = bound;
    CopyAndFreeBoth(&f);
    EXPECT_EQ(f.w4.p, nullptr);
}

TEST_F(Ownership, AddressesAndIndexArraysDoNotOwnTheirElements) {
    ZuVALUE target = MatrixValue(1, 1, {3});
    ZuVALUE address{};
    address.t = ZU_ARRAY | ZU_FLAG_ADR | ZU_FLAG_VAL;
    address.w1.i = 1;
    address.w2.v = &target;
    ZuFreeByValue(&address);
    EXPECT_EQ(address.w2.v, &target);
    ZuMakeByValue(&address);
    EXPECT_EQ(address.w2.v, &target);
    ZuFreeValue(&address);
    EXPECT_EQ(target.w3.m[0][0], 3.0);  // untouched
    ZuFreeByValue(&target);

    // An index array cut from `source`: its table is its own, its
    // elements are references that carry the source's flags.
    ZuVALUE source = ArrayValue(2);
    ZuValGetArray(&source)[0] = StringValue("a");
    ZuValGetArray(&source)[1] = StringValue("b");
    auto* table = static_cast<ZuVALUE*>(zu::value::HeapAlloc(2 * sizeof(ZuVALUE)));
    table[0] = ZuValGetArray(&source)[1];
    table[1] = ZuValGetArray(&source)[0];
    ZuVALUE cut{};
    cut.t = ZU_ARRAY | ZU_FLAG_IDX | ZU_FLAG_VAL;
    cut.w1.i = 2;
    cut.w2.v = table;
    ZuVALUE kept = cut;
    ZuFreeByValue(&cut);  // frees the table only
    EXPECT_STREQ(ZuValGetString(&ZuValGetArray(&source)[1]), "b");

    table = static_cast<ZuVALUE*>(zu::value::HeapAlloc(2 * sizeof(ZuVALUE)));
    table[0] = ZuValGetArray(&source)[1];
    table[1] = ZuValGetArray(&source)[0];
    kept.w2.v = table;
    ZuMakeByValue(&kept);  // becomes an independent array
    EXPECT_FALSE(ZuValHasFlag(&kept, ZU_FLAG_IDX));
    EXPECT_NE(ZuValGetString(&ZuValGetArray(&kept)[0]), ZuValGetString(&ZuValGetArray(&source)[1]));
    ZuFreeByValue(&source);
    EXPECT_STREQ(ZuValGetString(&ZuValGetArray(&kept)[0]), "b");
    ZuFreeByValue(&kept);
}

TEST_F(Ownership, AFailedCopyRaisesOutOfMemoryAndLeavesTheReference) {
    ZuVALUE a = ArrayValue(3);
    for (int k = 0; k < 3; ++k) ZuValGetArray(&a)[k] = StringValue("element");
    ZuVALUE ref = a;
    ref.t &= ~ZU_FLAG_VAL;
    zu::value::testing::FailAllocationsAfter(2);  // the table and one string
    EXPECT_RUN_ERROR(ZuMakeByValue(&ref), 4);
    zu::value::testing::FailAllocationsAfter(-1);
    EXPECT_FALSE(ZuValHasFlag(&ref, ZU_FLAG_VAL));
    EXPECT_EQ(ref.w2.v, a.w2.v);
    ZuVALUE m = MatrixValue(2, 2, {});
    ZuVALUE mref = m;
    mref.t &= ~ZU_FLAG_VAL;
    zu::value::testing::FailAllocationsAfter(0);
    EXPECT_RUN_ERROR(ZuMakeByValue(&mref), 4);
    zu::value::testing::FailAllocationsAfter(-1);
    ZuFreeByValue(&m);
    ZuFreeByValue(&a);
}

TEST_F(Ownership, FreeValueReleasesObjectsFunctionsAndImportNames) {
    auto* members = static_cast<ZuNAMEDVALUE*>(zu::value::HeapAlloc(2 * sizeof(ZuNAMEDVALUE)));
    members[0] = {StrDupPlain("x"), StringValue("member")};
    members[1] = {StrDupPlain("y"), MatrixValue(2, 2, {})};
    members[1].val.t &= ~ZU_FLAG_VAL;  // held unconditionally, as in tables
    auto* statics = static_cast<ZuNAMEDVALUE*>(zu::value::HeapAlloc(2 * sizeof(ZuNAMEDVALUE)));
    statics[0] = {StrDupPlain("s"), StringValue("static")};
    statics[1] = {nullptr, ZuVALUE{}};
    ZuVALUE object{};
    object.t = ZU_CLASS;
    object.w1.i = 2;
    object.w4.nv = members;
    object.w5.nv = statics;
    EXPECT_EQ(ZuFreeValue(&object), 0);
    EXPECT_EQ(object.t, 0);

    ZuVALUE f{};
    f.t = ZU_FUNCTION;
    f.w3.s = StrDupPlain("cc$f");
    ZuFreeValue(&f);
    ZuVALUE import{};
    import.t = ZU_IMPORTNAME;
    import.w1.p = StrDupPlain("maximize");
    ZuFreeValue(&import);
    EXPECT_EQ(import.w1.p, nullptr);
}

TEST_F(Ownership, FreeingANulValueOnlyClearsIt) {
    char unowned[] = "not from the heap";
    ZuVALUE v{};
    v.t = ZU_STRING | ZU_FLAG_NUL | ZU_FLAG_VAL;
    v.w1.i = 3;
    v.w2.s = unowned;
    ZuFreeValue(&v);
    EXPECT_EQ(v.t, 0);
    EXPECT_EQ(v.w2.s, nullptr);
    EXPECT_EQ(ZuFreeValue(nullptr), 0);
    ZuFreeByValue(nullptr);
    ZuMakeByValue(nullptr);
}

}  // namespace
