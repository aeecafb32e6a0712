// The description file (.in7, text) and its companion data file (.bn7,
// binary blocks of doubles).
#ifndef ZU_DATA_IN7_H
#define ZU_DATA_IN7_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "data/database.h"

namespace zu::data {

// Kinds of description lines, by their first characters.
enum LineKind {
    kLineFirst = 0,    // "brevin"
    kLineData = 1,     // "data"
    kLineComment = 2,  // ";"
    kLineVar = 3,      // ">"
    kLineMarked = 4,   // "-"
    kLineReturn = 5,   // "\r"
    kLineFeed = 6,     // "\n"
    kLineEnd = 7,      // "end"
    kLineOther = 8,
};
[[nodiscard]] int IIn7LineKind(const std::string& line);

// Reads one line of at most 255 characters; a longer one is cut with a
// warning and the rest skipped.  A bare line feed ending becomes "\r\n".
// False at the end of the file.
bool FReadDescriptionLine(std::FILE* file, std::string& line);

struct In7Var {
    std::string name;
    Sample sample;
    long long offset = 0;
    std::string group;
    std::string date;
    std::string time;
    std::string doc;
    int flags = 0;
};

struct In7File {
    std::string name;
    std::string bn7;
    std::string doc;
    int count = 0;
    std::vector<In7Var> vars;
};

// Replaces (or adds) the extension of a file name.
[[nodiscard]] std::string WithExtension(const std::string& name, const char* ext);
// The extension with its dot, lower case; empty when there is none.
[[nodiscard]] std::string LowerExtension(const std::string& name);

// Reads a description file.  False after a message when it cannot be
// opened or is not a description file.
bool FReadIn7(const std::string& name, bool wantVars, bool wantMarked, In7File& out);

// What a load reports, in observations (rows), not cells: the most that
// any one variable had.
struct LoadCounts {
    long long read = 0;
    long long skipped = 0;
    long long loaded = 0;

    // Takes in the counts of one variable (or of a whole table).
    void Merge(const LoadCounts& one) {
        read = read > one.read ? read : one.read;
        skipped = skipped > one.skipped ? skipped : one.skipped;
        loaded = loaded > one.loaded ? loaded : one.loaded;
    }
};

// Reads the observations of one variable that overlap the database sample
// into `values` (sized to the database).
void ReadBn7Var(std::FILE* bn7, const In7Var& var, const Database& db, std::vector<double>& values, LoadCounts& counts);

// Loads a description file and its data into `db`; a database without a
// sample takes the span of the variables of the first one's frequency.
bool FLoadIn7(Database& db, const std::string& name, bool wantMarked, LoadCounts& counts);

// The 32-byte header of a .bn7 block.
[[nodiscard]] std::vector<std::uint8_t> Bn7Header(const std::string& name, std::int32_t count, int freq, int period,
                                                  int year);

// Writes every variable flagged to be written; variables without a value
// in the sample lose the flag.  With `backup` existing files are kept as
// .bki and .bkb.  1 on success, else 0.
int ISaveIn7(Database& db, const std::string& name, bool backup);

// The date and time stamps of a written variable, blanks made zeros.
[[nodiscard]] std::string DateStamp();
[[nodiscard]] std::string TimeStamp();

}  // namespace zu::data

#endif
