#include "data/lotus.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "data/saving.h"
#include "data/sheets.h"
#include "data/text_data.h"
#include "stdlib/matrix_file_headers.h"

namespace zu::data {
namespace {

enum Opcode : std::uint16_t {
    kBof = 0x0000,
    kEof = 0x0001,
    kRange = 0x0006,
    kInteger = 0x000D,
    kNumber = 0x000E,
    kLabel = 0x000F,
    kFormula = 0x0010,
    kFormulaString = 0x0033,
};
constexpr std::uint16_t kVersionWks = 0x0404;
constexpr std::uint16_t kVersionWk1 = 0x0406;
constexpr std::uint8_t kFormatGeneral = 0xFF;  // protected bit off, "general" display
constexpr int kColumns = 256;                  // columns of a Lotus worksheet
constexpr int kRows = 8192;                    // and rows

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

unsigned Le16(const unsigned char* p) { return static_cast<unsigned>(p[0] | (p[1] << 8)); }

// A label: its first character says how it is aligned and is not text.
std::string LabelText(const unsigned char* p, std::size_t n) {
    const std::size_t length = strnlen(reinterpret_cast<const char*>(p), n);
    std::string text(reinterpret_cast<const char*>(p), length);
    if (!text.empty() && std::strchr("'\"^\\|", text[0]) != nullptr) text.erase(0, 1);
    return text;
}

// Adds the cell of one record; false when the record is malformed.
bool TakeRecord(unsigned op, const std::vector<unsigned char>& body, Sheet& sheet) {
    if (op != kInteger && op != kNumber && op != kLabel && op != kFormula && op != kFormulaString) return true;
    if (body.size() < 5) return false;
    const int column = static_cast<int>(Le16(&body[1]));
    const int row = static_cast<int>(Le16(&body[3]));
    const unsigned char* data = body.data() + 5;
    const std::size_t n = body.size() - 5;
    switch (op) {
    case kInteger:
        if (n < 2) return false;
        sheet.AddNumber(row, column, static_cast<std::int16_t>(Le16(data)));
        return true;
    case kNumber:
    case kFormula:
        if (n < 8) return false;
        sheet.AddNumber(row, column, stdlib::GetDouble(data, false));
        return true;
    default: sheet.AddText(row, column, LabelText(data, n)); return true;
    }
}

void PutRecord(std::vector<unsigned char>& out, unsigned op, const std::vector<unsigned char>& body) {
    const unsigned n = static_cast<unsigned>(body.size());
    const unsigned char head[4] = {static_cast<unsigned char>(op), static_cast<unsigned char>(op >> 8),
                                   static_cast<unsigned char>(n), static_cast<unsigned char>(n >> 8)};
    out.insert(out.end(), head, head + 4);
    out.insert(out.end(), body.begin(), body.end());
}

std::vector<unsigned char> CellHead(int row, int column) {
    return {kFormatGeneral, static_cast<unsigned char>(column), static_cast<unsigned char>(column >> 8),
            static_cast<unsigned char>(row), static_cast<unsigned char>(row >> 8)};
}

void PutLabel(std::vector<unsigned char>& out, int row, int column, const std::string& text) {
    std::vector<unsigned char> body = CellHead(row, column);
    body.push_back('\'');
    // Labels hold at most 240 characters.
    body.insert(body.end(), text.begin(),
                text.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(text.size(), 240)));
    body.push_back(0);
    PutRecord(out, kLabel, body);
}

void PutNumber(std::vector<unsigned char>& out, int row, int column, double d) {
    std::vector<unsigned char> body = CellHead(row, column);
    body.resize(body.size() + 8);
    stdlib::PutDouble(body.data() + 5, d, false);
    PutRecord(out, kNumber, body);
}

}  // namespace

bool FLoadWks(Database& db, const std::string& name, LoadCounts& counts) {
    File f{std::fopen(name.c_str(), "rb")};
    if (!f) {
        DataError("Cannot open %s", name.c_str());
        return false;
    }
    Sheet sheet;
    unsigned char head[4];
    std::vector<unsigned char> body;
    bool first = true;
    for (;;) {
        if (std::fread(head, 1, 4, f.get()) != 4) {
            DataError(first ? "Invalid .WKS file" : "Error reading .XLS/.WKS file");
            return false;
        }
        const unsigned op = Le16(head);
        body.resize(Le16(head + 2));
        const bool whole = std::fread(body.data(), 1, body.size(), f.get()) == body.size();
        if (first && (op != kBof || body.size() != 2 || !whole || Le16(body.data()) < kVersionWks ||
                      Le16(body.data()) > kVersionWk1)) {
            DataError("Invalid .WKS file");
            return false;
        }
        if (!whole) {
            DataError("Error reading .XLS/.WKS file");
            return false;
        }
        first = false;
        if (op == kEof) break;
        if (!TakeRecord(op, body, sheet)) {
            DataError("Error reading .XLS/.WKS file");
            return false;
        }
    }
    return FLoadSheet(sheet, db, name, counts);
}

int ISaveWks(Database& db, const std::string& name, bool backup) {
    const SheetLayout layout = LayoutOf(db);
    const long long rows = layout.rows + 1;
    const int columns = static_cast<int>(layout.header.size());
    if (rows > kRows || columns > kColumns || columns == 0) {
        DataError("Error writing .WKS file");
        return 0;
    }
    std::vector<unsigned char> out;
    const std::uint16_t version = LowerExtension(name) == ".wk1" ? kVersionWk1 : kVersionWks;
    PutRecord(out, kBof, {static_cast<unsigned char>(version), static_cast<unsigned char>(version >> 8)});
    const unsigned lastRow = static_cast<unsigned>(rows - 1);
    const unsigned lastColumn = static_cast<unsigned>(columns - 1);
    PutRecord(out, kRange,
              {0, 0, 0, 0, static_cast<unsigned char>(lastColumn), static_cast<unsigned char>(lastColumn >> 8),
               static_cast<unsigned char>(lastRow), static_cast<unsigned char>(lastRow >> 8)});
    for (int c = 0; c < columns; ++c) PutLabel(out, 0, c, layout.header[static_cast<std::size_t>(c)]);
    const int first = layout.dated ? 1 : 0;
    for (long long t = 0; t < layout.rows; ++t) {
        const int row = static_cast<int>(t + 1);
        if (layout.dated) PutLabel(out, row, 0, layout.DateText(db, t));
        for (std::size_t j = 0; j < layout.vars.size(); ++j) {
            const double d = layout.vars[j]->values[static_cast<std::size_t>(t)];
            if (!std::isnan(d)) PutNumber(out, row, first + static_cast<int>(j), d);
        }
    }
    PutRecord(out, kEof, {});
    return ISaveBytes(name, backup, out, "Error writing .WKS file");
}

}  // namespace zu::data
