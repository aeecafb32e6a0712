// Allocations that the memory limit refuses end in the run-time error
// "out of memory" (or a reader's own message), never in a crash.  The
// sanitizer's allocator does not work under an address-space limit, so
// these tests are skipped in that build.
#include <cstring>
#include <string>

#include "saving/child_run.h"

namespace zu::saving::test {
namespace {

constexpr rlim_t kSmallMemory = rlim_t{256} << 20;

class OutOfMemory : public ScratchFolder {
protected:
    void SetUp() override {
#if defined(__SANITIZE_ADDRESS__)
        GTEST_SKIP() << "address-space limits and the address sanitizer do not mix";
#endif
        ScratchFolder::SetUp();
    }

    void ExpectRunError(const std::string& body) {
        const ChildResult run = RunProgram("main()\n{\n" + body + "}\n", {RLIM_INFINITY, kSmallMemory});
        EXPECT_EQ(run.signal, 0) << run.output;
        EXPECT_EQ(run.exitCode, 1) << run.output;
        EXPECT_NE(run.output.find("Runtime error: out of memory"), std::string::npos) << run.output;
        EXPECT_EQ(run.output.find("not reached"), std::string::npos) << run.output;
    }
};

TEST_F(OutOfMemory, MatricesStringsAndArrays) {
    ExpectRunError("    decl m = zeros(20000, 20000);\n    println(\"not reached\", rows(m));\n");
    ExpectRunError("    decl a = ones(4000, 4000), b = a ~ a ~ a ~ a;\n    println(\"not reached\", rows(b));\n");
    ExpectRunError(
        "    decl s = \"xxxxxxxxxxxxxxxx\", i;\n    for (i = 0; i < 40; ++i) s ~= s;\n"
        "    println(\"not reached\", sizeof(s));\n");
    ExpectRunError("    decl a = new array[200000000];\n    println(\"not reached\", sizeof(a));\n");
}

TEST_F(OutOfMemory, DataFileClaimingHugeDimensions) {
    // A description that promises 16 million observations, in a data file
    // that holds two of them.
    Write("huge.in7", "brevin 700\ndata huge.bn7\n>x 1 1 16000 1 1000 32 grp 01-01-2000 00:00:00\n");
    std::string block(8, '\0');
    const double marker = 9.999e102;
    std::memcpy(block.data(), &marker, 8);
    block += std::string("\x00\x00\x00\x70", 4) + std::string("x") + std::string(11, '\0');
    block += std::string("\x01\x00\x01\x00\x01\x00\x00\x00", 8) + std::string(16, '\0');
    Write("huge.bn7", block);
    Write("huge.mat", "100000 100000\n1 2 3\n");
    ExpectRunError("    decl m = loadmat(\"huge.mat\");\n    println(isint(m) ? \"refused\" : \"loaded\");\n"
                   "    m = loadmat(\"huge.in7\");\n    println(\"not reached\", rows(m));\n");
}

}  // namespace
}  // namespace zu::saving::test
