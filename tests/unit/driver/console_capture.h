// Test fixture that routes all console traffic into strings.
#pragma once

#include "zu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zu::test {

struct Captured {
    std::vector<std::string> messages;     // ZuMessage / compile messages
    std::vector<std::string> runMessages;  // ZuRunMessage
    std::string output;                    // pipe output delivered by ZuPuts
    std::vector<std::string> outputPieces;
    std::vector<std::string> inputLines;  // served one per input-hook call
    int inputCalls = 0;
    std::vector<int> exitCodes;
};

inline Captured& captured() {
    static Captured c;
    return c;
}

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        captured() = {};
        SetZuMessage([](const char* t) { captured().messages.emplace_back(t); });
        SetZuRunMessage([](const char* t) { captured().runMessages.emplace_back(t); });
        SetZuExit([](int code) { captured().exitCodes.push_back(code); });
        ZuSetPrintlevel(1);
    }
    void TearDown() override {
        SetZuPipe(-1);
        ZuSetPrintlevel(1);
        SetZuMessage(ZuDefaultMessage);
        SetZuRunMessage(ZuDefaultMessage);
        SetZuExit(nullptr);
    }
    // Pipe mode with hooks that record output and serve inputLines.
    static void usePipe(int n) {
        SetZuPipe(n);
        SetZuPuts([](const char* t) {
            captured().output += t;
            captured().outputPieces.emplace_back(t);
        });
        SetZuGets([](char* buffer, int size) {
            auto& c = captured();
            ++c.inputCalls;
            buffer[0] = '\0';
            if (c.inputLines.empty()) return;
            std::string line = c.inputLines.front();
            c.inputLines.erase(c.inputLines.begin());
            snprintf(buffer, static_cast<size_t>(size), "%s", line.c_str());
        });
    }
};

}  // namespace zu::test
