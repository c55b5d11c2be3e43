// Reading small outside text files (option files, list files) line by line
// without trusting them: only regular files are read (a FIFO or a device
// would block or never end), the whole file is bounded, and each line keeps
// its bytes as they are (NUL bytes included) without its CR/LF ending.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace libutils {

// The largest text file read_lines accepts.
constexpr size_t LINEFILE_MAX_BYTES = 16u << 20;

// Appends the lines of the regular file at path. A missing or unreadable
// file gives false and no lines, silently; a file that is not regular or is
// larger than LINEFILE_MAX_BYTES gives false with one line on `err`.
bool read_lines(std::vector<std::string>& lines, const std::string& path, std::ostream& err);

}  // namespace libutils
