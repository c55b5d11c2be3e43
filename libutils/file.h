// Copying files with their dates, listing directories, and deciding whether
// a derived file is out of date.
#pragma once

#include <list>
#include <string>
#include <vector>

namespace libutils {

bool copydate(const std::string& src, const std::string& dst);
bool filecopy(const std::string& src, const std::string& dst);
bool filecopy1(const std::string& src, const std::string& dst);

// Sorted in ascending byte order; false (and an empty list) when dir cannot
// be opened. "" lists the current directory.
bool getfiles(std::vector<std::string>& list, const std::string& dir);
bool getdirs(std::vector<std::string>& list, const std::string& dir);
bool getfiles(std::list<std::string>& list, const std::string& dir);
bool getdirs(std::list<std::string>& list, const std::string& dir);

// True when dst must be made again from src: src newer (to the nanosecond),
// or dst missing. A missing src gives false.
bool need_update(const std::string& src, const std::string& dst);

// The process's umask, read without changing it: umask() can only be read by
// setting it, which races with another thread doing the same and may leave
// the wrong mask for good.
unsigned current_umask();

}  // namespace libutils
