// Starting the programs the album program shows things with, the image
// viewer, the movie player and the web browser, each through the shell with
// one command line and without waiting for it; the shell commands that
// rename and remove album directories; and the private temporary directory
// of the make-album dialog's preview files.
//
// File names go into the command lines between double quotes with the
// characters the shell still interprets there escaped (libutils::dquote), so
// every name reaches the program as it is.
#pragma once

#include <string>
#include <vector>

#include "snapfolio/engine/album.h"

namespace snapfolio {

// A directory /tmp/<name>.XXXXXX made by mkdtemp and owned by the record:
// destroy() and the destructor remove it with "rm -rf". Only the directory
// init() made is ever removed.
class temp_t {
  public:
    path_t path;          // dir: the directory's absolute path
    bool active = false;  // a directory was made and not yet removed

    temp_t() = default;
    ~temp_t() { destroy(); }
    temp_t(const temp_t&) = delete;
    temp_t& operator=(const temp_t&) = delete;

    // Makes the directory unless the record already has one. False, with one
    // line on standard error, when it cannot be made.
    bool init(const std::string& name);
    // Removes the directory; true when one was active.
    bool destroy();

  private:
    std::string m_made;  // the path mkdtemp returned
};

// The command lines, as run.
std::string browser_command(const std::string& dir);
std::string glimvue3_command(const std::string& prefix, const std::vector<std::string>& targets);
std::string movie_command(const std::string& file);
std::string mv_command(const std::string& from, const std::string& to);
std::string rm_rf_command(const std::string& path);

// Whether a program can be started: a name holding "/" must be an
// executable file, any other an executable file in a directory of PATH.
bool program_found(const std::string& program);
// The programs the browser and viewer commands start.
std::string browser_program();
std::string glimvue3_program(const std::string& prefix);

// Opens dir/index.html in the desktop's browser (xdg-open, in the
// background); the outcome is not checked.
void run_browser(const std::string& dir);

// The viewer (prefix + the glimvue3 setting; prefix is the album program's
// own directory with its trailing "/") on one file or directory, or on a
// list of files, in the background. True when the shell started it.
bool run_glimvue3(const std::string& prefix, const std::string& target);
bool run_glimvue3(const std::string& prefix, const std::vector<std::string>& targets);

// The movie setting's player on file, in the background.
bool run_movie(const std::string& file);

// mv from to; its wait status (0 on success).
int run_mv(const std::string& from, const std::string& to);
// rm -rf path; its wait status.
int run_rm_rf(const std::string& path);

}  // namespace snapfolio
