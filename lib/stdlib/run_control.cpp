// arglist: the program's arguments.  The routines that end the run or
// touch its warnings (exit, zuwarning, zurunerror) are the engine's own
// (run/run_library.h).
#include <cstddef>
#include "stdlib/routines.h"
#include "value/value.h"

using zu::value::Items;

namespace zu::stdlib {

// arglist(): the source file name and the program's arguments, each a
// string of its own; "Zu" alone when there are none (interactive mode).
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
