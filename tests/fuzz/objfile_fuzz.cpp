// Object files of any content through the reader and the import linking.
// Loaded code is not run: the reader checks opcodes and operands, not yet
// the stack discipline of what it loads.
#include "fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static bool started = false;
    if (!started) {
        ZuMainInit();
        SetZuMessage(zu::fuzz::Quiet);
        started = true;
    }
    const std::string file =
        zu::fuzz::InputFile({reinterpret_cast<const char*>(data), size}, ".zuo");
    ZuOpenCode();
    IZuGetImportFile(file.c_str(), 0, 0);
    ZuCloseCode();
    return 0;
}
