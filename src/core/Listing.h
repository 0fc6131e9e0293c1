#pragma once

#include <string>
#include <vector>

namespace sveltor {

// True when a file name matches a mask, case ignored as the platform's matching does.
// "*.*" matches every name, with a dot or without, as it always has.
bool MatchesMask(const std::string& name, const std::string& mask) noexcept;

// The regular files of a folder whose names match mask, sorted by name. Hidden files
// (names starting with ".") are left out; a symlink counts as what it points to. Raises
// EInOutError when the folder cannot be read.
std::vector<std::string> ListFiles(const std::string& directory, const std::string& mask);

// The subfolders of a folder, hidden ones left out, sorted by name. Raises EInOutError
// when the folder cannot be read.
std::vector<std::string> ListSubdirectories(const std::string& directory);

// The order of names in the lists: case ignored, then byte order.
bool NameLess(const std::string& a, const std::string& b) noexcept;

// An absolute, normalised form of a directory path: relative to the process's current
// directory, with "." and ".." and repeated separators taken out, and no separator at
// the end except for the root. The folder need not exist.
std::string AbsoluteDirectory(const std::string& path);

} // namespace sveltor
