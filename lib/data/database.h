// In-memory databases of dated series.  Every variable of a database holds
// one double per observation of the database sample; values outside a
// variable's own span are missing (NaN).
#ifndef ZU_DATA_DATABASE_H
#define ZU_DATA_DATABASE_H

#include <string>
#include <unordered_map>
#include <vector>

#include "data/sample.h"

namespace zu::data {

// Flag bits of a variable.
inline constexpr int kVarWrite = 2;   // to be written by the next save
inline constexpr int kVarMarked = 4;  // read from (or written as) a "-" line

struct Variable {
    std::string name;
    std::vector<double> values;  // one per observation of the database
    std::string group;
    std::string doc;
    int flags = kVarWrite;
};

struct Database {
    std::string name;
    Sample sample;
    long long observations = 0;  // 0 until a sample is set
    int capacity = 0;            // most variables it can hold
    std::vector<Variable> vars;
    std::string doc;
    // Position of each name in vars, kept by IDbAppendVar: a file with
    // thousands of columns is read without a search per column.
    std::unordered_map<std::string, int> positions;
};

inline constexpr int kMaxDatabases = 100;
// Room beyond the variables asked for at creation.
inline constexpr int kDatabaseSpare = 500;
// Bounds that untrusted files cannot push a database beyond.
inline constexpr int kMaxVariablesAsked = 100000;
inline constexpr long long kMaxObservations = 1LL << 24;
inline constexpr long long kMaxCells = 1LL << 24;

// A new database with room for `vars` + 500 variables, which becomes the
// default one.  Null, after a message, when the name is taken or all slots
// are in use.
Database* DbCreate(const std::string& name, int vars);
void DbDelete(Database* db);
[[nodiscard]] Database* DbFind(const std::string& name);
[[nodiscard]] Database* DbGetDefault();
// Makes `db` (an existing database, or null) the default one.
void DbSetDefault(Database* db);
[[nodiscard]] int IDbCount();

// Sets the sample and resizes every variable (new observations missing).
// False, after a message, when the sample is invalid or too large.
bool FDbSetSample(Database& db, const Sample& s);

// Index of a variable, -1 when absent.
[[nodiscard]] int IDbFindVar(const Database& db, const std::string& name);
// Adds a variable of missing values, or returns the existing one of that
// name; -1 when the database is full.
// IDbAddVar for a name the caller knows is not in `db` yet (the numbered
// names of a fresh database): no search, so thousands of columns stay fast.
int IDbAppendVar(Database& db, const std::string& name);
int IDbAddVar(Database& db, const std::string& name);

// Walks the variables in order: the index of the first (next) one, -1 at
// the end.
[[nodiscard]] int DbGetFirst(const Database& db);
[[nodiscard]] int DbGetNext(const Database& db, int index);

// First and last observation that is not missing; false when there is none.
bool FVarSpan(const Variable& v, long long& first, long long& last);

// Messages of the data layer: errors and warnings through the console.
void DataError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DataWarning(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace zu::data

#endif
