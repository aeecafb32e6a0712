// Compiles source text through the library's entry points and keeps what
// it reported, for the parser tests.
#pragma once

#include "program/code_buffer.h"
#include "program/literals.h"
#include "compiler/parser.h"
#include "program/symbols.h"
#include "program/pcode.h"
#include "zu.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace zu::test {

class ParseTest : public ::testing::Test {
protected:
    static std::vector<std::string>& messages() {
        static std::vector<std::string> log;
        return log;
    }
    static void record(const char* text) { messages().push_back(text ? text : ""); }

    void SetUp() override {
        messages().clear();
        SetZuMessage(record);
        ZuParseOptimization(1);
        ZuParseSetLineno(0);
        ZuParseWarningLevel(1);
        ZuParseInterDebug(0, 0);
        ZuOpenCode();
    }
    // Opens fresh tables within one test.
    void reopen() {
        freeGlobalValues();
        ZuOpenCode();
    }
    // Global values belong to the run-time clean-up, which these tests do
    // not reach: the compile-time layouts are released here.
    static void freeGlobalValues() {
        auto& st = program::symbolTable();
        for (int g = 0; g < st.count(); ++g) {
            ZuVALUE& v = st[g].val;
            if ((v.t & ZU_TYPE_MASK) == ZU_CLASS) {
                for (int i = 0; v.w4.nv && i < v.w1.i; ++i) {
                    std::free(v.w4.nv[i].name);
                    ZuFreeValue(&v.w4.nv[i].val);
                }
                for (int i = 0; v.w5.nv && v.w5.nv[i].name; ++i) {
                    std::free(v.w5.nv[i].name);
                    std::free(v.w5.nv[i].val.w3.s);
                }
                std::free(v.w4.nv);
                std::free(v.w5.nv);
                v = {};
            } else {
                ZuFreeValue(&v);
            }
        }
    }

    void TearDown() override {
        freeGlobalValues();
        IZuScanExit();
        ZuOpenSourceText(nullptr);
        ZuCloseCode();
        SetZuMessage(nullptr);
        ZuParseSetLineno(1);
    }

    // Compiles a program text; the error count.
    int compile(const char* text) {
        source_ = text;
        ZuOpenSourceText(source_.c_str());
        return IZuParse();
    }

    // The code from the first instruction after the two EXT on.
    std::vector<ZuPCODE> emitted() const {
        const auto all = program::codeBuffer().code();
        return {all.begin() + 2, all.end()};
    }
    // The instructions as "MNEMONIC arg" lines.
    std::vector<std::string> listing() const {
        std::vector<std::string> out;
        for (const ZuPCODE& i : emitted())
            out.push_back(std::string(program::mnemonic(i.op)) + " " + std::to_string(i.arg));
        return out;
    }
    bool contains(const std::string& line) const {
        for (const std::string& l : listing())
            if (l == line) return true;
        return false;
    }

    const ZuVALUE* global(const char* name) const {
        const int g = program::symbolTable().find(name, 0, program::symbolTable().count());
        return g < 0 ? nullptr : &program::symbolTable()[g].val;
    }

    // Whether some message ends with the text.
    static bool reported(const std::string& text) {
        for (const std::string& m : messages())
            if (m.size() >= text.size() && m.compare(m.size() - text.size(), text.size(), text) == 0) return true;
        return false;
    }

    std::string source_;
};

}  // namespace zu::test
