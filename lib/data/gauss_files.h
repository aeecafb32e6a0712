// Gauss matrix files (.fmt) and binary data sets (.dat, and .dht, whose
// data set is the .dat file of the same name).  Both carry the matrix-file
// headers of the file functions; the numbers are doubles in the byte order
// the header gives.  Data sets are undated: their format has no place for
// a sample.
#ifndef ZU_DATA_GAUSS_FILES_H
#define ZU_DATA_GAUSS_FILES_H

#include <string>
#include <vector>

#include "data/database.h"
#include "data/in7.h"

namespace zu::data {

// The matrix of a matrix file, row by row.  False after a message.
bool FLoadFmt(const std::string& name, std::vector<double>& values, int& rows, int& columns);
// Writes a matrix file with the newer header; 1 when written, else 0.
int ISaveFmt(const std::string& name, const double* const* rows, int r, int c);

// Tells a binary data set from a text .dat file by its first bytes.
[[nodiscard]] bool FIsBinaryDataSet(const std::string& name);

// Loads a data set (for a .dht name, the .dat beside it).
bool FLoadDataSet(Database& db, const std::string& name, LoadCounts& counts);
// Writes the variables flagged to be written as a data set (for a .dht
// name, into the .dat beside it); 1 when written, else 0.
int ISaveDataSet(Database& db, const std::string& name, bool backup);

}  // namespace zu::data

#endif
