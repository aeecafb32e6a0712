// Object files of any content through the reader, the verifier of loaded
// code and the linking; a file that loads is run, with live statement
// markers, until it ends or 50 ms of processor time have passed.
#include "fuzz_host.h"

#include <csignal>
#include <sys/time.h>

namespace {

// The run stops at its next statement marker.
extern "C" void StopRun(int) { ZuRunAbort(); }

void ArmTimer(long microseconds) {
    const itimerval once{{0, 0}, {0, microseconds}};
    setitimer(ITIMER_VIRTUAL, &once, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool started = false;
    if (!started) {
        ZuMainInit();
        std::signal(SIGVTALRM, StopRun);
        started = true;
    }
    SetZuMessage(zu::fuzz::Quiet);
    SetZuRunMessage(zu::fuzz::Quiet);
    SetZuPuts(zu::fuzz::Quiet);
    const std::string file = zu::fuzz::InputFile({reinterpret_cast<const char*>(data), size}, ".zuo");
    char program[] = "fuzz", quiet[] = "-b", markers[] = "-rn";
    char* args[] = {program, quiet, markers, const_cast<char*>(file.c_str())};
    ArmTimer(50000);
    ZuMain(4, args);
    ArmTimer(0);
    return 0;
}
