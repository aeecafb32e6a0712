/*
 * zu.h - the exported C interface of the Zu library zul.so.3.
 *
 * Pure C: a host includes this header, links zul.so.3 and drives the
 * library through these functions.  Nothing else is exported.
 */
#ifndef ZU_H
#define ZU_H

#include <stdio.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define ZU_API __attribute__((visibility("default")))
#else
#define ZU_API
#endif

/* ------------------------------------------------------------------ */
/* The value record                                                    */
/* ------------------------------------------------------------------ */

/* Type codes, held in bits 0 to 3 of the type word. */
#define ZU_TYPE_MASK    0x0F
#define ZU_NONE         0
#define ZU_INT          1
#define ZU_DOUBLE       2
#define ZU_MATRIX       3
#define ZU_STRING       4
#define ZU_ARRAY        5
#define ZU_FUNCTION     6
#define ZU_CLASS        7
#define ZU_VECTOR       8
#define ZU_INTFUNC      9
#define ZU_RANGE        10
#define ZU_FILE         11
#define ZU_IMPORTNAME   12

/* Flags of the type word. */
#define ZU_FLAG_NUL     0x10    /* no value */
#define ZU_FLAG_EXT     0x20    /* declared, not yet defined */
#define ZU_FLAG_STA     0x40    /* static */
#define ZU_FLAG_CON     0x80    /* constant */
#define ZU_FLAG_GLO     0x100   /* global */
#define ZU_FLAG_IDX     0x200   /* array built by indexing another value */
#define ZU_FLAG_ARG     0x400   /* argument */
#define ZU_FLAG_VAL     0x800   /* owns its data */
#define ZU_FLAG_MEM     0x1000  /* class member */
#define ZU_FLAG_INL     0x2000  /* inline */
#define ZU_FLAG_ADR     0x4000  /* address: refers to another value */

struct ZuVALUE;
struct ZuNAMEDVALUE;

/* One data word of a value record.  A word holds an int, a double or a
 * pointer; on a 64-bit platform it is pointer-sized, so the record is
 * larger than the 24 bytes of the stored formats, which never copy the
 * record as memory. */
typedef union ZuWORD {
    int                  i;
    double               d;
    void*                p;
    double**             m;     /* matrix: table of row pointers */
    char*                s;     /* string characters, declaration texts */
    struct ZuVALUE*      v;     /* array elements, address target */
    struct ZuNAMEDVALUE* nv;    /* object member tables */
    intptr_t             l;
} ZuWORD;

/* The run-time value record: the type word and five data words.
 * Which words mean what depends on the type code:
 *   int      w1.i
 *   double   w1.d
 *   matrix   w1.i rows, w2.i columns, w3.m row pointers (null when empty)
 *   string   w1.i length, w2.s characters (null when empty)
 *   array    w1.i count, w2.v elements (null when empty)
 *   address  w1.i 1, w2.v the value referred to
 *   function w1.i signed argument count, w3.s declaration text,
 *            w4.p bound-object record (with the member flag)
 *   class    w1.i number of data members, w4.nv members, w5.nv second table
 *   vector   w1..w3 as matrix, w4 and w5 the pending index
 *   int.func w1.i signed argument count, w3.s declaration, w5.p routine
 *   range    w1.i first index, w2.i last index
 *   file     w1.p stream, w2.i mode flags, w3.p two ints: rows, columns
 */
typedef struct ZuVALUE {
    int    t;       /* type word: code in bits 0-3, flags above */
    ZuWORD w1, w2, w3, w4, w5;
} ZuVALUE;

/* A name followed by a value: entries of symbol and member tables. */
typedef struct ZuNAMEDVALUE {
    char*   name;
    ZuVALUE val;
} ZuNAMEDVALUE;

/* A library routine: result record, first argument record, count. */
typedef void (*ZuLIBFUNC)(ZuVALUE* rtn, ZuVALUE* pv, int cArg);

/* ------------------------------------------------------------------ */
/* Console: hooks, pipes, output, messages, input                      */
/* ------------------------------------------------------------------ */

typedef void (*ZuTEXTHOOK)(const char* text);
typedef void (*ZuGETSHOOK)(char* buffer, int size);
typedef void (*ZuEXITHOOK)(int code);

ZU_API void  SetZuMessage(ZuTEXTHOOK fn);
ZU_API void  SetZuRunMessage(ZuTEXTHOOK fn);
ZU_API void  SetZuPuts(ZuTEXTHOOK fn);
ZU_API void  SetZuGets(ZuGETSHOOK fn);
ZU_API void  SetZuExit(ZuEXITHOOK fn);

ZU_API void  SetZuPipe(int n);
ZU_API char* GetZuPipe(void);
ZU_API int   GetZuPipeLength(void);
ZU_API int   ZuHaveInputPipe(void);

