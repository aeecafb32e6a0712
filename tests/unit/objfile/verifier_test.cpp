// The verifier of loaded code: everything the compiler makes passes it,
// and object files whose code would mislead the run loop are refused with
// one message naming the function and the instruction, the tables as they
// were.
#include "objfile_fixture.h"
#include "objfile/verifier.h"
#include "program/operators.h"

#include <cstring>

namespace zu::test {
namespace {

namespace fs = std::filesystem;
using program::code;
using program::Op;

// Verifies the code and symbols now in the tables.
std::optional<objfile::CodeFault> verifyTables() {
    std::vector<objfile::CodeEntry> entries;
    auto& st = program::symbolTable();
    for (int g = 0; g < st.count(); ++g) objfile::AddEntries(entries, st[g]);
    return objfile::VerifyCode(program::codeBuffer().code(), std::move(entries));
}

class VerifierTest : public ObjfileTest {
protected:
    struct Tables {
        int symbols, literals, code;
        bool operator==(const Tables&) const = default;
    };
    static Tables tables() {
        return {program::symbolTable().count(), program::literalTable().count(), program::codeBuffer().size()};
    }

    // The object file of a program, and the position of its code section.
    std::vector<unsigned char> objectOf(const char* text) { return bytesOf(compileTo("p.zuo", text)); }
    static std::size_t codeStart(const std::vector<unsigned char>& bytes) {
        const std::string marker = "$zu$pcode";
        auto at = std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end());
        return static_cast<std::size_t>(at - bytes.begin()) + marker.size() + 1 + 4;
    }
    static int codeCount(const std::vector<unsigned char>& bytes) {
        const std::size_t at = codeStart(bytes) - 4;
        int n = 0;
        std::memcpy(&n, &bytes[at], 4);
        return n;
    }
    static ZuPCODE instruction(const std::vector<unsigned char>& bytes, int i) {
        const std::size_t at = codeStart(bytes) + 5 * static_cast<std::size_t>(i);
        ZuPCODE ins{bytes[at], 0};
        std::memcpy(&ins.arg, &bytes[at + 1], 4);
        return ins;
    }
    static void setInstruction(std::vector<unsigned char>& bytes, int i, int op, int arg) {
        const std::size_t at = codeStart(bytes) + 5 * static_cast<std::size_t>(i);
        bytes[at] = static_cast<unsigned char>(op);
        std::memcpy(&bytes[at + 1], &arg, 4);
    }
    // The first instruction i >= from with the opcode (and operand); -1.
    static int find(const std::vector<unsigned char>& bytes, Op op, std::optional<int> arg = {}, int from = 0) {
        for (int i = from; i < codeCount(bytes); ++i) {
            const ZuPCODE ins = instruction(bytes, i);
            if (ins.op == code(op) && (!arg || ins.arg == *arg)) return i;
        }
        return -1;
    }

