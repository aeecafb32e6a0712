// Fixture of the standard library tests: console output is captured through
// the pipe hooks, run-time errors unwind into the test as RunError, and
// messages are recorded.  Values are built by hand.
#ifndef ZU_TESTS_STDLIB_FIXTURE_H
#define ZU_TESTS_STDLIB_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "stdlib/print_settings.h"
#include "zu.h"

namespace zu_stdlib_test {

struct RunError {
    int code;
};

inline int lastErrorCode = 0;
inline std::string output;
inline std::vector<std::string> runMessages;

inline void ThrowRunError() { throw RunError{lastErrorCode}; }

class StdlibTest : public ::testing::Test {
protected:
    void SetUp() override {
        lastErrorCode = 0;
        output.clear();
        runMessages.clear();
        SetZuRunMessage([](const char* text) { runMessages.emplace_back(text); });
        SetZuMessage([](const char* text) { runMessages.emplace_back(text); });
        SetZuExit([](int code) {
            if (code != 0) lastErrorCode = code;
        });
        ZuSetRuntimeJump(ThrowRunError);
        ZuSetPrintlevel(1);
        SetZuPipe(0);
        SetZuPuts([](const char* text) { output += text; });
        SetMatCacheSize(16, 1000);
        MatCacheInit();
        zu::stdlib::ResetPrintSettings();
    }
    void TearDown() override {
        for (ZuVALUE& v : owned_) ZuFreeValue(&v);
        owned_.clear();
        zu::stdlib::SetPrintLog(nullptr);
        zu::stdlib::ResetPrintSettings();
        SetZuPipe(-1);
        ZuSetPrintlevel(1);
        MatCacheExit();
        ZuSetRuntimeJump(nullptr);
        SetZuExit(nullptr);
        SetZuMessage(ZuDefaultMessage);
        SetZuRunMessage(ZuDefaultMessage);
    }

    // Values that the test owns; freed after it.  The returned records stay
    // valid until the next call (the list grows).
    ZuVALUE Keep(ZuVALUE v) {
        owned_.push_back(v);
        return v;
    }

    static ZuVALUE Int(int i) {
        ZuVALUE v{};
        ZuValSetInt(&v, i);
        return v;
    }
    static ZuVALUE Double(double d) {
        ZuVALUE v{};
        ZuValSetDouble(&v, d);
        return v;
    }
    static ZuVALUE String(const char* s) {
        ZuVALUE v{};
        ZuValSetString(&v, s);
        return v;
    }
    // r x c, elements row by row (missing ones left 0).
    static ZuVALUE Matrix(int r, int c, std::initializer_list<double> elements = {}) {
        ZuVALUE v{};
        ZuLibValMatMalloc(&v, r, c);
        if (r > 0) MatZero(v.w3.m, r, c);
        int k = 0;
        for (double x : elements) {
            v.w3.m[k / c][k % c] = x;
            ++k;
        }
        return v;
    }
    // An array of strings.
    static ZuVALUE Strings(std::initializer_list<const char*> texts) {
        ZuVALUE v{};
        ZuLibValArrayCalloc(&v, static_cast<int>(texts.size()));
        int k = 0;
        for (const char* t : texts) ZuValSetString(&v.w2.v[k++], t);
        return v;
    }

    static std::string FirstRunMessage() { return runMessages.empty() ? std::string{} : runMessages.front(); }

private:
    std::vector<ZuVALUE> owned_;
};

// Calls a library routine on arguments; the result is freed by the caller.
template <std::size_t N>
ZuVALUE Call(ZuLIBFUNC routine, ZuVALUE (&args)[N]) {
    ZuVALUE rtn{};
    ZuValSetInt(&rtn, 0);
    routine(&rtn, args, static_cast<int>(N));
    return rtn;
}

// Frees argument records after a call.
template <std::size_t N>
void FreeAll(ZuVALUE (&args)[N]) {
    for (ZuVALUE& v : args) ZuFreeValue(&v);
}

}  // namespace zu_stdlib_test

// Runs `statement` and expects it to raise run-time error `expected`.
#define EXPECT_RUN_ERROR(statement, expected)                         \
    do {                                                              \
        try {                                                         \
            statement;                                                \
            ADD_FAILURE() << "no run-time error from " #statement;    \
        } catch (const zu_stdlib_test::RunError& raised) {            \
            EXPECT_EQ(raised.code, (expected)) << "from " #statement; \
        }                                                             \
    } while (false)

#endif
