// Keeping a file that is about to be replaced under a second name, so that what
// it held outlives the replacement: the first free of path + suffix, then
// path + suffix + "-2", "-3" and so on. An existing file is never overwritten.
#pragma once

#include <optional>
#include <string>

namespace flextor {

// The name the file at path is now kept under, or nullopt when it could not be
// kept. A hard link is tried first, so path itself stays as it is; where no link
// can be made (a file system without them, a file of another user), the file is
// renamed instead and path is gone. When path does not exist there is nothing to
// keep, and the result is an empty name.
[[nodiscard]] std::optional<std::string> KeepFileAside(const std::string& path,
                                                       const std::string& suffix);

}  // namespace flextor
