/* zul: hands the command line to the library and turns its answer into
 * an exit status.  A run that exit() ended gives the code passed to exit
 * (0 included); a run stopped by any other run-time error gives 1, as does
 * a failure before the run. */
#define _POSIX_C_SOURCE 200112L /* setenv */
#include <stdlib.h>
#include <string.h>

#include "zu.h"

/* A command line that only asks for the usage text or the version has
 * done what it was asked when it printed them. */
static int asksForHelp(int argc, char** argv) {
    static const char* const requests[] = {"-h", "-H", "-?", "--help", "--version"};
    size_t i;
    if (argc != 2) return 0;
    for (i = 0; i < sizeof requests / sizeof requests[0]; ++i)
        if (strcmp(argv[1], requests[i]) == 0) return 1;
    return 0;
}

/* After each call, OpenBLAS's worker threads spin for 2^28 processor
 * cycles (about a tenth of a second) before they sleep, taking the second
 * core while the interpreter goes on alone.  2^14 cycles (microseconds)
 * still bridge the gaps between the calls inside one LAPACK routine: the
 * determinant, Choleski, inverse and eigenvalues of the matrix suite take
 * the same wall time either way.  The library opens OpenBLAS on its first
 * use, which reads the setting then; a user's own setting stands.  Set
 * here, before the process has a second thread, since setenv is not safe
 * beside other threads. */
static void quietBlasThreads(void) { setenv("OPENBLAS_THREAD_TIMEOUT", "14", 0); }

int main(int argc, char** argv) {
    int result;
    int status;
    quietBlasThreads();
    ZuMainInit();
    ZuAddDrawLib();
    result = ZuMain(argc, argv);
    status = IZuRunExitStatus();
    /* ZuMain keeps its state after -r- for a host that runs the code
     * later; the launcher has no later, so it releases everything. */
    ZuMainExit();
    if (asksForHelp(argc, argv)) return 0;
    if (status >= 0) return status;
    return result == 0 ? 1 : 0;
}
