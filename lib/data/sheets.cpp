#include "data/sheets.h"

#include <algorithm>
#include <cmath>

#include "data/csv.h"
#include "data/text_data.h"
#include "zu.h"

namespace zu::data {
namespace {

// Cells a worksheet may hold, whatever its file claims.
constexpr std::size_t kMostCells = std::size_t{1} << 24;

struct Grid {
    int rows = 0;
    int columns = 0;
    std::vector<const SheetCell*> at;  // rows x columns, null for an empty cell

    [[nodiscard]] const SheetCell* Cell(int r, int c) const {
        return at[static_cast<std::size_t>(r) * static_cast<std::size_t>(columns) + static_cast<std::size_t>(c)];
    }
};

// Lays the cells out; false when the grid would be far larger than the
// cells that fill it (a few cells far apart).
bool MakeGrid(const Sheet& sheet, Grid& grid) {
    for (const SheetCell& c : sheet.Cells()) {
        grid.rows = std::max(grid.rows, c.row + 1);
        grid.columns = std::max(grid.columns, c.column + 1);
    }
    const long long area = static_cast<long long>(grid.rows) * grid.columns;
    if (area > kMaxCells || area > 16 * static_cast<long long>(sheet.Cells().size()) + 65536) return false;
    grid.at.assign(static_cast<std::size_t>(area), nullptr);
    for (const SheetCell& c : sheet.Cells())
        grid.at[static_cast<std::size_t>(c.row) * static_cast<std::size_t>(grid.columns) +
                static_cast<std::size_t>(c.column)] = &c;
    return true;
}

std::string CellText(const Sheet& sheet, const SheetCell* c) {
    if (c == nullptr) return {};
    return c->IsText() ? sheet.Text(*c) : NumberText(c->number);
}

bool RowIsEmpty(const Sheet& sheet, const Grid& grid, int r) {
    for (int c = 0; c < grid.columns; ++c) {
        const SheetCell* cell = grid.Cell(r, c);
        if (cell != nullptr && !(cell->IsText() && sheet.Text(*cell).empty())) return false;
    }
    return true;
}

}  // namespace

bool Sheet::Fits(int row, int column) {
    if (row < 0 || column < 0 || row >= kSheetRows || column >= kSheetColumns || cells_.size() >= kMostCells) {
        full_ = true;
        return false;
    }
    return true;
}

bool Sheet::AddNumber(int row, int column, double number) {
    if (!Fits(row, column)) return false;
    cells_.push_back(SheetCell{row, column, number, -1});
    return true;
}

bool Sheet::AddText(int row, int column, std::string text) {
    if (!Fits(row, column)) return false;
    cells_.push_back(SheetCell{row, column, 0, static_cast<int>(texts_.size())});
    texts_.push_back(std::move(text));
    return true;
}

bool FLoadSheet(const Sheet& sheet, Database& db, const std::string& name, LoadCounts& counts) {
    Grid grid;
    if (sheet.Full() || !MakeGrid(sheet, grid)) {
        DataError("%s holds too many values", name.c_str());
        return false;
    }
    std::vector<int> records;  // the rows of the worksheet that hold observations
    for (int r = 1; r < grid.rows; ++r)
        if (!RowIsEmpty(sheet, grid, r)) records.push_back(r);
    if (grid.columns == 0 || records.empty()) {
        DataError("No observations in file");
        return false;
    }
    CsvShape shape;
    for (int c = 0; c < grid.columns; ++c) shape.names.push_back(CellText(sheet, grid.Cell(0, c)));
    shape.records = static_cast<long long>(records.size());
    // A first column of dates sets the sample, as in comma-separated files.
    std::vector<DatedRecord> dates;
    CellDate first;
    const bool yearsAllowed = FNamesDates(shape.names[0]);
    bool dateColumn = FParseCsvDate(CellText(sheet, grid.Cell(records[0], 0)), yearsAllowed, first);
    for (int r : records) {
        if (!dateColumn) break;
        DatedRecord d;
        d.line = r + 1;
        if (!FParseCsvDate(CellText(sheet, grid.Cell(r, 0)), yearsAllowed, d.date) || d.date.form != first.form) {
            DataError("%s (row %d): date expected, found \"%s\"", name.c_str(), r + 1,
                      CellText(sheet, grid.Cell(r, 0)).substr(0, 40).c_str());
            return false;
        }
        dates.push_back(d);
    }
    std::vector<long long> index;
    bool dayNumbers = false;
    if (dateColumn && !FDateSample(name, dates, shape, index, dayNumbers)) return false;
    if (dayNumbers) dateColumn = false;
    if (!shape.dated) {
        SampleSetEnd(shape.sample, shape.records);
        shape.rows = shape.records;
    }
    if (db.observations == 0 && !FDbSetSample(db, shape.sample)) return false;
    if (db.sample.freq != shape.sample.freq) {
        DataError("%s has frequency %d, the database %d: not read", name.c_str(), shape.sample.freq, db.sample.freq);
        return false;
    }
    const long long offset =
        IDateObs(shape.sample.year1, shape.sample.period1, db.sample.year1, db.sample.period1, db.sample.freq);
    long long textCells = 0;
    MakeNamesDistinct(shape.names);
    for (int c = dateColumn ? 1 : 0; c < grid.columns; ++c) {
        const std::string& varName = shape.names[static_cast<std::size_t>(c)];
        const int var = IDbAddVar(db, varName);
        if (var < 0) {
            DataError("Database %s is full: %s not read", db.name.c_str(), varName.c_str());
            return false;
        }
        std::vector<double>& target = db.vars[static_cast<std::size_t>(var)].values;
        for (std::size_t k = 0; k < records.size(); ++k) {
            const long long at = (shape.dated ? index[k] : static_cast<long long>(k)) + offset;
            if (at < 0 || at >= db.observations) continue;
            const SheetCell* cell = grid.Cell(records[k], c);
            double value = std::nan("");
            if (cell != nullptr && cell->IsText() && !FParseCsvNumber(sheet.Text(*cell), false, value)) ++textCells;
            if (c == 0 && dayNumbers && cell != nullptr) {
                CellDate d;
                if (FParseCsvDate(CellText(sheet, cell), true, d)) value = GetJulianDay(d.year, d.period, d.day);
            } else if (cell != nullptr && !cell->IsText()) {
                value = cell->number;
            }
            target[static_cast<std::size_t>(at)] = value;
        }
    }
    if (textCells > 0) DataWarning("%s: %lld text cells read as missing values", name.c_str(), textCells);
    LoadCounts rows;
    rows.read = shape.rows;
    rows.loaded = std::max(0LL, std::min(shape.rows + offset, db.observations) - std::max(offset, 0LL));
    rows.skipped = rows.read - rows.loaded;
    counts.Merge(rows);
    return true;
}

std::string SheetLayout::DateText(const Database& db, long long t) const {
    const Sample& s = db.sample;
    return CsvDateText(IObsYear(t, s.year1, s.period1, s.freq), IObsPeriod(t, s.period1, s.freq), s.freq);
}

SheetLayout LayoutOf(const Database& db) {
    SheetLayout layout;
    const Sample& s = db.sample;
    layout.dated = !(s.freq == 1 && s.year1 == 1 && s.period1 == 1);
    layout.rows = db.observations;
    if (layout.dated) layout.header.emplace_back("Date");
    for (const Variable& v : db.vars) {
        if ((v.flags & kVarWrite) == 0) continue;
        layout.vars.push_back(&v);
        layout.header.push_back(v.name);
    }
    return layout;
}

}  // namespace zu::data
