#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace sveltor::test {

using TBytes = std::vector<unsigned char>;

// A fresh folder under $TMPDIR (or /tmp), removed with everything in it at the end.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::string& Path() const noexcept { return FPath; }
    std::string operator/(const std::string& name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};

TBytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const TBytes& bytes);
bool Exists(const std::string& path); // without following a final symlink
std::vector<std::string> ListNames(const std::string& directory); // sorted

// A minimal Standard MIDI File: header chunk and one empty track.
TBytes CleanMidi();
// The same behind a 128-byte MacBinary header, followed by extra bytes of padding.
TBytes WrappedMidi(std::size_t padding = 0);

// A second process that holds an flock on a file until the object goes.
class TLockHolder {
public:
    explicit TLockHolder(const std::string& path, bool exclusive = true);
    ~TLockHolder();
    TLockHolder(const TLockHolder&) = delete;
    TLockHolder& operator=(const TLockHolder&) = delete;

private:
    void Stop() noexcept;
    pid_t FChild = -1;
};

// Lowers RLIMIT_FSIZE, with SIGXFSZ ignored so a write past it fails with EFBIG, and
// puts both back at the end.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(unsigned long bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    unsigned long FOldCurrent;
    void (*FOldHandler)(int);
};

} // namespace sveltor::test

namespace sveltor::test {

struct TRunResult {
    int ExitCode = -1; // -1 when the program did not exit normally
    std::string Out;
    std::string Err;
};

// Runs a program with arguments in a folder, standard input closed, and collects what it
// prints and its exit code.
TRunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& workingDirectory = ".");

} // namespace sveltor::test

namespace sveltor::test {

// A program running beside the test, ended (SIGTERM, then SIGKILL) when the object goes.
class TBackgroundProcess {
public:
    // Standard output goes to outputFile when one is given; the program starts in
    // workingDirectory when one is given.
    TBackgroundProcess(const std::string& program, const std::vector<std::string>& args,
                       const std::string& outputFile = {},
                       const std::string& workingDirectory = {});
    ~TBackgroundProcess();
    TBackgroundProcess(const TBackgroundProcess&) = delete;
    TBackgroundProcess& operator=(const TBackgroundProcess&) = delete;
    // Ends the program and waits for it.
    void Stop() noexcept;
    // Waits up to timeoutMs for the program to end by itself; its exit code, or -1 when
    // it did not end in time or was killed by a signal.
    int Wait(int timeoutMs);

private:
    pid_t FChild = -1;
};

} // namespace sveltor::test
