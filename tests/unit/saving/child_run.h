// Runs zul or g2zu in a child process under resource limits: a file-size
// limit stands in for a full disk (a write beyond it fails with EFBIG, as
// one on a full disk fails with ENOSPC) and an address-space limit makes
// large allocations fail.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace zu::saving::test {

struct Limits {
    rlim_t fileSize = RLIM_INFINITY;      // bytes any file may grow to
    rlim_t addressSpace = RLIM_INFINITY;  // bytes of virtual memory
};

struct ChildResult {
    std::string output;  // standard output and standard error together
    int exitCode = -1;   // -1 when the child did not exit normally
    int signal = 0;      // the signal that ended it, else 0
};

inline void SetLimit(int resource, rlim_t value) {
    if (value == RLIM_INFINITY) return;
    const rlimit limit{value, value};
    if (::setrlimit(resource, &limit) != 0) ::_exit(126);
}

// Runs `argv` in `dir` with `input` on standard input.
inline ChildResult RunChild(const std::filesystem::path& dir, const std::vector<std::string>& argv,
                            const Limits& limits, const std::string& input = {}) {
    int out[2];
    int in[2];
    if (::pipe(out) != 0 || ::pipe(in) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(out[1], 2);
        ::close(in[1]);
        ::close(out[0]);
        if (::chdir(dir.c_str()) != 0) ::_exit(125);
        // The file-size signal would end the process; ignored, the write
        // fails instead, and the setting survives exec.
        ::signal(SIGXFSZ, SIG_IGN);
        SetLimit(RLIMIT_FSIZE, limits.fileSize);
        SetLimit(RLIMIT_AS, limits.addressSpace);
        ::unsetenv("ZU3PATH");
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    if (!input.empty()) (void)!::write(in[1], input.data(), input.size());
    ::close(in[1]);
    ChildResult result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(out[0], buffer, sizeof buffer)) > 0;) result.output.append(buffer, static_cast<std::size_t>(n));
    ::close(out[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    EXPECT_EQ(result.output.find("Sanitizer:"), std::string::npos) << result.output;
    return result;
}

// A scratch folder per test, with the files a save must not harm.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("zu_saving_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    [[nodiscard]] const std::filesystem::path& Dir() const { return dir_; }
    [[nodiscard]] std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    void Write(const std::string& name, const std::string& bytes) const {
        std::ofstream(Path(name), std::ios::binary) << bytes;
    }
    [[nodiscard]] std::string Read(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    [[nodiscard]] bool Exists(const std::string& name) const { return std::filesystem::exists(dir_ / name); }

    // An old version of each file, different for each name.
    void WriteOld(const std::vector<std::string>& names) const {
        for (const std::string& name : names) Write(name, OldContents(name));
    }
    [[nodiscard]] static std::string OldContents(const std::string& name) {
        return "the old " + name + ", which no failed save may change\n";
    }
    void ExpectOld(const std::vector<std::string>& names) const {
        for (const std::string& name : names) EXPECT_EQ(Read(name), OldContents(name)) << name;
    }

    // The names in the folder, so that a test sees a temporary left behind.
    [[nodiscard]] std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Runs a Zu program with zul -b.
    [[nodiscard]] ChildResult RunProgram(const std::string& source, const Limits& limits = {}) const {
        Write("prog.zu", "#include <zustd.h>\n" + source);
        return RunChild(dir_, {ZU_LAUNCHER, "-b", "prog.zu"}, limits);
    }

private:
    std::filesystem::path dir_;
};

}  // namespace zu::saving::test
