/// @family Files and data

#include "data/library.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "data/csv.h"
#include "data/data_files.h"
#include "data/gauss_files.h"
#include "data/saving.h"
#include "stdlib/format.h"
#include "stdlib/matrix_print.h"
#include "stdlib/print_sink.h"
#include "stdlib/value_printer.h"
#include "value/value.h"

using zu::value::Columns;
using zu::value::DoubleOf;
using zu::value::ItemCount;
using zu::value::Items;
using zu::value::MatrixData;
using zu::value::Rows;

namespace zu::data {
namespace {

constexpr const char* kLoadDatabase = "_Load_";
constexpr const char* kSaveDatabase = "_Temp_";

// A file name: backslashes become slashes and trailing blanks go.
std::string FileName(const ZuVALUE& v) {
    std::string name{stdlib::StringChars(v)};
    std::replace(name.begin(), name.end(), '\\', '/');
    while (!name.empty() && static_cast<unsigned char>(name.back()) <= ' ') name.pop_back();
    return name;
}

bool CheckAddresses(ZuVALUE* pv, int first, int last) {
    for (int k = first; k <= last; ++k) {
        if (value::IsAddress(&pv[k]) && Items(&pv[k]) != nullptr) continue;
        ZuLibArgTypeError(k, ZU_ARRAY | ZU_FLAG_ADR, pv[k].t);
        return false;
    }
    return true;
}

int IntOf(ZuVALUE* v) {
    int i = 0;
    return ZuValGetInt(v, &i) ? i : 0;
}

// The int that an address argument refers to on entry (0 when none).
int EntryInt(const ZuVALUE& address) {
    const ZuVALUE* v = Items(&address);
    switch (value::TypeCode(v)) {
    case ZU_INT: return value::IsNul(v) ? 0 : value::IntOf(v);
    case ZU_DOUBLE: {
        const double d = DoubleOf(v);
        return std::isfinite(d) && std::fabs(d) < 1e9 ? static_cast<int>(d) : 0;
    }
    default: return 0;
    }
}

void StoreMatrix(ZuVALUE* target, const Database& db) {
    const int r = static_cast<int>(db.observations);
    const int c = static_cast<int>(db.vars.size());
    ZuLibValMatMalloc(target, r, c);
    if (r < 1 || c < 1) return;
    for (int j = 0; j < c; ++j)
        for (int i = 0; i < r; ++i) MatrixData(target)[i][j] = db.vars[static_cast<std::size_t>(j)].values[i];
}

void StoreNames(ZuVALUE* target, const Database& db) {
    const int c = static_cast<int>(db.vars.size());
    ZuLibValArrayCalloc(target, c);
    if (value::TypeCode(target) != ZU_ARRAY) return;
    for (int j = 0; j < c; ++j) ZuValSetString(&Items(target)[j], db.vars[static_cast<std::size_t>(j)].name.c_str());
}

// Fills a database with the columns of a matrix, from the first row on;
// columns beyond its capacity are dropped with a message.
void FillFromMatrix(Database& db, double** m, int rows, int columns, const ZuVALUE* names) {
    for (int j = 0; j < columns; ++j) {
        std::string name = "Var" + std::to_string(j + 1);
        if (names != nullptr && value::TypeCode(names) == ZU_ARRAY && j < ItemCount(names) &&
            value::TypeCode(&Items(names)[j]) == ZU_STRING) {
            const std::string given{stdlib::StringChars(Items(names)[j])};
            if (!given.empty()) name = given;
        }
        const int index = IDbAddVar(db, name);
        if (index < 0) {
            DataError("Can only save %d variables", static_cast<int>(db.vars.size()));
            return;
        }
        std::vector<double>& values = db.vars[static_cast<std::size_t>(index)].values;
        for (int i = 0; i < rows && i < static_cast<int>(values.size()); ++i) values[i] = m[i][j];
    }
}

// A value that this function owns until it hands it over.
class OwnedValue {
public:
    OwnedValue() { ZuValSetInt(&v_, 0); }
    ~OwnedValue() { ZuFreeByValue(&v_); }
    OwnedValue(const OwnedValue&) = delete;
    OwnedValue& operator=(const OwnedValue&) = delete;
    ZuVALUE* get() { return &v_; }
    // Replaces `target` (freed first) by the value; this one is left int 0.
    void MoveTo(ZuVALUE* target) {
        ZuFreeByValue(target);
        *target = v_;
        value::Clear(&v_);
        ZuValSetInt(&v_, 0);
    }

private:
    ZuVALUE v_{};
};

// Gauss data sets and Stata files without a date variable carry no
// sample: the one that freq, year1 and period1 hold on entry is used
// (a3 observations, or those of the file when a3 is not positive).  A
// sample that is not valid leaves the data undated.
void DateFromEntry(Database& db, ZuVALUE* pv) {
    const Sample& loaded = db.sample;
    if (loaded.freq != 1 || loaded.year1 != 1 || loaded.period1 != 1) return;
    Sample s;
    s.freq = std::max(EntryInt(pv[7]), 1);
    s.year1 = s.year2 = EntryInt(pv[8]);
    s.period1 = s.period2 = EntryInt(pv[9]);
    const long long n = IntOf(&pv[3]) > 0 ? IntOf(&pv[3]) : db.observations;
    if (!FIsValidSample(s) || (s.freq == 1 && s.year1 == 1 && s.period1 == 1)) return;
    SampleSetEnd(s, n);
    if (!FIsValidSample(s) || n * static_cast<long long>(std::max<std::size_t>(db.vars.size(), 1)) > kMaxCells) return;
    db.sample = s;
    db.observations = n;
    for (Variable& v : db.vars) v.values.resize(static_cast<std::size_t>(n), std::nan(""));
}

// A comma-separated file read straight into a matrix, one row per
// observation, so that its values are held once and not also in a
// database.  `target` changes only on success.
bool LoadCsvMatrix(const std::string& name, ZuVALUE* target, CsvShape& shape) {
    OwnedValue m;
    double spare = 0;  // the row of a table without variables
    const auto begin = [&](const CsvShape& seen) {
        shape = seen;
        ZuLibValMatMalloc(m.get(), static_cast<int>(seen.rows), static_cast<int>(seen.names.size()));
        if (seen.rows > 0 && !seen.names.empty()) {
            std::fill_n(MatrixData(m.get())[0], seen.rows * static_cast<long long>(seen.names.size()), std::nan(""));
        }
        return true;
    };
    const auto row = [&](long long t) { return shape.names.empty() ? &spare : MatrixData(m.get())[t]; };
    if (!FReadCsv(name, begin, row)) return false;
    ZuPrintf("%s:\n  %lld observations read (%lld skipped, %lld loaded)\n", name.c_str(), shape.rows, 0LL, shape.rows);
    m.MoveTo(target);
    return true;
}

void StoreNameList(ZuVALUE* target, const std::vector<std::string>& names) {
    const int c = static_cast<int>(names.size());
    ZuLibValArrayCalloc(target, c);
    if (value::TypeCode(target) != ZU_ARRAY) return;
    for (int j = 0; j < c; ++j) ZuValSetString(&Items(target)[j], names[static_cast<std::size_t>(j)].c_str());
}

int SaveMatrixFile(const std::string& name, ZuVALUE* m, bool noDims) {
    console::AtomicFile f(name);
    if (!FSaveOpened(f)) return 0;
    {
        stdlib::PrintSink sink = stdlib::PrintSink::File(f.Stream());
        const stdlib::FormatPiece form = stdlib::ClassifyFormat(noDims ? "%#m" : "%m");
        stdlib::PrintMatrixFile(sink, MatrixData(m), Rows(m), Columns(m), form);
        sink.Flush();
    }
    return IFinishSave(f);
}

}  // namespace

/// loaddata(name, type, a2, a3, a4, &data, &names, &freq, &year1, &period1, &year2, &period2)
/// Reads the data file name into memory: data receives the observations by rows and the variables by columns
/// (missing values as NaN), names an array of the variable names, and freq, year1, period1, year2 and period2
/// the sample (frequency, start year and period, end year and period; an undated file has frequency 1 and
/// starts at 1 1). type 0 chooses the format by the extension: .in7 (with its .bn7), .dat, .xls, .xlsx, .wks
/// or .wk1, .dht (Gauss data set), .dta (Stata), .csv, and anything else a plain text matrix (type 8: the
/// dimensions, then the numbers). Types 1 (one row an observation) and 2 (one variable after another) read
/// numbers without headers: a2 variables and a3 observations from the start that freq, year1 and period1 hold
/// on entry; the same entry values date a Gauss data set or Stata file, which carry no dates of their own.
/// For .in7 files a4 not 0 reads the marked variables too.
/// Returns 1 when the file was read; 0 when it could not be read, with a message, in which case the address
/// arguments are not changed.
/// Example:
///     decl data, names, freq, y1, p1, y2, p2;
///     savedata("loaddata.csv", 0, 0, 0, 0, <1,2;3,4;5,6>, {"x", "y"}, 4, 2020, 1, 0, 0);
///     println(loaddata("loaddata.csv", 0, 0, 0, 0, &data, &names, &freq, &y1, &p1, &y2, &p2));
///     print(data, names);
///     println(freq, " ", y1, "(", p1, ") - ", y2, "(", p2, ")");
///     fremove("loaddata.csv");
void FnLoaddata(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0 || ZuLibCheckType(ZU_INT, pv, 1, 4) == 0) return;
    if (!CheckAddresses(pv, 5, 11)) return;
    const std::string name = FileName(pv[0]);
    int type = IntOf(&pv[1]);
    if (type <= 0) type = IFileTypeOf(name);
    ZuVALUE* out[7];
    for (int k = 0; k < 7; ++k) out[k] = Items(&pv[5 + k]);
    if (type == kTypeMatrix) {
        std::vector<double> values;
        int r = 0;
        int c = 0;
        if (!FLoadMatrixText(name, false, values, r, c)) return;
        TemporaryDatabase temp(kLoadDatabase, c);
        if (temp.get() == nullptr) return;
        Database& db = *temp.get();
        Sample s;
        SampleSetEnd(s, r);
        if (r > 0 && !FDbSetSample(db, s)) return;
        for (int j = 0; j < c; ++j) {
            const int index = IDbAppendVar(db, "Var" + std::to_string(j + 1));
            if (index < 0) return;
            for (int i = 0; i < r; ++i)
                db.vars[static_cast<std::size_t>(index)].values[i] = values[static_cast<std::size_t>(i) * c + j];
        }
        StoreMatrix(out[0], db);
        StoreNames(out[1], db);
        const int ints[5] = {s.freq, s.year1, s.period1, s.year2, r > 0 ? s.period2 : 1};
        for (int k = 0; k < 5; ++k) ZuValSetInt(out[2 + k], ints[k]);
        ZuValSetInt(rtn, 1);
        return;
    }
    if (type == kTypeCsv) {
        CsvShape shape;
        if (!LoadCsvMatrix(name, out[0], shape)) return;
        StoreNameList(out[1], shape.names);
        const Sample& s = shape.sample;
        const int ints[5] = {s.freq, s.year1, s.period1, s.year2, s.period2};
        for (int k = 0; k < 5; ++k) ZuValSetInt(out[2 + k], ints[k]);
        ZuValSetInt(rtn, 1);
        return;
    }
    TextLayout layout;
    LoadRequest request;
    request.type = type;
    request.marked = IntOf(&pv[4]) != 0;
    TemporaryDatabase temp(kLoadDatabase, 0);
    if (temp.get() == nullptr) return;
    Database& db = *temp.get();
    if (type == kTypeByObservation || type == kTypeByVariable) {
        layout.vars = IntOf(&pv[2]);
        layout.byObservation = type == kTypeByObservation;
        layout.sample.freq = std::max(EntryInt(pv[7]), 1);
        layout.sample.year1 = EntryInt(pv[8]);
        layout.sample.period1 = EntryInt(pv[9]);
        if (!FIsValidSample(layout.sample) || IntOf(&pv[3]) < 1) {
            DataError("Invalid sample for %s", name.c_str());
            return;
        }
        SampleSetEnd(layout.sample, IntOf(&pv[3]));
        db.capacity = std::max(layout.vars, 0) + kDatabaseSpare;
        request.layout = &layout;
    }
    if (!FDbLoad(db, name, request)) return;
    if (type == kTypeDht || type == kTypeDta || (type == kTypeDat && FIsBinaryDataSet(name))) DateFromEntry(db, pv);
    const Sample& s = db.sample;
    StoreMatrix(out[0], db);
    StoreNames(out[1], db);
    const int ints[5] = {s.freq, s.year1, s.period1, s.year2, s.period2};
    for (int k = 0; k < 5; ++k) ZuValSetInt(out[2 + k], ints[k]);
    ZuValSetInt(rtn, 1);
}

