/*
 * zu.h - the exported C interface of the Zu library zul.so.3.
 *
 * Pure C: a host includes this header, links zul.so.3 and drives the
 * library through these functions.  Nothing else is exported.
 */
/* The tables of this header are aligned by hand, for reading. */
/* clang-format off */
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
    intptr_t             l;     /* first: an empty initializer clears the
                                   whole word, not only an int's part */
    int                  i;
    double               d;
    void*                p;
    double**             m;     /* matrix: table of row pointers */
    char*                s;     /* string characters, declaration texts */
    struct ZuVALUE*      v;     /* array elements, address target */
    struct ZuNAMEDVALUE* nv;    /* object member tables */
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
/* The built-in function tables, registered by ZuMainInit in this order. */
ZU_API void  ZuAddStdLib(void);
ZU_API void  ZuAddStdIOLib(void);
ZU_API void  ZuAddArmaLib(void);
ZU_API void  ZuAddProbLib(void);
ZU_API void  ZuAddGaussStdLib(void);
ZU_API void  ZuAddGaussStdIOLib(void);
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

/* The internal-function table.  A declaration is one 'c' (or blank) per
 * argument, '$' and the name: "cc$acf".  With atLeast set the function
 * takes that many arguments or more. */
ZU_API int         FZuLibAddFunction(const char* declaration, ZuLIBFUNC routine,
                                     int atLeast);
ZU_API int         FZuLibIsIntFunction(const char* name);
ZU_API void        ZuLibFreeFunctions(void);
/* The name of the library function that is running (for messages). */
ZU_API const char* SZuIntFunc(void);

/* Link errors: reported with ZuCompileMessage and counted. */
ZU_API void ZuLinkError(int code, const char* text);
ZU_API void ZuResetLinkErrors(void);
ZU_API int  IZuGetLinkErrors(void);

/* Argument checks for library routines; arguments are numbered from 0 and
 * reported from 1.  A failed check reports and raises a run-time error,
 * which does not return while a program runs; the checks return 1 when
 * every argument passed and 0 after a report that returned. */
ZU_API int ZuLibArgError(int n);
ZU_API int ZuLibArgTypeError(int n, int expectedType, int foundType);
ZU_API int ZuLibCheckType(int type, ZuVALUE* args, int first, int last);
ZU_API int ZuLibCheckSquareMatrix(ZuVALUE* args, int first, int last);
ZU_API int ZuLibCheckMatrixSize(ZuVALUE* args, int first, int last, int rows,
                                int columns);
ZU_API int ZuLibCheckArrayMatrix(ZuVALUE* args, int first, int last,
                                 double** m);

/* Element-wise application of scalar functions of doubles to ints,
 * doubles and matrices: the result record, the argument records, f. */
typedef double (*ZuFNDOUBLE)(double x);
typedef double (*ZuFNDOUBLE2)(double x, double y);
typedef double (*ZuFNDOUBLEINT)(double x, int y);
typedef double (*ZuFNDOUBLE3)(double x, double y, double z);
typedef double (*ZuFNDOUBLE4)(double x, double y, double z, double w);

ZU_API void ZuFnDouble(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLE f);
ZU_API void ZuFnDouble2(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLE2 f);
ZU_API void ZuFnDoubleInt(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLEINT f);
ZU_API void ZuFnDouble3(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLE3 f);
ZU_API void ZuFnDouble4(ZuVALUE* rtn, ZuVALUE* args, ZuFNDOUBLE4 f);

/* end of section: library function interface */

/* ------------------------------------------------------------------ */
/* Compiler: scanner and preprocessor */
/* ------------------------------------------------------------------ */

ZU_API void        ZuDefine(const char* tokens);
ZU_API int         IZuScanErrors(void);
ZU_API const char* SZuScanFile(void);
ZU_API int         IZuScanExit(void);

/* Start scanning a source (the name is used in messages; may be null).
 * Defines made before are kept.  0 when the scanner cannot start. */
ZU_API int         FZuScanInit(const char* sourceName);
/* The next token after preprocessing; the codes are those that
 * SZuTokenName names, and SZuScanText holds the token's text. */
