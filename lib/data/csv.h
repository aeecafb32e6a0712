// Comma-separated values as they come from other programs: a row of
// names, then one row per observation, optionally dated by a first column
// of dates.  The separator (",", ";" with decimal commas, or a tab) is
// recognised from the row of names; quoted cells may hold separators,
// quotes and line ends; a UTF-8 byte-order mark and CRLF line ends are
// accepted.
#ifndef ZU_DATA_CSV_H
#define ZU_DATA_CSV_H

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"
#include "data/in7.h"

namespace zu::data {

// What the first pass over a file found.
struct CsvShape {
    std::vector<std::string> names;  // the variables, without the date column
    Sample sample;                   // undated: from 1(1) with frequency 1
    bool dated = false;
    long long rows = 0;     // observations of the sample (dated: gaps included)
    long long records = 0;  // data rows of the file
};

// A date of a first column: year and period, and the form it was written
// in, which decides the frequency.
enum class DateForm { None, Year, Quarter, Month, Day, Colon };
struct CellDate {
    DateForm form = DateForm::None;
    int year = 0;
    int period = 0;  // quarter, month or the number after ':'
    int day = 0;     // only for Day
};

struct DatedRecord {
    CellDate date;
    long long line = 0;  // where it was found, for messages
};

// The sample of a first column of dates of one form, in order: sets
// shape.sample, shape.rows and shape.dated, and the observation of each
// date (gaps between dates are missing observations).  Dates one day
// apart are no sample: `dayNumbers` is set and the shape stays undated.
// False after a message naming the file and line.
bool FDateSample(const std::string& name, std::vector<DatedRecord>& dates, CsvShape& shape,
                 std::vector<long long>& index, bool& dayNumbers);

// Names every column: "Var%d" (its number from 1) when it has none, and a
// suffix "_2", "_3", ... for a name already taken.
void MakeNamesDistinct(std::vector<std::string>& names);

// A first column with such a name ("date", "year", "obs", ... or none)
// may hold bare years.
[[nodiscard]] bool FNamesDates(std::string_view name);

// Reads a date cell: "1990", "1990Q1", "1990-Q1", "1990M03", "1990-03",
// "1990-03-31", "1990:1", "1990(1)".  A bare year only when `yearsAllowed`
// (the column is named as a date column).  False for anything else.
bool FParseCsvDate(std::string_view cell, bool yearsAllowed, CellDate& date);

// Reads a number cell; missing values ("", "NA", "NaN", ".", ...) give NaN
// and true; text gives false.
bool FParseCsvNumber(std::string_view cell, bool decimalComma, double& value);

// Reads a file in two passes: the first finds names, sample and rows and
// calls `begin`, which may refuse; the second hands each observation to
// `row` (index within the sample), which gives the place for its values
// (names.size() doubles, set to NaN by the reader first) or null to skip.
// False after a message naming the file and line; nothing is handed out
// then unless `begin` accepted.
using CsvBegin = std::function<bool(const CsvShape&)>;
using CsvRow = std::function<double*(long long)>;
bool FReadCsv(const std::string& name, const CsvBegin& begin, const CsvRow& row);

// Loads into a database; a database without a sample takes the file's.
bool FLoadCsv(Database& db, const std::string& name, LoadCounts& counts);

// Writes the variables flagged to be written; a dated sample (any other
// than the undated 1(1) with frequency 1) gets a first column "Date".
int ISaveCsv(Database& db, const std::string& name, bool backup);

// The text of a date in the form that ISaveCsv writes.
[[nodiscard]] std::string CsvDateText(long long year, long long period, int freq);

}  // namespace zu::data

#endif
