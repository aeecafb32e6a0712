// sscan with both sides from the input: the first line is the format, the
// rest the text it reads, into more places than most formats name.
#include "fuzz_host.h"

namespace {

const char* const kProgram = R"(#include <zustd.h>
apply(const input)
{
    decl at = strfind(input, "\n"), f, text, a, b, c, d;
    if (at < 0)
        return sscan(input, "%v", &a);
    f = at > 0 ? input[: at - 1] : "";
    text = at + 1 < sizeof(input) ? input[at + 1 :] : "";
    return sscan(text, f, &a, &b, &c, &d);
}
main() {}
)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ZuNAMEDVALUE* apply = zu::fuzz::CompileProgram(kProgram, "apply");
    zu::fuzz::CallWithString(apply, {reinterpret_cast<const char*>(data), size});
    return 0;
}