ZU_API int         IZuScanToken(void);
ZU_API const char* SZuScanText(void);
ZU_API const char* SZuTokenName(int code);
/* The current line, or 0 when no source name is set. */
ZU_API int         IZuLineNo(void);
ZU_API void        ZuEscSeqOn(void);
ZU_API void        ZuEscSeqOff(void);
ZU_API void        ZuSetSpaceMode(int on);
ZU_API int         ZuGetSpaceMode(void);
/* Defines made while compiling a text can be dropped again: the count is
 * the number of used slots, and setting it drops every later define. */
ZU_API int         IZuScanGetDefineCount(void);
ZU_API int         IZuScanSetDefineCount(int count);
/* After a "'" where an operand belongs: a character literal, its code as
 * <int> text. */
ZU_API int         IZuScanGetSingleQuotedString(void);
/* Unquoted command arguments; stops may be null. */
ZU_API int         IZuScanUnquotedString(int keepEscapes, int multiLine,
                                         const char* stops);
ZU_API int         IZuScanExtendUnquotedString(int stop);

/* end of section: scanner */

/* ------------------------------------------------------------------ */
/* Compiler: symbol tables, literals and code */
/* ------------------------------------------------------------------ */

/* One p-code instruction: an opcode and its operand.  A code address is
 * an index into the one code array of the program. */
typedef struct ZuPCODE {
    int32_t op;
    int32_t arg;
} ZuPCODE;

/* Symbol size (records, without the spare 10) for the next opening of
 * the tables; the default is 2000. */
ZU_API void          ZuSetSymbolSize(int n);

/* The global symbol table: an array of named values, valid until the next
 * declaration may grow it (records move when the table grows). */
ZU_API ZuNAMEDVALUE* ZuGetSymGloBase(void);
ZU_API int           ZuGetSymTabCount(void);

/* The literal table: the constants loaded by LIT and the import names. */
ZU_API ZuVALUE*      ZuGetLitStack(void);
ZU_API int           ZuGetLitStackCount(void);
ZU_API void          ZuFreeLiteralValues(void);

/* Declare a global at the end of the table; null after a fatal fault. */
ZU_API ZuNAMEDVALUE* ZuSymAppendGlobal(const char* name, int flags);
/* Search backwards from the record before end (null: the current end);
 * with skip set, functions and library functions are passed over. */
ZU_API ZuNAMEDVALUE* ZuSymFindGlobal(const char* name, ZuNAMEDVALUE* end,
                                     int skip);
ZU_API ZuNAMEDVALUE* ZuSymFindGlobalFunction(const char* name);
ZU_API ZuNAMEDVALUE* ZuSymFindClass(const char* name);
/* Append a record that takes over the name and value of the given one,
 * which is left nameless and without value; null when the table is full. */
ZU_API ZuNAMEDVALUE* ZuSymMoveGlobal(ZuNAMEDVALUE* record);

/* Parser and code generation.  ZuOpenCode opens (or clears) the symbol
 * table, the literal table and the code; IZuParse compiles the current
 * source and returns the number of errors (scanner and parser). */
ZU_API void          ZuOpenCode(void);
ZU_API void          ZuCloseCode(void);
ZU_API void          ZuParseNew(void);
ZU_API int           IZuParse(void);
/* One line of text in the frame of a running function: its first
 * argument and local records and the end of its symbols, a character to
 * read first (0 none), whether the text is only expressions, and the value
 * of the first argument (the object, in a member function). */
ZU_API int           IZuParseInsertExpression(ZuNAMEDVALUE* firstArgument,
                                              ZuNAMEDVALUE* firstLocal,
                                              ZuNAMEDVALUE* end, int firstChar,
                                              int exprOnly,
                                              ZuVALUE* argumentValue);
/* A further file compiled (or loaded as object file) into the program; on
 * error the tables are rolled back.  -1 when the file is not found. */
ZU_API int           IZuParseInsertFile(const char* name, int objectFile,
                                        int useNameAsIs);
/* Compiles top-level text (definitions of functions and classes, typed at
 * the interactive prompt) into the program, as IZuParseInsertFile does a
 * file; what it declared is taken back when it has errors.  Returns the
 * number of errors, -1 for a null text. */
ZU_API int           IZuParseInsertText(const char* text);
/* Object files and imports.  IZuGetImportFile loads one import: a
 * directory name loads nothing; an object file found along the include
 * path is linked, else the source is compiled in; the result is the number
 * of errors.  IZuParseLinkImports loads every import the literal table
 * records until a pass finds none new: 1 after a failing load, else 0.
 * ZuWriteCode writes the program to an object file and closes the stream:
 * 1 when it was all written, 0 after "writing file". */
