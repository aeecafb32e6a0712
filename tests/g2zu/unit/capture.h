// Helpers for the converter's unit tests: captured streams and input files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

namespace g2zu_test {

// A stream whose contents the test can read back.
class Capture {
public:
    Capture() : file_(open_memstream(&buffer_, &size_)) {}
    ~Capture() {
        std::fclose(file_);
        std::free(buffer_);
    }
    Capture(const Capture&) = delete;
    Capture& operator=(const Capture&) = delete;

    std::FILE* file() { return file_; }
    std::string text() {
        std::fflush(file_);
        return std::string(buffer_, size_);
    }

private:
    char* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::FILE* file_;
};

// A file in the working folder, removed again at the end of the test.  The
// name carries the process id: the test cases run in parallel processes.
class TempFile {
public:
    TempFile(std::string name, const std::string& contents)
        : name_(std::to_string(::getpid()) + "_" + std::move(name)) {
        std::ofstream(name_, std::ios::binary) << contents;
    }
    ~TempFile() { ::unlink(name_.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& name() const { return name_; }

private:
    std::string name_;
};

}  // namespace g2zu_test
