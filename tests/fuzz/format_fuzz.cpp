// Format strings from a program, as print, sprint, format and sscan take
// them, applied to values of every type.
#include "fuzz_host.h"

namespace {

const char* const kProgram = R"(#include <zustd.h>
apply(const f)
{
    decl x, s;
    s = sprint(f, 1.5, f, 7, f, "text", f, <1.5, -2; .NaN, 4>, f, {1, "a"});
    print(f, <1, 2; 3, 4>, f, 3.25, "\n");
    sscan("12 ab 3.5 <1,2>", f, &x);
    sscan(f, "%d", &x);
    sscan(f, f, &x, &s);
    return s;
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
