// The spreadsheet libraries, opened when the first .xls or .xlsx file is
// read or written rather than at every start-up (see
// value/lazy_library.h): libfreexl reads .xls, libzip opens the .xlsx
// archive and libxlsxwriter writes .xlsx.  The lists hold every routine
// that excel_xls.cpp and excel_xlsx.cpp call; a routine missing from them
// fails to link.
#include "data/sheet_libraries.h"
#include "value/lazy_library.h"

// Defined here with this folder's hidden visibility, not the header's.
#define ZIP_EXTERN
#include <freexl.h>
#include <xlsxwriter.h>
#include <zip.h>

// clang-format off
#define ZU_FREEXL_ROUTINES(X)                                                                      \
    X(int, freexl_open, (const char* path, const void** handle), (path, handle))                   \
    X(int, freexl_close, (const void* handle), (handle))                                           \
    X(int, freexl_select_active_worksheet, (const void* handle, unsigned short sheet),             \
      (handle, sheet))                                                                             \
    X(int, freexl_worksheet_dimensions, (const void* handle, unsigned int* rows,                   \
                                         unsigned short* columns), (handle, rows, columns))        \
    X(int, freexl_get_cell_value, (const void* handle, unsigned int row, unsigned short column,    \
                                   FreeXL_CellValue* value), (handle, row, column, value))

#define ZU_ZIP_ROUTINES(X)                                                                         \
    X(zip_t*, zip_open, (const char* path, int flags, int* error), (path, flags, error))           \
    X(void, zip_discard, (zip_t* archive), (archive))                                              \
    X(zip_file_t*, zip_fopen, (zip_t* archive, const char* name, zip_flags_t flags),               \
      (archive, name, flags))                                                                      \
    X(zip_int64_t, zip_fread, (zip_file_t* file, void* buffer, zip_uint64_t size),                 \
      (file, buffer, size))                                                                        \
    X(int, zip_fclose, (zip_file_t* file), (file))                                                 \
    X(zip_int64_t, zip_name_locate, (zip_t* archive, const char* name, zip_flags_t flags),         \
      (archive, name, flags))                                                                      \
    X(zip_int64_t, zip_get_num_entries, (zip_t* archive, zip_flags_t flags), (archive, flags))     \
    X(const char*, zip_get_name, (zip_t* archive, zip_uint64_t index, zip_flags_t flags),          \
      (archive, index, flags))

#define ZU_XLSXWRITER_ROUTINES(X)                                                                  \
    X(lxw_workbook*, workbook_new, (const char* filename), (filename))                             \
    X(lxw_worksheet*, workbook_add_worksheet, (lxw_workbook* book, const char* name),              \
      (book, name))                                                                                \
    X(lxw_error, workbook_close, (lxw_workbook* book), (book))                                     \
    X(lxw_error, worksheet_write_string, (lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col,      \
                                          const char* text, lxw_format* format),                   \
      (sheet, row, col, text, format))                                                             \
    X(lxw_error, worksheet_write_number, (lxw_worksheet* sheet, lxw_row_t row, lxw_col_t col,      \
                                          double number, lxw_format* format),                      \
      (sheet, row, col, number, format))
// clang-format on

ZU_LAZY_LIBRARY(Freexl, "libfreexl.so.1", ZU_FREEXL_ROUTINES)
#define ZU_FREEXL_FORWARD(...) ZU_LAZY_FORWARD(Freexl, __VA_ARGS__)
ZU_FREEXL_ROUTINES(ZU_FREEXL_FORWARD)

void zu::data::OpenXlsReader() { (void)Freexl(); }

ZU_LAZY_LIBRARY(Zip, "libzip.so.4", ZU_ZIP_ROUTINES)
#define ZU_ZIP_FORWARD(...) ZU_LAZY_FORWARD(Zip, __VA_ARGS__)
ZU_ZIP_ROUTINES(ZU_ZIP_FORWARD)

ZU_LAZY_LIBRARY(Xlsxwriter, "libxlsxwriter.so.4", ZU_XLSXWRITER_ROUTINES)
#define ZU_XLSXWRITER_FORWARD(...) ZU_LAZY_FORWARD(Xlsxwriter, __VA_ARGS__)
ZU_XLSXWRITER_ROUTINES(ZU_XLSXWRITER_FORWARD)
