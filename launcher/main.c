/* zul: hands the command line to the library and turns its answer into
 * an exit status.  A run that exit() ended gives the code passed to exit
 * (0 included); a run stopped by any other run-time error gives 1, as does
 * a failure before the run. */
#include "zu.h"

int main(int argc, char** argv)
{
    int result;
    int status;
    ZuMainInit();
    ZuAddDrawLib();
    result = ZuMain(argc, argv);
    status = IZuRunExitStatus();
    /* ZuMain keeps its state after -r- for a host that runs the code
     * later; the launcher has no later, so it releases everything. */
    ZuMainExit();
    if (status >= 0)
        return status;
    return result == 0 ? 1 : 0;
}
