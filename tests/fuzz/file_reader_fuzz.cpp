// Files of any content through the reader that their extension chooses
// (ZU_FUZZ_EXTENSION at build time): matrix files, data sets and the
// foreign formats.
#include "fuzz_host.h"

namespace {

const char* const kProgram = R"(#include <zustd.h>
load(const name)
{
    decl m = loadmat(name), data, names, freq, y1, p1, y2, p2;
    loaddata(name, 0, 0, 0, 0, &data, &names, &freq, &y1, &p1, &y2, &p2);
    return m;
}
main() {}
)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ZuNAMEDVALUE* load = zu::fuzz::CompileProgram(kProgram, "load");
    const std::string file =
        zu::fuzz::InputFile({reinterpret_cast<const char*>(data), size}, ZU_FUZZ_EXTENSION);
    zu::fuzz::CallWithString(load, file);
    return 0;
}
