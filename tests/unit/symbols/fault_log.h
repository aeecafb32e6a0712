// A fault sink for the table tests: records what the tables report.
#pragma once

#include "program/symbols_report.h"

#include <string>
#include <utility>
#include <vector>

namespace zu::test {

struct FaultLog {
    static std::vector<std::pair<program::TableFault, std::string>>& entries() {
        static std::vector<std::pair<program::TableFault, std::string>> log;
        return log;
    }
    static void sink(program::TableFault fault, const char* name) { entries().emplace_back(fault, name ? name : ""); }
};

// Installs the recording sink for the lifetime of a test.
class ScopedFaultLog {
public:
    ScopedFaultLog() : previous_(program::setFaultSink(&FaultLog::sink)) { FaultLog::entries().clear(); }
    ~ScopedFaultLog() { program::setFaultSink(previous_); }
    ScopedFaultLog(const ScopedFaultLog&) = delete;
    ScopedFaultLog& operator=(const ScopedFaultLog&) = delete;

    const auto& entries() const { return FaultLog::entries(); }

private:
    program::FaultSink previous_;
};

}  // namespace zu::test
