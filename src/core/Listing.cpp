#include "Listing.h"

#include "Exception.h"

#include <dirent.h>
#include <fnmatch.h>
#include <limits.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace sveltor {
namespace {

using TDirHandle = std::unique_ptr<DIR, int (*)(DIR*)>;

TDirHandle OpenFolder(const std::string& directory) {
    TDirHandle dir(::opendir(directory.c_str()), ::closedir);
    if (!dir)
        throw EInOutError(FileErrorMessage("Cannot read folder", directory, errno), errno);
    return dir;
}

// What an entry is, asking the file system only where readdir could not tell or the
// entry is a symlink.
bool EntryIs(int dirFd, const dirent* entry, mode_t type) noexcept {
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK)
        return static_cast<mode_t>(DTTOIF(entry->d_type)) == type;
    struct stat st {};
    return ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && (st.st_mode & S_IFMT) == type;
}

// Lists the entries of a folder of one type that pass a name test.
template <class TKeep>
std::vector<std::string> List(const std::string& directory, mode_t type, TKeep keep) {
    TDirHandle dir = OpenFolder(directory);
    const int fd = ::dirfd(dir.get());
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (entry->d_name[0] == '.')
            continue; // hidden, and "." and ".."
        if (keep(entry->d_name) && EntryIs(fd, entry, type))
            names.emplace_back(entry->d_name);
        errno = 0;
    }
    if (errno != 0)
        throw EInOutError(FileErrorMessage("Cannot read folder", directory, errno), errno);
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

} // namespace

bool NameLess(const std::string& a, const std::string& b) noexcept {
    const int folded = ::strcasecmp(a.c_str(), b.c_str());
    return folded != 0 ? folded < 0 : a < b;
}

bool MatchesMask(const std::string& name, const std::string& mask) noexcept {
    if (mask == "*.*" || mask == "*")
        return true;
    // The usual "*.ext" needs no pattern machine.
    if (mask.size() >= 2 && mask[0] == '*' && mask.find_first_of("*?[", 1) == std::string::npos) {
        const std::size_t tail = mask.size() - 1;
        return name.size() >= tail &&
               ::strncasecmp(name.c_str() + name.size() - tail, mask.c_str() + 1, tail) == 0;
    }
    return ::fnmatch(mask.c_str(), name.c_str(), FNM_CASEFOLD | FNM_PERIOD) == 0;
}

std::vector<std::string> ListFiles(const std::string& directory, const std::string& mask) {
    return List(directory, S_IFREG, [&mask](const char* name) { return MatchesMask(name, mask); });
}

std::vector<std::string> ListSubdirectories(const std::string& directory) {
    return List(directory, S_IFDIR, [](const char*) { return true; });
}

std::string AbsoluteDirectory(const std::string& path) {
    std::string full = path;
    if (full.empty() || full[0] != '/') {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) == nullptr)
            throw EInOutError(FileErrorMessage("Cannot resolve", path, errno), errno);
        full = std::string(cwd) + "/" + path;
    }
    std::vector<std::string> parts;
    std::size_t pos = 0;
    while (pos <= full.size()) {
        const std::size_t next = std::min(full.find('/', pos), full.size());
        const std::string part = full.substr(pos, next - pos);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = next + 1;
    }
    std::string result;
    for (const std::string& part : parts)
        result += "/" + part;
    return result.empty() ? "/" : result;
}

} // namespace sveltor
