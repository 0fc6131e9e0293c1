#include "SysCalls.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace sveltor::sys {

TFaultHook* FaultHook = nullptr;

namespace {

// True when the hook fails this call; errno is then set.
bool Fails(const char* call) noexcept {
    if (FaultHook == nullptr)
        return false;
    const int error = FaultHook->Before(call);
    if (error == 0)
        return false;
    errno = error;
    return true;
}

} // namespace

int open(const char* path, int flags, mode_t mode) {
    return Fails("open") ? -1 : ::open(path, flags, mode);
}

int close(int fd) {
    const bool fail = Fails("close");
    const int error = errno;
    const int result = ::close(fd);
    if (fail) {
        errno = error;
        return -1;
    }
    return result;
}

int stat(const char* path, struct stat* st) {
    return Fails("stat") ? -1 : ::stat(path, st);
}
int fstat(int fd, struct stat* st) {
    return Fails("fstat") ? -1 : ::fstat(fd, st);
}
int flock(int fd, int operation) {
    return Fails("flock") ? -1 : ::flock(fd, operation);
}
int fcntl(int fd, int command, int argument) {
    return Fails("fcntl") ? -1 : ::fcntl(fd, command, argument);
}
ssize_t pread(int fd, void* buffer, std::size_t count, off_t offset) {
    return Fails("pread") ? -1 : ::pread(fd, buffer, count, offset);
}
ssize_t write(int fd, const void* buffer, std::size_t count) {
    return Fails("write") ? -1 : ::write(fd, buffer, count);
}
int fsync(int fd) {
    return Fails("fsync") ? -1 : ::fsync(fd);
}
int ftruncate(int fd, off_t length) {
    return Fails("ftruncate") ? -1 : ::ftruncate(fd, length);
}
int fchmod(int fd, mode_t mode) {
    return Fails("fchmod") ? -1 : ::fchmod(fd, mode);
}
int fchown(int fd, uid_t owner, gid_t group) {
    return Fails("fchown") ? -1 : ::fchown(fd, owner, group);
}
int renameat2(const char* from, const char* to, unsigned flags) {
    return Fails("renameat2") ? -1 : ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
}
int link(const char* from, const char* to) {
    return Fails("link") ? -1 : ::link(from, to);
}
int linkat(int fromDir, const char* from, int toDir, const char* to, int flags) {
    return Fails("linkat") ? -1 : ::linkat(fromDir, from, toDir, to, flags);
}
int unlink(const char* path) {
    return Fails("unlink") ? -1 : ::unlink(path);
}
void* mmap(std::size_t length, int protection, int flags) {
    return Fails("mmap") ? MAP_FAILED : ::mmap(nullptr, length, protection, flags, -1, 0);
}

} // namespace sveltor::sys
