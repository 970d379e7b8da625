// Reading a file that someone else may have replaced by something that is not a
// file: a FIFO, a device, a folder, or a file far larger than any the program
// writes. None of them can stall the reader.
#pragma once

#include <cstddef>
#include <string>

namespace flextor {

enum class ReadOutcome {
    kRead,        // bytes hold the whole file
    kMissing,     // there is no file of that name
    kUnreadable,  // it exists but cannot be opened or read
    kNotRegular,  // a FIFO, a device, a folder: never read
    kTooLarge,    // larger than the limit: not read
};

// Reads the regular file at path whole, when it holds at most max_bytes. Opening
// never blocks (a FIFO without a writer, a device) and nothing but a regular
// file is read. bytes is emptied unless the outcome is kRead.
[[nodiscard]] ReadOutcome ReadRegularFile(const std::string& path, size_t max_bytes,
                                          std::string& bytes);

}  // namespace flextor
