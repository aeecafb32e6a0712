// Shared fixture of the value tests: run-time errors unwind into the test as
// a RunError exception carrying the error code, and messages are recorded.
#ifndef ZU_TESTS_VALUE_TEST_SUPPORT_H
#define ZU_TESTS_VALUE_TEST_SUPPORT_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "value/heap.h"
#include "zu.h"

namespace zu_test {

struct RunError {
    int code;
};

inline int lastErrorCode = 0;
inline std::vector<std::string> runMessages;
inline std::vector<std::string> messages;

inline void RecordRunMessage(const char* text) { runMessages.emplace_back(text); }
inline void RecordMessage(const char* text) { messages.emplace_back(text); }
// A run-time error calls the exit hook with its code (above 1), then with 0.
inline void RecordExit(int code) {
    if (code != 0) lastErrorCode = code;
}
inline void ThrowRunError() { throw RunError{lastErrorCode}; }

class ValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        lastErrorCode = 0;
        runMessages.clear();
        messages.clear();
        SetZuRunMessage(RecordRunMessage);
        SetZuMessage(RecordMessage);
        SetZuExit(RecordExit);
        ZuSetRuntimeJump(ThrowRunError);
        SetMatCacheSize(16, 1000);
        MatCacheInit();
    }
    void TearDown() override {
        zu::value::testing::FailAllocationsAfter(-1);
        MatCacheExit();
        ZuSetRuntimeJump(nullptr);
        SetZuExit(nullptr);
    }
    // The first text issued through the run-time message channel.
    static std::string FirstRunMessage() { return runMessages.empty() ? std::string{} : runMessages.front(); }
};

// A record owning a copy of `rows` x `cols` elements given row by row.
inline ZuVALUE MatrixValue(int rows, int cols, std::initializer_list<double> elements) {
    ZuVALUE v{};
    ZuLibValMatMalloc(&v, rows, cols);
    int k = 0;
    for (double x : elements) {
        v.w3.m[k / cols][k % cols] = x;
        ++k;
    }
    return v;
}

inline ZuVALUE IntValue(int i) {
    ZuVALUE v{};
    ZuValSetInt(&v, i);
    return v;
}

inline ZuVALUE DoubleValue(double d) {
    ZuVALUE v{};
    ZuValSetDouble(&v, d);
    return v;
}

inline ZuVALUE StringValue(const char* s) {
    ZuVALUE v{};
    ZuValSetString(&v, s);
    return v;
}

}  // namespace zu_test

// Runs `statement` and expects it to raise run-time error `expected`.
#define EXPECT_RUN_ERROR(statement, expected)                         \
    do {                                                              \
        try {                                                         \
            statement;                                                \
            ADD_FAILURE() << "no run-time error from " #statement;    \
        } catch (const zu_test::RunError& raised) {                   \
            EXPECT_EQ(raised.code, (expected)) << "from " #statement; \
        }                                                             \
    } while (false)

#endif
