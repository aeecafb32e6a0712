#include "console/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <utility>

namespace zu::console {
namespace {

constexpr int kNameAttempts = 100;

// A short hidden name in the target's folder (a long target name would
// not leave room for a suffix) that no other save of this process uses at
// the same time; another process's file of the same name is caught by
// O_EXCL.
std::string TemporaryFor(const std::string& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string{} : target.substr(0, slash + 1);
    return folder + ".zu-save-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(attempt) + ".tmp";
}

// The file is created with the usual permissions, so the umask applies; a
// target that exists already passes its own permissions on.
int CreateExclusive(const std::string& target, std::string& temporary) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = TemporaryFor(target, attempt);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            struct stat old{};
            if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) (void)::fchmod(fd, old.st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST) break;
    }
    temporary.clear();
    return -1;
}

bool Exists(const std::string& name) {
    struct stat st{};
    return ::lstat(name.c_str(), &st) == 0;
}

}  // namespace

AtomicFile::AtomicFile(std::string target, std::string backup)
    : target_(std::move(target)), backup_(std::move(backup)) {
    if (backup_ == target_) backup_.clear();
    const int fd = CreateExclusive(target_, temporary_);
    if (fd < 0) return;
    created_ = true;
    stream_ = ::fdopen(fd, "wb");
    if (stream_ == nullptr) {
        ::close(fd);
        failed_ = true;
    }
}

AtomicFile::~AtomicFile() {
    CloseOwnStream();
    if (created_) ::unlink(temporary_.c_str());
}

void AtomicFile::CloseOwnStream() {
    if (stream_ == nullptr) return;
    // fclose flushes, but an error of an earlier buffered write is only
    // seen in the stream's error flag.
    if (std::ferror(stream_) != 0 || std::fflush(stream_) != 0) failed_ = true;
    if (std::fclose(stream_) != 0) failed_ = true;
    stream_ = nullptr;
}

void AtomicFile::CloseStream() { CloseOwnStream(); }

std::FILE* AtomicFile::ReleaseStream() { return std::exchange(stream_, nullptr); }

bool AtomicFile::MoveIntoPlace() const {
    const bool keepOld = !backup_.empty() && Exists(target_);
    if (keepOld && std::rename(target_.c_str(), backup_.c_str()) != 0) return false;
    if (std::rename(temporary_.c_str(), target_.c_str()) == 0) return true;
    if (keepOld) (void)std::rename(backup_.c_str(), target_.c_str());
    return false;
}

bool AtomicFile::Finish() {
    if (!created_) return false;
    CloseOwnStream();
    struct stat written{};
    checked_ = !failed_ && ::stat(temporary_.c_str(), &written) == 0 && written.st_size > 0;
    return checked_;
}

bool AtomicFile::Commit() {
    if (!created_) return false;
    const bool placed = (checked_ || Finish()) && MoveIntoPlace();
    if (!placed) {
        ::unlink(temporary_.c_str());
        failed_ = true;
    }
    created_ = false;
    return placed;
}

std::string PortableFileName(std::string_view name) {
    std::string copy(name);
    for (char& ch : copy)
        if (ch == '\\') ch = '/';
    while (!copy.empty() && static_cast<unsigned char>(copy.back()) <= ' ') copy.pop_back();
    return copy;
}

}  // namespace zu::console
