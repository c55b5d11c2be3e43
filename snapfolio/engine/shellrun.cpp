#include "snapfolio/engine/shellrun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace snapfolio {

namespace {

// Starts /bin/sh -c command with standard input from /dev/null and, when
// out_fd is not negative, standard output on out_fd. The pid, or -1.
pid_t spawn_shell(const std::string& command, int out_fd, int close_fd) {
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return -1;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out_fd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
        if (out_fd != 1) posix_spawn_file_actions_addclose(&actions, out_fd);
    }
    if (close_fd >= 0) posix_spawn_file_actions_addclose(&actions, close_fd);
    const char* argv[] = {"sh", "-c", command.c_str(), nullptr};
    pid_t pid = -1;
    int rc =
        posix_spawn(&pid, "/bin/sh", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int wait_for(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return status;
}

}  // namespace

int shell_system(const std::string& command) {
    pid_t pid = spawn_shell(command, -1, -1);
    if (pid < 0) return -1;
    return wait_for(pid);
}

bool shell_succeeded(int status) {
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool shell_reader_t::open(const std::string& command) {
    close();
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    m_pid = spawn_shell(command, fds[1], fds[0]);
    ::close(fds[1]);
    if (m_pid < 0) {
        ::close(fds[0]);
        return false;
    }
    m_in = fdopen(fds[0], "r");
    if (!m_in) {
        ::close(fds[0]);
        wait_for(m_pid);
        m_pid = -1;
        return false;
    }
    return true;
}

bool shell_reader_t::getline(std::string& line, size_t max_bytes) {
    line.clear();
    if (!m_in) return false;
    int c = 0;
    while (line.size() < max_bytes && (c = std::getc(m_in)) != EOF) {
        if (c == '\n') return true;
        line.push_back((char)c);
    }
    return !line.empty();
}

int shell_reader_t::close() {
    if (!m_in && m_pid < 0) return -1;
    if (m_in) std::fclose(m_in);
    m_in = nullptr;
    int status = m_pid >= 0 ? wait_for(m_pid) : -1;
    m_pid = -1;
    return status;
}

}  // namespace snapfolio