ZU_API int           IZuGetImportFile(const char* name, int linked,
                                      int gaussFlag);
ZU_API int           IZuParseLinkImports(void);
ZU_API int           ZuWriteCode(FILE* file);
/* ZuGauss mode.  IZuParseGaussMain compiles the current source as ZuGauss
 * main code and procedures, with the scanner started by the caller, and
 * returns the parser's errors; FZuParseInitGauss prepares the mode once
 * (support file, link flag); IZuParseGaussAutoload records the imports of
 * "gauss::" functions still unbound and returns their number;
 * ZuParseExitGauss releases the mode's tables. */
ZU_API int           IZuParseGaussMain(void);
ZU_API int           FZuParseInitGauss(const char* startup, int run);
ZU_API int           IZuParseGaussAutoload(void);
ZU_API void          ZuParseExitGauss(void);
ZU_API int           IZuParseAddMainCall(void);
ZU_API void          ZuParseEmitMainDummy(void);
ZU_API void          ZuParseDelUnusedExternals(void);
ZU_API ZuPCODE*      PZuGetPcode(int* count);
ZU_API void          ZuParseOptimization(int on);
ZU_API void          ZuParseInterDebug(int interactive, int debug);
ZU_API int           ZuIsDebug(void);
ZU_API void          ZuParseSetLineno(int on);
ZU_API void          ZuParseWarningLevel(int level);

/* The code listing with the global symbols and the literals. */
ZU_API void          ZuDumpCode(void);
/* One single-step line: the instruction at cp and the stack registers,
 * which point into the value stack whose first usable entry is base
 * (sp = base - 1 when the stack is empty). */
ZU_API void          ZuDumpTrace(int cp, const ZuVALUE* base,
                                 const ZuVALUE* sp, const ZuVALUE* ap,
                                 const ZuVALUE* bp);

/* end of section: symbols and code */

/* ------------------------------------------------------------------ */
/* Numerics: kernels, random numbers, probability, dates */
/* ------------------------------------------------------------------ */

/* Kernel slots.  Matrices are row-pointer tables; each routine returns
 * 0 on success and prints nothing.  A setter given null restores the
 * built-in routine.
 *   Choleski   A (n by n, lower triangle read) becomes its factor L.
 *   Invertsym  A becomes its inverse; logdet (may be null) receives
 *              log |A|.
 *   Invert     A becomes its inverse; logdet and sign (either may be
 *              null) receive log |det A| and the sign of ILUPlogdet.
 *   Eigensym   eval receives the eigenvalues in decreasing order; with
 *              wantvec, A is replaced by the eigenvectors, column j
 *              belonging to eval[j].
 *   Eigen      re, im receive the eigenvalues; V (may be null) the
 *              right eigenvectors by columns, a complex pair j, j+1 as
 *              real part in column j and imaginary part in column j+1.
 *   Decqr      At is the c by r transpose of the r by c matrix A; it
 *              receives R above its transposed diagonal (R(i,j) is
 *              At[j][i]) and the Householder vectors below, tau the
 *              min(r,c) reflector scales; with piv not null the
 *              columns are pivoted, piv[j] naming the original column.
 *   Decsvd     A (r by c, kept) = U diag(sv) V' with k = min(r,c):
 *              sv decreasing, U r by k and V c by k (either may be
 *              null).
 *   MatMul     R = op(A) op(B), op transposing when its flag is set;
 *              A is rA by cA, B is rB by cB as stored. */
typedef int  (*ZuKNLCHOLESKI)(double** A, int n);
typedef int  (*ZuKNLINVERTSYM)(double** A, int n, double* logdet);
typedef int  (*ZuKNLINVERT)(double** A, int n, double* logdet, int* sign);
typedef int  (*ZuKNLEIGENSYM)(double** A, int n, double* eval,
                              int wantvec);
typedef int  (*ZuKNLEIGEN)(double** A, int n, double* re, double* im,
                           double** V);
typedef int  (*ZuKNLDECQR)(double** At, int c, int r, int* piv,
                           double* tau);
typedef int  (*ZuKNLDECSVD)(double** A, int r, int c, double* sv,
                            double** U, double** V);
