// The viewer's list of picture files and the position in it, without any
// window: building the list from the command line's words (files,
// directories, "-C<dir>" and "-@<list file>"), and stepping through it with
// the rules for pictures that fail to load. Loading itself is the caller's:
// the stepping functions take a sink that drops the current picture and
// tries to load another.
//
// Messages: "srchpath: <path>" (verbose, standard output), "dir: ", "file
// add: " (debug), "skip: <name>" (verbose); "<word>: no such file, skipped."
// for a file word or list line that cannot be resolved while a "-C"
// directory is in force or in a list file, and "<dir>: cannot change
// directory." on the standard error stream.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace glimvue2 {

// What the stepping functions do to the shown picture.
struct image_sink_t {
    std::function<void()> drop;                     // remove the current picture
    std::function<bool(const std::string&)> load;   // show this file; false: skip it
};

class imagelist_t {
  public:
    static constexpr size_t npos = size_t(-1);

    // A directory adds its picture files (by extension, byte order), a file
    // is added when its extension is one of the five; "" means ".". The
    // current file becomes the first of the list.
    bool setImagePath(const std::string& path);
    // The command line's remaining words; the working directory is the same
    // afterwards.
    void add_words(const std::vector<std::string>& words);
    // Lines of a "-@" list file, up to the first empty one, each made
    // absolute against the current directory.
    void add_list_file(const std::string& path);

    bool initial_load(const image_sink_t& sink);
    bool next_image(size_t n, const image_sink_t& sink);
    bool back_image(size_t n, const image_sink_t& sink);
    bool first_image(const image_sink_t& sink);
    bool last_image(const image_sink_t& sink);
    void clear();

    const std::vector<std::string>& files() const { return m_files; }
    bool has_current() const { return m_current != npos; }
    const std::string& current() const;  // "" without one
    size_t index() const { return m_current == npos ? 0 : m_current; }
    size_t count() const { return m_count; }
    // "<path> (<index + 1>/<count>)", or "" without a current file.
    std::string title() const;

  private:
    std::vector<std::string> m_files;
    size_t m_current = npos;
    size_t m_count = 0;

    bool try_load(size_t i, const image_sink_t& sink);
    // Tries from..to (inclusive, stepping by `step`); true when one loaded.
    bool try_range(long from, long to, long step, const image_sink_t& sink);
    void reload_current(const image_sink_t& sink);
};

// Whether the name ends, in any case, in one of the picture extensions.
bool is_picture_name(const std::string& name);

}  // namespace glimvue2
