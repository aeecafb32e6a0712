// Opening the libraries that are loaded on first use (see lazy_library.h).
#include "value/lazy_library.h"

#include "console/run_error_codes.h"
#include "zu.h"

#include <cstdlib>
#include <dlfcn.h>
#include <string>

namespace zu::value {
namespace {

[[noreturn]] void CannotLoad(const std::string& what) {
    const std::string text = "cannot load " + what;
    ReportRunError(RunErrorCode::Library, text.c_str());
    // Outside a run the error returns: there is no caller to go back to
    // with a routine that does not exist.
    ZuMessage(("Fatal error: " + text).c_str());
    ZuFatalError();
    std::abort();  // ZuFatalError ends the process; a host's exit hook may return
}

}  // namespace

void* OpenLibraryOrFail(const char* soname) {
    if (void* handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL)) return handle;
    const char* why = dlerror();
    CannotLoad(std::string(soname) + (why ? std::string(" (") + why + ")" : std::string()));
}

void* RoutineOrFail(void* handle, const char* soname, const char* routine) {
    if (void* address = dlsym(handle, routine)) return address;
    CannotLoad(std::string(routine) + " from " + soname);
}

}  // namespace zu::value
