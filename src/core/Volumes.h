#pragma once

#include <string>
#include <vector>

namespace sveltor {

// The mounted volumes a user browses, the drives of a Linux desktop: the root, /home
// when it is separate, and removable media under /media, /run/media and /mnt. Pseudo
// file systems are left out. mounts is the text of /proc/self/mounts; the result is
// sorted, the root first.
std::vector<std::string> ParseVolumes(const std::string& mounts);

// The volumes mounted now.
std::vector<std::string> MountedVolumes();

// The volume a directory lies on: the longest mount point that contains it.
std::string VolumeOf(const std::string& directory, const std::vector<std::string>& volumes);

} // namespace sveltor
