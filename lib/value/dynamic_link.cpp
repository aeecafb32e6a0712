// Routines loaded from extension libraries.
//
// A library is opened once, with immediate binding and global symbols, and
// stays loaded for the rest of the process: linked symbols and installed
// kernels keep pointing into it, so its handle is never closed.
#include <dlfcn.h>

#include <map>
#include <string>

#include "zu.h"

namespace zu::value {
namespace {

class LoadedLibraries {
public:
    // The handle of an opened library, or null when it cannot be opened.
    // Failures are not remembered: the file may appear later.
    void* Open(const std::string& name) {
        if (auto found = handles_.find(name); found != handles_.end()) return found->second;
        void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_GLOBAL);
        if (handle != nullptr) handles_.emplace(name, handle);
        return handle;
    }

private:
    std::map<std::string, void*> handles_;
};

LoadedLibraries& Libraries() {
    static LoadedLibraries libraries;
    return libraries;
}

}  // namespace
}  // namespace zu::value

extern "C" void* GetDynamicLink(const char* library, const char* symbol, int* err) {
    int ignored = 0;
    int& status = err != nullptr ? *err : ignored;
    // A null or empty name would give the handle of the process itself.
    void* handle = library == nullptr || library[0] == '\0' ? nullptr : zu::value::Libraries().Open(library);
    if (handle == nullptr) {
        status = 1;
        return nullptr;
    }
    void* address = symbol == nullptr ? nullptr : dlsym(handle, symbol);
    status = address == nullptr ? 2 : 0;
    return address;
}
