#include "FileSystem.h"

#include "Exception.h"
#include "SysCalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace sveltor {
namespace {

// Opens without blocking (a FIFO or device must never hang the caller), then checks
// that what was opened is a regular file and takes the lock.
int OpenLocked(const std::string& path, int flags, int lockOperation) {
    struct stat st {};
    if (sys::stat(path.c_str(), &st) != 0)
        throw EFOpenError(path, errno);
    if (S_ISDIR(st.st_mode))
        throw EFOpenError(path, EISDIR);
    if (!S_ISREG(st.st_mode))
        throw EFOpenError(path, EINVAL, "Not a regular file");
    // Root may write anything; a file nobody may write is still refused as read-only.
    if ((flags & O_ACCMODE) != O_RDONLY && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        throw EFOpenError(path, EACCES, "The file is read-only");

    const int fd = sys::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        throw EFOpenError(path, errno);
    auto fail = [&](int error, const char* cause) {
        sys::close(fd);
        throw EFOpenError(path, error, cause);
    };
    if (sys::fstat(fd, &st) != 0)
        fail(errno, nullptr);
    if (!S_ISREG(st.st_mode))
        fail(EINVAL, "Not a regular file");
    if (sys::flock(fd, lockOperation | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            fail(errno, "The file is in use by another program");
        fail(errno, nullptr);
    }
    const int current = sys::fcntl(fd, F_GETFL);
    if (current < 0 || sys::fcntl(fd, F_SETFL, current & ~O_NONBLOCK) != 0)
        fail(errno, nullptr);
    return fd;
}

} // namespace

TFileStream TFileStream::OpenExclusive(const std::string& path) {
    return TFileStream(path, OpenLocked(path, O_RDWR, LOCK_EX));
}

TFileStream TFileStream::OpenRead(const std::string& path) {
    return TFileStream(path, OpenLocked(path, O_RDONLY, LOCK_SH));
}

TFileStream TFileStream::OpenReadExclusive(const std::string& path) {
    return TFileStream(path, OpenLocked(path, O_RDONLY, LOCK_EX));
}

TFileStream TFileStream::Rewrite(const std::string& path, mode_t mode) {
    // Opened without O_TRUNC: the file is emptied only once it is ours alone.
    const int fd =
        sys::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, mode);
    if (fd < 0) {
        // A FIFO with no reader answers ENXIO to a non-blocking open for writing.
        const int error = errno;
        if (error == ENXIO)
            throw EFCreateError(path, EINVAL, "Not a regular file");
        throw EFCreateError(path, error);
    }
    TFileStream stream(path, fd);
    struct stat st {};
    if (sys::fstat(fd, &st) != 0)
        throw EFCreateError(path, errno);
    if (!S_ISREG(st.st_mode))
        throw EFCreateError(path, EINVAL, "Not a regular file");
    if (sys::flock(fd, LOCK_EX | LOCK_NB) != 0)
        throw EFCreateError(
            path, errno, errno == EWOULDBLOCK ? "The file is in use by another program" : nullptr);
    if (sys::ftruncate(fd, 0) != 0)
        throw EFCreateError(path, errno);
    const int flags = sys::fcntl(fd, F_GETFL);
    if (flags < 0 || sys::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw EFCreateError(path, errno);
    return stream;
}

TFileStream TFileStream::CreateTemporary(const std::string& directory, const std::string& path) {
    // An unnamed file in the folder: if the program dies before the copy is whole and
    // flushed, nothing of it is left behind.
    const int fd = sys::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd >= 0) {
        TFileStream stream(path, fd);
        stream.FUnnamed = true;
        return stream;
    }
    // File systems without O_TMPFILE get the name at once, created exclusively.
    if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
        return CreateExclusive(path);
    throw EFCreateError(path, errno);
}

void TFileStream::Link() {
    if (!FUnnamed)
        return;
    // The name never replaces anything: an existing file or link of the name stays.
    const std::string self = "/proc/self/fd/" + std::to_string(FHandle);
    if (sys::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, FFileName.c_str(), AT_SYMLINK_FOLLOW) != 0)
        throw EFCreateError(FFileName, errno);
    FUnnamed = false;
}

