// .xlsx: the first worksheet read from the zip container with a small
// reader of its XML; written through libxlsxwriter.
#include <xlsxwriter.h>
#include <zip.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "data/excel.h"
#include "data/saving.h"
#include "data/sheets.h"
#include "data/text_data.h"
#include "zu.h"

namespace zu::data {
namespace {

// A part of the container is read only as far as the file's own size
// makes plausible: XML compresses well, but not without bound.
constexpr long long kInflation = 200;
constexpr long long kLargestPart = 1LL << 31;
constexpr int kExcelRows = 1048576;
constexpr int kExcelColumns = 16384;
// Day number of 1899-12-30, from which the 1900 date system counts.
constexpr int kJulianOfDayZero = 2415019;

struct ZipCloser {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileCloser {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

// The whole of one part; false when it is missing or too large.
bool ReadPart(zip_t* zip, const char* part, long long most, std::string& text) {
    std::unique_ptr<zip_file_t, ZipFileCloser> f{zip_fopen(zip, part, 0)};
    if (!f) return false;
    text.clear();
    char piece[1 << 16];
    for (;;) {
        const zip_int64_t got = zip_fread(f.get(), piece, sizeof piece);
        if (got < 0) return false;
        if (got == 0) return true;
        if (static_cast<long long>(text.size()) + got > most) return false;
        text.append(piece, static_cast<std::size_t>(got));
    }
}

// ---------------------------------------------------------------------------
// A small XML reader: elements, attributes and text, enough for the parts
// of a worksheet.  Entities of text are decoded.
// ---------------------------------------------------------------------------

class Xml {
public:
    explicit Xml(std::string_view text) : s_(text) {}

    // Moves to the next tag; false at the end.  `name` is the tag name
    // ("/row" for a closing tag), `attributes` its raw attribute text.
    bool NextTag(std::string_view& name, std::string_view& attributes, bool& selfClosing) {
        const std::size_t open = s_.find('<', pos_);
        if (open == std::string_view::npos) return false;
        const std::size_t close = s_.find('>', open);
        if (close == std::string_view::npos) return false;
        textStart_ = close + 1;
        pos_ = close + 1;
        std::string_view tag = s_.substr(open + 1, close - open - 1);
        selfClosing = !tag.empty() && tag.back() == '/';
        if (selfClosing) tag.remove_suffix(1);
        const std::size_t space = tag.find_first_of(" \t\r\n");
        name = tag.substr(0, space);
        attributes = space == std::string_view::npos ? std::string_view{} : tag.substr(space);
        return true;
    }
    // The text from the end of the last tag to the next '<', decoded.
    [[nodiscard]] std::string Text() const {
        const std::size_t end = s_.find('<', textStart_);
        return Decode(s_.substr(textStart_, end == std::string_view::npos ? std::string_view::npos : end - textStart_));
    }

    static std::string Attribute(std::string_view attributes, std::string_view key) {
        for (std::size_t at = attributes.find(key); at != std::string_view::npos; at = attributes.find(key, at + 1)) {
            const bool starts = at == 0 || attributes[at - 1] == ' ' || attributes[at - 1] == '\t' ||
                                attributes[at - 1] == '\n' || attributes[at - 1] == '\r';
            std::size_t q = at + key.size();
            if (!starts || q >= attributes.size() || attributes[q] != '=') continue;
            ++q;
            if (q >= attributes.size()) return {};
            const char quote = attributes[q];
            const std::size_t end = attributes.find(quote, q + 1);
            if (end == std::string_view::npos) return {};
            return Decode(attributes.substr(q + 1, end - q - 1));
        }
        return {};
    }

    static std::string Decode(std::string_view raw) {
        std::string out;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '&') {
                out += raw[i];
                continue;
            }
            const std::size_t semi = raw.find(';', i);
            if (semi == std::string_view::npos || semi - i > 10) {
                out += '&';
                continue;
            }
            const std::string_view entity = raw.substr(i + 1, semi - i - 1);
            if (entity == "lt")
                out += '<';
            else if (entity == "gt")
                out += '>';
            else if (entity == "amp")
                out += '&';
            else if (entity == "quot")
                out += '"';
            else if (entity == "apos")
                out += '\'';
            else if (!entity.empty() && entity[0] == '#')
                AppendUtf8(out, CodeOf(entity.substr(1)));
            else
                out.append(raw.substr(i, semi - i + 1));
            i = semi;
        }
        return out;
    }

private:
    static unsigned long CodeOf(std::string_view digits) {
        const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
        const std::string text{hex ? digits.substr(1) : digits};
        const unsigned long code = std::strtoul(text.c_str(), nullptr, hex ? 16 : 10);
        return code > 0x10FFFF ? '?' : code;
    }
    static void AppendUtf8(std::string& out, unsigned long c) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }

    std::string_view s_;
    std::size_t pos_ = 0;
    std::size_t textStart_ = 0;
};

// The shared strings: each <si> is the text of its <t> elements.
std::vector<std::string> SharedStrings(std::string_view part) {
    std::vector<std::string> strings;
    Xml xml(part);
    std::string_view name, attributes;
    bool selfClosing = false;
    while (xml.NextTag(name, attributes, selfClosing)) {
        if (name == "si")
            strings.emplace_back();
        else if (name == "t" && !selfClosing && !strings.empty())
            strings.back() += xml.Text();
    }
    return strings;
}

bool IsDateFormat(int id, const std::string& code) {
    if (id >= 14 && id <= 22) return true;
    if (code.empty()) return false;
    bool quoted = false;
    for (char c : code) {
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == 'y' || c == 'Y' || c == 'd' || c == 'D')) return true;
    }
    return false;
}

// Which cell styles show dates: their number formats are built in (14 to
// 22) or custom with a year or day in them.
std::vector<bool> DateStyles(std::string_view part) {
    std::vector<std::pair<int, std::string>> formats;
    std::vector<bool> dates;
    Xml xml(part);
    std::string_view name, attributes;
    bool selfClosing = false;
    bool inCellXfs = false;
    while (xml.NextTag(name, attributes, selfClosing)) {
        if (name == "numFmt") {
            formats.emplace_back(std::atoi(Xml::Attribute(attributes, "numFmtId").c_str()),
                                 Xml::Attribute(attributes, "formatCode"));
        } else if (name == "cellXfs") {
            inCellXfs = !selfClosing;
        } else if (name == "/cellXfs") {
            inCellXfs = false;
        } else if (name == "xf" && inCellXfs) {
            const int id = std::atoi(Xml::Attribute(attributes, "numFmtId").c_str());
            std::string code;
            for (const auto& [fid, fcode] : formats)
                if (fid == id) code = fcode;
            dates.push_back(IsDateFormat(id, code));
        }
    }
    return dates;
}

// "BC12" to row 11 and column 54 (from 0); false when it is no reference.
bool CellReference(const std::string& ref, int& row, int& column) {
    std::size_t i = 0;
    long long c = 0, r = 0;
    while (i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])) && c <= kExcelColumns)
        c = c * 26 + (std::toupper(static_cast<unsigned char>(ref[i++])) - 'A' + 1);
    while (i < ref.size() && std::isdigit(static_cast<unsigned char>(ref[i])) && r <= kExcelRows)
        r = r * 10 + (ref[i++] - '0');
    if (i != ref.size() || c < 1 || r < 1 || c > kExcelColumns || r > kExcelRows) return false;
    row = static_cast<int>(r - 1);
    column = static_cast<int>(c - 1);
    return true;
}

std::string DateOfSerial(double serial) {
    int y = 0, m = 0, d = 0;
    GetDateFromJulian(kJulianOfDayZero + static_cast<int>(std::floor(serial)), &y, &m, &d);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return text;
}

struct CellState {
    int row = 0;
    int column = 0;
    std::string type;
    int style = -1;
    std::string value;
    bool open = false;
};

void StoreCell(const CellState& c, const std::vector<std::string>& shared, const std::vector<bool>& dateStyles,
               Sheet& sheet) {
    if (c.type == "s") {
        const long index = std::strtol(c.value.c_str(), nullptr, 10);
        if (index >= 0 && static_cast<std::size_t>(index) < shared.size())
            sheet.AddText(c.row, c.column, shared[static_cast<std::size_t>(index)]);
        return;
    }
    if (c.type == "str" || c.type == "inlineStr" || c.type == "e") {
        sheet.AddText(c.row, c.column, c.type == "e" ? std::string{} : c.value);
        return;
    }
    if (c.value.empty()) return;
    char* end = nullptr;
    const double d = std::strtod(c.value.c_str(), &end);
    if (*end != '\0') return;
    const bool date = c.style >= 0 && static_cast<std::size_t>(c.style) < dateStyles.size() &&
                      dateStyles[static_cast<std::size_t>(c.style)] && std::isfinite(d) && d > 0 && d < 3e6;
    if (date)
        sheet.AddText(c.row, c.column, DateOfSerial(d));
    else
        sheet.AddNumber(c.row, c.column, d);
}

void ReadWorksheet(std::string_view part, const std::vector<std::string>& shared, const std::vector<bool>& dateStyles,
                   Sheet& sheet) {
    Xml xml(part);
    std::string_view name, attributes;
    bool selfClosing = false;
    CellState cell;
    int nextRow = 0;
    int nextColumn = 0;
    while (xml.NextTag(name, attributes, selfClosing) && !sheet.Full()) {
        if (name == "row") {
            const std::string r = Xml::Attribute(attributes, "r");
            nextRow = r.empty() ? nextRow : std::atoi(r.c_str()) - 1;
            nextColumn = 0;
            if (selfClosing) ++nextRow;
        } else if (name == "/row") {
            ++nextRow;
        } else if (name == "c") {
            cell = CellState{};
            const std::string ref = Xml::Attribute(attributes, "r");
            if (ref.empty() || !CellReference(ref, cell.row, cell.column)) {
                cell.row = nextRow;
                cell.column = nextColumn;
            }
            nextColumn = cell.column + 1;
            cell.type = Xml::Attribute(attributes, "t");
            const std::string style = Xml::Attribute(attributes, "s");
            cell.style = style.empty() ? -1 : std::atoi(style.c_str());
            cell.open = !selfClosing;
        } else if ((name == "v" || name == "t") && cell.open && !selfClosing) {
            cell.value += xml.Text();
        } else if (name == "/c" && cell.open) {
            StoreCell(cell, shared, dateStyles, sheet);
            cell.open = false;
        }
    }
}

