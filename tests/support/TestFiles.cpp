#include "TestFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace sveltor::test {

TTempDir::TTempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/sveltor-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    FPath = pattern;
}

TTempDir::~TTempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
}

TBytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return TBytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const TBytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool Exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> ListNames(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TBytes CleanMidi() {
    return {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
            96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
}

TBytes WrappedMidi(std::size_t padding) {
    TBytes bytes(128, 0);
    // A plausible MacBinary header: name length, name, type and creator.
    bytes[1] = 8;
    std::copy_n("SONG.MID", 8, bytes.begin() + 2);
    std::copy_n("MidiTVOD", 8, bytes.begin() + 65);
    const TBytes midi = CleanMidi();
    bytes.insert(bytes.end(), midi.begin(), midi.end());
    for (std::size_t i = 0; i < padding; ++i)
        bytes.push_back(static_cast<unsigned char>(i * 7 + 1));
    return bytes;
}

TLockHolder::TLockHolder(const std::string& path, bool exclusive) {
    int ready[2];
    if (::pipe(ready) != 0)
        throw std::runtime_error("pipe failed");
    FChild = ::fork();
    if (FChild < 0)
        throw std::runtime_error("fork failed");
    if (FChild == 0) {
        ::close(ready[0]);
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK);
        const char ok = fd >= 0 && ::flock(fd, exclusive ? LOCK_EX : LOCK_SH) == 0 ? 'y' : 'n';
        (void)!::write(ready[1], &ok, 1);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char ok = 'n';
    const bool got = ::read(ready[0], &ok, 1) == 1;
    ::close(ready[0]);
    if (!got || ok != 'y') {
        Stop();
        throw std::runtime_error("the lock holder could not lock " + path);
    }
}

TLockHolder::~TLockHolder() {
    Stop();
}

void TLockHolder::Stop() noexcept {
    if (FChild > 0) {
        ::kill(FChild, SIGKILL);
        ::waitpid(FChild, nullptr, 0);
        FChild = -1;
    }
}

TFileSizeLimit::TFileSizeLimit(unsigned long bytes) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    FOldCurrent = limit.rlim_cur;
    FOldHandler = ::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0)
        throw std::runtime_error("setrlimit failed");
}

TFileSizeLimit::~TFileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = FOldCurrent;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, FOldHandler);
}

} // namespace sveltor::test

namespace sveltor::test {

TRunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& workingDirectory) {
    // Output goes to unlinked temporary files, so a chatty program can never fill a pipe.
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    if (out == nullptr || err == nullptr)
        throw std::runtime_error("tmpfile failed");
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork failed");
    if (child == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, 0);
        ::dup2(::fileno(out), 1);
        ::dup2(::fileno(err), 2);
        if (::chdir(workingDirectory.c_str()) == 0)
            ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    auto slurp = [](FILE* f) {
        std::string text;
        std::rewind(f);
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
            text.append(buffer, n);
        std::fclose(f);
        return text;
    };
    TRunResult result;
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.Out = slurp(out);
    result.Err = slurp(err);
    return result;
}

} // namespace sveltor::test

namespace sveltor::test {

TBackgroundProcess::TBackgroundProcess(const std::string& program,
                                       const std::vector<std::string>& args,
                                       const std::string& outputFile,
                                       const std::string& workingDirectory) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    FChild = ::fork();
    if (FChild < 0)
        throw std::runtime_error("fork failed");
    if (FChild == 0) {
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, 0);
        if (!outputFile.empty()) {
            const int out = ::open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
        }
        if (!workingDirectory.empty() && ::chdir(workingDirectory.c_str()) != 0)
            ::_exit(127);
        ::execvp(program.c_str(), argv.data());
        ::_exit(127);
    }
}

TBackgroundProcess::~TBackgroundProcess() {
    Stop();
}

int TBackgroundProcess::Wait(int timeoutMs) {
    for (int waited = 0; FChild > 0 && waited <= timeoutMs; waited += 20) {
        int status = 0;
        if (::waitpid(FChild, &status, WNOHANG) == FChild) {
            FChild = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        ::usleep(20000);
    }
    return -1;
}

void TBackgroundProcess::Stop() noexcept {
    if (FChild <= 0)
        return;
    ::kill(FChild, SIGTERM);
    for (int i = 0; i < 50; ++i) {
        if (::waitpid(FChild, nullptr, WNOHANG) == FChild) {
            FChild = -1;
            return;
        }
        ::usleep(20000);
    }
    ::kill(FChild, SIGKILL);
    ::waitpid(FChild, nullptr, 0);
    FChild = -1;
}

} // namespace sveltor::test