typedef void (*ZuKNLMATMUL)(double** R, double** A, int rA, int cA,
                            double** B, int rB, int cB, int transA,
                            int transB);

ZU_API void   SetKnlCholeski(ZuKNLCHOLESKI fn);
ZU_API void   SetKnlInvertsym(ZuKNLINVERTSYM fn);
ZU_API void   SetKnlInvert(ZuKNLINVERT fn);
ZU_API void   SetKnlEigensym(ZuKNLEIGENSYM fn);
ZU_API void   SetKnlEigen(ZuKNLEIGEN fn);
ZU_API void   SetKnlDecqr(ZuKNLDECQR fn);
ZU_API void   SetKnlDecsvd(ZuKNLDECSVD fn);
ZU_API void   SetKnlMatMul(ZuKNLMATMUL fn);

ZU_API void   SetInvertEps(double eps);
ZU_API double DGetInvertEps(void);
ZU_API double DGetInvertEpsNorm(double** A, int n);
ZU_API void   SetFastMath(int on);
ZU_API int    FUsingFastMath(void);

/* Calls through the slots. */
ZU_API int    FPPtDec(double** A, int n);
ZU_API int    ISymInvDet(double** A, int n, double* logdet);
ZU_API int    ISymInv(double** A, int n);
ZU_API int    IInvDet(double** A, int n, double* logdet, int* sign);
ZU_API int    IInvert(double** A, int n);
ZU_API int    IEigenSym(double** A, int n, double* eval, int wantvec);
ZU_API int    IEigen(double** A, int n, double* re, double* im,
                     double** V);
ZU_API int    IDecQRtEx(double** At, int c, int r, int* piv, double* tau);
ZU_API int    IDecSVD(double** A, int r, int c, double* sv, double** U,
                      double** V);
/* Products: the result comes first and must not overlap an operand.
 * MatAB: A rA by cA, B cA by cB.  MatABt: A rA by cA, B rB by cA.
 * MatAtB: A rA by cA, B rA by cB.  MatBtB and MatBBt: B rB by cB. */
ZU_API double** MatAB(double** R, double** A, int rA, int cA, double** B,
                      int cB);
ZU_API double** MatABt(double** R, double** A, int rA, int cA,
                       double** B, int rB);
ZU_API double** MatAtB(double** R, double** A, int rA, int cA,
                       double** B, int cB);
ZU_API double** MatBtB(double** R, double** B, int rB, int cB);
ZU_API double** MatBBt(double** R, double** B, int rB, int cB);

/* Built-in routines and their parts.  perm has n entries; the LU
 * factors share A, L below the unit diagonal.  d receives the inverse
 * pivots of LDL'. */
ZU_API int    ILUPdec(double** A, int n, int* perm, double* logdet,
                      int* sign);
ZU_API int    ILUPlogdet(double** LU, int n, const int* perm, double tol,
                         double* logdet);
ZU_API void   LUPsolve(double** LU, int n, const int* perm, double* b);
ZU_API void   LUPsolveInv(double** LU, int n, const int* perm,
                          double** Ainv);
ZU_API int    ILDLdec(double** A, double* d, int n);
ZU_API int    IEigen_lapack(double** A, int n, double* re, double* im,
                            double** V);

/* Uniform generator: draw, seed setter, seed getter. */
typedef double (*ZuRANU)(void);
typedef void   (*ZuRANSETSEED)(const int* seeds, int count);
typedef int    (*ZuRANGETSEED)(int* seeds, int count);

ZU_API extern int fNormalInStore;

ZU_API double DRanU(void);
ZU_API void   RanSetSeed(const int* seeds, int count);
ZU_API int    RanGetSeed(int* seeds, int count);
ZU_API void   RanSetRan(const char* name);
ZU_API void   RanNewRan(ZuRANU uniform, ZuRANSETSEED setseed,
                        ZuRANGETSEED getseed);
ZU_API double DRanNormalPM(void);
ZU_API void   MatRan(double** m, int r, int c);
ZU_API void   MatRann(double** m, int r, int c);
ZU_API void   MatRanNormal(double** m, int r, int c);