/// savedata(name, type, backup, a3, a4, data, names, freq, year1, period1, year2, period2)
/// Writes the matrix data to the data file name: its rows are observations from year1 and period1 on
/// at frequency freq, its columns the variables, named by the strings of the array names ("Var1",
/// "Var2", ... where names has none). The sample saved ends at year2 and period2 (both 0: at the last
/// row of data). type 0 chooses the format by the extension (.in7, .dat, .xls, .xlsx, .wks, .wk1, .dht,
/// .dta, .csv); type 8 or any other extension writes the rows as a plain text matrix. A type code that
/// names no format (1 or 2, say) is refused with "Cannot save ...: unknown data file type ...". backup
/// not 0 first renames an existing file to a backup (name.bak for a .csv file). a3 and a4 are reserved
/// (pass 0).
/// Returns 1 when the file was written, else 0 with a message; a sample that does not fit the rows of
/// data is refused with "Cannot save ...: the sample does not match the ... rows of the data".
/// Example:
///     println(savedata("savedata.in7", 0, 0, 0, 0, <1,2;3,4;5,6>, {"cons", "inc"}, 1, 1990, 1, 0, 0));
///     println(loadmat("savedata.in7"));
///     fremove("savedata.in7");
///     fremove("savedata.bn7");
void FnSavedata(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0 || ZuLibCheckType(ZU_INT, pv, 1, 4) == 0 ||
        ZuLibCheckType(ZU_MATRIX, pv, 5, 5) == 0 || ZuLibCheckType(ZU_INT, pv, 7, 11) == 0)
        return;
    const std::string name = FileName(pv[0]);
    int type = IntOf(&pv[1]);
    if (type <= 0) type = IFileTypeOf(name);
    Sample s{IntOf(&pv[8]), IntOf(&pv[9]), IntOf(&pv[10]), IntOf(&pv[11]), std::max(IntOf(&pv[7]), 1)};
    const int rows = Rows(&pv[5]);
    if (s.year2 == 0 && s.period2 == 0) SampleSetEnd(s, rows);
    const long long n = ISampleCount(s);
    if (!FIsValidSample(s) || n < 1 || n > rows) {
        DataError("Cannot save %s: the sample does not match the %d rows of the data", name.c_str(), rows);
        return;
    }
    if (type == kTypeMatrix) {
        ZuVALUE saved = pv[5];
        saved.w1.i = static_cast<int>(n);
        ZuValSetInt(rtn, SaveMatrixFile(name, &saved, false));
        return;
    }
    TemporaryDatabase temp(kSaveDatabase, Columns(&pv[5]));
    if (temp.get() == nullptr) return;
    Database& db = *temp.get();
    if (!FDbSetSample(db, s)) return;
    FillFromMatrix(db, MatrixData(&pv[5]), static_cast<int>(n), Columns(&pv[5]), &pv[6]);
    ZuValSetInt(rtn, IDbSave(db, name, type, IntOf(&pv[2]) != 0));
}

