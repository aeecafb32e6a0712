/* An extension library as a user would write one: plain C against zu.h,
 * loaded by programs through declarations such as
 *     extern "zucallbacks,Apply" apply(const f, ...);
 * Its routines call back into Zu code, so that the golden programs can
 * show call-backs, objects made and used from library code, and errors
 * raised inside call-backs. */
#include "zu.h"

#define EXPORT __attribute__((visibility("default")))

/* apply(f, ...): f called with the remaining arguments; its result. */
EXPORT void Apply(ZuVALUE* rtn, ZuVALUE* pv, int cArg) { FZuCallBack(&pv[0], rtn, pv + 1, cArg - 1); }

/* tryapply(f, ...): 1 when f ran without a run-time error, else 0; the
 * error is not reported again in the caller. */
EXPORT void TryApply(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    ZuVALUE result;
    int ok = FZuRunCallBack(&pv[0], &result, pv + 1, cArg - 1, 0);
    ZuFreeByValue(&result);
    ZuValSetInt(rtn, ok);
}

/* mapelements(f, m): the matrix of f(m[i][j]); f must return a number. */
EXPORT void MapElements(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    (void)cArg;
    if (!ZuLibCheckType(ZU_MATRIX, pv, 1, 1)) return;
    int r = ZuValGetMatr(&pv[1]), c = ZuValGetMatc(&pv[1]);
    double** m = ZuValGetMat(&pv[1]);
    ZuLibValMatMalloc(rtn, r, c);
    double** out = ZuValGetMat(rtn);
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) {
            ZuVALUE x, y;
            ZuValSetDouble(&x, m[i][j]);
            if (!FZuCallBack(&pv[0], &y, &x, 1)) return;
            double d = 0;
            if (!ZuValGetDouble(&y, &d)) {
                ZuFreeByValue(&y);
                ZuRunErrorMessage("mapelements: the function must return a number");
                return;
            }
            out[i][j] = d;
        }
}

/* newobject(class, ...): an object of the named class made by its
 * constructor with the remaining arguments; 0 when there is no such class. */
EXPORT void NewObject(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    const char* name = ZuValGetString(&pv[0]);
    if (!name || !FZuCreateObject(name, rtn, pv + 1, cArg - 1)) ZuValSetInt(rtn, 0);
}

/* callmember(object, name, ...): the member function called by name. */
EXPORT void CallMember(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    const char* name = ZuValGetString(&pv[1]);
    if (!name || !FZuCallBackMember(&pv[0], name, rtn, pv + 2, cArg - 2))
        ZuRunErrorMessage("callmember: no such member function");
}

/* getmember(object, name): a copy of the data member's value. */
EXPORT void GetMember(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    (void)cArg;
    const char* name = ZuValGetString(&pv[1]);
    if (!name || !FZuGetDataMember(&pv[0], name, rtn)) ZuRunErrorMessage("getmember: no such data member");
}

/* setmember(object, name, value): assigns the data member; 1 on success. */
EXPORT void SetMember(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    (void)cArg;
    const char* name = ZuValGetString(&pv[1]);
    ZuValSetInt(rtn, name && FZuSetDataMember(&pv[0], name, &pv[2]));
}

/* deleteobject(&object): runs the destructor and frees the object, which
 * becomes the int 0. */
EXPORT void DeleteObject(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    (void)rtn;
    (void)cArg;
    if (ZuValHasFlag(&pv[0], ZU_FLAG_ADR) && pv[0].w2.v)
        ZuDeleteObject(pv[0].w2.v);
    else
        ZuRunErrorMessage("deleteobject: the address of an object expected");
}
