// Files as the program keeps them: whole files replaced safely, lines appended,
// missing folders created. Plain POSIX, no knowledge of what the files hold.
#pragma once

#include <string>

namespace flextor {

// Replaces the file at path by bytes so that a power cut or a crash leaves either
// the old file or the new one, never a truncated one: the bytes go to a temporary
// file in the same folder, are flushed to disk, and the temporary file is renamed
// over path. The new file gets mode (permission bits) whatever the umask.
// Returns false (and leaves path as it was) on any failure.
[[nodiscard]] bool ReplaceFileAtomically(const std::string& path, const std::string& bytes,
                                         unsigned mode = 0644);

// What ReplaceFileAtomically puts after path to name its temporary file, which
// mkstemp then ends with six letters or digits.
inline constexpr const char kTemporarySuffix[] = ".tmp-";

// The permission bits of the file at path (links followed); false when it cannot be looked at.
[[nodiscard]] bool ReadFileMode(const std::string& path, unsigned& mode);

// True when path names an existing folder.
[[nodiscard]] bool IsFolder(const std::string& path);

// Creates one folder; true when it exists afterwards.
[[nodiscard]] bool MakeFolder(const std::string& path);

// Appends bytes to the file at path, creating the file when it is missing; header
// goes in front of them when the file is empty. The bytes go in whole or not at
// all: when they cannot all be written (a full disk), the file is cut back to its
// length before, so that a line is never left half written. False when the file
// cannot be opened or the bytes cannot all be written.
[[nodiscard]] bool AppendToFile(const std::string& path, const std::string& bytes,
                                const std::string& header = "");

// Reads a whole file; false when it cannot be opened.
[[nodiscard]] bool ReadWholeFile(const std::string& path, std::string& bytes);

// A test seam: when set, ReplaceFileAtomically calls it after the temporary file
// is written and before the rename, and fails as if interrupted when it returns false.
using BeforeRenameHook = bool (*)(const std::string& temporary_path);
void SetBeforeRenameHook(BeforeRenameHook hook);

}  // namespace flextor
