// Speed and memory of libgr::transform against jpegtran on the same file.
//
//   bench_transform [file.jpg ...]
//
// Without files it generates a 6000x4000 4:2:0 picture at quality 92 (about
// the size of a 24-megapixel camera file), and adds the largest camera file
// of the shared test data when it is there. For each file: the median of
// several quarter turns in this process (wall and CPU time, the file mapped
// anew each time) against the median of `jpegtran -rotate 90 -copy none`
// processes writing to /dev/null, and the peak memory of one turn in a
// fresh process against jpegtran's.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "libgr/jpeg/transform.h"
#include "support/jpegfixture.h"

extern char** environ;

namespace {

const int k_runs = 9;

struct sample_t {
    double wall = 0, cpu = 0;  // seconds
    long maxrss_kb = 0;
};

double seconds(const timeval& t) {
    return (double)t.tv_sec + (double)t.tv_usec / 1e6;
}

double cpu_now() {
    rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    return seconds(ru.ru_utime) + seconds(ru.ru_stime);
}

double wall_now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool turn_once(const std::string& path) {
    libgr::jpegdata_t in, out;
    if (!in.load(path.c_str())) return false;
    return libgr::transform(1, out, in) && out.size() > 0;
}

sample_t time_ours(const std::string& path) {
    sample_t s;
    double w = wall_now(), c = cpu_now();
    if (!turn_once(path)) {
        std::fprintf(stderr, "%s: transform failed\n", path.c_str());
        std::exit(1);
    }
    s.wall = wall_now() - w;
    s.cpu = cpu_now() - c;
    return s;
}

// Runs argv with standard output on /dev/null; wall time, the child's CPU
// time and peak memory.
sample_t time_process(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    sample_t s;
    double w = wall_now();
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "%s: cannot start\n", argv[0]);
        std::exit(1);
    }
    int status = 0;
    rusage ru;
    wait4(pid, &status, 0, &ru);
    s.wall = wall_now() - w;
    s.cpu = seconds(ru.ru_utime) + seconds(ru.ru_stime);
    s.maxrss_kb = ru.ru_maxrss;
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s: failed\n", argv[0]);
        std::exit(1);
    }
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void bench(const std::string& self, const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return;
    std::vector<double> ow, oc, jw, jc;
    turn_once(path);  // warm the page cache
    for (int i = 0; i < k_runs; ++i) {
        sample_t o = time_ours(path);
        sample_t j = time_process({"jpegtran", "-rotate", "90", "-copy", "none", path});
        ow.push_back(o.wall);
        oc.push_back(o.cpu);
        jw.push_back(j.wall);
        jc.push_back(j.cpu);
    }
    sample_t om = time_process({self, "--once", path});
    sample_t jm = time_process({"jpegtran", "-rotate", "90", "-copy", "none", path});
    std::printf("%s (%.1f MB)\n", path.c_str(), (double)st.st_size / 1e6);
    std::printf("  wall   ours %7.1f ms  jpegtran %7.1f ms  ratio %.3f\n", median(ow) * 1e3,
                median(jw) * 1e3, median(ow) / median(jw));
    std::printf("  cpu    ours %7.1f ms  jpegtran %7.1f ms  ratio %.3f\n", median(oc) * 1e3,
                median(jc) * 1e3, median(oc) / median(jc));
    std::printf("  memory ours %7.1f MB  jpegtran %7.1f MB  (peak, one turn per process)\n",
                (double)om.maxrss_kb / 1024, (double)jm.maxrss_kb / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    std::string self = argv[0];
    if (argc == 3 && std::string(argv[1]) == "--once") return turn_once(argv[2]) ? 0 : 1;

    std::vector<std::string> files(argv + 1, argv + argc);
    std::string generated;
    if (files.empty()) {
        const char* tmp = getenv("TMPDIR");
        generated = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench-transform-6000x4000.jpg";
        jpegfixture::options_t o;
        o.width = 6000;
        o.height = 4000;
        o.quality = 92;
        if (!jpegfixture::write_jpeg(generated, o)) return 1;
        files.push_back(generated);
        files.push_back(std::string(SNAPFOLIO_SOURCE_DIR) +
                        "/../shared/testdata/camera/canon_EOS5DMkIII__K6A7942.JPG");
    }
    for (const std::string& f : files) bench(self, f);
    if (!generated.empty()) unlink(generated.c_str());
    return 0;
}
