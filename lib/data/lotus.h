// Lotus worksheets (.wks, .wk1): a stream of records, each a 16-bit
// opcode and length (little-endian) and its bytes.  The reader takes the
// number, integer, formula-value and label cells of the file; the writer
// puts a row of names, a column of date labels when the sample is dated,
// and the values as number cells (missing ones left blank).
#ifndef ZU_DATA_LOTUS_H
#define ZU_DATA_LOTUS_H

#include <string>

#include "data/database.h"
#include "data/in7.h"

namespace zu::data {

bool FLoadWks(Database& db, const std::string& name, LoadCounts& counts);
int ISaveWks(Database& db, const std::string& name, bool backup);

}  // namespace zu::data

#endif
