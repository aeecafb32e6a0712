// Source text of any kind through the scanner, the preprocessor and the
// parser: compiled, never run.
#include "fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static bool started = false;
    if (!started) {
        ZuMainInit();
        SetZuMessage(zu::fuzz::Quiet);
        started = true;
    }
    const std::string text(reinterpret_cast<const char*>(data), size);
    ZuOpenCode();
    ZuOpenSourceText(text.c_str());
    IZuParse();
    ZuOpenSourceFile(nullptr);
    // What the driver does after a run: the symbols' values (function
    // records with their signatures, constants) and the literals go first.
    ZuRunExit();
    ZuCloseCode();
    return 0;
}
