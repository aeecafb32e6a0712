// Messages to the user (standard error) and the conversion log.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

namespace g2zu {

// The error table; the numbers are the codes the messages are known by.
enum class Err {
    DuplicateIdentifier = 0,
    ConstantBufferFull = 1,
    CodeBufferFull = 2,
    SymbolTableFull = 3,
    OutOfMemory = 4,
    UndeclaredIdentifier = 5,
    ExpectedButFound = 6,
    DivideByZero = 7,
    UndeclaredMember = 8,
    NotAFunction = 9,
    OutOfPlace = 10,
    LvalueExpected = 11,
    UnexpectedSymbol = 12,
    NestedProc = 13,
    OnlyInProcedure = 14,
    DoNestedTooDeeply = 15,
    NoMatchingDo = 16,
    UnfinishedDo = 17,
    NoMatchingIf = 18,
    UnfinishedIf = 19,
    Unsupported = 20,
    DidNotFind = 21,
    CommandSkipped = 22,
    DeclarationNeeded = 23,
    TooManyFnArguments = 24,
    NestedTooDeeply = 25,
};

std::string_view error_text(Err code);

// Where the reader is: supplied by the scanner that is being read.
class Where {
public:
    virtual ~Where() = default;
    virtual std::string_view file_name() const = 0;  // empty when none is open yet
    virtual int line() const = 0;
    virtual bool in_include() const = 0;
};

// Thrown by a fatal internal error; the driver ends the run with status 1.
struct FatalError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class Messages {
public:
    explicit Messages(std::FILE* user) : user_(user) {}

    void set_where(const Where* where) { where_ = where; }
    void set_log(std::FILE* log) { log_ = log; }
    std::FILE* log() const { return log_; }

    // A counted error; "expected but found" takes the found token's name.
    void error(Err code, std::string_view subject = {}, std::string_view found = {});
    // A warning (unsupported operation, command skipped): not counted, not logged.
    void warning(Err code, std::string_view subject = {});
    // A scanner error, counted and logged with the "scan" prefix.
    void scan_error(std::string_view text, std::string_view quoted = {});
    // A scanner warning: written like a scanner error but not counted.
    void scan_warning(std::string_view text, std::string_view quoted = {});
    // A driver message: written, neither counted nor logged.
    void say(std::string_view text);
    [[noreturn]] void fatal(std::string_view text);

    // Log lines; written only while the main file is read.
    void log_output(int output_line, std::string_view text);
    void log_input(std::string_view text);
    // Raw text into the log (its head).
    void log_raw(std::string_view text);

    int errors() const { return errors_; }
    // Lines written to the log after its head.
    int log_lines() const { return log_lines_; }

private:
    void write_user(int line, std::string_view text);
    void write_log(std::string_view prefix, int line, std::string_view text);
    bool in_include() const { return where_ != nullptr && where_->in_include(); }
    int current_line() const { return where_ != nullptr ? where_->line() : 0; }

    std::FILE* user_;
    std::FILE* log_ = nullptr;
    const Where* where_ = nullptr;
    int errors_ = 0;
    int log_lines_ = 0;
};

// The time and date of the run as the output head and log show them.
struct Stamp {
    std::string time;  // "%2d:%02d:%02d"
    std::string date;  // "%2u-%02u-%4u", day, month, year
};
Stamp now_stamp();

void write_text(std::FILE* file, std::string_view text);

}  // namespace g2zu