ZU_API double DRanExp(double lambda);
ZU_API double DRanGamma(double r, double a);
ZU_API double DRanChi(double df);
ZU_API double DRanT(int df);
ZU_API double DRanStudentT(double df);
ZU_API double DRanF(double df1, double df2);
ZU_API double DRanBeta(double a, double b);
ZU_API double DRanLogistic(void);
ZU_API double DRanLogNormal(void);
ZU_API double DRanCauchy(void);
ZU_API double DRanExtremeValue(void);
ZU_API double DRanPareto(double k, double a);
ZU_API double DRanWeibull(double a, double b);
ZU_API double DRanStable(double alpha, double beta);
ZU_API double DRanMises(double mu, double kappa);
ZU_API double DRanInvGaussian(double mu, double lambda);
ZU_API double DRanHypergeometric(int N, int k, int n);
ZU_API double DRanGIG(double lambda, double chi, double psi);
ZU_API double DRanGH(double alpha, double beta, double delta,
                     double lambda);
ZU_API int    IRanPoisson(double mu);
ZU_API int    IRanBinomial(int n, double p);
ZU_API int    IRanGeometric(double p);
ZU_API int    IRanNegBin(int n, double p);
ZU_API int    IRanLogarithmic(double a);
/* The integer draws return -1 for parameters outside their domain.
 * Multivariate and process draws return 0, or 1 for a parameter outside
 * the domain (the output is then NaN where it is doubles).  RanWishart
 * draws with scale L L', L lower triangular. */
ZU_API int    RanDirichlet(double* x, const double* alpha, int n);
ZU_API int    RanWishart(double** W, double** L, int p, int df);
ZU_API int    RanUorder(double* x, int n);
ZU_API int    RanSubSample(int* idx, int k, int n);
ZU_API int    RanSubSampleVec(double* dst, const double* src, int k, int n);
ZU_API int    RanPoissonProcess(double* x, int n, double mu);
ZU_API int    RanBrownianMotion(double* x, int n, double dt);
ZU_API int    RanMultinomial(int* counts, int n, const double* p, int k);
ZU_API int    RanShuffle(double* x, int n);

/* Normal family and the Student t. */
ZU_API double DProbNormal(double x);
ZU_API double DTailProbNormal(double x);
ZU_API double DDensNormal(double x);
ZU_API double DQuanNormal(double p);
ZU_API double DErf(double x);
ZU_API double DProbT(double t, int df);
ZU_API double DTailProbT(double t, int df);
ZU_API double DProbTNc(double t, double df, double delta);
ZU_API double DDensT(double t, double df);
ZU_API double DQuanT(double p, int df);
ZU_API double DQuanTD(double p, double df);
ZU_API double DProbChi(double x, double df);
ZU_API double DTailProbChi(double x, double df);
ZU_API double DProbChiNc(double x, double df, double nc);
ZU_API double DDensChi(double x, double df);
ZU_API double DQuanChi(double p, double df);
ZU_API double DProbF(double x, double df1, double df2);
ZU_API double DTailProbF(double x, double df1, double df2);
ZU_API double DProbFNc(double x, double df1, double df2, double nc);
ZU_API double DDensF(double x, double df1, double df2);
ZU_API double DQuanF(double p, double df1, double df2);
/* The probability library.  Parameters: gamma shape r and rate a;
 * exponential rate lambda; logistic and extreme value (Gumbel) location
 * alpha and scale beta; Pareto scale k and shape a (x >= k); Weibull
 * shape a and scale b; inverse Gaussian mean mu and shape lambda; von
 * Mises mean mu and concentration kappa, on (mu - pi, mu + pi];
 * binomial n trials of probability p; geometric and negative binomial
 * count the failures before the first (n-th) success of probability p;
 * hypergeometric successes in n draws from N items of which k are
 * successes; logarithmic parameter a in (0, 1); Poisson mean mu.  Out
 * of the domain: NaN. */
