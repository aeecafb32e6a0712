// Opens the BLAS/LAPACK library on first use (see lapack.h).  OpenBLAS
// carries LAPACK too; the reference pair is the fallback.
#include "numerics/lapack.h"

#include "zu.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <dlfcn.h>
#include <sched.h>
#include <string>

namespace zu::numerics {
namespace {

constexpr std::array<const char*, 3> kLibraries{"libopenblas.so.0", "liblapack.so.3", "libblas.so.3"};

[[noreturn]] void CannotLoad(const std::string& what) {
    ZuMessage(("Fatal error: cannot load BLAS/LAPACK: " + what).c_str());
    ZuFatalError();
    std::abort();  // ZuFatalError ends the process; a host's exit hook may return
}

}  // namespace

void* BlasSymbol(const char* name) {
    // Handles stay open for the life of the process.
    static const std::array<void*, kLibraries.size()> handles = [] {
        std::array<void*, kLibraries.size()> h{};
        for (std::size_t i = 0; i < kLibraries.size(); ++i) h[i] = dlopen(kLibraries[i], RTLD_NOW | RTLD_LOCAL);
        return h;
    }();
    for (void* handle : handles)
        if (handle)
            if (void* routine = dlsym(handle, name)) return routine;
    CannotLoad(std::string(name) + " not found in " + kLibraries[0] + ", " + kLibraries[1] + " or " + kLibraries[2]);
}

int BlasThreadCount() {
    // What OpenBLAS itself takes, found without opening it, so that a
    // program that never calls it does not load it for the count.
    static const int count = [] {
        for (const char* name : {"OPENBLAS_NUM_THREADS", "OMP_NUM_THREADS"}) {
            const char* text = std::getenv(name);
            if (text == nullptr) continue;
            char* end = nullptr;
            const long value = std::strtol(text, &end, 10);
            if (end != text && *end == '\0' && value > 0) return static_cast<int>(std::min(value, 64L));
        }
        cpu_set_t set;
        return sched_getaffinity(0, sizeof set, &set) == 0 ? std::clamp(CPU_COUNT(&set), 1, 64) : 1;
    }();
    return count;
}

}  // namespace zu::numerics
