#include "data/stata.h"

#include <readstat.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "data/csv.h"
#include "data/saving.h"
#include "data/sheets.h"
#include "data/text_data.h"
#include "zu.h"

namespace zu::data {
namespace {

constexpr std::uint8_t kDtaVersion = 115;

// What the parser's handlers collect; columns by the file's variable index.
struct Reading {
    std::vector<std::string> names;
    std::vector<bool> numeric;
    std::vector<std::string> formats;  // display formats: "%tq" and the like mark dates
    std::vector<std::vector<double>> columns;
    long long cells = 0;
    bool tooLarge = false;
};

int OnMetadata(readstat_metadata_t* metadata, void* ctx) {
    auto& r = *static_cast<Reading*>(ctx);
    const int vars = readstat_get_var_count(metadata);
    if (vars < 0 || vars > kMaxVariablesAsked) {
        r.tooLarge = true;
        return READSTAT_HANDLER_ABORT;
    }
    r.names.assign(static_cast<std::size_t>(vars), std::string{});
    r.numeric.assign(static_cast<std::size_t>(vars), false);
    r.formats.assign(static_cast<std::size_t>(vars), std::string{});
    r.columns.assign(static_cast<std::size_t>(vars), std::vector<double>{});
    return READSTAT_HANDLER_OK;
}

int OnVariable(int index, readstat_variable_t* variable, const char*, void* ctx) {
    auto& r = *static_cast<Reading*>(ctx);
    if (index < 0 || static_cast<std::size_t>(index) >= r.names.size()) return READSTAT_HANDLER_ABORT;
    if (readstat_variable_get_type_class(variable) != READSTAT_TYPE_CLASS_NUMERIC)
        return READSTAT_HANDLER_SKIP_VARIABLE;
    const char* name = readstat_variable_get_name(variable);
    r.names[static_cast<std::size_t>(index)] = name != nullptr ? name : "";
    r.numeric[static_cast<std::size_t>(index)] = true;
    const char* format = readstat_variable_get_format(variable);
    r.formats[static_cast<std::size_t>(index)] = format != nullptr ? format : "";
    return READSTAT_HANDLER_OK;
}

double NumberOf(readstat_value_t value) {
    if (readstat_value_is_system_missing(value) || readstat_value_is_tagged_missing(value)) return std::nan("");
    switch (readstat_value_type(value)) {
    case READSTAT_TYPE_INT8: return readstat_int8_value(value);
    case READSTAT_TYPE_INT16: return readstat_int16_value(value);
    case READSTAT_TYPE_INT32: return readstat_int32_value(value);
    case READSTAT_TYPE_FLOAT: return readstat_float_value(value);
    case READSTAT_TYPE_DOUBLE: return readstat_double_value(value);
    default: return std::nan("");
    }
}

int OnValue(int obs, readstat_variable_t* variable, readstat_value_t value, void* ctx) {
    auto& r = *static_cast<Reading*>(ctx);
    const int index = readstat_variable_get_index(variable);
    if (index < 0 || static_cast<std::size_t>(index) >= r.columns.size() || obs < 0) return READSTAT_HANDLER_ABORT;
    std::vector<double>& column = r.columns[static_cast<std::size_t>(index)];
    const auto needed = static_cast<std::size_t>(obs) + 1;
    if (column.size() < needed) {
        r.cells += static_cast<long long>(needed - column.size());
        if (r.cells > kMaxCells || obs >= kMaxObservations) {
            r.tooLarge = true;
            return READSTAT_HANDLER_ABORT;
        }
        column.resize(needed, std::nan(""));
    }
    column[static_cast<std::size_t>(obs)] = NumberOf(value);
    return READSTAT_HANDLER_OK;
}

ssize_t WriteToFile(const void* data, size_t length, void* ctx) {
    const std::size_t written = std::fwrite(data, 1, length, static_cast<std::FILE*>(ctx));
    return written == length ? static_cast<ssize_t>(written) : -1;
}

struct ParserFree {
    void operator()(readstat_parser_t* p) const { readstat_parser_free(p); }
};
struct WriterFree {
    void operator()(readstat_writer_t* w) const { readstat_writer_free(w); }
};

// Dates are numbers counted from 1960 and shown through a format: 'q'
// quarters, 'm' months, 'y' years, 'd' days; 0 for any other format.
char DateKindOf(const std::string& format) {
    if (format.size() < 3 || format[0] != '%' || (format[1] != 't' && format[1] != 'd')) return 0;
    if (format[1] == 'd') return 'd';
    return std::strchr("qmyd", format[2]) != nullptr ? format[2] : 0;
}

std::string DateText(char kind, double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e7) return {};
    const long long v = static_cast<long long>(std::floor(value));
    const auto div = [](long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
    switch (kind) {
    case 'q': return CsvDateText(1960 + div(v, 4), v - 4 * div(v, 4) + 1, 4);
    case 'm': return CsvDateText(1960 + div(v, 12), v - 12 * div(v, 12) + 1, 12);
    case 'y': return CsvDateText(v, 1, 1);
    default: {
        int y = 0, m = 0, d = 0;
        GetDateFromJulian(GetJulianDay(1960, 1, 1) + static_cast<int>(v), &y, &m, &d);
        char text[32];
        std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
        return text;
    }
    }
}

// The format and value of a dated sample's observation t; no format for
// frequencies that have none.
const char* DateFormatOf(const Sample& s) {
    if (s.freq == 1 && s.year1 == 1 && s.period1 == 1) return nullptr;
    return s.freq == 4 ? "%tq" : s.freq == 12 ? "%tm" : s.freq == 1 ? "%ty" : nullptr;
}

std::int32_t DateValue(const Sample& s, long long t) {
    const long long year = IObsYear(t, s.year1, s.period1, s.freq);
    const long long period = IObsPeriod(t, s.period1, s.freq);
    if (s.freq == 1) return static_cast<std::int32_t>(year);
    return static_cast<std::int32_t>((year - 1960) * s.freq + period - 1);
}

}  // namespace

bool FLoadDta(Database& db, const std::string& name, LoadCounts& counts) {
    std::unique_ptr<readstat_parser_t, ParserFree> parser{readstat_parser_init()};
    if (!parser) return false;
    Reading r;
    readstat_set_metadata_handler(parser.get(), OnMetadata);
    readstat_set_variable_handler(parser.get(), OnVariable);
    readstat_set_value_handler(parser.get(), OnValue);
    const readstat_error_t error = readstat_parse_dta(parser.get(), name.c_str(), &r);
    if (r.tooLarge) {
        DataError("%s holds too many values", name.c_str());
        return false;
    }
    if (error == READSTAT_ERROR_OPEN) {
        DataError("Cannot open %s", name.c_str());
        return false;
    }
    if (error != READSTAT_OK) {
        DataError("Unknown Stata file format");
        return false;
    }
    // The first variable shown as dates becomes the date column of a
    // sheet, which sets the sample the way dates of other formats do.
    std::size_t dateColumn = r.columns.size();
    for (std::size_t j = 0; j < r.columns.size() && dateColumn == r.columns.size(); ++j)
        if (r.numeric[j] && DateKindOf(r.formats[j]) != 0) dateColumn = j;
    Sheet sheet;
    int column = 0;
    if (dateColumn < r.columns.size()) {
        sheet.AddText(0, column, "Date");
        const std::vector<double>& dates = r.columns[dateColumn];
        for (std::size_t t = 0; t < dates.size(); ++t)
            sheet.AddText(static_cast<int>(t) + 1, column, DateText(DateKindOf(r.formats[dateColumn]), dates[t]));
        ++column;
    }
    for (std::size_t j = 0; j < r.columns.size(); ++j) {
        if (!r.numeric[j] || j == dateColumn) continue;
        sheet.AddText(0, column, r.names[j].empty() ? "Var" + std::to_string(j + 1) : r.names[j]);
        for (std::size_t t = 0; t < r.columns[j].size(); ++t)
            sheet.AddNumber(static_cast<int>(t) + 1, column, r.columns[j][t]);
        ++column;
    }
    return FLoadSheet(sheet, db, name, counts);
}

int ISaveDta(Database& db, const std::string& name, bool backup) {
    if (std::none_of(db.vars.begin(), db.vars.end(), [](const Variable& v) { return (v.flags & kVarWrite) != 0; })) {
        NothingToSave(name);
        return 0;
    }
    console::AtomicFile file(name, BackupName(name, backup, ".bak"));
    if (!FSaveOpened(file)) return 0;
    std::unique_ptr<readstat_writer_t, WriterFree> writer{readstat_writer_init()};
    if (!writer) {
        DataError("Cannot open %s", name.c_str());
        return 0;
    }
    readstat_set_data_writer(writer.get(), WriteToFile);
    const char* dateFormat = DateFormatOf(db.sample);
    readstat_variable_t* dateColumn = nullptr;
    if (dateFormat != nullptr) {
        dateColumn = readstat_add_variable(writer.get(), "date", READSTAT_TYPE_INT32, 0);
        readstat_variable_set_format(dateColumn, dateFormat);
    }
    std::vector<std::pair<const Variable*, readstat_variable_t*>> columns;
    for (const Variable& v : db.vars)
        if ((v.flags & kVarWrite) != 0)
            columns.emplace_back(&v, readstat_add_variable(writer.get(), v.name.c_str(), READSTAT_TYPE_DOUBLE, 0));
    // Format 115 (numbers, names of up to 32 characters) is the newest that
    // every reader of these files takes, R's foreign package included.
    readstat_error_t error = readstat_writer_set_file_format_version(writer.get(), kDtaVersion);
    if (error == READSTAT_OK)
        error = readstat_begin_writing_dta(writer.get(), file.Stream(), static_cast<long>(db.observations));
    for (long long t = 0; error == READSTAT_OK && t < db.observations; ++t) {
        error = readstat_begin_row(writer.get());
        if (error == READSTAT_OK && dateColumn != nullptr)
            error = readstat_insert_int32_value(writer.get(), dateColumn, DateValue(db.sample, t));
        for (const auto& [v, column] : columns) {
            if (error != READSTAT_OK) break;
            const double d = v->values[static_cast<std::size_t>(t)];
            error = std::isnan(d) ? readstat_insert_missing_value(writer.get(), column)
                                  : readstat_insert_double_value(writer.get(), column, d);
        }
        if (error == READSTAT_OK) error = readstat_end_row(writer.get());
    }
    if (error == READSTAT_OK) error = readstat_end_writing(writer.get());
    if (error != READSTAT_OK) {
        // The file cut off in the middle is dropped; the old one stays.
        DataError("Cannot write %s: %s", name.c_str(), readstat_error_message(error));
        return 0;
    }
    return IFinishSave(file);
}

}  // namespace zu::data
