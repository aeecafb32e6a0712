// Stata data files (.dta), read and written through libreadstat.  Numeric
// variables become variables of an undated sample; text variables are
// left out.
#ifndef ZU_DATA_STATA_H
#define ZU_DATA_STATA_H

#include <string>

#include "data/database.h"
#include "data/in7.h"

namespace zu::data {

bool FLoadDta(Database& db, const std::string& name, LoadCounts& counts);
int ISaveDta(Database& db, const std::string& name, bool backup);

}  // namespace zu::data

#endif
