#include "DirHistory.h"

#include "Exception.h"
#include "FileSystem.h"
#include "SysCalls.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace sveltor {
namespace {

// The test open: can the file be read at all, by a reader that shares it? Never blocks
// and never reads a folder or a FIFO.
bool CanOpenShared(const char* name) noexcept {
    const int fd = sys::open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const bool ok =
        sys::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && sys::flock(fd, LOCK_SH | LOCK_NB) == 0;
    sys::close(fd);
    return ok;
}

} // namespace

void ReadDirHistory(TDirectoryList& list) {
    if (!CanOpenShared(DirHistoryName))
        return;
    TFileStream file = TFileStream::OpenReadExclusive(DirHistoryName);
    const std::uint64_t size = file.Size();
    if (size == 0)
        return;
    // No directory is longer than PATH_MAX, so that, and one byte to tell a longer text,
    // is all that is ever read.
    constexpr std::size_t Limit = PATH_MAX + 1;
    const std::size_t wanted = size < Limit ? static_cast<std::size_t>(size) : Limit;
    std::vector<char> buffer(wanted + 1, '\0');
    file.ReadBuffer(buffer.data(), wanted);
    const std::size_t length = ::strnlen(buffer.data(), wanted);
    if (length >= Limit)
        throw EInOutError(FileErrorMessage("Cannot change to the directory stored in",
                                           DirHistoryName, ENAMETOOLONG),
                          ENAMETOOLONG);
    list.SetDirectory(std::string(buffer.data(), length));
}

std::string DirHistoryPath(const std::string& startDir) {
    return startDir + "/" + DirHistoryName;
}

void WriteDirHistory(const std::string& startDir, const TDirectoryList& list) {
    if (startDir.empty())
        return;
    const std::string directory = list.GetDirectory();
    TFileStream file = TFileStream::Rewrite(DirHistoryPath(startDir));
    file.WriteBuffer(directory.data(), directory.size());
    file.Close();
}

} // namespace sveltor
