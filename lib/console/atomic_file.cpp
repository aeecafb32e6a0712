#include "console/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>
#include <utility>

namespace zu::console {
namespace {

constexpr int kNameAttempts = 100;

// A short hidden name in the folder of `path` (a long target name would
// not leave room for a suffix) that no other save of this process uses at
// the same time; another process's file of the same name is caught by
// O_EXCL.
std::string TemporaryFor(const std::string& path, int attempt) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string{} : path.substr(0, slash + 1);
    return folder + ".zu-save-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
           std::to_string(attempt) + ".tmp";
}

// The file is created with the usual permissions, so the umask applies; a
// target that exists already passes its own permissions on.
int CreateExclusive(const std::string& path, const struct stat* old, std::string& temporary) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary = TemporaryFor(path, attempt);
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (old != nullptr) (void)::fchmod(fd, old->st_mode & 07777);
            return fd;
        }
        if (errno != EEXIST) break;
    }
    temporary.clear();
    return -1;
}

// A target that is a symbolic link is saved where the link points, and the
// link stays.
std::string Resolved(const std::string& target) {
    struct stat entry{};
    if (::lstat(target.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) return target;
    char real[PATH_MAX];
    return ::realpath(target.c_str(), real) != nullptr ? std::string(real) : target;
}

bool Exists(const std::string& name) {
    struct stat st{};
    return ::lstat(name.c_str(), &st) == 0;
}

}  // namespace

AtomicFile::AtomicFile(std::string target, std::string backup)
    : target_(std::move(target)), backup_(std::move(backup)), path_(Resolved(target_)) {
    if (backup_ == target_) backup_.clear();
    struct stat old{};
    const bool exists = ::stat(path_.c_str(), &old) == 0;
    int fd = -1;
    if (exists && S_ISDIR(old.st_mode)) return;
    if (exists && !S_ISREG(old.st_mode)) {
        // A device or a pipe is written in place: there is nothing to
        // replace, and renaming over it would remove it.
        direct_ = true;
        backup_.clear();
        temporary_ = path_;
        fd = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
    } else if (exists && ::access(path_.c_str(), W_OK) != 0) {
        // A file its owner may not write stays protected, though its
        // folder would allow the rename.
        return;
    } else {
        fd = CreateExclusive(path_, exists ? &old : nullptr, temporary_);
    }
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
    if (created_ && !direct_) ::unlink(temporary_.c_str());
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
    if (direct_) return true;
    const bool keepOld = !backup_.empty() && Exists(path_);
    if (keepOld && std::rename(path_.c_str(), backup_.c_str()) != 0) return false;
    if (std::rename(temporary_.c_str(), path_.c_str()) == 0) return true;
    if (keepOld) (void)std::rename(backup_.c_str(), path_.c_str());
    return false;
}

bool AtomicFile::Finish() {
    if (!created_) return false;
    CloseOwnStream();
    // What a device took cannot be measured; a file must hold something.
    struct stat written{};
    checked_ = !failed_ && (direct_ || (::stat(temporary_.c_str(), &written) == 0 && written.st_size > 0));
    return checked_;
}

bool AtomicFile::Commit() {
    if (!created_) return false;
    const bool placed = (checked_ || Finish()) && MoveIntoPlace();
    if (!placed) {
        if (!direct_) ::unlink(temporary_.c_str());
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