ZU_API double DProbGamma(double x, double r, double a);
ZU_API double DDensGamma(double x, double r, double a);
ZU_API double DQuanGamma(double p, double r, double a);
ZU_API double DProbBeta(double x, double a, double b);
ZU_API double DProbBetaNc(double x, double a, double b, double nc);
ZU_API double DDensBeta(double x, double a, double b);
ZU_API double DQuanBeta(double p, double a, double b);
ZU_API double DProbExp(double x, double lambda);
ZU_API double DDensExp(double x, double lambda);
ZU_API double DQuanExp(double p, double lambda);
ZU_API double DProbLogNormal(double x);
ZU_API double DDensLogNormal(double x);
ZU_API double DQuanLogNormal(double p);
ZU_API double DProbLogistic(double x, double alpha, double beta);
ZU_API double DDensLogistic(double x, double alpha, double beta);
ZU_API double DQuanLogistic(double p, double alpha, double beta);
ZU_API double DProbCauchy(double x);
ZU_API double DDensCauchy(double x);
ZU_API double DQuanCauchy(double p);
ZU_API double DProbExtremeValue(double x, double alpha, double beta);
ZU_API double DDensExtremeValue(double x, double alpha, double beta);
ZU_API double DQuanExtremeValue(double p, double alpha, double beta);
ZU_API double DProbPareto(double x, double k, double a);
ZU_API double DDensPareto(double x, double k, double a);
ZU_API double DQuanPareto(double p, double k, double a);
ZU_API double DProbWeibull(double x, double a, double b);
ZU_API double DDensWeibull(double x, double a, double b);
ZU_API double DQuanWeibull(double p, double a, double b);
ZU_API double DProbInvGaussian(double x, double mu, double lambda);
ZU_API double DDensInvGaussian(double x, double mu, double lambda);
ZU_API double DQuanInvGaussian(double p, double mu, double lambda);
ZU_API double DProbMises(double x, double mu, double kappa);
ZU_API double DDensMises(double x, double mu, double kappa);
ZU_API double DQuanMises(double p, double mu, double kappa);
ZU_API double DProbBinomial(double x, int n, double p);
ZU_API double DDensBinomial(double x, int n, double p);
ZU_API double DQuanBinomial(double p, int n, double prob);
ZU_API double DProbGeometric(double x, double p);
ZU_API double DDensGeometric(double x, double p);
ZU_API double DQuanGeometric(double p, double prob);
ZU_API double DProbHypergeometric(double x, int N, int k, int n);
ZU_API double DDensHypergeometric(double x, int N, int k, int n);
ZU_API double DQuanHypergeometric(double p, int N, int k, int n);
ZU_API double DProbLogarithmic(double x, double a);
ZU_API double DDensLogarithmic(double x, double a);
ZU_API double DQuanLogarithmic(double p, double a);
ZU_API double DProbNegBin(double x, int n, double p);
ZU_API double DDensNegBin(double x, int n, double p);
ZU_API double DQuanNegBin(double p, int n, double prob);
ZU_API double DProbPoisson(double x, double mu);
ZU_API double DDensPoisson(double x, double mu);
ZU_API double DQuanPoisson(double p, double mu);
/* P(X <= x1, Y <= x2) for standard normals of correlation rho. */
ZU_API double DProbBVN(double x1, double x2, double rho);
/* P(X <= x) for X normal with mean 0 and the n by n covariance sigma
 * (n at most 100): exact up to two dimensions, above by a lattice rule
 * accurate to about 1e-6. */
ZU_API double DProbMVN(const double* x, double** sigma, int n);
/* Generalised hyperbolic (location 0) and generalised inverse Gaussian
 * (density proportional to x^(lambda-1) exp(-(chi/x + psi x)/2)). */
ZU_API double DDensGH(double x, double alpha, double beta, double delta,
                      double lambda);
ZU_API double DDensGIG(double x, double lambda, double chi, double psi);

/* Support routines: DGammaFunc is the regularised incomplete gamma
 * P(r, x), DBetaFunc the regularised incomplete beta I_x(a, b). */
ZU_API double DLogGamma(double x);
ZU_API double DGammaFunc(double x, double r);
ZU_API double DBetaFunc(double x, double a, double b);
ZU_API double DPolyGamma(double x, int n);
ZU_API double DBinomial(int n, int k);
ZU_API double DFactorial(int n);

/* Dates, times and timing.  The texts are formatted into one buffer that
 * the next call overwrites.  Clock readings are CPU ticks of the process;
 * calendar times are seconds since the epoch. */
