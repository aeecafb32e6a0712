// Worksheets as tables of data: the readers of the spreadsheet formats
// gather the cells of the first worksheet into a Sheet, which becomes
// variables the same way for every format (a first row of names, an
// optional first column of dates that sets the sample, a variable a
// column, text cells missing).  The writers lay a database out the same
// way through SheetLayout.
#ifndef ZU_DATA_SHEETS_H
#define ZU_DATA_SHEETS_H

#include <cstdint>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/in7.h"

namespace zu::data {

// A cell: a number, or a text kept by the sheet (24 bytes, so that a
// large worksheet costs little more than its numbers).
struct SheetCell {
    int row = 0;
    int column = 0;
    double number = 0;
    int text = -1;  // index of the text in the sheet, -1 for a number

    [[nodiscard]] bool IsText() const { return text >= 0; }
};

// The cells of a worksheet in any order, bounded so that a file cannot
// make the reader hold more than its own size justifies.
class Sheet {
public:
    // False (once the bound is reached) when the cell is not kept.
    bool AddNumber(int row, int column, double number);
    bool AddText(int row, int column, std::string text);
    [[nodiscard]] const std::vector<SheetCell>& Cells() const { return cells_; }
    [[nodiscard]] const std::string& Text(const SheetCell& cell) const {
        return texts_[static_cast<std::size_t>(cell.text)];
    }
    [[nodiscard]] bool Full() const { return full_; }

private:
    bool Fits(int row, int column);
    std::vector<SheetCell> cells_;
    std::vector<std::string> texts_;
    bool full_ = false;
};

inline constexpr int kSheetRows = 1 << 20;     // rows of the largest worksheets
inline constexpr int kSheetColumns = 1 << 14;  // and their columns

// Loads the table of a sheet into a database (which takes the sheet's
// sample when it has none).  False after a message.
bool FLoadSheet(const Sheet& sheet, Database& db, const std::string& name, LoadCounts& counts);

// A database laid out as a worksheet: a row of names, then a row per
// observation; a dated sample puts a column of date texts first.
struct SheetLayout {
    std::vector<std::string> header;    // "Date" first when dated
    std::vector<const Variable*> vars;  // the variables flagged to be written
    bool dated = false;
    long long rows = 0;  // observations

    [[nodiscard]] std::string DateText(const Database& db, long long t) const;
};
[[nodiscard]] SheetLayout LayoutOf(const Database& db);

}  // namespace zu::data

#endif
