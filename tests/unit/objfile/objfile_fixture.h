// Compiles programs, writes them to object files in a scratch folder and
// loads them again, keeping the messages, for the object-file tests.
#pragma once

#include "program/code_buffer.h"
#include "program/literals.h"
#include "program/symbols.h"
#include "zu.h"
#include "objfile/objfile.h"
#include "program/pcode.h"
#include "zu.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>
#include <vector>

namespace zu::test {

class ObjfileTest : public ::testing::Test {
protected:
    static std::vector<std::string>& messages() {
        static std::vector<std::string> log;
        return log;
    }
    static void record(const char* text) { messages().push_back(text ? text : ""); }

    void SetUp() override {
        messages().clear();
        SetZuMessage(record);
        ZuParseSetLineno(0);
        ZuParseInterDebug(0, 0);
        dir_ = std::filesystem::path(::testing::TempDir()) /
               ("zu_objfile_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        ZuOpenCode();
    }

    void TearDown() override {
        freeGlobalValues();
        IZuScanExit();
        ZuOpenSourceText(nullptr);
        ZuCloseCode();
        ZuSetIncludePath(nullptr);
        SetZuMessage(nullptr);
        ZuParseSetLineno(1);
        ZuParseInterDebug(0, 0);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    // Global values belong to the run-time clean-up, which these tests do
    // not reach.
    static void freeGlobalValues() {
        auto& st = program::symbolTable();
        for (int g = 0; g < st.count(); ++g) ZuFreeValue(&st[g].val);
    }
    void reopen() {
        freeGlobalValues();
        ZuOpenCode();
    }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    int compile(const char* text) {
        source_ = text;
        ZuOpenSourceText(source_.c_str());
        const int errors = IZuParse();
        ZuOpenSourceText(nullptr);
        return errors;
    }
    // Compiles into fresh tables and writes the object file; the path.
    std::string compileTo(const std::string& name, const char* text) {
        reopen();
        EXPECT_EQ(compile(text), 0) << text;
        const std::string p = path(name);
        EXPECT_EQ(ZuWriteCode(std::fopen(p.c_str(), "wb")), 1);
        return p;
    }
    void writeFile(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    std::vector<unsigned char> bytesOf(const std::string& p) const {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string writeBytes(const std::string& name, const std::vector<unsigned char>& bytes) const {
        const std::string p = path(name);
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return p;
    }
    // Loads an object file by path; the link errors.
    static int load(const std::string& p) {
        std::FILE* f = std::fopen(p.c_str(), "rb");
        if (!f) return -1;
        const int errors = objfile::LoadObjectFile(f, p.c_str());
        std::fclose(f);
        return errors;
    }

    static int find(const char* name) { return program::symbolTable().find(name, 0, program::symbolTable().count()); }
    static ZuVALUE& value(int g) { return program::symbolTable()[g].val; }

    // One line per instruction from `from` on, with operands shown by what
    // they mean rather than by position: a global by name, a jump relative
    // to `base`, a literal by its value.  Equal for the same program
    // wherever it was loaded.
    static std::vector<std::string> describe(int from, int base) {
        std::vector<std::string> out;
        const auto code = program::codeBuffer().code();
        for (std::size_t a = static_cast<std::size_t>(from); a < code.size(); ++a)
            out.push_back(describe(code[a], base));
        return out;
    }
    static std::string describe(const ZuPCODE& i, int base) {
        const program::OpcodeInfo* info = program::opcodeInfo(i.op);
        std::string s = program::mnemonic(i.op);
        switch (info ? info->operand : program::Operand::None) {
        case program::Operand::Global:
        case program::Operand::Class: return s + " " + symbolName(i.arg);
        case program::Operand::CodeAddress: return s + " @" + std::to_string(i.arg - base);
        case program::Operand::Literal:
        case program::Operand::LocalName:
            if (i.arg >= 0) return s + " " + literalText(i.arg);
            break;
        default: break;
        }
        return s + " " + std::to_string(i.arg);
    }
    static std::string symbolName(int g) {
        auto& st = program::symbolTable();
        if (g < 0 || g >= st.count()) return "<out of range>";
        const char* n = st[g].name;
        if (!n) return "<anonymous>";
        return n[0] == '@' ? n + 1 : n;
    }
    static std::string literalText(int i) {
        auto& lt = program::literalTable();
        if (i >= lt.count()) return "<out of range>";
        const ZuVALUE& v = lt[i];
        switch (v.t & ZU_TYPE_MASK) {
        case ZU_INT: return "int " + std::to_string(v.w1.i);
        case ZU_DOUBLE: return "double " + std::to_string(v.w1.d);
        case ZU_STRING: return "\"" + std::string(v.w2.s ? v.w2.s : "", v.w2.s ? v.w1.i : 0) + "\"";
        case ZU_MATRIX: return "matrix " + std::to_string(v.w1.i) + "x" + std::to_string(v.w2.i);
        default: return "kind " + std::to_string(v.t & ZU_TYPE_MASK);
        }
    }

    static bool reported(const std::string& text) {
        for (const std::string& m : messages())
            if (m.find(text) != std::string::npos) return true;
        return false;
    }

    std::filesystem::path dir_;
    std::string source_;
};

}  // namespace zu::test
