// Running command lines through the shell, the way the album program starts
// ffmpeg, the viewer, the movie player, the browser, mv and rm. Standard
// input is always /dev/null: ffmpeg reads keyboard commands from a terminal
// and would otherwise stop and wait on it, and nothing we start should read
// the user's input.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <string>

namespace snapfolio {

// Runs `/bin/sh -c command` and waits for the shell. Returns the wait status
// as system() does (0 when the command succeeded), or -1 when the shell could
// not be started.
int shell_system(const std::string& command);

// True when a status of shell_system() or shell_reader_t::close() is a
// normal exit with code 0.
bool shell_succeeded(int status);

// Reads the standard output of `/bin/sh -c command` line by line, like a
// popen() for reading.
class shell_reader_t {
    FILE* m_in = nullptr;
    pid_t m_pid = -1;

  public:
    shell_reader_t() = default;
    ~shell_reader_t() { close(); }
    shell_reader_t(const shell_reader_t&) = delete;
    shell_reader_t& operator=(const shell_reader_t&) = delete;

    // False when the pipe or the shell could not be made.
    bool open(const std::string& command);
    // The next line without its line feed, at most max_bytes bytes (a longer
    // line comes back in pieces); false at the end of the output.
    bool getline(std::string& line, size_t max_bytes = 4095);
    // Closes the pipe and waits for the shell; its wait status, or -1 when
    // nothing was open.
    int close();
};

}  // namespace snapfolio
