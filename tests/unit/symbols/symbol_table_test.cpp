// The symbol table: the declare rules, lookup by range, growth, moving.
#include "program/symbols.h"
#include "symbols/fault_log.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace zu::program;
using zu::test::ScopedFaultLog;

namespace {

constexpr int kGlobalVar = ZU_INT | ZU_FLAG_GLO;
constexpr int kExternFunction = ZU_FUNCTION | ZU_FLAG_GLO | ZU_FLAG_EXT;
constexpr int kFunction = ZU_FUNCTION | ZU_FLAG_GLO;
constexpr int kClass = ZU_CLASS | ZU_FLAG_GLO;

class SymbolTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        setSymbolSize(kDefaultSymbolSize);
        table.open();
    }
    void TearDown() override {
        table.close();
        setSymbolSize(kDefaultSymbolSize);
    }
    std::string nameAt(int i) const { return table[i].name ? table[i].name : "(removed)"; }

    SymbolTable& table = symbolTable();
    ScopedFaultLog faults;
};

TEST_F(SymbolTableTest, OpensWithTheSymbolSizeAndTenSpare) {
    EXPECT_EQ(table.capacity(), kDefaultSymbolSize + kSpareSymbols);
    EXPECT_EQ(table.count(), 0);
    setSymbolSize(-5);
    EXPECT_EQ(symbolSize(), 0);
    setSymbolSize(INT_MAX);
    EXPECT_EQ(symbolSize(), kMaxSymbolSize);
}

TEST_F(SymbolTableTest, ExternCompletedByDefinitionThenDuplicate) {
    const Declaration ext = table.declare("f", kExternFunction, 0);
    EXPECT_EQ(ext.outcome, Declared::Added);
    EXPECT_TRUE(table[ext.index].val.t & ZU_FLAG_EXT);

    // A second extern declaration is accepted and yields the same record.
    const Declaration again = table.declare("f", kExternFunction, 0);
    EXPECT_EQ(again.outcome, Declared::Existing);
    EXPECT_EQ(again.index, ext.index);

    const Declaration def = table.declare("f", kFunction, 0);
    EXPECT_EQ(def.outcome, Declared::Completed);
    EXPECT_EQ(def.index, ext.index);
    EXPECT_FALSE(table[def.index].val.t & ZU_FLAG_EXT);
    EXPECT_TRUE(faults.entries().empty());

    const Declaration second = table.declare("f", kFunction, 0);
    EXPECT_EQ(second.outcome, Declared::Duplicate);
    EXPECT_EQ(second.index, ext.index);
    ASSERT_EQ(faults.entries().size(), 1u);
    EXPECT_EQ(faults.entries()[0].first, TableFault::DuplicateIdentifier);
    EXPECT_EQ(faults.entries()[0].second, "f");
    EXPECT_EQ(table.count(), 1);
}

TEST_F(SymbolTableTest, DuplicateRules) {
    table.declare("x", kGlobalVar, 0);
    EXPECT_EQ(table.declare("x", kGlobalVar, 0).outcome, Declared::Duplicate);

    // A class clashes with anything global of its name, extern or not.
    table.declare("C", kClass, 0);
    EXPECT_EQ(table.declare("C", kGlobalVar | ZU_FLAG_EXT, 0).outcome, Declared::Duplicate);
    table.declare("g", kExternFunction, 0);
    EXPECT_EQ(table.declare("g", kClass, 0).outcome, Declared::Duplicate);

    // Two locals of one name in one function.
    table.beginFunction();
    table.beginLocals();
    const int first = table.marks().firstLocal;
    EXPECT_EQ(table.declare("i", ZU_INT, first).outcome, Declared::Added);
    EXPECT_EQ(table.declare("i", ZU_INT, first).outcome, Declared::Duplicate);
    EXPECT_EQ(faults.entries().size(), 4u);
    EXPECT_EQ(table.count(), 4);
}

TEST_F(SymbolTableTest, ShadowingByRange) {
    const int global = table.declare("x", kGlobalVar, 0).index;
    table.beginFunction();
    const int arg = table.declare("x", ZU_INT | ZU_FLAG_ARG, table.marks().firstArgument).index;
    table.beginLocals();
    EXPECT_EQ(table.findLocal("x"), -1);
    EXPECT_EQ(table.findArgument("x"), arg);
    EXPECT_EQ(table.findVisibleGlobal("x"), global);

    // A local in a block hides the argument only until the block ends.
    const int blockMark = table.count();
    const int local = table.declare("x", ZU_INT, table.marks().firstLocal).index;
    EXPECT_TRUE(faults.entries().empty());
    EXPECT_EQ(table.findLocal("x"), local);
    EXPECT_EQ(table.find("x", 0, table.count()), local);
    table.truncate(blockMark);
    EXPECT_EQ(table.findLocal("x"), -1);
    EXPECT_EQ(table.find("x", 0, table.count()), arg);

    table.endFunction();
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.find("x", 0, table.count()), global);
    EXPECT_EQ(table[arg].name, nullptr);
}