/// loadmat(name [, flag])
/// Reads a matrix from the file name. A plain text matrix file (any extension not listed below) holds the
/// number of rows and of columns and then the elements row by row; with flag 1 the file has no dimension line
/// and its numbers are read as one column. A .fmt file is read as a binary matrix file. A data file (.in7,
/// .dat, .xls, .xlsx, .wks, .wk1, .dht, .dta, .csv) gives its data with one column a variable.
/// Returns the matrix, or the int 0 (with a message) when the file cannot be read.
/// Example:
///     savemat("loadmat.mat", <1,2,3;4,5,6>);
///     print(loadmat("loadmat.mat"));
///     savemat("loadmat.txt", <1,2,3;4,5,6>, 1);
///     print(loadmat("loadmat.txt", 1));
///     fremove("loadmat.mat");
///     fremove("loadmat.txt");
void FnLoadmat(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0) return;
    if (cArg > 1 && ZuLibCheckType(ZU_INT, pv, 1, 1) == 0) return;
    const std::string name = FileName(pv[0]);
    const int type = IFileTypeOf(name);
    if (type == kTypeMatrix) {
        std::vector<double> values;
        int r = 0;
        int c = 0;
        const bool read = LowerExtension(name) == ".fmt"
                              ? FLoadFmt(name, values, r, c)
                              : FLoadMatrixText(name, cArg > 1 && value::IntOf(&pv[1]) == 1, values, r, c);
        if (!read) return;
        ZuLibValMatMalloc(rtn, r, c);
        for (int i = 0; i < r && c > 0; ++i)
            for (int j = 0; j < c; ++j) MatrixData(rtn)[i][j] = values[static_cast<std::size_t>(i) * c + j];
        return;
    }
    if (type == kTypeCsv) {
        CsvShape shape;
        (void)LoadCsvMatrix(name, rtn, shape);
        return;
    }
    TemporaryDatabase temp(kLoadDatabase, 0);
    if (temp.get() == nullptr) return;
    LoadRequest request;
    request.type = type;
    if (!FDbLoad(*temp.get(), name, request)) return;
    StoreMatrix(rtn, *temp.get());
}

