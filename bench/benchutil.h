// What every benchmark needs: a clock, medians, and running a reference tool
// as a process of its own with its output thrown away.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "libutils/file.h"
#include "libutils/path.h"

extern char** environ;

namespace benchutil {

inline double now_ms() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline bool have(const char* program) {
    std::string cmd = std::string("command -v ") + program + " >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
}

struct run_t {
    bool quiet = false;       // standard error too to /dev/null, standard input from it
    bool any_status = false;  // a non-zero exit status still counts as a run
    long peak_kib = 0;        // filled: the process's peak resident size
};

// Runs argv with standard output on /dev/null; wall time in ms, or -1 when
// it could not start or (unless any_status) did not exit with status 0.
inline double run_tool(const std::vector<std::string>& argv, run_t* how = nullptr) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (how && how->quiet) {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    }
    double start = now_ms();
    pid_t pid;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    struct rusage ru;
    wait4(pid, &status, 0, &ru);
    double t = now_ms() - start;
    if (how) how->peak_kib = ru.ru_maxrss;
    if (how && how->any_status) return t;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? t : -1;
}

// Writes back what earlier steps left in the page cache, so that the
// kernel's flushing of their files does not run during the next measurement
// (on 2 cores it takes a good part of one).
inline void flush_dirty_pages() {
    ::sync();
}

// The names of the JPEG photos in dir.
inline std::vector<std::string> photos_in(const std::string& dir) {
    std::vector<std::string> names, photos;
    libutils::getfiles(names, dir);
    for (const std::string& n : names)
        if (libutils::extcasecmp(n, ".jpg") == 0) photos.push_back(n);
    return photos;
}

// The photos a benchmark makes are kept in the build tree
// (bin/../bench-photos) for the next run; "--photos N" and "--keep DIR"
// change how many and where.
struct photo_args_t {
    int photos;
    std::string keep;
};

inline photo_args_t photo_args(int argc, char** argv, int photos) {
    photo_args_t a{photos, libutils::dirname(libutils::realpath("/proc/self/exe")) + "../bench-photos"};
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--photos")
            a.photos = std::atoi(argv[i + 1]);
        else if (std::string(argv[i]) == "--keep")
            a.keep = argv[i + 1];
    }
    return a;
}

}  // namespace benchutil
