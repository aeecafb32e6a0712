// arglist: the program's arguments.  The routines that end the run or
// touch its warnings (exit, zuwarning, zurunerror) are the engine's own
// (run/run_library.h).
/// @family System
#include <cstddef>
#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Items;

namespace zu::stdlib {

/// arglist()
/// An array of strings: the name of the source file and the program's arguments (those after
/// the file name on the command line), each a string of its own; {"Zu"} alone when there are
/// none, as in interactive mode.
/// Example:
///     decl args = arglist();
///     println(sizeof(args), " ", args[0]);
void FnArglist(ZuVALUE* rtn, ZuVALUE*, int) {
    int count = 0;
    char** strings = nullptr;
    ZuGetZuArgs(&count, &strings);
    if (strings == nullptr) count = 0;
    ZuLibValArrayCalloc(rtn, count > 0 ? count : 1);
    if (value::TypeCode(rtn) != ZU_ARRAY) return;
    if (count <= 0) {
        ZuValSetString(&Items(rtn)[0], "Zu");
        return;
    }
    for (int k = 0; k < count; ++k) ZuValSetString(&Items(rtn)[k], strings[k]);
}

}  // namespace zu::stdlib
