#include "data/csv.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

#include "data/saving.h"
#include "data/text_data.h"
#include "zu.h"

namespace zu::data {
namespace {

// The file is read in pieces of this size; one record may grow the buffer
// up to the limit, beyond which the file is refused rather than held.
constexpr std::size_t kPiece = std::size_t{1} << 20;
constexpr std::size_t kLongestRecord = std::size_t{64} << 20;
constexpr std::size_t kShownCell = 40;

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Hands out the records of a file one at a time: the text up to the next
// line end that is not inside quotes, without the line end.  The text may
// be changed in place by the caller (quoted cells are unescaped there).
class RecordReader {
public:
    explicit RecordReader(std::FILE* f) : file_(f), buffer_(kPiece) {}

    // False at the end of the file, and when a record is too long
    // (`TooLong` tells).
    bool Next(char*& text, std::size_t& length) {
        for (;;) {
            long long breaks = 0;
            std::size_t i = RecordEnd(breaks);
            if (i < end_ || eof_) {
                if (i == pos_ && i == end_) return false;
                text = buffer_.data() + pos_;
                length = i - pos_;
                if (length > 0 && text[length - 1] == '\r') --length;
                recordLine_ = nextLine_;
                nextLine_ += breaks + 1;
                pos_ = i < end_ ? i + 1 : end_;
                return true;
            }
            if (!Fill()) return false;
        }
    }

    [[nodiscard]] long long Line() const { return recordLine_; }
    [[nodiscard]] bool TooLong() const { return tooLong_; }

private:
    // Where the record from pos_ ends: at the first line end outside
    // quotes, or end_ when it is not in the buffer yet.  `breaks` counts
    // the line ends inside quotes.  Most records hold no quote, and for
    // them two scans of the C library find the end.
    std::size_t RecordEnd(long long& breaks) const {
        const char* base = buffer_.data();
        const void* line = std::memchr(base + pos_, '\n', end_ - pos_);
        const std::size_t limit =
            line != nullptr ? static_cast<std::size_t>(static_cast<const char*>(line) - base) : end_;
        if (std::memchr(base + pos_, '"', limit - pos_) == nullptr) return limit;
        bool quoted = false;
        std::size_t i = pos_;
        for (; i < end_; ++i) {
            const char c = base[i];
            if (c == '"')
                quoted = !quoted;
            else if (c == '\n' && !quoted)
                break;
            else if (c == '\n')
                ++breaks;
        }
        return i;
    }

    // Keeps the unread part and reads more behind it; false when the
    // record in hand cannot grow any further.
    bool Fill() {
        if (pos_ > 0) {
            std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
            end_ -= pos_;
            pos_ = 0;
        }
        if (end_ == buffer_.size()) {
            if (buffer_.size() >= kLongestRecord) {
                tooLong_ = true;
                return false;
            }
            buffer_.resize(buffer_.size() * 2);
        }
        const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
        if (first_) {
            first_ = false;
            static constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
            if (got >= 3 && std::memcmp(buffer_.data(), kByteOrderMark, 3) == 0) pos_ = 3;
        }
        end_ += got;
        if (got == 0) eof_ = true;
        return true;
    }

