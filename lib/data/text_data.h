// Text forms of data: the .dat file of variable blocks and plain matrix
// files (the form that savemat writes).
#ifndef ZU_DATA_TEXT_DATA_H
#define ZU_DATA_TEXT_DATA_H

#include <cstdio>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/in7.h"

namespace zu::data {

// A number of a data text: "." and ".NaN" are missing, "+.Inf" and "-.Inf"
// infinite.  False for anything else that is not a whole number token.
bool FParseNumber(const std::string& token, double& value);

// The shortest text that reads back as the same double; "." for NaN.
[[nodiscard]] std::string NumberText(double d);

// How a text of numbers without headers is laid out.
struct TextLayout {
    int vars = 0;               // variables (columns)
    bool byObservation = true;  // rows are observations; else variable after variable
    Sample sample;              // the sample of the numbers
};

// Loads a .dat file with ">name y1 p1 y2 p2 freq" headers.  Without
// headers it needs `layout` (else a warning and false).
bool FLoadDat(Database& db, const std::string& name, const TextLayout* layout, LoadCounts& counts);
int ISaveDat(Database& db, const std::string& name, bool backup);

// A matrix file: "rows columns" and the elements, or, with `noDims`, all
// numbers of the file as one column.  False after a message.
bool FLoadMatrixText(const std::string& name, bool noDims, std::vector<double>& values, int& rows, int& columns);

}  // namespace zu::data

#endif
