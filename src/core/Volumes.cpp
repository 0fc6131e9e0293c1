#include "Volumes.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace sveltor {
namespace {

bool IsPseudo(const std::string& type) {
    static const std::set<std::string> pseudo = {
        "proc",    "sysfs",    "devtmpfs",    "devpts",          "tmpfs",
        "cgroup",  "cgroup2",  "securityfs",  "pstore",          "debugfs",
        "tracefs", "configfs", "fusectl",     "mqueue",          "hugetlbfs",
        "bpf",     "autofs",   "binfmt_misc", "efivarfs",        "rpc_pipefs",
        "nsfs",    "ramfs",    "overlay_tmp", "fuse.gvfsd-fuse", "fuse.portal"};
    return pseudo.count(type) != 0;
}

bool IsUnder(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

// /proc/self/mounts writes a space in a path as \040, and so on.
std::string Unescape(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::isdigit(static_cast<unsigned char>(field[i + 1]))) {
            out += static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

} // namespace

std::vector<std::string> ParseVolumes(const std::string& mounts) {
    std::set<std::string> found = {"/"};
    std::istringstream lines(mounts);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (!(fields >> device >> point >> type) || IsPseudo(type))
            continue;
        point = Unescape(point);
        if (point == "/home" || IsUnder(point, "/media") || IsUnder(point, "/run/media") ||
            IsUnder(point, "/mnt"))
            found.insert(point);
    }
    return {found.begin(), found.end()};
}

std::vector<std::string> MountedVolumes() {
    std::ifstream in("/proc/self/mounts");
    return ParseVolumes(std::string(std::istreambuf_iterator<char>(in), {}));
}

std::string VolumeOf(const std::string& directory, const std::vector<std::string>& volumes) {
    std::string best = "/";
    for (const std::string& volume : volumes) {
        if ((directory == volume || IsUnder(directory, volume)) && volume.size() > best.size())
            best = volume;
    }
    return best;
}

} // namespace sveltor
