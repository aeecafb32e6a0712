// Where one print call writes: the console (or its pipe), standard error,
// a file, or a string.  The sink collects text and hands it on in pieces,
// so a large matrix never has to fit in memory as a whole.
#ifndef ZU_STDLIB_PRINT_SINK_H
#define ZU_STDLIB_PRINT_SINK_H

#include <cstdio>
#include <string>
#include <string_view>

namespace zu::stdlib {

class PrintSink {
public:
    // print, println: the console's pipe buffer when a pipe is active, else
    // standard output; at print level below 1 only the output log.  The log
    // receives a copy of everything in both cases.
    static PrintSink Console();
    // eprint: standard error, or the pipe buffer when a pipe is active.
    static PrintSink StandardError();
    // fprint: an open stream that the caller keeps open.
    static PrintSink File(std::FILE* stream);
    // sprint: into `buffer`, which holds `limit` characters and a
    // terminator; what goes beyond is dropped and marks the sink overflowed.
    static PrintSink String(char* buffer, int limit);
    // Collects everything in memory (the printer's text for listings).
    static PrintSink Collect();

    // Made only by the factories above (the copy is elided).
    PrintSink(const PrintSink&) = delete;
    PrintSink& operator=(const PrintSink&) = delete;
    ~PrintSink();

    void Put(std::string_view text);
    void Put(char ch) { Put(std::string_view{&ch, 1}); }

    // Hands on what was collected: streams are flushed, a pipe buffer is
    // delivered with ZuPuts.
    void Flush();

    // A stream takes the matrix-file form of "%m" (a file, or the console
    // without a pipe).
    [[nodiscard]] bool IsStream() const { return kind_ == Kind::Console ? !pipe_ : kind_ == Kind::File; }

    // The text of a string or collecting sink; whether a string sink was
    // cut at its limit.
    [[nodiscard]] std::string_view Text() const;
    [[nodiscard]] bool Overflowed() const { return overflowed_; }

private:
    enum class Kind { Console, Error, File, String, Collect };
    PrintSink(Kind kind, std::FILE* stream, bool pipe, std::size_t limit, std::FILE* log = nullptr,
              char* target = nullptr);
    void Deliver();

    Kind kind_;
    std::FILE* stream_;       // file or standard error; null otherwise
    bool pipe_;               // console or error output goes to the pipe through ZuPuts
    std::FILE* log_;          // copy of console output, or null
    std::size_t limit_;       // streams: hand on beyond this; string: keep at most this
    std::string buffer_;      // collected, not yet handed on
    char* target_;            // string sink: the caller's buffer
    std::size_t length_ = 0;  // string sink: characters in target_
    bool overflowed_ = false;
};

}  // namespace zu::stdlib

#endif
