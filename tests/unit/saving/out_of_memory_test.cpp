// Allocations that the memory limit refuses end in the run-time error
// "out of memory" (or a reader's own message), never in a crash or a leak.
// The address sanitizer does not work under an address-space limit: in
// that build the child's sanitizer refuses large blocks instead and checks
// for leaks at its exit, and the readers' tests, whose containers the
// sanitizer cannot refuse without ending the process, are skipped.
#include <cstdlib>
#include <cstring>
#include <string>

#include "saving/child_run.h"

namespace zu::saving::test {
namespace {

constexpr rlim_t kSmallMemory = rlim_t{256} << 20;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

class OutOfMemory : public ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        // Read by the child's sanitizer only; this process read its own at start.
        if (kSanitized) ::setenv("ASAN_OPTIONS", "allocator_may_return_null=1:max_allocation_size_mb=200", 1);
    }
    void TearDown() override {
        if (kSanitized) ::unsetenv("ASAN_OPTIONS");
        ScratchFolder::TearDown();
    }

    void ExpectRunError(const std::string& body) {
        const Limits limits{RLIM_INFINITY, kSanitized ? RLIM_INFINITY : kSmallMemory};
        const ChildResult run = RunProgram("main()\n{\n" + body + "}\n", limits);
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

// Small blocks come from the matrix cache; a million of them do not fit.
TEST_F(OutOfMemory, SmallMatricesThroughTheCache) {
    if (kSanitized) GTEST_SKIP() << "without an address-space limit this would take the machine's memory";
    ExpectRunError("    decl a = new array[1000000], i;\n"
                   "    for (i = 0; i < sizeof(a); ++i) a[i] = zeros(10, 10) + i;\n"
                   "    println(\"not reached\");\n");
}

TEST_F(OutOfMemory, DataFileClaimingHugeDimensions) {
    if (kSanitized) GTEST_SKIP() << "the sanitizer ends the process when a container cannot grow";
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
