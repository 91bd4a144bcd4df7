#pragma once

#include <string>

namespace fileio {

// The folder part of a path: "." for a bare name, "/" for a name in the root.
[[nodiscard]] std::string DirectoryOf(const std::string& path);

// The file that a write to `name` reaches: symbolic links are followed to
// their target (relative targets count from the link's folder). Throws the
// file error of ELOOP after 40 links.
[[nodiscard]] std::string ResolveLinks(const std::string& name);

// Whether both names reach one and the same existing file (device and inode),
// by whatever links or other names.
[[nodiscard]] bool SameFile(const std::string& a, const std::string& b);

} // namespace fileio
