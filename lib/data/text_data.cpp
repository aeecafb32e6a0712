#include "data/text_data.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "data/saving.h"
#include "zu.h"

namespace zu::data {
namespace {

constexpr std::size_t kTokenLimit = 64;
constexpr std::size_t kHeaderLimit = 255;

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Reads white-space separated tokens; a token that begins with '>' at the
// start of a line takes the rest of that line (a block header).
class TokenReader {
public:
    explicit TokenReader(std::FILE* f) : file_(f) {}

    // False at the end of the file.  A token longer than the limit is
    // returned cut, with `tooLong` set.
    bool Next(std::string& token, bool& header, bool& tooLong) {
        token.clear();
        header = false;
        tooLong = false;
        int ch = std::fgetc(file_);
        while (ch != EOF && std::isspace(ch)) ch = std::fgetc(file_);
        if (ch == EOF) return false;
        header = ch == '>';
        const std::size_t limit = header ? kHeaderLimit : kTokenLimit;
        if (header) ch = std::fgetc(file_);
        while (ch != EOF && (header ? ch != '\n' : !std::isspace(ch))) {
            if (token.size() < limit)
                token.push_back(static_cast<char>(ch));
            else
                tooLong = true;
            ch = std::fgetc(file_);
        }
        return true;
    }

private:
    std::FILE* file_;
};

struct Block {
    std::string name;
    Sample sample;
    std::vector<double> values;
};

bool ParseHeader(const std::string& text, Block& block) {
    char name[64] = "";
    long long n[5];
    int used = 0;
    // The format is the system's own; the text is only read through it.
    if (std::sscanf(text.c_str(), "%63s %lld %lld %lld %lld %lld %n", name, &n[0], &n[1], &n[2], &n[3], &n[4], &used) <
        6)
        return false;
    constexpr long long kLimit = 1000000;
    for (long long v : n)
        if (v <= -kLimit || v >= kLimit) return false;
    block.name = name;
    block.sample = {static_cast<int>(n[0]), static_cast<int>(n[1]), static_cast<int>(n[2]), static_cast<int>(n[3]),
                    static_cast<int>(n[4])};
    return FIsValidSample(block.sample) && ISampleCount(block.sample) > 0;
}

// Reads every block of a .dat file with headers.  `noHeaders` tells that
// numbers came before any header.
bool ReadBlocks(std::FILE* f, const std::string& name, std::vector<Block>& blocks, bool& noHeaders) {
    TokenReader reader(f);
    std::string token;
    bool header = false;
    bool tooLong = false;
    noHeaders = false;
    long long total = 0;
    while (reader.Next(token, header, tooLong)) {
        if (header) {
            Block b;
            if (!ParseHeader(token, b)) {
                DataError("Invalid header >%s in %s", token.c_str(), name.c_str());
                return false;
            }
            if (blocks.size() >= static_cast<std::size_t>(kMaxVariablesAsked)) {
                DataError("%s holds more than %d variables", name.c_str(), kMaxVariablesAsked);
                return false;
            }
            blocks.push_back(std::move(b));
            continue;
        }
        double d = 0;
        if (tooLong || !FParseNumber(token, d)) {
            DataError("Invalid number %s in %s", token.c_str(), name.c_str());
            return false;
        }
        if (blocks.empty()) {
            noHeaders = true;
            return false;
        }
        if (++total > kMaxCells) {
            DataError("%s holds too many values", name.c_str());
            return false;
        }
        blocks.back().values.push_back(d);
    }
    return true;
}

// All numbers of a file, in order; false after a message.
bool ReadNumbers(std::FILE* f, const std::string& name, std::vector<double>& values, long long limit) {
    TokenReader reader(f);
    std::string token;
    bool header = false;
    bool tooLong = false;
    while (reader.Next(token, header, tooLong)) {
        double d = 0;
        if (header || tooLong || !FParseNumber(token, d)) {
            DataError("Invalid number %s%s in %s", header ? ">" : "", token.c_str(), name.c_str());
            return false;
        }
        if (static_cast<long long>(values.size()) >= limit) {
            DataError("%s holds more numbers than expected", name.c_str());
            return false;
        }
        values.push_back(d);
    }
    return true;
}

// The sample that spans every block of the first block's frequency.
Sample SpanOf(const std::vector<Block>& blocks) {
    Sample span = blocks[0].sample;
    for (const Block& b : blocks) {
        if (b.sample.freq != span.freq) continue;
        if (IDateObs(b.sample.year1, b.sample.period1, span.year1, span.period1, span.freq) < 0)
            span.year1 = b.sample.year1, span.period1 = b.sample.period1;
        if (IDateObs(b.sample.year2, b.sample.period2, span.year2, span.period2, span.freq) > 0)
            span.year2 = b.sample.year2, span.period2 = b.sample.period2;
    }
    return span;
}

bool StoreBlock(Database& db, const Block& b, LoadCounts& counts) {
    const Sample& s = db.sample;
    if (b.sample.freq != s.freq) {
        DataWarning("%s has frequency %d, the database %d: not read", b.name.c_str(), b.sample.freq, s.freq);
        return true;
    }
    const long long count = ISampleCount(b.sample);
    if (static_cast<long long>(b.values.size()) < count)
        DataWarning("%s while reading %s", "Unexpected end-of-file", b.name.c_str());
    else if (static_cast<long long>(b.values.size()) > count)
        DataWarning("%s: values beyond its sample skipped", b.name.c_str());
    const long long first = IDateObs(b.sample.year1, b.sample.period1, s.year1, s.period1, s.freq);
    const long long last = first + count - 1;
    counts.read += count;
    if (last < 0 || first >= db.observations) {
        DataWarning("%s has no overlap with database sample", b.name.c_str());
        counts.skipped += count;
        return true;
    }
    const int index = IDbAddVar(db, b.name);
    if (index < 0) {
        DataError("Database %s is full: %s not read", db.name.c_str(), b.name.c_str());
        return false;
    }
    std::vector<double>& target = db.vars[static_cast<std::size_t>(index)].values;
    const long long available = std::min(count, static_cast<long long>(b.values.size()));
    for (long long i = 0; i < count; ++i) {
        const long long t = first + i;
        if (t < 0 || t >= db.observations || i >= available) {
            ++counts.skipped;
            continue;
        }
        target[static_cast<std::size_t>(t)] = b.values[static_cast<std::size_t>(i)];
        ++counts.loaded;
    }
    return true;
}

bool LoadByLayout(Database& db, std::FILE* f, const std::string& name, const TextLayout& layout, LoadCounts& counts) {
    const long long n = ISampleCount(layout.sample);
    if (layout.vars < 1 || !FIsValidSample(layout.sample) || n < 1 || n * layout.vars > kMaxCells) {
        DataError("Invalid layout for %s: %d variables, %lld observations", name.c_str(), layout.vars, n);
        return false;
    }
    std::vector<double> values;
    if (!ReadNumbers(f, name, values, n * layout.vars)) return false;
    if (!FDbSetSample(db, layout.sample)) return false;
    for (int j = 0; j < layout.vars; ++j) {
        const int index = IDbAddVar(db, "Var" + std::to_string(j + 1));
        if (index < 0) {
            DataError("Database %s is full", db.name.c_str());
            return false;
        }
    }
    // Observations, not numbers: a row that is partly there counts.
    counts.read = (static_cast<long long>(values.size()) + layout.vars - 1) / layout.vars;
    if (!layout.byObservation) counts.read = std::min(n, static_cast<long long>(values.size()));
    counts.loaded = counts.read;
    if (static_cast<long long>(values.size()) < n * layout.vars)
        DataWarning("%s while reading %s", "Unexpected end-of-file", name.c_str());
    for (std::size_t k = 0; k < values.size(); ++k) {
        const long long obs =
            layout.byObservation ? static_cast<long long>(k) / layout.vars : static_cast<long long>(k) % n;
        const long long var =
            layout.byObservation ? static_cast<long long>(k) % layout.vars : static_cast<long long>(k) / n;
        Variable& target =
            db.vars[db.vars.size() - static_cast<std::size_t>(layout.vars) + static_cast<std::size_t>(var)];
        target.values[static_cast<std::size_t>(obs)] = values[k];
    }
    return true;
}

bool LooksBinary(std::FILE* f) {
    unsigned char head[64];
    const std::size_t n = std::fread(head, 1, sizeof head, f);
    std::rewind(f);
    return std::memchr(head, 0, n) != nullptr;
}

}  // namespace

bool FParseNumber(const std::string& token, double& value) {
    if (token == "." || token == ".NaN") {
        value = std::nan("");
        return true;
    }
    if (token == "+.Inf" || token == "-.Inf") {
        value = token[0] == '-' ? -HUGE_VAL : HUGE_VAL;
        return true;
    }
    if (token.empty()) return false;
    char* end = nullptr;
    value = std::strtod(token.c_str(), &end);
    return *end == '\0';
}

std::string NumberText(double d) {
    if (std::isnan(d)) return ".";
    if (std::isinf(d)) return d < 0 ? "-.Inf" : "+.Inf";
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, d);
    return std::string(text, result.ptr);
}

