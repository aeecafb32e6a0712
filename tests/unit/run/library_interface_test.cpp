// What library routines and hosts reach: call-backs with their recovery
// points, objects created and used from library code, exit calls, and the
// linking of library functions.
#include "engine_fixture.h"

using zu::run::vm;

namespace zu::test {
namespace {

double AsNumber(const ZuVALUE& v) {
    switch (v.t & ZU_TYPE_MASK) {
    case ZU_INT: return v.w1.i;
    case ZU_DOUBLE: return v.w1.d;
    default: return -999;
    }
}

// record(x): keeps x for the test.
void Record(ZuVALUE*, ZuVALUE* args, int) { engineCapture().recorded.push_back(AsNumber(args[0])); }

// apply(f, x): f(x) through a reporting call-back.
void Apply(ZuVALUE* rtn, ZuVALUE* args, int) {
    ZuVALUE result{};
    FZuCallBack(&args[0], &result, &args[1], 1);
    *rtn = result;
}

// quiet(f, x): f(x) without a report; records whether it succeeded.
void Quiet(ZuVALUE* rtn, ZuVALUE* args, int) {
    ZuVALUE result{};
    int ok = FZuRunCallBack(&args[0], &result, &args[1], 1, 0);
    engineCapture().recorded.push_back(ok);
    ZuRunFreeByValue(&result);
    ZuValSetInt(rtn, ok);
}

// atexit(f): registers an exit call.
void AtExit(ZuVALUE*, ZuVALUE* args, int) { ZuRunMainExitCall(&args[0]); }

// objects(): an Account made, used and deleted from library code.
void Objects(ZuVALUE* rtn, ZuVALUE*, int) {
    ZuVALUE object{};
    ZuVALUE opening{};
    ZuValSetInt(&opening, 10);
    auto& rec = engineCapture().recorded;
    rec.push_back(FZuCreateObject("Account", &object, &opening, 1));
    ZuVALUE amount{};
    ZuValSetInt(&amount, 5);
    ZuVALUE result{};
    rec.push_back(FZuCallBackMember(&object, "deposit", &result, &amount, 1));
    rec.push_back(AsNumber(result));
    ZuVALUE balance{};
    rec.push_back(FZuGetDataMember(&object, "m_balance", &balance));
    rec.push_back(AsNumber(balance));
    ZuVALUE fresh{};
    ZuValSetDouble(&fresh, 2.5);
    rec.push_back(FZuSetDataMember(&object, "m_balance", &fresh));
    rec.push_back(FZuGetDataMember(&object, "m_balance", &balance));
    rec.push_back(AsNumber(balance));
    rec.push_back(FZuGetDataMember(&object, "nosuch", &balance));
    rec.push_back(FZuCallBackMember(&object, "nosuch", &result, nullptr, 0));
    rec.push_back(FZuCreateObject("NoSuchClass", &result, nullptr, 0));
    ZuVALUE plain{};
    rec.push_back(FZuCreateObject("Plain", &plain, nullptr, 0));
    ZuDeleteObject(&object);
    ZuDeleteObject(&plain);
    rec.push_back(object.t == ZU_INT);
    ZuValSetInt(rtn, 1);
}

// reversed(n): the column n-1, ..., 1, 0 whose row table runs backwards
// through its block, as a host may leave it.
void Reversed(ZuVALUE* rtn, ZuVALUE* args, int) {
    const int n = args[0].w1.i;
    ZuLibValMatMalloc(rtn, n, 1);
    double* block = rtn->w3.m[0];
    for (int k = 0; k < n; ++k) block[k] = k;
    for (int i = 0; i < n; ++i) rtn->w3.m[i] = block + (n - 1 - i);
}

class LibraryInterface : public EngineTest {
protected:
    static void SetUpTestSuite() {
        FZuLibAddFunction("c$record", Record, 0);
        FZuLibAddFunction("cc$apply", Apply, 0);
        FZuLibAddFunction("cc$quiet", Quiet, 0);
        FZuLibAddFunction("c$atexit", AtExit, 0);
        FZuLibAddFunction("$objects", Objects, 0);
        FZuLibAddFunction("c$reversed", Reversed, 0);
    }
    static constexpr const char* kDeclarations =
        "record(x); apply(f, x); quiet(f, x); atexit(f); objects(); reversed(n);\n";
};

TEST_F(LibraryInterface, CallBackRunsAZuFunctionAndReturnsItsResult) {
    ASSERT_EQ(
        runProgram(std::string(kDeclarations) + "square(x) { return x * x; }\n"
                                                "main() { record(apply(square, 7)); record(apply(record, 3)); }\n"),
        1);
    EXPECT_EQ(engineCapture().recorded, (std::vector<double>{49, 3, 0}));
}

TEST_F(LibraryInterface, AnErrorInsideACallBackIsReportedInTheCaller) {
    ASSERT_EQ(runProgram(std::string(kDeclarations) + "bad(x) { decl m = <1>; return m[x]; }\n"
                                                      "main() { record(1); apply(bad, 4); record(2); }\n"),
              0);
    EXPECT_EQ(engineCapture().recorded, (std::vector<double>{1}));
    EXPECT_TRUE(sawRunMessage("Runtime error: '[4] in matrix[1][1]' index out of range"));
    EXPECT_TRUE(sawRunMessage("Runtime error: in callback function"));
}

TEST_F(LibraryInterface, ACallBackWithoutReportReturnsFalseAndTheRunGoesOn) {
    ASSERT_EQ(runProgram(std::string(kDeclarations) + "bad(x) { decl m = <1>; return m[x]; }\n"
                                                      "good(x) { return x; }\n"
                                                      "main() { quiet(bad, 4); quiet(good, 1); record(9); }\n"),
              1);
    EXPECT_EQ(engineCapture().recorded, (std::vector<double>{0, 1, 9}));
    EXPECT_FALSE(sawRunMessage("Runtime error: in callback function"));
}

TEST_F(LibraryInterface, OnlyTenExitCallsRunLastRegisteredFirst) {
    std::string program = std::string(kDeclarations);
    std::string body = "main() {";
    for (int i = 0; i < 11; ++i) {
        program += "e" + std::to_string(i) + "() { record(" + std::to_string(i) + "); }\n";
        body += " atexit(e" + std::to_string(i) + ");";
    }
    ASSERT_EQ(runProgram(program + body + " record(-1); }\n"), 1);
    EXPECT_EQ(engineCapture().recorded, (std::vector<double>{-1, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
}

TEST_F(LibraryInterface, ObjectsMadeAndUsedFromLibraryCode) {
    ASSERT_EQ(runProgram(std::string(kDeclarations) +
                         "class Account { decl m_balance; Account(v); ~Account(); deposit(x); };\n"
                         "Account::Account(v) { m_balance = v; }\n"
                         "Account::~Account() { record(100); }\n"
                         "Account::deposit(x) { m_balance += x; return m_balance; }\n"
                         "class Plain { decl m_x; };\n"
                         "main() { objects(); }\n"),
              1);
    EXPECT_EQ(engineCapture().recorded, (std::vector<double>{1, 1, 15, 1, 15, 1, 1, 2.5, 0, 0, 0, 1, 100, 1}));
}

TEST_F(LibraryInterface, AColumnWhoseRowsRunBackwardsIsReadThroughItsRowTable) {
    // Operators and choice take a column whose rows
    // lie in order as one run; this one must be read row by row.
    ASSERT_EQ(runProgram(std::string(kDeclarations) +
                         "main() {\n"
                         "    decl x = reversed(200);\n"
                         "    record(x[0]); record(x[194]);\n"
                         "    record(((x .> 149)' * (x .> 149))[0]); record((x .== 5)[194]); record((x + x)[1]);\n"
                         "    record(((x .< 100) .? x .: -x)[0]); record((x - 7)[190]);\n"
                         "    record((x .* 2 + 1)[199]);\n"
                         "}\n"),
              1);
    EXPECT_EQ(engineCapture().recorded, (std::vector<double>{199, 5, 50, 1, 396, -199, 2, 1}));
}

TEST_F(LibraryInterface, CallsByNameReachLibraryFunctionsLinkedAtRunTime) {
    ASSERT_EQ(runProgram(std::string(kDeclarations) + "main() { decl f = \"record\"; f(12); }\n"), 1);
    EXPECT_EQ(engineCapture().recorded, (std::vector<double>{12}));
}

TEST_F(LibraryInterface, LibraryCallsCheckTheirArgumentCount) {
    ASSERT_EQ(runProgram(std::string(kDeclarations) + "main() { decl f = record; f(1, 2); }\n"), 0);
    EXPECT_TRUE(sawRunMessage("Runtime error: 'record' wrong number of arguments"));
    EXPECT_TRUE(engineCapture().recorded.empty());
}

TEST_F(LibraryInterface, AnUnusedUndefinedExternalIsNoLinkErrorButAUsedOneIs) {
    EXPECT_EQ(runProgram("unused(a); main() { }\n"), 1);
    ZuRunExit();
    ZuCloseCode();
    ZuResetLinkErrors();
    EXPECT_EQ(compileAndRun("missing(a); main() { decl f = missing; }\n"), -1);
    bool reported = false;
    for (const auto& m : engineCapture().messages)
        reported = reported || m.find("Link error: 'missing' undefined function") != std::string::npos;
    EXPECT_TRUE(reported);
    ZuResetLinkErrors();
}

}  // namespace
}  // namespace zu::test