    std::FILE* file_;
    std::vector<char> buffer_;
    std::size_t pos_ = 0;  // first unread byte
    std::size_t end_ = 0;  // end of the bytes read
    bool eof_ = false;
    bool first_ = true;  // the byte-order mark is looked for once
    bool tooLong_ = false;
    long long nextLine_ = 1;    // line of the file where the next record starts
    long long recordLine_ = 1;  // line where the record last handed out starts
};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// Splits a record into cells, unescaping quoted cells in place.
void SplitCells(char* text, std::size_t length, char separator, std::vector<std::string_view>& cells) {
    cells.clear();
    std::size_t r = 0;
    for (;;) {
        std::size_t q = r;
        while (q < length && text[q] == ' ') ++q;
        std::size_t next = length;
        if (q < length && text[q] == '"') {
            std::size_t w = q;
            std::size_t i = q + 1;
            while (i < length) {
                if (text[i] == '"') {
                    if (i + 1 < length && text[i + 1] == '"') {
                        text[w++] = '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text[w++] = text[i++];
            }
            const void* sep = i < length ? std::memchr(text + i, separator, length - i) : nullptr;
            next = sep != nullptr ? static_cast<std::size_t>(static_cast<const char*>(sep) - text) : length;
            cells.emplace_back(text + q, w - q);
        } else {
            const void* sep = r < length ? std::memchr(text + r, separator, length - r) : nullptr;
            next = sep != nullptr ? static_cast<std::size_t>(static_cast<const char*>(sep) - text) : length;
            cells.emplace_back(text + r, next - r);
        }
        if (next >= length) return;
        r = next + 1;
    }
}

// The separator that occurs most often outside quotes in the row of names.
char DetectSeparator(std::string_view header) {
    long long commas = 0, semicolons = 0, tabs = 0;
    bool quoted = false;
    for (char c : header) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        commas += c == ',';
        semicolons += c == ';';
        tabs += c == '\t';
    }
    if (tabs > commas && tabs > semicolons) return '\t';
    if (semicolons > commas) return ';';
    return ',';
}

bool AllEmpty(const std::vector<std::string_view>& cells) {
    return std::all_of(cells.begin(), cells.end(), [](std::string_view c) { return Trim(c).empty(); });
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

}  // namespace

bool FNamesDates(std::string_view name) {
    static constexpr std::string_view kNames[] = {"",    "date",        "dates", "year",    "years", "period",
                                                  "obs", "observation", "time",  "quarter", "month"};
    const std::string_view trimmed = Trim(name);
    return std::any_of(std::begin(kNames), std::end(kNames),
                       [&](std::string_view n) { return EqualNoCase(n, trimmed); });
}

namespace {

// Reads exactly `digits` digits (or 1 to `digits` when `exact` is false).
bool ReadInt(std::string_view& s, int digits, bool exact, int& value) {
    int n = 0;
    value = 0;
    while (n < digits && n < static_cast<int>(s.size()) && std::isdigit(static_cast<unsigned char>(s[n]))) {
        value = value * 10 + (s[n] - '0');
        ++n;
    }
    if (n == 0 || (exact && n != digits)) return false;
    s.remove_prefix(static_cast<std::size_t>(n));
    return true;
}

std::string Shown(std::string_view cell) {
    std::string text{cell.substr(0, kShownCell)};
    if (cell.size() > kShownCell) text += "...";
    for (char& c : text)
        if (static_cast<unsigned char>(c) < ' ') c = ' ';
    return text;
}

// ---------------------------------------------------------------------------
// The first pass: names, dates, rows
// ---------------------------------------------------------------------------

// How the cells of the file are to be read.
struct Layout {
    char separator = ',';
    bool decimalComma = false;
    bool dateColumn = false;  // the first column holds dates
    bool dayNumbers = false;  // ... that become a variable of day numbers
    std::size_t width = 0;    // cells of the row of names
};

class CsvFile {
public:
    CsvFile(std::string name, std::FILE* f) : name_(std::move(name)), file_(f) {}

    bool Scan(CsvShape& shape, std::vector<long long>& index);
    bool Fill(const CsvShape& shape, const std::vector<long long>& index, const CsvRow& row);

private:
    bool Header(RecordReader& reader, CsvShape& shape);
    bool DateOf(std::string_view cell, long long line, CellDate& date);
    void FillRow(const std::vector<std::string_view>& cells, double* out, long long line);

    std::string name_;
    std::FILE* file_;
    Layout layout_;
    std::vector<std::string_view> cells_;
    DateForm form_ = DateForm::None;
    long long textCells_ = 0;
    long long textLine_ = 0;
    std::string firstText_;
};

bool CsvFile::Header(RecordReader& reader, CsvShape& shape) {
    char* text = nullptr;
    std::size_t length = 0;
    if (!reader.Next(text, length)) {
        if (reader.TooLong())
            DataError("%s (%lld): line too long", name_.c_str(), reader.Line());
        else
            DataError("No observations in file");
        return false;
    }
    layout_.separator = DetectSeparator({text, length});
    layout_.decimalComma = layout_.separator != ',';
    SplitCells(text, length, layout_.separator, cells_);
    if (cells_.size() > static_cast<std::size_t>(kMaxVariablesAsked)) {
        DataError("%s (1): more than %d columns", name_.c_str(), kMaxVariablesAsked);
        return false;
    }
    layout_.width = cells_.size();
    for (std::string_view c : cells_) shape.names.emplace_back(Trim(c));
    return true;
}

bool CsvFile::DateOf(std::string_view cell, long long line, CellDate& date) {
    if (FParseCsvDate(cell, form_ == DateForm::Year, date) && date.form == form_) return true;
    DataError("%s (%lld): date expected, found \"%s\"", name_.c_str(), line, Shown(Trim(cell)).c_str());
    return false;
}

bool CsvFile::Scan(CsvShape& shape, std::vector<long long>& index) {
    RecordReader reader(file_);
    if (!Header(reader, shape)) return false;
    std::vector<DatedRecord> dates;
    char* text = nullptr;
    std::size_t length = 0;
    long long shortLine = 0;
    bool firstRecord = true;
    while (reader.Next(text, length)) {
        SplitCells(text, length, layout_.separator, cells_);
        if (AllEmpty(cells_)) continue;
        const long long line = reader.Line();
        if (cells_.size() > layout_.width &&
            !std::all_of(cells_.begin() + static_cast<std::ptrdiff_t>(layout_.width), cells_.end(),
                         [](std::string_view c) { return Trim(c).empty(); })) {
            DataError("%s (%lld): %zu cells, but %zu names in the first line", name_.c_str(), line, cells_.size(),
                      layout_.width);
            return false;
        }
        if (cells_.size() < layout_.width && shortLine == 0) shortLine = line;
        if (firstRecord) {
            firstRecord = false;
            CellDate first;
            layout_.dateColumn = FParseCsvDate(cells_[0], FNamesDates(shape.names[0]), first);
            form_ = first.form;
        }
        if (layout_.dateColumn) {
            DatedRecord d;
            d.line = line;
            if (!DateOf(cells_[0], line, d.date)) return false;
            dates.push_back(d);
        }
        if (++shape.records > kMaxObservations) {
            DataError("%s holds too many observations", name_.c_str());
            return false;
        }
    }
    if (reader.TooLong()) {
        DataError("%s (%lld): line too long", name_.c_str(), reader.Line());
        return false;
    }
    if (shape.records == 0) {
        DataError("No observations in file");
        return false;
    }
    if (shortLine != 0)
        DataWarning("%s (%lld): fewer cells than names; the missing cells are missing values", name_.c_str(),
                    shortLine);
    if (layout_.dateColumn && !FDateSample(name_, dates, shape, index, layout_.dayNumbers)) return false;
    if (layout_.dateColumn && !layout_.dayNumbers) shape.names.erase(shape.names.begin());
    if (!shape.dated) {
        shape.sample = Sample{};
        SampleSetEnd(shape.sample, shape.records);
        shape.rows = shape.records;
    }
    if (shape.rows * static_cast<long long>(std::max<std::size_t>(shape.names.size(), 1)) > kMaxCells) {
        DataError("%s holds too many values", name_.c_str());
        return false;
    }
    return true;
}

// The frequency of ISO dates: the months between them, a divisor of 12;
// 0 when two dates fall in one month (daily or weekly data).
int MonthStep(const std::vector<DatedRecord>& dates) {
    long long step = 0;
    for (std::size_t k = 1; k < dates.size(); ++k) {
        const long long a = dates[k - 1].date.year * 12LL + dates[k - 1].date.period;
        const long long b = dates[k].date.year * 12LL + dates[k].date.period;
        if (b <= a) return b == a ? 0 : 1;  // out of order: reported when indexed
        step = std::gcd(step, b - a);
    }
    return step == 0 ? 1 : static_cast<int>(std::gcd(step, 12LL));
}

// ---------------------------------------------------------------------------
// The second pass: values
// ---------------------------------------------------------------------------

void CsvFile::FillRow(const std::vector<std::string_view>& cells, double* out, long long line) {
    const std::size_t first = layout_.dateColumn && !layout_.dayNumbers ? 1 : 0;
    const std::size_t end = std::min(cells.size(), layout_.width);
    for (std::size_t j = first; j < end; ++j) {
        double& target = out[j - first];
        if (j == 0 && layout_.dayNumbers) {
            CellDate d;
            if (FParseCsvDate(cells[0], true, d)) target = GetJulianDay(d.year, d.period, d.day);
            continue;
        }
        if (FParseCsvNumber(cells[j], layout_.decimalComma, target)) continue;
        target = std::nan("");
        if (textCells_++ == 0) {
            textLine_ = line;
            firstText_ = Shown(Trim(cells[j]));
        }
    }
}

bool CsvFile::Fill(const CsvShape& shape, const std::vector<long long>& index, const CsvRow& row) {
    if (std::fseek(file_, 0, SEEK_SET) != 0) {
        DataError("Cannot open %s", name_.c_str());
        return false;
    }
    RecordReader reader(file_);
    char* text = nullptr;
    std::size_t length = 0;
    if (!reader.Next(text, length)) return false;
    const std::size_t width = shape.names.size();
    long long k = 0;
    while (k < shape.records && reader.Next(text, length)) {
        SplitCells(text, length, layout_.separator, cells_);
        if (AllEmpty(cells_)) continue;
        const long long t = shape.dated ? index[static_cast<std::size_t>(k)] : k;
        ++k;
        double* out = row(t);
        if (out == nullptr) continue;
        std::fill(out, out + width, std::nan(""));
        FillRow(cells_, out, reader.Line());
    }
    if (textCells_ > 0)
        DataWarning("%s (%lld): %lld text cells read as missing values, the first \"%s\"", name_.c_str(), textLine_,
                    textCells_, firstText_.c_str());
    return true;
}

}  // namespace

void MakeNamesDistinct(std::vector<std::string>& names) {
    std::unordered_set<std::string> taken;
    std::unordered_map<std::string, long long> nextSuffix;  // so that repeats of one name stay linear
    for (std::size_t j = 0; j < names.size(); ++j) {
        if (names[j].empty()) names[j] = "Var" + std::to_string(j + 1);
        const std::string base = names[j];
        long long& n = nextSuffix.try_emplace(base, 2).first->second;
        while (taken.count(names[j]) != 0) names[j] = base + "_" + std::to_string(n++);
        taken.insert(names[j]);
    }
}

namespace {

std::string CsvName(const std::string& name) {
    if (name.find_first_of(",;\"\n\t") == std::string::npos) return name;
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted.push_back('"');
        quoted.push_back(c);
    }
    return quoted + "\"";
}

bool IsMissingWord(std::string_view s) {
    static constexpr std::string_view kWords[] = {"NA",   "N/A",  "#N/A", "NaN", "nan", "NAN", ".",
                                                  ".NaN", "NULL", "null", "na",  "n/a", "#NA"};
    return std::find(std::begin(kWords), std::end(kWords), s) != std::end(kWords);
}

}  // namespace

bool FDateSample(const std::string& name, std::vector<DatedRecord>& dates, CsvShape& shape,
                 std::vector<long long>& index, bool& dayNumbers) {
    const DateForm form = dates.empty() ? DateForm::None : dates[0].date.form;
    int freq = 1;
    switch (form) {
    case DateForm::Year: freq = 1; break;
    case DateForm::Quarter: freq = 4; break;
    case DateForm::Month: freq = 12; break;
    case DateForm::Colon:
        for (const DatedRecord& d : dates) freq = std::max(freq, d.date.period);
        break;
    case DateForm::Day: {
        const int step = MonthStep(dates);
        if (step == 0) {
            DataWarning("%s: the dates are not monthly, quarterly or annual; they are read as day numbers",
                        name.c_str());
            dayNumbers = true;
            return true;
        }
        freq = 12 / step;
        for (DatedRecord& d : dates) d.date.period = (d.date.period - 1) / step + 1;
        break;
    }
    case DateForm::None: return true;
    }
    shape.sample = Sample{dates[0].date.year, dates[0].date.period, dates[0].date.year, dates[0].date.period, freq};
    if (!FIsValidSample(shape.sample)) {
        DataError("%s (%lld): invalid date", name.c_str(), dates[0].line);
        return false;
    }
    index.reserve(dates.size());
    for (const DatedRecord& d : dates) {
        const long long t = IDateObs(d.date.year, d.date.period, shape.sample.year1, shape.sample.period1, freq);
        if (d.date.period < 1 || d.date.period > freq || (!index.empty() && t <= index.back())) {
            DataError("%s (%lld): the date %s does not come after the date before it", name.c_str(), d.line,
                      CsvDateText(d.date.year, d.date.period, freq).c_str());
            return false;
        }
        index.push_back(t);
    }
    // Gaps between dates become missing observations, within reason: a
    // file of a few lines cannot ask for millions of them.
    shape.rows = index.back() + 1;
    if (shape.rows > 64 * shape.records + 1024) {
        DataError("%s: the dates leave gaps too large", name.c_str());
        return false;
    }
    shape.dated = true;
    SampleSetEnd(shape.sample, shape.rows);
    return true;
}

bool FParseCsvNumber(std::string_view cell, bool decimalComma, double& value) {
    std::string_view s = Trim(cell);
    if (s.empty() || IsMissingWord(s)) {
        value = std::nan("");
        return true;
    }
    if (s == "+.Inf" || s == "-.Inf") {
        value = s[0] == '-' ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    if (s[0] == '+') s.remove_prefix(1);
    char copy[64];
    if (decimalComma && s.find(',') != std::string_view::npos) {
        if (s.size() >= sizeof copy) return false;
        std::replace_copy(s.begin(), s.end(), copy, ',', '.');
        s = std::string_view{copy, s.size()};
    }
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    return error == std::errc{} && end == s.data() + s.size();
}

bool FParseCsvDate(std::string_view cell, bool yearsAllowed, CellDate& date) {
    std::string_view s = Trim(cell);
    date = CellDate{};
    if (!ReadInt(s, 4, true, date.year)) return false;
    if (s.empty()) {
        date.form = DateForm::Year;
        date.period = 1;
        return yearsAllowed;
    }
    const char mark = s[0];
    if (mark == ':' || mark == '(') {
        s.remove_prefix(1);
        if (!ReadInt(s, 6, false, date.period)) return false;
        if (mark == '(' && (s.empty() || s[0] != ')')) return false;
        if (mark == '(') s.remove_prefix(1);
        date.form = DateForm::Colon;
        return s.empty() && date.period >= 1;
    }
    if (mark == '-' || mark == ' ' || mark == '/') s.remove_prefix(1);
    if (s.empty()) return false;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    if (letter == 'Q' || letter == 'M') {
        s.remove_prefix(1);
        if (!ReadInt(s, 2, false, date.period) || !s.empty()) return false;
        date.form = letter == 'Q' ? DateForm::Quarter : DateForm::Month;
        return date.period >= 1 && date.period <= (letter == 'Q' ? 4 : 12);
    }
    if (mark != '-' && mark != '/') return false;
    if (!ReadInt(s, 2, false, date.period) || date.period < 1 || date.period > 12) return false;
    if (s.empty()) {
        date.form = DateForm::Month;
        return true;
    }
    if (s[0] != mark) return false;
    s.remove_prefix(1);
    if (!ReadInt(s, 2, false, date.day) || date.day < 1 || date.day > 31) return false;
    // A time of day after the date ("2000-01-31 00:00:00", "...T00:00") is
    // left out.
    if (!s.empty() && s[0] != ' ' && s[0] != 'T') return false;
    date.form = DateForm::Day;
    return true;
}

std::string CsvDateText(long long year, long long period, int freq) {
    char text[64];
    switch (freq) {
    case 1: std::snprintf(text, sizeof text, "%lld", year); break;
    case 4: std::snprintf(text, sizeof text, "%lldQ%lld", year, period); break;
    case 12: std::snprintf(text, sizeof text, "%lld-%02lld", year, period); break;
    default: std::snprintf(text, sizeof text, "%lld:%lld", year, period); break;
    }
    return text;
}

bool FReadCsv(const std::string& name, const CsvBegin& begin, const CsvRow& row) {
    File f{std::fopen(name.c_str(), "rb")};
    if (!f) {
        DataError("Cannot open %s", name.c_str());
        return false;
    }
    CsvFile file(name, f.get());
    CsvShape shape;
    std::vector<long long> index;
    if (!file.Scan(shape, index)) return false;
    MakeNamesDistinct(shape.names);
    if (!begin(shape)) return false;
    return file.Fill(shape, index, row);
}

bool FLoadCsv(Database& db, const std::string& name, LoadCounts& counts) {
    // Rows are gathered whole, then handed to the variables.
    std::vector<double> values;
    std::size_t width = 0;
    CsvShape seen;
    const auto begin = [&](const CsvShape& shape) {
        seen = shape;
        width = shape.names.size();
        values.assign(static_cast<std::size_t>(shape.rows) * width, std::nan(""));
        return true;
    };
    const auto row = [&](long long t) { return values.data() + static_cast<std::size_t>(t) * width; };
    if (!FReadCsv(name, begin, row)) return false;
    if (db.observations == 0 && !FDbSetSample(db, seen.sample)) return false;
    if (db.sample.freq != seen.sample.freq) {
        DataError("%s has frequency %d, the database %d: not read", name.c_str(), seen.sample.freq, db.sample.freq);
        return false;
    }
    const long long offset =
        IDateObs(seen.sample.year1, seen.sample.period1, db.sample.year1, db.sample.period1, db.sample.freq);
    LoadCounts rows;
    rows.read = seen.rows;
    for (std::size_t j = 0; j < width; ++j) {
        const int index = IDbAddVar(db, seen.names[j]);
        if (index < 0) {
            DataError("Database %s is full: %s not read", db.name.c_str(), seen.names[j].c_str());
            return false;
        }
        std::vector<double>& target = db.vars[static_cast<std::size_t>(index)].values;
        for (long long t = 0; t < seen.rows; ++t) {
            const long long at = t + offset;
            if (at >= 0 && at < db.observations)
                target[static_cast<std::size_t>(at)] = values[static_cast<std::size_t>(t) * width + j];
        }
    }
    rows.loaded = std::max(0LL, std::min(seen.rows + offset, db.observations) - std::max(offset, 0LL));
    rows.skipped = rows.read - rows.loaded;
    counts.Merge(rows);
    return true;
}

int ISaveCsv(Database& db, const std::string& name, bool backup) {
    std::vector<const Variable*> vars;
    for (const Variable& v : db.vars)
        if ((v.flags & kVarWrite) != 0) vars.push_back(&v);
    if (vars.empty()) {
        NothingToSave(name);
        return 0;
    }
    console::AtomicFile file(name, BackupName(name, backup, ".bak"));
    if (!FSaveOpened(file)) return 0;
    std::FILE* f = file.Stream();
    const Sample& s = db.sample;
    const bool dated = !(s.freq == 1 && s.year1 == 1 && s.period1 == 1);
    std::string out;
    if (dated) out += "Date";
    for (std::size_t j = 0; j < vars.size(); ++j) {
        if (dated || j > 0) out += ',';
        out += CsvName(vars[j]->name);
    }
    out += '\n';
    char number[64];
    for (long long t = 0; t < db.observations; ++t) {
        if (dated)
            out += CsvDateText(IObsYear(t, s.year1, s.period1, s.freq), IObsPeriod(t, s.period1, s.freq), s.freq);
        for (std::size_t j = 0; j < vars.size(); ++j) {
            if (dated || j > 0) out += ',';
            const double d = vars[j]->values[static_cast<std::size_t>(t)];
            if (std::isnan(d)) continue;
            if (std::isinf(d)) {
                out += d < 0 ? "-.Inf" : "+.Inf";
                continue;
            }
            const auto result = std::to_chars(number, number + sizeof number, d);
            out.append(number, result.ptr);
        }
        out += '\n';
        if (out.size() >= kPiece) {
            if (std::fwrite(out.data(), 1, out.size(), f) != out.size()) file.Fail();
            out.clear();
        }
    }
    if (std::fwrite(out.data(), 1, out.size(), f) != out.size()) file.Fail();
    return IFinishSave(file);
}

}  // namespace zu::data
