// System libraries opened on first use instead of at start-up.
//
// A library that only a few routines need (cairo for the drawing formats,
// the spreadsheet libraries for .xls and .xlsx) costs every run its
// loading and relocation when it is linked.  Instead, its routines are
// listed once with their C signatures:
//
//     #define ZU_CAIRO_ROUTINES(X)  [backslash at the end of each line]
//         X(void, cairo_paint, (cairo_t * cr), (cr))
//         X(cairo_t*, cairo_create, (cairo_surface_t * target), (target))
//     ZU_LAZY_LIBRARY(Cairo, "libcairo.so.2", ZU_CAIRO_ROUTINES)
//     #define ZU_CAIRO_FORWARD(...) ZU_LAZY_FORWARD(Cairo, __VA_ARGS__)
//     ZU_CAIRO_ROUTINES(ZU_CAIRO_FORWARD)
//
// which defines, in that file, `Cairo()`, the table of the library's
// addresses, and each routine under its own name, so that the callers stay
// as they are and the library's header checks the signatures.  The
// first call of any routine opens the library by soname and resolves all of
// them at once; a library or routine that is missing is the run-time error
// "error in library function" with the soname and what was not found.
// Definitions compiled with hidden visibility stay inside zul.so.3.
#pragma once

namespace zu::value {

// The handle of a library opened by soname (kept open for the life of
// the process).  A run-time error when it cannot be opened; outside a run,
// where that error returns, a fatal error.
void* OpenLibraryOrFail(const char* soname);

// The address of a routine of an opened library; errors as above.
void* RoutineOrFail(void* handle, const char* soname, const char* routine);

}  // namespace zu::value

#define ZU_LAZY_MEMBER(ret, name, params, args) ret(*name) params = nullptr;
#define ZU_LAZY_RESOLVE(ret, name, params, args) \
    table.name = reinterpret_cast<ret(*) params>(::zu::value::RoutineOrFail(handle, soname, #name));

// The table and its loader.
#define ZU_LAZY_LIBRARY(TableName, sonameText, LIST)                          \
    namespace {                                                               \
    struct TableName##Routines {                                              \
        LIST(ZU_LAZY_MEMBER)                                                  \
    };                                                                        \
    const TableName##Routines& TableName() {                                  \
        static const TableName##Routines loaded = [] {                        \
            const char* const soname = sonameText;                            \
            void* const handle = ::zu::value::OpenLibraryOrFail(soname);      \
            TableName##Routines table;                                        \
            LIST(ZU_LAZY_RESOLVE)                                             \
            return table;                                                     \
        }();                                                                  \
        return loaded;                                                        \
    }                                                                         \
    }

// One routine under its own name, calling through the table.
#define ZU_LAZY_FORWARD(TableName, ret, name, params, args) \
    extern "C" ret name params { return TableName().name args; }
