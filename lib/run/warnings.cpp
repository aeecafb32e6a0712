// Warnings: printed with their place, filtered by kind through the mask,
// never stopping the run.
#include "run/machine.h"
#include "run/run_errors.h"

#include <string>

namespace zu::run {
namespace {

// The mask bit of each filtered kind (0 to 5); user warnings use bit 64.
constexpr int kKindBits[] = {1, 2, 4, 32, 8, 16};
constexpr int kKinds = 6;
constexpr int kUserWarningBit = 64;

int warningMask = 127;

}  // namespace
}  // namespace zu::run

using namespace zu::run;

extern "C" {

void ZuRunSetWarning(int mask) { warningMask = mask; }
int ZuRunGetWarning(void) { return warningMask; }

void ZuRunWarning(const char* text, int kind, int /*argument*/) {
    if (kind >= 0 && kind < kKinds && !(warningMask & kKindBits[kind])) return;
    std::string line = "Warning";
    if (text) line += std::string(": ") + text;
    if (kind >= 0 && kind <= 4) line += std::string(": ") + std::string(RunMessage(kWarningBase + kind));
    ZuRunMessage(line.c_str());
    if (vm.base) ZuRunPrintFilePos(vm.cp, vm.currentFile, ActiveFunctionName());
}

void ZuRunUserWarning(const char* name, const char* text) {
    if (!(warningMask & kUserWarningBit)) return;
    std::string line = "Warning: ";
    line += name ? name : ActiveFunctionName();
    if (text) line += std::string(": ") + text;
    ZuRunMessage(line.c_str());
}

}  // extern "C"
