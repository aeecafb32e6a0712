// What the fuzz targets share: the library started once, and a Zu program
// compiled once whose functions each input is handed to.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

#include "zu.h"

namespace zu::fuzz {

inline void Quiet(const char*) {}

// A file that holds the input, named with the extension a reader expects;
// one per process, rewritten for each input.
inline std::string InputFile(std::string_view data, const char* extension)
{
    static const std::string name = "/tmp/zu-fuzz-" + std::to_string(getpid()) + extension;
    if (FILE* f = std::fopen(name.c_str(), "wb")) {
        std::fwrite(data.data(), 1, data.size(), f);
        std::fclose(f);
    }
    return name;
}

// Compiles the program text and links it without running it; the named
// function is then called for each input.
inline ZuNAMEDVALUE* CompileProgram(const char* text, const char* function)
{
    static bool started = false;
    if (!started) {
        ZuMainInit();
        started = true;
    }
    const std::string source = InputFile(text, ".zu");
    const std::string path = source + "-program.zu";
    std::rename(source.c_str(), path.c_str());
    char program[] = "fuzz", quiet[] = "-b", noRun[] = "-r-";
    char* args[] = {program, quiet, noRun, const_cast<char*>(path.c_str())};
    if (ZuMain(4, args) <= 0) {
        std::fprintf(stderr, "fuzz: the support program does not compile\n");
        std::abort();
    }
    std::remove(path.c_str());
    // Released at the end as zul releases a run, before the tables'
    // destructors drop what the leak check would then count as lost.
    std::atexit([] { ZuMainExit(); });
    SetZuMessage(Quiet);
    SetZuPuts(Quiet);
    return ZuSymFindGlobalFunction(function);
}

// Calls a function of the program with one string argument.
inline void CallWithString(ZuNAMEDVALUE* function, std::string_view text)
{
    ZuVALUE argument{};
    const std::string copy(text);
    ZuValSetString(&argument, copy.c_str());
    ZuVALUE result{};
    FZuRunCallBack(&function->val, &result, &argument, 1, 0);
    ZuFreeValue(&result);
    ZuFreeValue(&argument);
}

}  // namespace zu::fuzz