#define ZU_CALENDER_MAX 64  /* bytes of the buffer given to SCalender */
ZU_API const char* SDate(void);
ZU_API const char* STime(void);
ZU_API void        ClockReset(void);
ZU_API void        ClockSet(long ticks);
ZU_API long        ClockGet(void);
ZU_API void        ClockSetDblHsec(double hsec);
ZU_API double      ClockGetDblHsec(void);
ZU_API double      TimeGetDbl(void);
ZU_API const char* SClock(void);
ZU_API const char* STimeSpan(double t0, double t1);
ZU_API const char* STimeStr(double t);
ZU_API char*       SCalender(char* buffer);
ZU_API double      DateToTime(int y, int m, int d, int h, int min, int s);
ZU_API void        TimeToDate(double t, int* y, int* m, int* d, int* h,
                              int* min, int* s);
ZU_API int         GetJulianDay(int y, int m, int d);
ZU_API void        GetDateFromJulian(int jd, int* y, int* m, int* d);
ZU_API int         GetDayOfWeek(int y, int m, int d);
ZU_API int         GetDayOfWeekFromJulian(int jd);

/* end of section: numerics */

/* ------------------------------------------------------------------ */
/* Operators and casts */
/* ------------------------------------------------------------------ */

/* Casts in place, returning 1 on success.  ZuRunCastToInt and
 * ZuRunCastToDouble take scalars only (an int, a double or a 1 by 1
 * matrix); these three raise the cast's run-time error on failure.
 * ZuRunCastNonNullTo is the silent conversion of the argument checks: 0
 * for a value without value and for an empty matrix. */
ZU_API int  ZuRunCastToInt(ZuVALUE* v);
ZU_API int  ZuRunCastToDouble(ZuVALUE* v);
ZU_API int  ZuRunCastToMatrix(ZuVALUE* v);
ZU_API int  ZuRunCastNonNullTo(ZuVALUE* v, int type);
/* v1 becomes v1 .^ v2.  v2 keeps its data unless the result was computed
 * into its storage; it is then left as int 0.  The caller frees v2. */
ZU_API void ZuRunDotPower(ZuVALUE* v1, ZuVALUE* v2);

/* end of section: operators and casts */

/* ------------------------------------------------------------------ */
/* Standard library */
/* ------------------------------------------------------------------ */

/* Print one value as print() does, with no format, to the console; with
 * flags 1 a matrix split into blocks of columns gets block headers. */
ZU_API void ZuStdPrintVal(ZuVALUE* v, int flags);
/* Whether the last print to the console ended with a newline. */
ZU_API int  DidNewline(void);
ZU_API void SetDidNewline(int flag);
/* Releases the string buffer of sprint and scan. */
ZU_API void ZuStdClosePrintBuffer(void);

/* end of section: standard library */

/* ------------------------------------------------------------------ */
/* Interpreter */
/* ------------------------------------------------------------------ */

/* Start, run and end.  IZuRunInit allocates the stack, appends the call of
 * main and links; it returns the address to hand to FZuRun (-1 when the
 * link failed, -2 without memory for the stack).  The run functions return
 * 1 when no run-time error occurred.  name may be null (then "main" as
 * linked). */
ZU_API void        ZuSetStackSize(int n);
ZU_API int         IZuRunInit(void);
ZU_API int         IZuRunStart(void);
ZU_API int         FZuRunInitMainFunc(int address, const char* name);
ZU_API int         FZuRunMainFunc(int address, const char* name);
ZU_API int         FZuRun(int address, const char* name);
ZU_API void        ZuRunExit(void);
ZU_API void        ZuRunFinish(void);
/* Functions without arguments called after main, last registered first;
 * at most 10. */
ZU_API void        ZuRunMainExitCall(ZuVALUE* function);
ZU_API void        ZuRunMainDoExitCall(void);
/* How the last run of main ended: -1 normally (or no run), the code given
 * to exit() when exit() ended it, 1 after any other run-time error. */
ZU_API int         IZuRunExitStatus(void);

/* For library routines: the running Zu function, its arguments, the name
 * of the library function called, and call-backs into Zu or library
 * functions.  A call-back returns 1 on success; a run-time error inside
 * it is reported again in the caller as "in callback function" when
 * report is set (FZuCallBack always reports). */
ZU_API ZuVALUE*    ZuRunActiveFunc(void);
ZU_API int         IZuRunArgCount(void);
ZU_API ZuVALUE*    ZuRunArgFromLast(int i);
ZU_API const char* SZuRunIntFunc(void);
ZU_API int         FZuCallBack(ZuVALUE* function, ZuVALUE* result, ZuVALUE* argv,
                               int argc);
