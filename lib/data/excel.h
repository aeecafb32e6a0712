// Excel worksheets.  .xls files are read through libfreexl (the first
// worksheet) and written here as a BIFF8 workbook of one worksheet inside
// a compound file.  .xlsx files are read here from their zip container
// (libzip) and written through libxlsxwriter.  Dates of a dated sample
// are written as text cells in the first column, the way they are read.
#ifndef ZU_DATA_EXCEL_H
#define ZU_DATA_EXCEL_H

#include <cstdint>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/in7.h"

namespace zu::data {

bool FLoadXls(Database& db, const std::string& name, LoadCounts& counts);
int ISaveXls(Database& db, const std::string& name, bool backup);

bool FLoadXlsx(Database& db, const std::string& name, LoadCounts& counts);
int ISaveXlsx(Database& db, const std::string& name, bool backup);

// A compound file of 512-byte sectors that holds one stream under the
// given name (at most 31 characters); exposed for the tests.
[[nodiscard]] std::vector<std::uint8_t> CompoundFile(const std::string& streamName, std::vector<std::uint8_t> stream);

}  // namespace zu::data

#endif