    // Loads a mutated file into tables that hold a resident program: it
    // must be refused with one "invalid code" message and nothing changed.
    std::string refused(const std::vector<unsigned char>& bytes) {
        reopen();
        EXPECT_EQ(compile("decl resident = 1; r() { return resident; }"), 0);
        messages().clear();
        const Tables before = tables();
        EXPECT_EQ(load(writeBytes("bad.zuo", bytes)), 1);
        EXPECT_EQ(tables(), before);
        EXPECT_EQ(value(ObjfileTest::find("resident")).w1.i, 1);
        EXPECT_EQ(messages().size(), 1u);
        return messages().empty() ? "" : messages().back();
    }
};

constexpr const char* kProgram =
    "#include <zustd.h>\n"
    "twice(x) { decl y = x * 2; return y; }\n"
    "main() { decl i, s = 0; for (i = 0; i < 3; ++i) s += twice(i); print(s); }\n";

TEST_F(VerifierTest, NamedMutationsAreRefused) {
    ZuSetIncludePath(ZU_STAGE_INCLUDE);
    const std::vector<unsigned char> good = objectOf(kProgram);
    reopen();
    ASSERT_EQ(load(writeBytes("good.zuo", good)), 0);

    // INT 1 becomes POP 0: the pop reaches into the frame.
    std::vector<unsigned char> bad = good;
    const int locals = find(good, Op::INT, 1);
    ASSERT_GE(locals, 0);
    setInstruction(bad, locals, code(Op::POP), 0);
    std::string m = refused(bad);
    EXPECT_NE(m.find("bad.zuo: function twice, instruction "), std::string::npos) << m;
    EXPECT_NE(m.find("(POP 0): stack below the frame"), std::string::npos) << m;
    EXPECT_NE(m.find("' invalid code"), std::string::npos) << m;

    // ELF becomes LOD 1: a load into the frame entry itself.
    bad = good;
    setInstruction(bad, find(good, Op::ELF), code(Op::LOD), 1);
    m = refused(bad);
    EXPECT_NE(m.find("function twice, instruction 0 (LOD 1): stack below the frame"), std::string::npos) << m;

    // SAP 1 in a function of one argument.
    bad = good;
    const int store = find(good, Op::SBP);
    setInstruction(bad, store, code(Op::SAP), 1);
    m = refused(bad);
    EXPECT_NE(m.find("(SAP 1): argument outside the frame"), std::string::npos) << m;

    // A LIP whose target overflows an int.
    bad = good;
    setInstruction(bad, find(good, Op::ELF), code(Op::LIP), 2147483647);
    m = refused(bad);
    EXPECT_NE(m.find("(LIP 2147483647): return address outside the function"), std::string::npos) << m;

    // An operator code with no routine, and a fast function that does not exist.
    int unused = 0;
    while (program::runnableArity(unused) >= 0 || unused == program::opr::Address || unused == program::opr::Destruct)
        ++unused;
    bad = good;
    const int multiply = find(good, Op::OPR);
    setInstruction(bad, multiply, code(Op::OPR), unused);
    m = refused(bad);
    EXPECT_NE(m.find("(OPR " + std::to_string(unused) + "): no such operator"), std::string::npos) << m;
    bad = good;
    setInstruction(bad, multiply, code(Op::FNI), 3);
    m = refused(bad);
    EXPECT_NE(m.find("(FNI 3): no such fast function"), std::string::npos) << m;
}

TEST_F(VerifierTest, JumpsAndDepthsAreChecked) {
    ZuSetIncludePath(ZU_STAGE_INCLUDE);
    const std::vector<unsigned char> good = objectOf(kProgram);
    const int jump = find(good, Op::JMP);
    ASSERT_GE(jump, 0);

    // A jump into the next function, and one to an address that is no
    // instruction.
    std::vector<unsigned char> bad = good;
    std::string m;
    setInstruction(bad, jump, code(Op::JMP), find(good, Op::ELF));
    EXPECT_NE(refused(bad).find("jump outside the function"), std::string::npos);
    bad = good;
    setInstruction(bad, jump, code(Op::JMP), -1);
    EXPECT_GE(load(writeBytes("neg.zuo", bad)), 1);

    // A push inside a loop body: the depth differs where the loop meets
    // itself again.
    bad = good;
    const int store = find(good, Op::SBP, {}, find(good, Op::CAL));
    ASSERT_GT(store, 0);
    setInstruction(bad, store, code(Op::PSH), 0);
    m = refused(bad);
    EXPECT_NE(m.find("stack depth differs where paths meet"), std::string::npos) << m;

    // A RET that is made a marker runs off the end of the function.
    bad = good;
    const int last = codeCount(good) - 1;
    ASSERT_EQ(instruction(good, last).op, code(Op::RET));
    setInstruction(bad, last, code(Op::NUM), 0);
    setInstruction(bad, last - 1, code(Op::NUM), 0);
    EXPECT_NE(refused(bad).find("leaves the function"), std::string::npos);

    // A JST whose entry holds no address that LIP made.
    bad = good;
    setInstruction(bad, find(good, Op::ELF), code(Op::JST), 0);
    EXPECT_NE(refused(bad).find("(JST 0): return address outside the frame"), std::string::npos);
}

TEST_F(VerifierTest, GosubReturnsAreFollowed) {
    // A gosub pushes its return address with LIP and comes back with JST;
    // the verifier follows the return to the instruction after the jump.
    ZuSetGaussMode(1);
    reopen();
    const int errors = compile(
        "proc f(x); local y; y = x; gosub add; retp(y); add: y = y + 1; return; endp;\n"
        "print f(2);\n");
    ZuSetGaussMode(0);
    ASSERT_EQ(errors, 0);
    bool lip = false;
    for (const ZuPCODE& ins : program::codeBuffer().code()) lip = lip || ins.op == code(Op::LIP);
    EXPECT_TRUE(lip);
    const auto fault = verifyTables();
    EXPECT_FALSE(fault) << objfile::DescribeFault(*fault, program::codeBuffer().code());
}

TEST_F(VerifierTest, ASubroutineReturnsToEachOfItsCallers) {
    // Three gosubs of one label, one of them inside an if: where the paths
    // meet the return entry may hold any of three addresses, and the JST
    // goes on at each of them.
    ZuSetGaussMode(1);
    reopen();
    const int errors = compile(
        "x = 1; gosub show; x = 2; gosub show;\n"
        "if x > 1; gosub show; endif;\n"
        "goto finish;\n"
        "show: x = x + 1; return;\n"
        "finish: y = x;\n");
    ZuSetGaussMode(0);
    ASSERT_EQ(errors, 0);
    const auto fault = verifyTables();
    EXPECT_FALSE(fault) << objfile::DescribeFault(*fault, program::codeBuffer().code());
}

// Every program of the golden tests compiles to code the verifier accepts,
// and its object file loads again.
TEST_F(VerifierTest, EveryGoldenProgramVerifies) {
    const fs::path tests = ZU_TESTS_SOURCE;
    int verified = 0;
    for (const char* area : {"programs", "gauss"}) {
        for (const auto& file : fs::recursive_directory_iterator(tests / area)) {
            const std::string ext = file.path().extension().string();
            if (ext != ".zu" && ext != ".gss") continue;
            IZuScanExit();  // forget the headers the last program included
            reopen();
            ZuSetIncludePath((std::string(ZU_STAGE_INCLUDE) + ";" + file.path().parent_path().string()).c_str());
            ZuSetGaussMode(ext == ".gss" ? 1 : 0);
            messages().clear();
            if (ext == ".gss" && !FZuParseInitGauss("zugauss.zu", 1)) continue;
            int errors = ZuOpenSourceFile(file.path().c_str()) ? IZuParse() : 1;
            ZuOpenSourceFile(nullptr);
            ZuSetGaussMode(0);
            if (errors) {  // the compile-error tests
                if (std::getenv("ZU_VERIFY_TRACE"))
                    std::printf("%s: %s\n", file.path().c_str(), messages().empty() ? "" : messages()[0].c_str());
                continue;
            }
            const auto fault = verifyTables();
            EXPECT_FALSE(fault) << file.path() << ": " << objfile::DescribeFault(*fault, program::codeBuffer().code());
            const std::string object = path("golden.zuo");
            ASSERT_EQ(ZuWriteCode(std::fopen(object.c_str(), "wb")), 1);
            reopen();
            messages().clear();
            load(object);  // a program that calls a library of its own may not link alone
            for (const std::string& m : messages()) EXPECT_EQ(m.find("invalid code"), std::string::npos) << m;
            ++verified;
        }
    }
    EXPECT_GT(verified, 150);
}

}  // namespace
}  // namespace zu::test
