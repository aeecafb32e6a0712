// Fixtures for the engine tests: programs compiled from text, and hand-made
// instruction sequences run on a fresh stack.
#pragma once

#include "zu.h"

#include "program/code_buffer.h"
#include "program/literals.h"
#include "run/machine.h"
#include "program/pcode.h"
#include "run/recovery.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace zu::test {

struct EngineCapture {
    std::vector<std::string> runMessages;
    std::vector<std::string> messages;
    std::vector<double> recorded;  // values handed to the test routines
};

inline EngineCapture& engineCapture() {
    static EngineCapture c;
    return c;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        engineCapture() = {};
        SetZuRunMessage([](const char* t) { engineCapture().runMessages.emplace_back(t); });
        SetZuMessage([](const char* t) { engineCapture().messages.emplace_back(t); });
        ZuSetPrintlevel(1);
    }

    void TearDown() override {
        ZuRunExit();
        ZuCloseCode();
        SetZuRunMessage(ZuDefaultMessage);
        SetZuMessage(ZuDefaultMessage);
        if (!path_.empty()) std::remove(path_.c_str());
    }

    // Compiles and runs a program; the result of FZuRunMainFunc, or -1 when
    // it did not compile or link.
    int runProgram(const std::string& text) {
        int result = compileAndRun(text);
        if (result < 0)
            for (const auto& m : engineCapture().messages) ADD_FAILURE() << "compile or link message: " << m;
        return result;
    }

    int compileAndRun(const std::string& text) {
        char name[] = "/tmp/zu_engine_XXXXXX.zu";
        int fd = mkstemps(name, 3);
        if (fd < 0) return -1;
        close(fd);
        path_ = name;
        if (FILE* f = std::fopen(name, "w")) {
            std::fputs(text.c_str(), f);
            std::fclose(f);
        }
        ZuOpenCode();
        if (!ZuOpenSourceFile(name)) return -1;
        int errors = IZuParse();
        ZuOpenSourceFile(nullptr);
        if (errors) return -1;
        int position = IZuRunInit();
        if (position < 0) return -1;
        return FZuRunMainFunc(position, nullptr);
    }

    // A code array: two EXT, then the given instructions, then EXT; a stack
    // of the default size.  Returns the address of the first instruction.
    // `literals` runs once the tables are open (before the code is added).
    static constexpr int kStart = 2;
    template <typename Literals>
    int loadCode(const std::vector<ZuPCODE>& code, Literals literals) {
        ZuOpenCode();
        literals();
        int start = program::codeBuffer().size();
        for (const ZuPCODE& i : code) program::codeBuffer().append(i.op, i.arg);
        program::codeBuffer().append(program::code(program::Op::EXT), 0);
        EXPECT_GE(IZuRunInit(), 0);
        run::vm.cp = start;
        run::vm.sp = run::vm.base - 1;
        run::vm.ap = run::vm.bp = run::vm.base;
        return start;
    }
    int loadCode(const std::vector<ZuPCODE>& code) {
        return loadCode(code, [] {});
    }

    // Runs loaded code under a recovery point; false after a run-time error.
    static bool runCode(ZuVALUE* expected = nullptr) { return run::GuardedRun(expected); }

    static bool sawRunMessage(const std::string& text) {
        for (const auto& m : engineCapture().runMessages)
            if (m == text) return true;
        return false;
    }

    static ZuPCODE ins(program::Op op, int arg = 0) { return ZuPCODE{program::code(op), arg}; }

private:
    std::string path_;
};

}  // namespace zu::test