ZU_API int   ZuPuts(const char* text);
ZU_API int   ZuPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
ZU_API void  ZuFlush(void);
ZU_API void  ZuMessage(const char* text);
ZU_API void  ZuRunMessage(const char* text);
ZU_API void  ZuCompileMessage(const char* text, int line);
ZU_API void  PopErrorMessage(const char* text);
ZU_API void  PopWarningMessage(const char* text);
ZU_API int   PopAskString(const char* prompt, char* buffer, int size);
ZU_API int   PopAskNoYes(const char* prompt);
ZU_API void  ZuDefaultMessage(const char* text);

ZU_API int   ZuSetPrintlevel(int level);
ZU_API int   ZuGetPrintlevel(void);

ZU_API void  ZuFatalError(void);
ZU_API void  ZuExit(int code);
ZU_API void  ZuRunError(int code, const char* text);
ZU_API void  ZuRunErrorMessage(const char* text);
ZU_API void  ZuRunWarningMessage(const char* name, const char* text);
ZU_API void  ZuRunAbort(void);
ZU_API void  ZuSetRuntimeError(int flag);
ZU_API int   ZuGetRuntimeError(void);
ZU_API void  ZuSetRuntimeJump(void (*fn)(void));

ZU_API char* ZuGets(char* buffer, int size);
ZU_API int   ZuGetc(void);
ZU_API int   ZuUngetc(int ch);
ZU_API int   ZuScanf1(const char* format, void* target);

/* ------------------------------------------------------------------ */
/* Driver                                                              */
/* ------------------------------------------------------------------ */

/* Found-name buffers handed to ZuFileOpenSearch must hold this many
 * bytes; a name that would not fit is not tried. */
#define ZU_PATH_MAX 4096

ZU_API void  ZuMainInit(void);
ZU_API void  ZuAddDrawLib(void);
ZU_API int   ZuMain(int argc, char** argv);
ZU_API int   ZuMainCmd(const char* commandline);
ZU_API void  ZuMainExit(void);
ZU_API void  ZuMainUsage(void);
ZU_API int   IZuVersion(void);

ZU_API void  ZuSetMainArgs(int argc, char** argv);
ZU_API void  ZuGetMainArgs(int* argc, char*** argv);
ZU_API void  ZuSetZuArgs(int count, char** strings);
ZU_API void  ZuGetZuArgs(int* count, char*** strings);

ZU_API int   ZuSetInteractive(int on);
ZU_API int   ZuIsInteractive(void);
ZU_API int   ZuSetGaussMode(int on);
ZU_API int   ZuIsGaussMode(void);
ZU_API int   ZuSetCaseInsensitive(int on);
ZU_API int   ZuIsCaseInsensitive(void);
ZU_API void  ZuSetZuEditMode(void);
ZU_API int   ZuGetZuEditMode(void);
ZU_API void  ZuSetUserExitCode(int code);
ZU_API int   ZuGetUserExitCode(void);

ZU_API void        ZuSetIncludePath(const char* path);
ZU_API const char* ZuGetIncludePath(void);
ZU_API void        ZuGetIncludePathDefault(void);
ZU_API FILE*       ZuFileOpenSearch(const char* name, int useSourceDir,
                                    int tryAsGiven, char* found,
                                    const char* defaultExt);
ZU_API FILE*       FileOpen(const char* name, const char* mode);
ZU_API const char* SFileBase(const char* name);
ZU_API const char* SFileExt(const char* name);

ZU_API int         ZuOpenSourceFile(const char* name);
ZU_API void        ZuOpenSourceText(const char* text);
ZU_API const char* ZuGetSourceFilename(void);
ZU_API int         IZuGetSource(void);
ZU_API void        ZuUnGetSource(int ch);

ZU_API void  ZuLoadKernel(const char* suffix, int verbose);
ZU_API void* GetDynamicLink(const char* library, const char* symbol, int* err);

/* ------------------------------------------------------------------ */
/* Values                                                              */
/* ------------------------------------------------------------------ */