bool FLoadDat(Database& db, const std::string& name, const TextLayout* layout, LoadCounts& counts) {
    File f{std::fopen(name.c_str(), "rb")};
    if (!f) {
        DataError("Cannot open %s", name.c_str());
        return false;
    }
    if (LooksBinary(f.get())) {
        DataError("Invalid binary .dat file");
        return false;
    }
    if (layout != nullptr) return LoadByLayout(db, f.get(), name, *layout, counts);
    std::vector<Block> blocks;
    bool noHeaders = false;
    if (!ReadBlocks(f.get(), name, blocks, noHeaders)) {
        if (noHeaders) DataWarning("Need formatting information to read this file");
        return false;
    }
    if (blocks.empty()) {
        DataError("No observations in file");
        return false;
    }
    if (db.observations == 0 && !FDbSetSample(db, SpanOf(blocks))) return false;
    for (const Block& b : blocks) {
        LoadCounts one;
        if (!StoreBlock(db, b, one)) return false;
        counts.Merge(one);
    }
    return true;
}

int ISaveDat(Database& db, const std::string& name, bool backup) {
    console::AtomicFile out(name, BackupName(name, backup, ".bak"));
    if (!FSaveOpened(out)) return 0;
    std::FILE* f = out.Stream();
    const Sample& s = db.sample;
    int written = 0;
    for (Variable& v : db.vars) {
        long long first = 0;
        long long last = 0;
        if ((v.flags & kVarWrite) == 0) continue;
        if (!FVarSpan(v, first, last)) {
            v.flags &= ~kVarWrite;
            continue;
        }
        // A blank would end the name in the header line.
        std::string header = v.name;
        std::replace(header.begin(), header.end(), ' ', '_');
        ++written;
        std::fprintf(f, "\n>%s %d %d %d %d %d\n", header.c_str(),
                     static_cast<int>(IObsYear(first, s.year1, s.period1, s.freq)),
                     static_cast<int>(IObsPeriod(first, s.period1, s.freq)),
                     static_cast<int>(IObsYear(last, s.year1, s.period1, s.freq)),
                     static_cast<int>(IObsPeriod(last, s.period1, s.freq)), s.freq);
        for (long long t = first; t <= last; ++t)
            std::fprintf(f, "%s\n", NumberText(v.values[static_cast<std::size_t>(t)]).c_str());
    }
    if (written == 0) {
        NothingToSave(name);
        return 0;
    }
    return IFinishSave(out);
}