// The part of the first worksheet: sheet1.xml, else the first of the
// worksheets folder.
std::string FirstWorksheet(zip_t* zip) {
    if (zip_name_locate(zip, "xl/worksheets/sheet1.xml", 0) >= 0) return "xl/worksheets/sheet1.xml";
    const zip_int64_t n = zip_get_num_entries(zip, 0);
    for (zip_int64_t k = 0; k < n; ++k) {
        const char* entry = zip_get_name(zip, static_cast<zip_uint64_t>(k), 0);
        if (entry != nullptr && std::string_view{entry}.starts_with("xl/worksheets/sheet") &&
            std::string_view{entry}.ends_with(".xml"))
            return entry;
    }
    return {};
}

}  // namespace

bool FLoadXlsx(Database& db, const std::string& name, LoadCounts& counts) {
    struct stat status {};
    if (stat(name.c_str(), &status) != 0) {
        DataError("Cannot open %s", name.c_str());
        return false;
    }
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> zip{zip_open(name.c_str(), ZIP_RDONLY, &error)};
    const std::string part = zip ? FirstWorksheet(zip.get()) : std::string{};
    if (part.empty()) {
        DataError("Invalid .XLSX file %s", name.c_str());
        return false;
    }
    const long long most = std::min(kLargestPart, kInflation * static_cast<long long>(status.st_size) + (1LL << 24));
    std::string text;
    std::vector<std::string> shared;
    std::vector<bool> dateStyles;
    if (ReadPart(zip.get(), "xl/sharedStrings.xml", most, text)) shared = SharedStrings(text);
    if (ReadPart(zip.get(), "xl/styles.xml", most, text)) dateStyles = DateStyles(text);
    if (!ReadPart(zip.get(), part.c_str(), most, text)) {
        DataError("Error reading .XLSX file %s", name.c_str());
        return false;
    }
    Sheet sheet;
    ReadWorksheet(text, shared, dateStyles, sheet);
    text.clear();
    text.shrink_to_fit();
    return FLoadSheet(sheet, db, name, counts);
}

int ISaveXlsx(Database& db, const std::string& name, bool backup) {
    const SheetLayout layout = LayoutOf(db);
    if (layout.rows + 1 > kExcelRows || static_cast<int>(layout.header.size()) > kExcelColumns) {
        DataError("Error writing .XLSX file %s", name.c_str());
        return 0;
    }
    // The workbook library writes the file by name: it writes the
    // temporary, which replaces the old file only when it was closed cleanly.
    console::AtomicFile file(name, BackupName(name, backup, ".bak"));
    if (!FSaveOpened(file)) return 0;
    file.CloseStream();
    lxw_workbook* book = workbook_new(file.TemporaryName().c_str());
    lxw_worksheet* sheet = book != nullptr ? workbook_add_worksheet(book, nullptr) : nullptr;
    if (sheet == nullptr) {
        if (book != nullptr) (void)workbook_close(book);
        DataError("Cannot open %s", name.c_str());
        return 0;
    }
    bool ok = true;
    for (std::size_t c = 0; c < layout.header.size(); ++c)
        ok = ok && worksheet_write_string(sheet, 0, static_cast<lxw_col_t>(c), layout.header[c].c_str(), nullptr) ==
                       LXW_NO_ERROR;
    const lxw_col_t first = layout.dated ? 1 : 0;
    for (long long t = 0; ok && t < layout.rows; ++t) {
        const auto row = static_cast<lxw_row_t>(t + 1);
        if (layout.dated)
            ok = worksheet_write_string(sheet, row, 0, layout.DateText(db, t).c_str(), nullptr) == LXW_NO_ERROR;
        for (std::size_t j = 0; ok && j < layout.vars.size(); ++j) {
            const double d = layout.vars[j]->values[static_cast<std::size_t>(t)];
            if (!std::isnan(d))
                ok = worksheet_write_number(sheet, row, first + static_cast<lxw_col_t>(j), d, nullptr) == LXW_NO_ERROR;
        }
    }
    ok = workbook_close(book) == LXW_NO_ERROR && ok;
    if (!ok) file.Fail();
    if (file.Commit()) return 1;
    DataError("Error writing .XLSX file %s", name.c_str());
    return 0;
}

}  // namespace zu::data
