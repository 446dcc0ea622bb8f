#include "storage/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace quor::storage {

namespace {

// Closes the descriptor on every path out of a function; Release() hands the close back to the
// caller when its result matters.
class FileDescriptor final {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closes now and tells whether the close succeeded (a late write error can show up here).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// write(2) may write less than asked and may be interrupted; anything else is an error.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Unique among the threads of this process and among processes: two writers of the same board
// (the fetch driver and the save command) each finish their own file and the later rename wins.
std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
}

int OpenTemporary(const std::string& path, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = TemporaryNameFor(path);
        // 0666 so the umask decides, as for any new file of the user's.
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// Makes the rename itself durable. Some file systems cannot sync a directory; the file's own data
// is already on the disk then, so a failure here is not the write's failure.
void SyncDirectoryOf(const std::string& path) {
    const std::string parent = std::filesystem::path(path).parent_path().string();
    const char* directory = parent.empty() ? "." : parent.c_str();
    const FileDescriptor fd(::open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid())
        ::fsync(fd.Get());
}

FileResult FailAndRemove(const char* stage, const std::string& tempPath) {
    const int error = errno;
    ::unlink(tempPath.c_str());
    return FileResult::Fail(stage, error);
}

// Where the new content must land. A symbolic link is written through, as opening it for writing
// would, rather than replaced by a plain file.
std::string ReplacementTarget(const std::string& path) {
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

}  // namespace

std::string FileResult::Describe() const {
    if (ok)
        return "ok";
    return stage + ": " + std::strerror(error);
}

FileResult WriteFileAtomically(const std::string& requestedPath, std::string_view bytes) {
    const std::string path = ReplacementTarget(requestedPath);
    // A rename would replace a file the user made read-only; opening it for writing would not.
    if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0)
        return FileResult::Fail("open", errno);
    std::string tempPath;
    FileDescriptor fd(OpenTemporary(path, tempPath));
    if (!fd.Valid())
        return FileResult::Fail("open", errno);
    if (!WriteAll(fd.Get(), bytes))
        return FailAndRemove("write", tempPath);
    if (::fsync(fd.Get()) != 0)
        return FailAndRemove("sync", tempPath);
    // The replacement keeps the permissions the user gave the old file.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd.Get(), old.st_mode & 07777);
    if (!fd.Close())
        return FailAndRemove("write", tempPath);
    if (::rename(tempPath.c_str(), path.c_str()) != 0)
        return FailAndRemove("rename", tempPath);
    SyncDirectoryOf(path);
    return FileResult::Ok();
}

FileResult AppendToFile(const std::string& path, std::string_view bytes) {
    FileDescriptor fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
    if (!fd.Valid())
        return FileResult::Fail("open", errno);
    struct stat before {};
    if (::fstat(fd.Get(), &before) != 0)
        return FileResult::Fail("open", errno);
    if (!WriteAll(fd.Get(), bytes)) {
        const int error = errno;
        if (::ftruncate(fd.Get(), before.st_size) != 0) {
            // Nothing more can be done; the error that matters is the write's.
        }
        return FileResult::Fail("write", error);
    }
    if (!fd.Close())
        return FileResult::Fail("write", errno);
    return FileResult::Ok();
}

ReadResult ReadWholeFile(const std::string& path) {
    return ReadFileUntil(path,
                         [](std::string_view, std::size_t) { return std::string_view::npos; });
}

ReadResult ReadFileUntil(const std::string& path, StopFinder findStop) {
    ReadResult result;
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid())
        return {ReadResult::kMissing, {}, errno};
    struct stat info {};
    if (::fstat(fd.Get(), &info) == 0 && S_ISDIR(info.st_mode))
        return {ReadResult::kMissing, {}, EISDIR};
    constexpr std::size_t kPiece = 1 << 20;
    // Room for the whole file and the last, empty read, so a large index is not copied around.
    if (info.st_size > 0)
        result.bytes.reserve(static_cast<std::size_t>(info.st_size) + kPiece);
    for (;;) {
        const std::size_t oldSize = result.bytes.size();
        result.bytes.resize(oldSize + kPiece);
        const ssize_t got = ::read(fd.Get(), result.bytes.data() + oldSize, kPiece);
        if (got < 0) {
            if (errno == EINTR) {
                result.bytes.resize(oldSize);
                continue;
            }
            return {ReadResult::kFailed, {}, errno};
        }
        result.bytes.resize(oldSize + static_cast<std::size_t>(got));
        if (got == 0)
            return result;
        const std::size_t stop = findStop(result.bytes, oldSize);
        if (stop != std::string_view::npos) {
            result.bytes.resize(stop);
            return result;
        }
    }
}

}  // namespace quor::storage