bool FLoadMatrixText(const std::string& name, bool noDims, std::vector<double>& values, int& rows, int& columns) {
    File f{std::fopen(name.c_str(), "rb")};
    if (!f) {
        DataError("Cannot open %s", name.c_str());
        return false;
    }
    std::vector<double> numbers;
    if (!ReadNumbers(f.get(), name, numbers, kMaxCells + 2)) return false;
    std::size_t first = 0;
    long long r = static_cast<long long>(numbers.size());
    long long c = 1;
    if (!noDims) {
        // Each dimension is bounded on its own: an infinite one times a zero
        // is no product to compare.
        const double maxCells = static_cast<double>(kMaxCells);
        if (numbers.size() < 2 || numbers[0] != std::floor(numbers[0]) || numbers[1] != std::floor(numbers[1]) ||
            !(numbers[0] >= 0 && numbers[0] <= maxCells) || !(numbers[1] >= 0 && numbers[1] <= maxCells) ||
            numbers[0] * numbers[1] > maxCells) {
            DataError("%s does not begin with the rows and columns of a matrix", name.c_str());
            return false;
        }
        r = static_cast<long long>(numbers[0]);
        c = static_cast<long long>(numbers[1]);
        first = 2;
        if (static_cast<long long>(numbers.size() - first) != r * c) {
            DataError("%s holds %lld elements where %lld x %lld were announced", name.c_str(),
                      static_cast<long long>(numbers.size() - first), r, c);
            return false;
        }
    }
    if (r * c > kMaxCells) {
        DataError("%s holds too many values", name.c_str());
        return false;
    }
    values.assign(numbers.begin() + static_cast<std::ptrdiff_t>(first), numbers.end());
    rows = static_cast<int>(r);
    columns = static_cast<int>(c);
    return true;
}

}  // namespace zu::data
