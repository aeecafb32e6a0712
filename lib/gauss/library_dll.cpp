// dlibrary and dllcall: functions of shared libraries called from Gauss
// code.  A library is found along the include path (as "name", "name.so"
// or "libname.so"); a function gets a pointer to the data of each argument
// (the doubles of a matrix or scalar, the characters of a string) and may
// change them: a variable passed by name sees the change.
/// @family Gauss compatibility

#include "gauss/routines.h"

#include "stdlib/value_printer.h"
#include "value/value.h"

#include <dlfcn.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace zu::gauss {
namespace {

constexpr int kMaxArguments = 8;

struct LibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using Library = std::unique_ptr<void, LibraryCloser>;

// The libraries of the last dlibrary, searched in order by dllcall.
std::vector<Library>& Libraries() {
    static std::vector<Library> libraries;
    return libraries;
}

// The path of a library along the include path, or "".
std::string findLibrary(const std::string& name) {
    char found[ZU_PATH_MAX] = "";
    for (const std::string& candidate : {name, name + ".so", "lib" + name + ".so"}) {
        if (std::FILE* f = ZuFileOpenSearch(candidate.c_str(), 1, 1, found, ".so")) {
            std::fclose(f);
            return found;
        }
    }
    return {};
}

// Where the function may read and write one argument; null for a value
// that has no such place.  Ints become doubles, and a matrix that is not
// its own gets a copy of its own, so that its rows are one block.
void* dataOf(ZuVALUE* v) {
    switch (value::TypeCode(v)) {
    // A scalar's place is its word itself, which no accessor hands out.
    case ZU_INT: ZuValSetDouble(v, value::IntOf(v)); return &v->w1.d;
    case ZU_DOUBLE: return &v->w1.d;
    case ZU_MATRIX:
        if (!(v->t & ZU_FLAG_VAL)) ZuMakeByValue(v);
        return value::Rows(v) > 0 && value::Columns(v) > 0 ? value::MatrixData(v)[0] : nullptr;
    case ZU_STRING: return value::StringText(v);
    default: return nullptr;
    }
}

using Pointers = std::array<void*, kMaxArguments>;

int call(void* fn, const Pointers& p, int n) {
    using P = void*;
    switch (n) {
    case 0: return reinterpret_cast<int (*)()>(fn)();
    case 1: return reinterpret_cast<int (*)(P)>(fn)(p[0]);
    case 2: return reinterpret_cast<int (*)(P, P)>(fn)(p[0], p[1]);
    case 3: return reinterpret_cast<int (*)(P, P, P)>(fn)(p[0], p[1], p[2]);
    case 4: return reinterpret_cast<int (*)(P, P, P, P)>(fn)(p[0], p[1], p[2], p[3]);
    case 5: return reinterpret_cast<int (*)(P, P, P, P, P)>(fn)(p[0], p[1], p[2], p[3], p[4]);
    case 6: return reinterpret_cast<int (*)(P, P, P, P, P, P)>(fn)(p[0], p[1], p[2], p[3], p[4], p[5]);
    case 7: return reinterpret_cast<int (*)(P, P, P, P, P, P, P)>(fn)(p[0], p[1], p[2], p[3], p[4], p[5], p[6]);
    default:
        return reinterpret_cast<int (*)(P, P, P, P, P, P, P, P)>(fn)(p[0], p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
    }
}

}  // namespace

/// gauss::dlibrary(names, flag)
/// The dlibrary statement: loads the shared libraries named (separated by blanks or commas; each found along
/// the include path as "name", "name.so" or "libname.so"), which replace those loaded before; no names
/// unloads them all. flag is not used. A library that cannot be loaded is the run-time error "dlibrary:
/// cannot load ...". Returns the number of libraries loaded.
/// Example:
///     // dlibrary mylib;  would load mylib.so from the include path
///     dlibrary;
///     print "no libraries loaded";
void FnGaussDlibrary(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0) return;
    std::string names(stdlib::StringChars(pv[0]));
    for (char& ch : names)
        if (ch == ',') ch = ' ';
    std::vector<Library> loaded;
    std::istringstream words(names);
    for (std::string name; words >> name;) {
        const std::string path = findLibrary(name);
        void* handle = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const std::string text = "dlibrary: cannot load " + name;
            ZuRunError(2, text.c_str());
            return;
        }
        loaded.emplace_back(handle);
    }
    Libraries() = std::move(loaded);
    ZuValSetInt(rtn, static_cast<int>(Libraries().size()));
}

/// gauss::dllcall(name, arguments)
/// The dllcall statement, `dllcall f(a, b, ...)`: calls the function f of the libraries loaded by `dlibrary`
/// (searched in order) with a pointer to the data of each argument (the doubles of a matrix or number, the
/// characters of a string), at most 8 of them; the function may change them in place, and a variable passed
/// by name sees the change. Returns the function's int result. A function that is not found is the run-time
/// error "dllcall: ... not found in the libraries of dlibrary".
/// Example (ends in a run-time error):
///     // With "int scale2(double *x, double *n)" in a library loaded by dlibrary,
///     // "dllcall scale2(x, n);" doubles x in place. With none loaded:
///     x = { 1 2 3 };
///     dlibrary;
///     dllcall scale2(x);
void FnGaussDllcall(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0 || ZuLibCheckType(ZU_ARRAY, pv, 1, 1) == 0) return;
    const std::string name(stdlib::StringChars(pv[0]));
    void* fn = nullptr;
    for (const Library& library : Libraries())
        if ((fn = dlsym(library.get(), name.c_str()))) break;
    if (!fn) {
        const std::string text = "dllcall: " + name + " not found in the libraries of dlibrary";
        ZuRunError(24, text.c_str());
        return;
    }
    const int n = value::ItemCount(&pv[1]);
    if (n > kMaxArguments) {
        ZuRunError(13, "dllcall: more than 8 arguments");
        return;
    }
    Pointers pointers{};
    for (int k = 0; k < n; ++k) {
        ZuVALUE* element = &value::Items(&pv[1])[k];
        pointers[static_cast<std::size_t>(k)] = dataOf(element);
        if (!pointers[static_cast<std::size_t>(k)]) {
            ZuRunError(14, "dllcall: an argument that is no matrix, number or string");
            return;
        }
    }
    ZuValSetInt(rtn, call(fn, pointers, n));
}

}  // namespace zu::gauss
