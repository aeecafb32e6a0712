// Opens the BLAS/LAPACK library on first use (see lapack.h).  OpenBLAS
// carries LAPACK too; the reference pair is the fallback.
#include "numerics/lapack.h"

#include "zu.h"

#include <array>
#include <dlfcn.h>
#include <string>

namespace zu::numerics {
namespace {

constexpr std::array<const char*, 3> kLibraries{"libopenblas.so.0", "liblapack.so.3", "libblas.so.3"};

[[noreturn]] void CannotLoad(const std::string& what) {
    ZuMessage(("Fatal error: cannot load BLAS/LAPACK: " + what).c_str());
    ZuFatalError();
    std::abort();  // ZuFatalError ends the process; a host's exit hook may return
}

// The routine of that name, or null.
void* FindBlasSymbol(const char* name) {
    // Handles stay open for the life of the process.
    static const std::array<void*, kLibraries.size()> handles = [] {
        std::array<void*, kLibraries.size()> h{};
        for (std::size_t i = 0; i < kLibraries.size(); ++i) h[i] = dlopen(kLibraries[i], RTLD_NOW | RTLD_LOCAL);
        return h;
    }();
    for (void* handle : handles)
        if (handle)
            if (void* routine = dlsym(handle, name)) return routine;
    return nullptr;
}

}  // namespace

void* BlasSymbol(const char* name) {
    if (void* routine = FindBlasSymbol(name)) return routine;
    CannotLoad(std::string(name) + " not found in " + kLibraries[0] + ", " + kLibraries[1] + " or " + kLibraries[2]);
}

int BlasThreadCount() {
    // OpenBLAS's own count follows OPENBLAS_NUM_THREADS and the process's
    // cores; the reference BLAS runs on the calling thread alone.
    static const int count = [] {
        using Count = int();
        auto* get = reinterpret_cast<Count*>(FindBlasSymbol("openblas_get_num_threads"));
        const int n = get != nullptr ? get() : 1;
        return n >= 1 ? n : 1;
    }();
    return count;
}

}  // namespace zu::numerics
