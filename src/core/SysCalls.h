#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace sveltor::sys {

// The file layer makes every system call through these, so that a test can make any
// one of them fail as the disk, the kernel or another program would, and prove that no
// file is lost whichever fails. In the program FaultHook stays null.
class TFaultHook {
public:
    virtual ~TFaultHook() = default;
    // Called before each call, named as the system call; returns the errno to fail
    // with, or 0 to let the call run.
    virtual int Before(const char* call) = 0;
};
extern TFaultHook* FaultHook;

int open(const char* path, int flags, mode_t mode = 0);
int close(int fd); // the descriptor is gone even when this reports an error
int stat(const char* path, struct stat* st);
int fstat(int fd, struct stat* st);
int flock(int fd, int operation);
int fcntl(int fd, int command, int argument = 0);
ssize_t pread(int fd, void* buffer, std::size_t count, off_t offset);
ssize_t write(int fd, const void* buffer, std::size_t count);
int fsync(int fd);
int ftruncate(int fd, off_t length);
int fchmod(int fd, mode_t mode);
int fchown(int fd, uid_t owner, gid_t group);
int renameat2(const char* from, const char* to, unsigned flags);
int link(const char* from, const char* to);
int linkat(int fromDir, const char* from, int toDir, const char* to, int flags);
int unlink(const char* path);
void* mmap(std::size_t length, int protection, int flags); // anonymous; MAP_FAILED on failure

} // namespace sveltor::sys
