// systemcall: runs a command through the shell.
/// @family System
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "stdlib/print_sink.h"
#include "stdlib/routines.h"
#include "stdlib/value_printer.h"

namespace zu::stdlib {

/// systemcall(command)
/// Hands `command` to the shell (/bin/sh -c) and returns its exit status; 128 plus the signal
/// number when a signal ended it, -1 when no shell could be started. What the program printed
/// so far is flushed first, so that the two outputs come in order.
/// Example:
///     println("before");
///     println(systemcall("echo from the shell"), " ", systemcall("exit 3"));
void FnSystemcall(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0) return;
    const std::string command{StringChars(*pv)};
    PrintSink::Console().Flush();
    std::fflush(stdout);
    const int status = std::system(command.c_str());
    int result = -1;
    if (status != -1 && WIFEXITED(status))
        result = WEXITSTATUS(status);
    else if (status != -1 && WIFSIGNALED(status))
        result = 128 + WTERMSIG(status);
    ZuValSetInt(rtn, result);
}

}  // namespace zu::stdlib