ZU_API int       ZuValGetInt(ZuVALUE* v, int* i);
ZU_API int       ZuValGetDouble(ZuVALUE* v, double* d);
ZU_API double**  ZuValGetMat(ZuVALUE* v);
ZU_API int       ZuValGetMatr(ZuVALUE* v);
ZU_API int       ZuValGetMatc(ZuVALUE* v);
ZU_API int       ZuValGetMatrc(ZuVALUE* v);
ZU_API char*     ZuValGetString(ZuVALUE* v);
ZU_API int       ZuValGetStringLen(ZuVALUE* v);
ZU_API int       ZuValGetStringCopy(ZuVALUE* v, char* buffer, int size);
ZU_API ZuVALUE*  ZuValGetArray(ZuVALUE* v);
ZU_API int       ZuValGetArrayLen(ZuVALUE* v);
ZU_API ZuVALUE*  ZuValGetArrayVal(ZuVALUE* v, int i);
ZU_API ZuVALUE*  ZuValGetVal(ZuVALUE* v, int i);
ZU_API int       ZuValType(ZuVALUE* v);
ZU_API int       ZuValHasType(ZuVALUE* v, int type);
ZU_API int       ZuValHasFlag(ZuVALUE* v, int flags);
ZU_API int       ZuValRows(ZuVALUE* v);
ZU_API int       ZuValColumns(ZuVALUE* v);
ZU_API int       ZuValSizer(ZuVALUE* v);
ZU_API int       ZuValSizec(ZuVALUE* v);
ZU_API int       ZuValSizerc(ZuVALUE* v);

ZU_API void      ZuValSetInt(ZuVALUE* v, int i);
ZU_API void      ZuValSetDouble(ZuVALUE* v, double d);
ZU_API void      ZuValSetString(ZuVALUE* v, const char* s);
ZU_API void      ZuValSetNull(ZuVALUE* v);
ZU_API void      ZuValSetZero(ZuVALUE* v);

ZU_API void      ZuLibValZero(ZuVALUE* v);
ZU_API void      ZuLibValMatMalloc(ZuVALUE* v, int r, int c);
ZU_API void      ZuLibValMatDup(ZuVALUE* v, double** m, int r, int c);
ZU_API void      ZuLibValArrayCalloc(ZuVALUE* v, int n);
ZU_API void      ZuLibValStrMalloc(ZuVALUE* v, int n);

ZU_API int         ZuFreeValue(ZuVALUE* v);
ZU_API void        ZuFreeByValue(ZuVALUE* v);
ZU_API void        ZuMakeByValue(ZuVALUE* v);
ZU_API const char* SZuGetTypeName(int typeword);
/* The buffer must hold ZU_TYPESIZE_MAX bytes. */
#define ZU_TYPESIZE_MAX 64
ZU_API char*       SZuGetTypeSize(char* buffer, ZuVALUE* v);

/* ------------------------------------------------------------------ */
/* Matrix storage and cache                                            */
/* ------------------------------------------------------------------ */

ZU_API double** MatAllocBlock(int r, int c);
ZU_API void     MatFreeBlock(double** m);
ZU_API double** CMatAlloc(int r, int c);
ZU_API void     CMatFree(double** m, int r, int c);
ZU_API double** CMatDup(double** m, int r, int c);
ZU_API double** MatAllocPlain(int r, int c);
ZU_API void     MatFreePlain(double** m, int r, int c);
ZU_API void**   TabAllocPlain(int count, int n, int size);
ZU_API void     TabFreePlain(void** table, int count, int n);
ZU_API char*    StrDupPlain(const char* s);

ZU_API void     SetMatCacheSize(int entries, int maxsize);
ZU_API void     MatCacheInit(void);
ZU_API void     MatCacheExit(void);
ZU_API void     MatCacheFlush(void);
ZU_API void     MatCacheStatus(void);

ZU_API double** MatCpy(double** dst, double** src, int r, int c);
ZU_API double** MatCopy(double** dst, double** src, int r, int c);
ZU_API double** MatDup(double** m, int r, int c);
ZU_API double*  VecDup(const double* v, int n);
ZU_API void     MatCopyVecr(double** m, const double* v, int r, int c);
ZU_API void     MatCopyVecc(double** m, const double* v, int r, int c);
ZU_API void     VecrCopyMat(double* v, double** m, int r, int c);
ZU_API void     VeccCopyMat(double* v, double** m, int r, int c);
ZU_API void     MatSetAt(double** m, double x, int i, int j);
ZU_API double   MatGetAt(double** m, int i, int j);
ZU_API double** MatI(double** m, int n);
ZU_API double** MatZero(double** m, int r, int c);
ZU_API double** MatNaN(double** m, int r, int c);
ZU_API double   SetNaN(double* d);
ZU_API int      FIsNaN(double d);

/* ------------------------------------------------------------------ */
/* Library function interface */
/* ------------------------------------------------------------------ */

/* end of section: library function interface */

/* ------------------------------------------------------------------ */
/* Compiler: scanner and preprocessor */
/* ------------------------------------------------------------------ */

/* end of section: scanner */

/* ------------------------------------------------------------------ */
/* Compiler: symbol tables, literals and code */
/* ------------------------------------------------------------------ */

/* end of section: symbols and code */

/* ------------------------------------------------------------------ */
/* Numerics: kernels, random numbers, probability, dates */
/* ------------------------------------------------------------------ */

/* end of section: numerics */

#ifdef __cplusplus
}
#endif

#endif /* ZU_H */
