#pragma once

// Path strings for the storage kit: absolute, without ".", ".." or repeated slashes.

#include <string>

namespace kit_private {

// The absolute, lexically normalized form of path (relative paths start at the current
// directory). Empty when path is empty or the current directory is unknown.
std::string normalized_path(const std::string& path);
// path joined with a relative leaf (an absolute leaf replaces it), normalized.
std::string joined_path(const std::string& path, const std::string& leaf);
// The directory part and the last component of a normalized path.
std::string parent_of(const std::string& path);
std::string leaf_of(const std::string& path);

} // namespace kit_private
