#include "data/in7.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "data/saving.h"
#include "zu.h"

namespace zu::data {
namespace {

constexpr std::size_t kLineLimit = 255;
constexpr double kBlockMarker = 9.999e+102;
constexpr int kHeaderBytes = 32;
constexpr int kMaxDescribedVars = 100000;
constexpr long long kOffsetLimit = 1LL << 50;

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f != nullptr) std::fclose(f);
    }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool StartsWithNoCase(const std::string& line, const char* word) {
    const std::size_t n = std::strlen(word);
    if (line.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != word[i]) return false;
    return true;
}

// The text of a line after its first `skip` characters, without the line end.
std::string Body(const std::string& line, std::size_t skip) {
    std::string s = line.substr(std::min(skip, line.size()));
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

// Splits the fields of a variable line at white space.
std::vector<std::string> Fields(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        const std::size_t start = i;
        while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        if (i > start) fields.push_back(text.substr(start, i - start));
    }
    return fields;
}

bool ParseLong(const std::string& field, long long lo, long long hi, long long& out) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(field.c_str(), &end, 10);
    if (errno != 0 || end == field.c_str() || *end != '\0' || v < lo || v > hi) return false;
    out = v;
    return true;
}

bool ParseVarLine(const std::string& line, In7Var& var) {
    const std::string text = Body(line, 1);
    const std::size_t blank = text.find_first_of(" \t");
    var.name = text.substr(0, blank);
    const std::vector<std::string> f = Fields(blank == std::string::npos ? "" : text.substr(blank));
    if (var.name.empty() || f.size() < 6) return false;
    long long n[6];
    constexpr long long kIntLimit = 1000000;
    for (int i = 0; i < 5; ++i)
        if (!ParseLong(f[i], -kIntLimit, kIntLimit, n[i])) return false;
    if (!ParseLong(f[5], 0, kOffsetLimit, n[5])) return false;
    var.sample = {static_cast<int>(n[0]), static_cast<int>(n[1]), static_cast<int>(n[2]), static_cast<int>(n[3]),
                  static_cast<int>(n[4])};
    var.offset = n[5];
    if (f.size() > 6) var.group = f[6].substr(0, 20);
    if (f.size() > 7) var.date = f[7].substr(0, 12);
    if (f.size() > 8) var.time = f[8].substr(0, 12);
    return FIsValidSample(var.sample) && ISampleCount(var.sample) > 0;
}

std::string DirectoryOf(const std::string& name) {
    const std::size_t slash = name.rfind('/');
    return slash == std::string::npos ? std::string{} : name.substr(0, slash + 1);
}

bool FileExists(const std::string& name) {
    File f{std::fopen(name.c_str(), "rb")};
    return f != nullptr;
}

// Reads the lines up to the "data" line; false after a message.
bool ReadPreamble(std::FILE* file, In7File& out, std::string& line) {
    if (!FReadDescriptionLine(file, line) || IIn7LineKind(line) != kLineFirst) {
        DataError("This is not a Brevin .IN7 file");
        return false;
    }
    for (;;) {
        if (!FReadDescriptionLine(file, line)) break;
        const int kind = IIn7LineKind(line);
        if (kind == kLineData) {
            if (!FileExists(out.bn7)) {
                std::string given = Body(line, 4);
                given.erase(0, given.find_first_not_of(" \t"));
                out.bn7 = given.find('/') == std::string::npos ? DirectoryOf(out.name) + given : given;
            }
            return true;
        }
        if (kind != kLineComment && kind != kLineReturn && kind != kLineFeed && kind != kLineOther) break;
    }
    DataError("Data description not found");
    return false;
}

