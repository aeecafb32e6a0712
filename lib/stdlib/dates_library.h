// The library functions over the dates, times and timing routines.
#ifndef ZU_STDLIB_DATES_LIBRARY_H
#define ZU_STDLIB_DATES_LIBRARY_H

#include "zu.h"

namespace zu::stdlib {

void FnDate(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnDayofcalendar(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnDayofweek(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnTime(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnTimer(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnTimespan(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnTimestr(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnTiming(ZuVALUE* rtn, ZuVALUE* pv, int cArg);
void FnToday(ZuVALUE* rtn, ZuVALUE* pv, int cArg);

}  // namespace zu::stdlib

#endif