TEST_F(SymbolTableTest, FunctionDoesNotSeeLaterGlobals) {
    table.declare("early", kGlobalVar, 0);
    table.beginFunction();
    const int late = table.declare("late", kGlobalVar, 0).index;
    EXPECT_EQ(table.findVisibleGlobal("early"), 0);
    EXPECT_EQ(table.findVisibleGlobal("late"), -1);
    EXPECT_EQ(table.find("late", 0, table.count()), late);
}

TEST_F(SymbolTableTest, ExportedFinders) {
    // Built with append: the declare rules would refuse the clashes.
    table.append("v", kGlobalVar);  // 0
    table.append("f", kFunction);   // 1
    table.append("v", kFunction);   // 2
    table.append("f", kFunction);   // 3
    table.append("K", kClass);      // 4
    ZuNAMEDVALUE* base = ZuGetSymGloBase();
    ASSERT_EQ(base, table.records());
    EXPECT_EQ(ZuGetSymTabCount(), 5);

    EXPECT_EQ(ZuSymFindGlobal("v", nullptr, 0), base + 2);
    EXPECT_EQ(ZuSymFindGlobal("v", nullptr, 1), base + 0);
    EXPECT_EQ(ZuSymFindGlobal("f", nullptr, 1), nullptr);
    EXPECT_EQ(ZuSymFindGlobal("f", base + 3, 0), base + 1);
    EXPECT_EQ(ZuSymFindGlobal("f", base + 5, 0), base + 3);
    EXPECT_EQ(ZuSymFindGlobal("", nullptr, 0), nullptr);
    EXPECT_EQ(ZuSymFindGlobal("f", base + 6, 0), nullptr);  // past the end
    EXPECT_EQ(ZuSymFindGlobalFunction("f"), base + 1);
    EXPECT_EQ(ZuSymFindGlobalFunction("v"), base + 2);
    EXPECT_EQ(ZuSymFindClass("K"), base + 4);
    EXPECT_EQ(ZuSymFindClass("v"), nullptr);
    EXPECT_EQ(ZuSymAppendGlobal("w", kGlobalVar), base + 5);
    EXPECT_EQ(ZuSymAppendGlobal("w", kGlobalVar), base + 5);
    EXPECT_EQ(faults.entries().size(), 1u);
}

TEST_F(SymbolTableTest, GrowsPast2000GlobalsKeepingClassPointers) {
    table.ensureRoom();
    const int cls = table.declare("Shape", kClass, 0).index;
    table.bindClassRecord(cls);
    // A global object refers to its class record too.
    const int obj = table.declare("unit", kGlobalVar, 0).index;
    table[obj].val.t = ZU_CLASS | ZU_FLAG_GLO;
    table[obj].val.w3.p = &table[cls];

    for (int i = 0; i < 3000; ++i) {
        table.ensureRoom();
        table.declare("g" + std::to_string(i), kGlobalVar, 0);
        ASSERT_GE(table.capacity() - table.count(), kSymbolGrowth - 1);
    }
    EXPECT_EQ(table.count(), 3002);
    EXPECT_GT(table.capacity(), kDefaultSymbolSize + kSpareSymbols);
    EXPECT_EQ((table.capacity() - kDefaultSymbolSize - kSpareSymbols) % kSymbolGrowth, 0);
    EXPECT_EQ(classRecord(table[cls].val), &table[cls]);
    EXPECT_EQ(classRecord(table[obj].val), &table[cls]);
    EXPECT_EQ(nameAt(2), "g0");
    EXPECT_EQ(nameAt(3001), "g2999");
    EXPECT_EQ(table.find("g1234", 0, table.count()), 1236);
    EXPECT_TRUE(faults.entries().empty());
}