void PutLe(std::vector<std::uint8_t>& bytes, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

std::uint64_t DoubleBits(double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

std::string Underscored(std::string s) {
    std::replace(s.begin(), s.end(), ' ', '_');
    return s;
}

std::string GroupName(const Variable& v, const Database& db, const std::string& in7) {
    if (!v.group.empty()) return Underscored(v.group);
    if (!db.name.empty()) return Underscored(db.name);
    std::string base = SFileBase(in7.c_str());
    base = base.substr(0, 12);
    const std::size_t dot = base.rfind('.');
    return Underscored(dot == std::string::npos ? base : base.substr(0, dot));
}

void WriteDoc(std::FILE* f, const std::string& doc) {
    std::size_t i = 0;
    while (i < doc.size()) {
        std::size_t nl = doc.find('\n', i);
        if (nl == std::string::npos) nl = doc.size();
        std::string line = doc.substr(i, nl - i);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::fprintf(f, ";%s\n", line.c_str());
        i = nl + 1;
    }
}

bool WriteBytes(std::FILE* f, const std::vector<std::uint8_t>& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
}

// Writes the block of one variable; the offset of its first observation,
// or -1 when it has none (or the year does not fit the block header).
long long WriteBn7Block(std::FILE* bn7, const Variable& v, const Sample& db, Sample& own) {
    long long first = 0;
    long long last = 0;
    if (!FVarSpan(v, first, last)) return -1;
    own.freq = db.freq;
    own.year1 = static_cast<int>(IObsYear(first, db.year1, db.period1, db.freq));
    own.period1 = static_cast<int>(IObsPeriod(first, db.period1, db.freq));
    own.year2 = static_cast<int>(IObsYear(last, db.year1, db.period1, db.freq));
    own.period2 = static_cast<int>(IObsPeriod(last, db.period1, db.freq));
    if (own.year1 < -32768 || own.year1 > 32767 || own.freq > 32767) {
        DataWarning("%s starts in %d with frequency %d, which a data file cannot hold: not written", v.name.c_str(),
                    own.year1, own.freq);
        return -1;
    }
    const long long start = ftello(bn7);
    if (start < 0) return -1;
    std::vector<std::uint8_t> bytes =
        Bn7Header(Underscored(v.name), static_cast<std::int32_t>(last - first + 1), own.freq, own.period1, own.year1);
    for (long long t = first; t <= last; ++t) PutLe(bytes, DoubleBits(v.values[t]), 8);
    if (!WriteBytes(bn7, bytes)) return -1;
    return start + kHeaderBytes;
}

// An offset from a description must point just behind a block marker;
// anything else would read unrelated bytes as observations.
bool FBlockStartsAt(std::FILE* bn7, long long offset) {
    std::uint8_t bytes[8];
    if (offset < kHeaderBytes || fseeko(bn7, static_cast<off_t>(offset - kHeaderBytes), SEEK_SET) != 0 ||
        std::fread(bytes, 1, 8, bn7) != 8)
        return false;
    const std::uint64_t marker = DoubleBits(kBlockMarker);
    for (int i = 0; i < 8; ++i)
        if (bytes[i] != static_cast<std::uint8_t>(marker >> (8 * i))) return false;
    return true;
}

}  // namespace

int IIn7LineKind(const std::string& line) {
    static const char* const kWords[] = {"brevin", "data", ";", ">", "-", "\r", "\n", "end"};
    for (int kind = 0; kind < 8; ++kind)
        if (StartsWithNoCase(line, kWords[kind])) return kind;
    return kLineOther;
}

bool FReadDescriptionLine(std::FILE* file, std::string& line) {
    line.clear();
    int ch = std::fgetc(file);
    if (ch == EOF) return false;
    bool cut = false;
    while (ch != EOF && ch != '\n') {
        if (line.size() < kLineLimit)
            line.push_back(static_cast<char>(ch));
        else
            cut = true;
        ch = std::fgetc(file);
    }
    if (cut) DataWarning("Line too long, rest of line skipped");
    if (ch == '\n') {
        if (line.empty() || line.back() != '\r') line.push_back('\r');
        line.push_back('\n');
    }
    return true;
}

std::string WithExtension(const std::string& name, const char* ext) {
    const std::size_t base = name.size() - std::strlen(SFileBase(name.c_str()));
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos || dot < base ? name : name.substr(0, dot);
    return stem + ext;
}

std::string LowerExtension(const std::string& name) {
    std::string ext = SFileExt(name.c_str());
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool FReadIn7(const std::string& given, bool wantVars, bool wantMarked, In7File& out) {
    out = In7File{};
    out.name = LowerExtension(given).empty() ? given + ".in7" : given;
    File file{std::fopen(out.name.c_str(), "rb")};
    if (!file) {
        DataError("Cannot open %s", out.name.c_str());
        return false;
    }
    out.bn7 = WithExtension(out.name, ".bn7");
    std::string line;
    if (!ReadPreamble(file.get(), out, line)) return false;
    bool more = FReadDescriptionLine(file.get(), line);
    for (; more && IIn7LineKind(line) == kLineComment; more = FReadDescriptionLine(file.get(), line))
        out.doc += line.substr(1);
    if (!wantVars) return true;
    for (; more;) {
        const int kind = IIn7LineKind(line);
        if (kind == kLineEnd) break;
        const bool isVar = kind == kLineVar || (kind == kLineMarked && wantMarked);
        if (!isVar) {
            if (kind == kLineOther) DataWarning("Unexpected line found");
            more = FReadDescriptionLine(file.get(), line);
            continue;
        }
        In7Var var;
        const bool valid = ParseVarLine(line, var);
        if (kind == kLineMarked) var.flags |= kVarMarked;
        for (more = FReadDescriptionLine(file.get(), line); more && IIn7LineKind(line) == kLineComment;
             more = FReadDescriptionLine(file.get(), line))
            var.doc += line.substr(1);
        if (!valid) {
            DataWarning("Invalid description of %s skipped", var.name.c_str());
            continue;
        }
        if (out.count >= kMaxDescribedVars) {
            DataWarning("Only the first %d variables are read", kMaxDescribedVars);
            break;
        }
        out.vars.push_back(std::move(var));
        ++out.count;
    }
    return true;
}

void ReadBn7Var(std::FILE* bn7, const In7Var& var, const Database& db, std::vector<double>& values,
                LoadCounts& counts) {
    const Sample& s = db.sample;
    const long long count = ISampleCount(var.sample);
    const long long first = IDateObs(var.sample.year1, var.sample.period1, s.year1, s.period1, s.freq);
    const long long last = IDateObs(var.sample.year2, var.sample.period2, s.year1, s.period1, s.freq);
    counts.read += count;
    if (last < 0 || first >= db.observations) {
        DataWarning("%s has no overlap with database sample", var.name.c_str());
        counts.skipped += count;
        return;
    }
    const long long skip = first < 0 ? -first : 0;
    const long long from = first + skip;
    const long long to = std::min(last, db.observations - 1);
    const long long wanted = to - from + 1;
    counts.skipped += count - wanted;
    std::uint8_t bytes[8];
    if (!FBlockStartsAt(bn7, var.offset) || fseeko(bn7, static_cast<off_t>(var.offset + skip * 8), SEEK_SET) != 0) {
        DataWarning("Start of %s not found", var.name.c_str());
        return;
    }
    for (long long t = 0; t < wanted; ++t) {
        if (std::fread(bytes, 1, 8, bn7) != 8) {
            DataWarning("%s while reading %s", "Unexpected end-of-file", var.name.c_str());
            return;
        }
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[i];
        double d;
        std::memcpy(&d, &bits, sizeof d);
        values[static_cast<std::size_t>(from + t)] = d;
        ++counts.loaded;
    }
}

bool FLoadIn7(Database& db, const std::string& name, bool wantMarked, LoadCounts& counts) {
    In7File desc;
    if (!FReadIn7(name, true, wantMarked, desc)) return false;
    if (desc.vars.empty()) {
        DataError("No observations in file");
        return false;
    }
    if (db.observations == 0) {
        Sample span = desc.vars[0].sample;
        for (const In7Var& v : desc.vars) {
            if (v.sample.freq != span.freq) continue;
            if (IDateObs(v.sample.year1, v.sample.period1, span.year1, span.period1, span.freq) < 0)
                span.year1 = v.sample.year1, span.period1 = v.sample.period1;
            if (IDateObs(v.sample.year2, v.sample.period2, span.year2, span.period2, span.freq) > 0)
                span.year2 = v.sample.year2, span.period2 = v.sample.period2;
        }
        if (!FDbSetSample(db, span)) return false;
    }
    File bn7{std::fopen(desc.bn7.c_str(), "rb")};
    if (!bn7) {
        DataError("Cannot open %s", desc.bn7.c_str());
        return false;
    }
    db.doc = desc.doc;
    for (const In7Var& v : desc.vars) {
        if (v.sample.freq != db.sample.freq) {
            DataWarning("%s has frequency %d, the database %d: not read", v.name.c_str(), v.sample.freq,
                        db.sample.freq);
            continue;
        }
        const int index = IDbAddVar(db, v.name);
        if (index < 0) {
            DataError("Database %s is full: %s not read", db.name.c_str(), v.name.c_str());
            break;
        }
        Variable& target = db.vars[static_cast<std::size_t>(index)];
        target.group = v.group;
        target.doc = v.doc;
        target.flags = kVarWrite | (v.flags & kVarMarked);
        LoadCounts one;
        ReadBn7Var(bn7.get(), v, db, target.values, one);
        counts.Merge(one);
    }
    return true;
}

std::vector<std::uint8_t> Bn7Header(const std::string& name, std::int32_t count, int freq, int period, int year) {
    std::vector<std::uint8_t> bytes;
    PutLe(bytes, DoubleBits(kBlockMarker), 8);
    PutLe(bytes, static_cast<std::uint32_t>(count), 4);
    for (std::size_t i = 0; i < 12; ++i) bytes.push_back(i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0);
    PutLe(bytes, static_cast<std::uint16_t>(freq), 2);
    PutLe(bytes, static_cast<std::uint16_t>(period), 2);
    PutLe(bytes, static_cast<std::uint16_t>(year), 2);
    PutLe(bytes, 0, 2);
    return bytes;
}

std::string DateStamp() {
    std::string s = SDate();
    std::replace(s.begin(), s.end(), ' ', '0');
    return s;
}

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char text[32];
    std::snprintf(text, sizeof text, "%2d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    std::string s = text;
    std::replace(s.begin(), s.end(), ' ', '0');
    return s;
}

int ISaveIn7(Database& db, const std::string& given, bool backup) {
    const std::string name = LowerExtension(given).empty() ? given + ".in7" : given;
    const std::string bn7Name = WithExtension(name, ".bn7");
    console::AtomicFile in7(name, BackupName(name, backup, ".bki"));
    console::AtomicFile bn7(bn7Name, BackupName(bn7Name, backup, ".bkb"));
    if (!FSaveOpened(in7) || !FSaveOpened(bn7)) return 0;
    std::fprintf(in7.Stream(), "brevin 700\n");
    std::fprintf(in7.Stream(), "data %s\n", SFileBase(bn7Name.c_str()));
    WriteDoc(in7.Stream(), db.doc);
    const std::string date = DateStamp();
    const std::string time = TimeStamp();
    int written = 0;
    for (Variable& v : db.vars) {
        if ((v.flags & kVarWrite) == 0) continue;
        Sample own;
        const long long offset = WriteBn7Block(bn7.Stream(), v, db.sample, own);
        if (offset < 0) {
            v.flags &= ~kVarWrite;
            continue;
        }
        ++written;
        std::fprintf(in7.Stream(), "%c%-12s %4d %2d %4d %2d %2d %ld %12s %s %s\n",
                     (v.flags & kVarMarked) != 0 ? '-' : '>', Underscored(v.name).c_str(), own.year1, own.period1,
                     own.year2, own.period2, own.freq, static_cast<long>(offset), GroupName(v, db, name).c_str(),
                     date.c_str(), time.c_str());
        WriteDoc(in7.Stream(), v.doc);
    }
    if (written == 0) {
        NothingToSave(name);
        return 0;
    }
    // The description points into the data file: both are complete before
    // either replaces its old file.
    if (!bn7.Finish() || !in7.Finish()) {
        DataError("Cannot write %s", name.c_str());
        return 0;
    }
    return IFinishSave(bn7) == 1 ? IFinishSave(in7) : 0;
}

}  // namespace zu::data
