// Kernel replacements loaded from a shared library "zukernel<suffix>".
#include "zu.h"

#include <array>
#include <climits>
#include <cstdlib>
#include <cstdio>
#include <string>

namespace zu::driver {
namespace {

template <typename Fn>
Fn as(void* routine) {
    return reinterpret_cast<Fn>(routine);
}

struct KernelSymbol {
    const char* name;
    void (*install)(void* routine);
};

// In the order they are looked up.
constexpr std::array<KernelSymbol, 8> kKernelSymbols{{
    {"ZuKnlCholeski", [](void* r) { SetKnlCholeski(as<ZuKNLCHOLESKI>(r)); }},
    {"ZuKnlInvertsym", [](void* r) { SetKnlInvertsym(as<ZuKNLINVERTSYM>(r)); }},
    {"ZuKnlInvert", [](void* r) { SetKnlInvert(as<ZuKNLINVERT>(r)); }},
    {"ZuKnlEigensym", [](void* r) { SetKnlEigensym(as<ZuKNLEIGENSYM>(r)); }},
    {"ZuKnlEigen", [](void* r) { SetKnlEigen(as<ZuKNLEIGEN>(r)); }},
    {"ZuKnlDecqr", [](void* r) { SetKnlDecqr(as<ZuKNLDECQR>(r)); }},
    {"ZuKnlDecsvd", [](void* r) { SetKnlDecsvd(as<ZuKNLDECSVD>(r)); }},
    {"ZuKnlMatmul", [](void* r) { SetKnlMatMul(as<ZuKNLMATMUL>(r)); }},
}};

// The file to open for a kernel library: "NAME.so" found in the current
// directory or along the include path, else the bare "NAME.so" for the
// loader's own search (LD_LIBRARY_PATH, the system directories).
std::string kernelLibraryFile(const std::string& name) {
    std::string file = name + ".so";
    char found[ZU_PATH_MAX] = "";
    if (FILE* f = ZuFileOpenSearch(file.c_str(), 0, 1, found, "")) {
        std::fclose(f);
        char resolved[PATH_MAX];
        if (realpath(found, resolved)) return resolved;
    }
    return file;
}

}  // namespace
}  // namespace zu::driver

using namespace zu::driver;

extern "C" void ZuLoadKernel(const char* suffix, int verbose) {
    std::string library = std::string("zukernel") + (suffix ? suffix : "");
    std::string file = kernelLibraryFile(library);
    bool first = true;
    for (const auto& symbol : kKernelSymbols) {
        int err = 0;
        void* routine = GetDynamicLink(file.c_str(), symbol.name, &err);
        if (first && err == 1) {
            if (verbose) ZuLinkError(17, library.c_str());
            return;
        }
        first = false;
        if (!routine) continue;
        if (verbose) std::printf("Zu kernel replacement from library %s: %s\n", library.c_str(), symbol.name);
        symbol.install(routine);
    }
}
