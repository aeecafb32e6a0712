// The library functions over data files: loaddata, savedata, loadmat and
// savemat, registered with the input and output functions; and findsample
// and getgrouplag over data in memory.
#ifndef ZU_DATA_LIBRARY_H
#define ZU_DATA_LIBRARY_H

#include "zu.h"

namespace zu::data {

void FnLoaddata(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnSavedata(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnLoadmat(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnSavemat(ZuVALUE* rtn, ZuVALUE* pv, int cArg);

// sample_functions.cpp, registered with the standard functions.
void FnFindsample(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnGetgrouplag(ZuVALUE* rtn, ZuVALUE* pv, int cArg);

}  // namespace zu::data

#endif