TFileStream TFileStream::CreateExclusive(const std::string& path, mode_t mode) {
    const int fd = sys::open(path.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, mode);
    if (fd < 0)
        throw EFCreateError(path, errno);
    return TFileStream(path, fd);
}

TFileStream::TFileStream(TFileStream&& other) noexcept
    : FFileName(std::move(other.FFileName)), FHandle(std::exchange(other.FHandle, -1)),
      FUnnamed(std::exchange(other.FUnnamed, false)) {}

TFileStream& TFileStream::operator=(TFileStream&& other) noexcept {
    if (this != &other) {
        Release();
        FFileName = std::move(other.FFileName);
        FHandle = std::exchange(other.FHandle, -1);
        FUnnamed = std::exchange(other.FUnnamed, false);
    }
    return *this;
}

TFileStream::~TFileStream() {
    Release();
}

void TFileStream::Release() noexcept {
    if (FHandle >= 0)
        sys::close(std::exchange(FHandle, -1));
}

struct stat TFileStream::Status() const {
    struct stat st {};
    if (sys::fstat(FHandle, &st) != 0)
        throw EReadError(FFileName, errno);
    return st;
}

std::size_t TFileStream::ReadSome(void* buffer, std::size_t count, std::uint64_t offset) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n =
            sys::pread(FHandle, out + done, count - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EReadError(FFileName, errno);
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void TFileStream::ReadBuffer(void* buffer, std::size_t count, std::uint64_t offset) {
    if (ReadSome(buffer, count, offset) != count)
        throw EReadError(FFileName, EIO, "The file ended before its size");
}

void TFileStream::WriteBuffer(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        const ssize_t n = sys::write(FHandle, in + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw EWriteError(FFileName, errno);
        }
        if (n == 0)
            throw EWriteError(FFileName, ENOSPC);
        done += static_cast<std::size_t>(n);
    }
}

void TFileStream::Flush() {
    if (sys::fsync(FHandle) != 0)
        throw EWriteError(FFileName, errno);
}

void TFileStream::CopyModeAndOwner(const struct stat& from) {
    const struct stat st = Status();
    if ((st.st_uid != from.st_uid || st.st_gid != from.st_gid) &&
        sys::fchown(FHandle, from.st_uid, from.st_gid) != 0 && errno != EPERM)
        throw EWriteError(FFileName, errno);
    if (sys::fchmod(FHandle, from.st_mode & 07777) != 0)
        throw EWriteError(FFileName, errno);
}

void TFileStream::Close() {
    // The descriptor is gone after close() whatever it returns; never close it twice.
    if (FHandle >= 0 && sys::close(std::exchange(FHandle, -1)) != 0 && errno != EINTR)
        throw EWriteError(FFileName, errno);
}

void RenameFile(const std::string& from, const std::string& to) {
    auto fail = [&](int error) {
        throw EInOutError(
            "Cannot rename \"" + from + "\" to \"" + to + "\": " + std::strerror(error), error);
    };
    if (sys::renameat2(from.c_str(), to.c_str(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        fail(errno);
    // The file system cannot rename without replacing: a hard link fails on an existing
    // name just the same.
    if (sys::link(from.c_str(), to.c_str()) != 0)
        fail(errno);
    if (sys::unlink(from.c_str()) != 0) {
        const int error = errno;
        sys::unlink(to.c_str());
        fail(error);
    }
}

void DeleteFile(const std::string& path) {
    if (sys::unlink(path.c_str()) != 0)
        throw EInOutError(FileErrorMessage("Cannot delete file", path, errno), errno);
}

void DeleteFileQuietly(const std::string& path) noexcept {
    sys::unlink(path.c_str());
}

void SyncDirectory(const std::string& directory) {
    const int fd = sys::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw EInOutError(FileErrorMessage("Cannot open directory", directory, errno), errno);
    const int result = sys::fsync(fd);
    const int error = errno;
    sys::close(fd);
    // Some file systems cannot sync a directory at all; their renames are as durable as
    // they get.
    if (result != 0 && error != EINVAL && error != ENOTSUP)
        throw EInOutError(FileErrorMessage("Cannot flush directory", directory, error), error);
}

std::string DirectoryOfPath(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (!directory.empty() && directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

} // namespace sveltor
