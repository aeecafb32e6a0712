#include "data/gauss_files.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "data/saving.h"
#include "data/text_data.h"
#include "stdlib/matrix_file_headers.h"

namespace zu::data {
namespace {

using stdlib::HeaderKind;
using stdlib::MatrixHeader;

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::size_t kPieceRows = 4096;

// Opens a matrix file and reads its header; null after a message.
File OpenWithHeader(const std::string& name, MatrixHeader& header) {
    File f{std::fopen(name.c_str(), "rb")};
    if (!f) {
        DataError("Cannot open %s", name.c_str());
        return nullptr;
    }
    const std::string message = stdlib::ReadMatrixHeader(f.get(), &header);
    if (!message.empty()) {
        DataError("%s: %s", name.c_str(), message.c_str());
        return nullptr;
    }
    if (static_cast<long long>(header.rows) * header.columns > kMaxCells) {
        DataError("%s holds too many values", name.c_str());
        return nullptr;
    }
    return f;
}

// The rows that follow the header; the buffer grows with the bytes that
// arrive, whatever the header promised.
bool ReadRows(std::FILE* f, const std::string& name, const MatrixHeader& header, std::vector<double>& values) {
    const std::size_t c = static_cast<std::size_t>(header.columns);
    std::vector<unsigned char> bytes(kPieceRows * c * 8);
    values.clear();
    for (long long done = 0; done < header.rows && c > 0;) {
        const std::size_t want = static_cast<std::size_t>(std::min<long long>(header.rows - done, kPieceRows));
        const std::size_t got = std::fread(bytes.data(), c * 8, want, f);
        for (std::size_t k = 0; k < got * c; ++k)
            values.push_back(stdlib::GetDouble(bytes.data() + 8 * k, header.bigEndian));
        done += static_cast<long long>(got);
        if (got < want) {
            DataWarning("%s while reading %s", "Unexpected end-of-file", name.c_str());
            return false;
        }
    }
    return true;
}

std::vector<std::string> ReadNames(std::FILE* f, int columns) {
    std::vector<std::string> names;
    if (fseeko(f, stdlib::kDataSetHeaderSize, SEEK_SET) != 0) return names;
    char field[stdlib::kNameFieldSize];
    for (int j = 0; j < columns; ++j) {
        if (std::fread(field, 1, sizeof field, f) != sizeof field) break;
        names.emplace_back(field, strnlen(field, sizeof field));
    }
    return names;
}

std::string DataSetName(const std::string& name) {
    return LowerExtension(name) == ".dht" ? WithExtension(name, ".dat") : name;
}

bool WriteAll(std::FILE* f, const void* bytes, std::size_t n) { return std::fwrite(bytes, 1, n, f) == n; }

bool WriteRow(std::FILE* f, std::vector<unsigned char>& row, const double* values, std::size_t c) {
    for (std::size_t j = 0; j < c; ++j) stdlib::PutDouble(row.data() + 8 * j, values[j], false);
    return WriteAll(f, row.data(), 8 * c);
}

int Finished(console::AtomicFile& f, bool ok) {
    if (!ok) f.Fail();
    return IFinishSave(f);
}

}  // namespace

bool FLoadFmt(const std::string& name, std::vector<double>& values, int& rows, int& columns) {
    MatrixHeader header;
    File f = OpenWithHeader(name, header);
    if (!f) return false;
    if (!ReadRows(f.get(), name, header, values)) return false;
    rows = header.rows;
    columns = header.columns;
    return true;
}

int ISaveFmt(const std::string& name, const double* const* rows, int r, int c) {
    console::AtomicFile f(name);
    if (!FSaveOpened(f)) return 0;
    bool ok = stdlib::WriteMatrixHeader(f.Stream(), MatrixHeader{HeaderKind::New, r, c, false});
    std::vector<unsigned char> row(static_cast<std::size_t>(c) * 8);
    for (int i = 0; ok && i < r; ++i) ok = WriteRow(f.Stream(), row, rows[i], static_cast<std::size_t>(c));
    return Finished(f, ok);
}

bool FIsBinaryDataSet(const std::string& name) {
    File f{std::fopen(name.c_str(), "rb")};
    unsigned char head[20];
    if (!f || std::fread(head, 1, sizeof head, f.get()) != sizeof head) return false;
    MatrixHeader header;
    return head[0] == 0xDA || (stdlib::ReadFmtHeader_96(head, &header) && header.kind == HeaderKind::DataSet);
}

bool FLoadDataSet(Database& db, const std::string& name, LoadCounts& counts) {
    const std::string file = DataSetName(name);
    MatrixHeader header;
    File f = OpenWithHeader(file, header);
    if (!f) return false;
    if (header.kind != HeaderKind::DataSet) {
        DataError("Invalid binary .dat file");
        return false;
    }
    const std::vector<std::string> names = ReadNames(f.get(), header.columns);
    std::vector<double> values;
    if (fseeko(f.get(), stdlib::HeaderSize(header.kind, header.columns), SEEK_SET) != 0 ||
        static_cast<int>(names.size()) != header.columns || !ReadRows(f.get(), file, header, values))
        return false;
    if (header.rows == 0) {
        DataError("No observations in file");
        return false;
    }
    if (db.observations == 0) {
        Sample s;
        SampleSetEnd(s, header.rows);
        if (!FDbSetSample(db, s)) return false;
    }
    const std::size_t c = static_cast<std::size_t>(header.columns);
    for (std::size_t j = 0; j < c; ++j) {
        const int index = IDbAddVar(db, names[j].empty() ? "Var" + std::to_string(j + 1) : names[j]);
        if (index < 0) {
            DataError("Database %s is full: %s not read", db.name.c_str(), names[j].c_str());
            return false;
        }
        std::vector<double>& target = db.vars[static_cast<std::size_t>(index)].values;
        for (long long t = 0; t < header.rows && t < db.observations; ++t)
            target[static_cast<std::size_t>(t)] = values[static_cast<std::size_t>(t) * c + j];
    }
    LoadCounts rows;
    rows.read = header.rows;
    rows.loaded = std::min<long long>(header.rows, db.observations);
    rows.skipped = rows.read - rows.loaded;
    counts.Merge(rows);
    return true;
}

int ISaveDataSet(Database& db, const std::string& name, bool backup) {
    const std::string file = DataSetName(name);
    std::vector<const Variable*> vars;
    for (const Variable& v : db.vars)
        if ((v.flags & kVarWrite) != 0) vars.push_back(&v);
    if (vars.empty()) {
        NothingToSave(name);
        return 0;
    }
    console::AtomicFile f(file, BackupName(file, backup, ".bak"));
    if (!FSaveOpened(f)) return 0;
    const int c = static_cast<int>(vars.size());
    const MatrixHeader header{HeaderKind::DataSet, static_cast<int>(db.observations), c, false};
    bool ok = stdlib::WriteMatrixHeader(f.Stream(), header);
    std::vector<unsigned char> names(
        static_cast<std::size_t>(c) * (stdlib::kNameFieldSize + 1) + static_cast<std::size_t>(stdlib::NamePadding(c)),
        0);
    for (std::size_t j = 0; j < vars.size(); ++j)
        std::memcpy(names.data() + j * stdlib::kNameFieldSize, vars[j]->name.data(),
                    std::min<std::size_t>(vars[j]->name.size(), stdlib::kNameFieldSize));
    ok = ok && WriteAll(f.Stream(), names.data(), names.size());
    std::vector<double> values(vars.size());
    std::vector<unsigned char> row(vars.size() * 8);
    for (long long t = 0; ok && t < db.observations; ++t) {
        for (std::size_t j = 0; j < vars.size(); ++j) values[j] = vars[j]->values[static_cast<std::size_t>(t)];
        ok = WriteRow(f.Stream(), row, values.data(), vars.size());
    }
    return Finished(f, ok);
}

}  // namespace zu::data
