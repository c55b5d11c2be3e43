// Replacing a file so that it holds either its old or its new content, never
// a mix: the new bytes go to a temporary file in the same folder, which is
// renamed over the target once it is complete. A symbolic link at the target
// is replaced by the new file, never written through.
#pragma once

#include <fstream>
#include <string>

namespace libutils {

class atomic_ofstream : public std::ofstream {
    std::string m_target;
    std::string m_temp;

  public:
    atomic_ofstream() = default;
    explicit atomic_ofstream(const std::string& target) { open(target); }
    ~atomic_ofstream() override { discard(); }

    // Opens a fresh temporary file beside target; false (errno set) when it
    // cannot be created.
    bool open(const std::string& target);
    // Flushes, closes and renames into place; false (errno set) on any
    // failure, in which case the target is untouched.
    bool commit();
    // Drops the temporary file; the target is untouched.
    void discard();

    const std::string& target() const { return m_target; }
};

// Writes n bytes to path through atomic_ofstream.
bool write_file_atomically(const std::string& path, const void* data, size_t n);

}  // namespace libutils