// An object file brings all its symbols at once: the table makes room
// for them in one growth, within its bound.
TEST_F(SymbolTableTest, MakesRoomForAWholeObjectFile) {
    table.ensureRoom(123'456);
    EXPECT_GE(table.capacity() - table.count(), 123'456);
    EXPECT_EQ((table.capacity() - kDefaultSymbolSize - kSpareSymbols) % kSymbolGrowth, 0);
    table.ensureRoom(INT_MAX);
    EXPECT_EQ(table.capacity(), kMaxSymbolSize + kSpareSymbols);
    const int before = table.capacity();
    table.ensureRoom(kSymbolGrowth);
    EXPECT_EQ(table.capacity(), before);
}

TEST_F(SymbolTableTest, FullTableIsFatalAndKeepsItsRecords) {
    setSymbolSize(0);
    table.open();
    ASSERT_EQ(table.capacity(), kSpareSymbols);
    for (int i = 0; i < kSpareSymbols; ++i) table.append("s" + std::to_string(i), kGlobalVar);
    EXPECT_THROW(table.declare("one_more", kGlobalVar, 0), TableFull);
    ASSERT_EQ(faults.entries().size(), 1u);
    EXPECT_EQ(faults.entries()[0].first, TableFault::SymbolTableFull);
    EXPECT_EQ(table.count(), kSpareSymbols);
    EXPECT_EQ(nameAt(9), "s9");

    // The exported functions report and return null instead of throwing.
    ZuNAMEDVALUE loaded{};
    char name[] = "loaded";
    loaded.name = name;
    loaded.val.t = ZU_INT;
    loaded.val.w1.i = 7;
    EXPECT_EQ(ZuSymMoveGlobal(&loaded), nullptr);
    EXPECT_EQ(loaded.name, name);  // nothing lost
    EXPECT_EQ(loaded.val.w1.i, 7);
    EXPECT_EQ(ZuSymAppendGlobal("another", kGlobalVar), nullptr);
    EXPECT_EQ(faults.entries().size(), 3u);
}

TEST_F(SymbolTableTest, MoveTakesOverNameAndValue) {
    table.declare("first", kGlobalVar, 0);
    ZuNAMEDVALUE loaded{};
    loaded.name = static_cast<char*>(std::malloc(6));
    std::memcpy(loaded.name, "Point", 6);
    loaded.val.t = kClass;
    loaded.val.w1.i = 2;
    loaded.val.w2.i = -1;

    ZuNAMEDVALUE* moved = ZuSymMoveGlobal(&loaded);
    ASSERT_EQ(moved, table.records() + 1);
    EXPECT_STREQ(moved->name, "Point");
    EXPECT_EQ(moved->val.w1.i, 2);
    EXPECT_EQ(classRecord(moved->val), moved);
    EXPECT_EQ(loaded.name, nullptr);
    EXPECT_EQ(loaded.val.t, ZU_INT | ZU_FLAG_NUL);
    EXPECT_EQ(ZuSymFindClass("Point"), moved);
}

TEST_F(SymbolTableTest, MemberLookupFollowsTheBaseChain) {
    // Base has f and g; Derived (base Base) has g and data members a, b, a.
    ZuNAMEDVALUE baseFunctions[3] = {};
    ZuNAMEDVALUE derivedFunctions[2] = {};
    ZuNAMEDVALUE derivedData[3] = {};
    char f[] = "f", g[] = "g", a[] = "a", b[] = "b";
    baseFunctions[0].name = f;
    baseFunctions[1].name = g;
    derivedFunctions[0].name = g;
    derivedData[0].name = a;
    derivedData[1].name = b;
    derivedData[2].name = a;

    const int base = table.declare("Base", kClass, 0).index;
    table[base].val.w2.i = -1;
    table[base].val.w5.nv = baseFunctions;
    const int derived = table.declare("Derived", kClass, 0).index;
    table[derived].val.w1.i = 3;
    table[derived].val.w2.i = base;
    table[derived].val.w4.nv = derivedData;
    table[derived].val.w5.nv = derivedFunctions;
    const int other = table.declare("Other", kClass, 0).index;
    table[other].val.w2.i = -1;

    EXPECT_EQ(table.findDataMember(derived, "a"), 2);
    EXPECT_EQ(table.findDataMember(derived, "b"), 1);
    EXPECT_EQ(table.findDataMember(derived, "c"), -1);

    auto g_found = table.findMemberFunction(derived, "g");
    ASSERT_TRUE(g_found);
    EXPECT_EQ(g_found->classIndex, derived);
    EXPECT_EQ(g_found->position, 0);
    auto f_found = table.findMemberFunction(derived, "f");
    ASSERT_TRUE(f_found);
    EXPECT_EQ(f_found->classIndex, base);
    EXPECT_EQ(f_found->position, 0);
    EXPECT_FALSE(table.findMemberFunction(derived, "h"));

    EXPECT_TRUE(table.derivesFrom(derived, base));
    EXPECT_TRUE(table.derivesFrom(derived, derived));
    EXPECT_FALSE(table.derivesFrom(base, derived));
    EXPECT_FALSE(table.derivesFrom(derived, other));

    // A base chain that loops (a corrupt object file) ends the search.
    table[base].val.w2.i = derived;
    EXPECT_FALSE(table.derivesFrom(derived, other));
    EXPECT_FALSE(table.findMemberFunction(derived, "h"));
    for (auto& record : {base, derived, other}) table[record].val = {};
}

// The name index beside the array must follow every way a record's name
// changes, and lookups must still see the array's order.
TEST_F(SymbolTableTest, IndexFollowsRenamesInsertsAndRemovals) {
    const int rebuildsBefore = table.indexRebuilds();
    table.append("a", kGlobalVar);  // 0
    table.append("b", kGlobalVar);  // 1
    table.append("a", kGlobalVar);  // 2
    table.append("c", kGlobalVar);  // 3
    table.append("a", kGlobalVar);  // 4

    // A record leaves the middle of its name's chain.
    table.freeName(2);
    EXPECT_EQ(table.find("a", 0, 5), 4);
    EXPECT_EQ(table.find("a", 0, 4), 0);

    // A renamed record takes its place among the newer ones of its new name.
    table.rename(3, "a");
    EXPECT_EQ(table.find("a", 0, 4), 3);
    EXPECT_EQ(table.find("c", 0, 5), -1);
    EXPECT_EQ(table.findFirstOfKind("a", ZU_INT), 0);

    // Inserting moves the later records up by one, names and all.
    EXPECT_EQ(table.insert(1, "b", kGlobalVar), 1);
    EXPECT_EQ(nameAt(2), "b");
    EXPECT_EQ(table.find("b", 0, table.count()), 2);
    EXPECT_EQ(table.find("b", 0, 2), 1);
    EXPECT_EQ(table.find("a", 0, table.count()), 5);
    EXPECT_EQ(table.find("a", 0, 5), 4);

    // Moving a record of the table itself: the old place finds nothing.
    const int moved = table.moveIn(table[2]);
    EXPECT_EQ(table.find("b", 0, table.count()), moved);
    EXPECT_EQ(table.find("b", 0, moved), 1);

    table.truncate(2);
    EXPECT_EQ(table.find("a", 0, table.count()), 0);
    EXPECT_EQ(table.find("b", 0, table.count()), 1);
    table.append("a", kGlobalVar);
    EXPECT_EQ(table.find("a", 0, table.count()), 2);
    // Every answer above came from the index as it was kept.
    EXPECT_EQ(table.indexRebuilds(), rebuildsBefore);
}

TEST_F(SymbolTableTest, NameWrittenBehindTheTablesBackIsStillFound) {
    table.append("old", kGlobalVar);
    table.append("keep", kGlobalVar);
    // Code outside the table may hold the array and rename a record.
    std::free(table[0].name);
    table[0].name = static_cast<char*>(std::malloc(4));
    std::memcpy(table[0].name, "new", 4);
    const int rebuildsBefore = table.indexRebuilds();
    EXPECT_EQ(table.find("old", 0, table.count()), -1);
    EXPECT_EQ(table.indexRebuilds(), rebuildsBefore + 1);
    EXPECT_EQ(table.find("new", 0, table.count()), 0);
    EXPECT_EQ(table.find("keep", 0, table.count()), 1);
    table.truncate(0);
    table.append("old", kGlobalVar);
    EXPECT_EQ(table.find("old", 0, table.count()), 0);
}

TEST_F(SymbolTableTest, NamesEndAtTheirFirstNul) {
    table.declare("x", kGlobalVar, 0);
    using namespace std::string_literals;
    EXPECT_EQ(table.find("x\0y"s, 0, table.count()), 0);
    EXPECT_EQ(table.declare("x\0z"s, kGlobalVar, 0).outcome, Declared::Duplicate);
    EXPECT_EQ(table.find("\0x"s, 0, table.count()), -1);
}

TEST_F(SymbolTableTest, GrowthIsGeometric) {
    int growths = 0;
    for (int i = 0; i < 200'000; ++i) {
        const int before = table.capacity();
        table.ensureRoom();
        if (table.capacity() != before) ++growths;
        table.append("g" + std::to_string(i), kGlobalVar);
    }
    // By 500 records at a time this took some 400 growths.
    EXPECT_LT(growths, 20);
    EXPECT_EQ(table.find("g123456", 0, table.count()), 123456);
    EXPECT_EQ(table.find("g199999", 0, 100), -1);
}

TEST(SymbolTableLinkTest, FullTableReportsTheSizeHintAsLinkError) {
    static std::string messages;
    messages.clear();
    SetZuMessage([](const char* text) { messages += text; });
    setSymbolSize(0);
    SymbolTable& table = symbolTable();
    table.open();
    for (int i = 0; i < kSpareSymbols; ++i) table.append("s" + std::to_string(i), kGlobalVar);
    char name[] = "loaded";
    ZuNAMEDVALUE loaded{};
    loaded.name = name;
    EXPECT_EQ(ZuSymMoveGlobal(&loaded), nullptr);
    SetZuMessage(nullptr);
    table.close();
    setSymbolSize(kDefaultSymbolSize);
    EXPECT_NE(messages.find("Link error: symbol table full (try the -s command line "
                            "option to increase the size)"),
              std::string::npos)
        << messages;
}

}  // namespace
