#include "data/stata.h"

#include <readstat.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "data/text_data.h"

namespace zu::data {
namespace {

// What the parser's handlers collect; columns by the file's variable index.
struct Reading {
    std::vector<std::string> names;
    std::vector<bool> numeric;
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
struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};

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
    std::size_t rows = 0;
    for (std::size_t j = 0; j < r.columns.size(); ++j)
        if (r.numeric[j]) rows = std::max(rows, r.columns[j].size());
    if (rows == 0) {
        DataError("No observations in file");
        return false;
    }
    if (db.observations == 0) {
        Sample s;
        SampleSetEnd(s, static_cast<long long>(rows));
        if (!FDbSetSample(db, s)) return false;
    }
    for (std::size_t j = 0; j < r.columns.size(); ++j) {
        if (!r.numeric[j]) continue;
        const int index = IDbAddVar(db, r.names[j].empty() ? "Var" + std::to_string(j + 1) : r.names[j]);
        if (index < 0) {
            DataError("Database %s is full: %s not read", db.name.c_str(), r.names[j].c_str());
            return false;
        }
        std::vector<double>& target = db.vars[static_cast<std::size_t>(index)].values;
        for (std::size_t t = 0; t < r.columns[j].size(); ++t) {
            ++counts.read;
            if (static_cast<long long>(t) >= db.observations) {
                ++counts.skipped;
                continue;
            }
            target[t] = r.columns[j][t];
            ++counts.loaded;
        }
    }
    return true;
}

int ISaveDta(Database& db, const std::string& name, bool backup) {
    if (backup) BackupFile(name, ".bak");
    std::unique_ptr<std::FILE, FileCloser> file{std::fopen(name.c_str(), "wb")};
    std::unique_ptr<readstat_writer_t, WriterFree> writer{readstat_writer_init()};
    if (!file || !writer) {
        DataError("Cannot open %s", name.c_str());
        return 0;
    }
    readstat_set_data_writer(writer.get(), WriteToFile);
    std::vector<std::pair<const Variable*, readstat_variable_t*>> columns;
    for (const Variable& v : db.vars)
        if ((v.flags & kVarWrite) != 0)
            columns.emplace_back(&v, readstat_add_variable(writer.get(), v.name.c_str(), READSTAT_TYPE_DOUBLE, 0));
    readstat_error_t error = readstat_begin_writing_dta(writer.get(), file.get(), static_cast<long>(db.observations));
    for (long long t = 0; error == READSTAT_OK && t < db.observations; ++t) {
        error = readstat_begin_row(writer.get());
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
        DataError("Cannot write %s: %s", name.c_str(), readstat_error_message(error));
        // A file cut off in the middle would not read back.
        file.reset();
        std::remove(name.c_str());
        return 0;
    }
    const bool ok = std::ferror(file.get()) == 0;
    return (std::fclose(file.release()) == 0) && ok ? 1 : 0;
}

}  // namespace zu::data