ZU_API int         FZuRunCallBack(ZuVALUE* function, ZuVALUE* result, ZuVALUE* argv,
                                  int argc, int report);

/* Objects for library code and hosts. */
ZU_API int         FZuCreateObject(const char* className, ZuVALUE* object,
                                   ZuVALUE* argv, int argc);
ZU_API void        ZuDeleteObject(ZuVALUE* object);
ZU_API int         FZuCallBackMember(ZuVALUE* object, const char* name,
                                     ZuVALUE* result, ZuVALUE* argv, int argc);
ZU_API int         FZuGetDataMember(ZuVALUE* object, const char* name,
                                    ZuVALUE* value);
ZU_API int         FZuSetDataMember(ZuVALUE* object, const char* name,
                                    ZuVALUE* value);

/* By-value operations on stack entries (a pending index included). */
ZU_API void        ZuRunMakeByValue(ZuVALUE* v);
ZU_API void        ZuRunFreeByValue(ZuVALUE* v);
ZU_API void        ZuRunValMatAlloc(ZuVALUE* v, int rows, int columns);

/* Registers and flags for the debugger.  A null argument is skipped;
 * setting sp pops and frees down to the entry, never pushes. */
ZU_API void        ZuRunGetStackInfo(ZuVALUE** base, ZuVALUE** sp, ZuVALUE** ap,
                                     ZuVALUE** bp);
ZU_API void        ZuRunSetStackInfo(ZuVALUE* base, ZuVALUE* sp, ZuVALUE* ap,
                                     ZuVALUE* bp);
ZU_API void        ZuRunGetCallInfo(int* paramCount, int* localStart,
                                    int* localCount, int* file);
ZU_API void        ZuRunSetCallInfo(int paramCount, int localStart,
                                    int localCount, int file);
ZU_API void        ZuRunSetLocalNames(int paramCount, const char** names, int n);
/* Name i of the running frame's locals (debug information), or null. */
ZU_API const char* ZuRunGetLocalName(int i);
ZU_API int         ZuRunGetPcodeAddress(void);
ZU_API void        ZuRunSetPcodeAddress(int cp);
ZU_API int         ZuRunGetFileNameLit(void);
ZU_API const char* ZuRunGetFileName(void);
ZU_API ZuVALUE*    ZuRunGetStackTop(void);
ZU_API void        ZuRunFreeStackTop(ZuVALUE* entry);
ZU_API void        ZuRunSetDebug(ZuVALUE* stepOverAp, ZuVALUE* stepOutAp,
                                 int stop);
ZU_API int         ZuRunDebugGo(void);
ZU_API void        ZuRunSetAbort(void);
ZU_API void        ZuRunAbort(void);
ZU_API void        ZuRunTrace(int on);
ZU_API void        ZuRunCodeTrace(int on);
ZU_API void        ZuRunNumbering(int on);
/* The source line of the statement marker at or after an address, or -1. */
ZU_API int         ZuRunGetPcodeLine(int address);
/* The run-time jump hook: leaves the running program. */
ZU_API void        ZuRuntimeJump(void);

/* Run-time errors and warnings.  A code of 60 or more prints only the
 * location.  The buffer of ZuRunPrintLineNo holds at least 12 bytes. */
ZU_API void        ZuRunPrintErrorMsg(int code, const char* text);
ZU_API void        ZuRunPrintFilePos(int address, int fileLiteral,
                                     const char* name);
ZU_API char*       ZuRunPrintLineNo(char* buffer, int address);
ZU_API void        ZuRunPrintCallStack(void);
ZU_API void        ZuRunWarning(const char* text, int kind, int argument);
ZU_API void        ZuRunUserWarning(const char* name, const char* text);
ZU_API void        ZuRunSetWarning(int mask);
ZU_API int         ZuRunGetWarning(void);

/* Linking: one symbol to the internal-function table, and the final link
 * of a program (externals, then the check and the binding of main);
 * IZuLink returns the link-error count. */
ZU_API int         FZuLinkIntFunction(ZuNAMEDVALUE* symbol);
ZU_API int         IZuLink(ZuPCODE* code, int codeLength, int mainPosition);

/* end of section: interpreter */

#ifdef __cplusplus
}
#endif

#endif /* ZU_H */
/* clang-format on */
