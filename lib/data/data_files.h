// File types chosen by extension, and loading and saving a database
// through the reader or writer of a type.
#ifndef ZU_DATA_DATA_FILES_H
#define ZU_DATA_DATA_FILES_H

#include <string>

#include "data/database.h"
#include "data/in7.h"
#include "data/text_data.h"

namespace zu::data {

inline constexpr int kTypeByObservation = 1;  // numbers, one row per observation
inline constexpr int kTypeByVariable = 2;     // numbers, one variable after another
inline constexpr int kTypeIn7 = 3;
inline constexpr int kTypeDat = 5;
inline constexpr int kTypeXls = 6;
inline constexpr int kTypeWks = 7;
inline constexpr int kTypeMatrix = 8;
inline constexpr int kTypeDht = 10;
inline constexpr int kTypeDta = 16;
inline constexpr int kTypeCsv = 18;
// Beyond the types of the extension table: Excel 2007 workbooks.
inline constexpr int kTypeXlsx = 19;

[[nodiscard]] int IFileTypeOf(const std::string& name);

// Options of the general loader.
struct LoadRequest {
    int type = 0;
    bool marked = false;                 // .in7: read "-" variables too
    const TextLayout* layout = nullptr;  // types 1 and 2
};

// Loads into `db` and prints the outcome.  False after a message.
bool FDbLoad(Database& db, const std::string& name, const LoadRequest& request);

// Saves the variables of `db` flagged to be written: 1 on success, 0 after
// a failure (reported).
int IDbSave(Database& db, const std::string& name, int type, bool backup);

// A database that exists for one call of a library function.
class TemporaryDatabase {
public:
    TemporaryDatabase(const std::string& name, int vars);
    ~TemporaryDatabase();
    TemporaryDatabase(const TemporaryDatabase&) = delete;
    TemporaryDatabase& operator=(const TemporaryDatabase&) = delete;
    [[nodiscard]] Database* get() const { return db_; }

private:
    Database* db_;
    Database* previous_;
};

}  // namespace zu::data

#endif