/// savemat(name, m [, flag])
/// Writes the matrix m to the file name: a .fmt extension writes a binary matrix file; a data file extension
/// (.in7, .dat, .xls, .xlsx, .wks, .wk1, .dht, .dta, .csv) writes an undated data file with the variables
/// Var1, Var2, ...; anything else a plain text matrix file, the number of rows and of columns on the first
/// line and then the rows, or with flag 1 the rows without the dimension line.
/// Returns 1 when the file was written, else 0 with a message.
/// Example:
///     println(savemat("savemat.mat", <1,2;3,4>));
///     print(loadmat("savemat.mat"));
///     fremove("savemat.mat");
void FnSavemat(ZuVALUE* rtn, ZuVALUE* pv, int cArg) {
    if (ZuLibCheckType(ZU_STRING, pv, 0, 0) == 0 || ZuLibCheckType(ZU_MATRIX, pv, 1, 1) == 0) return;
    if (cArg > 2 && ZuLibCheckType(ZU_INT, pv, 2, 2) == 0) return;
    const std::string name = FileName(pv[0]);
    const int type = IFileTypeOf(name);
    if (type == kTypeMatrix) {
        if (LowerExtension(name) == ".fmt") {
            ZuValSetInt(rtn, ISaveFmt(name, MatrixData(&pv[1]), Rows(&pv[1]), Columns(&pv[1])));
            return;
        }
        ZuValSetInt(rtn, SaveMatrixFile(name, &pv[1], cArg > 2 && value::IntOf(&pv[2]) == 1));
        return;
    }
    const int rows = Rows(&pv[1]);
    const int columns = Columns(&pv[1]);
    TemporaryDatabase temp(kSaveDatabase, columns);
    if (temp.get() == nullptr) return;
    Database& db = *temp.get();
    Sample s;
    SampleSetEnd(s, rows);
    if (rows < 1 || !FDbSetSample(db, s)) {
        DataError("Cannot save %s: the matrix has no rows", name.c_str());
        return;
    }
    FillFromMatrix(db, MatrixData(&pv[1]), rows, columns, nullptr);
    ZuValSetInt(rtn, IDbSave(db, name, type, false));
}

}  // namespace zu::data
