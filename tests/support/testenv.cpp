#include "support/testenv.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "libutils/file.h"
#include "libutils/path.h"

namespace testenv {

std::string source_dir() {
    return SNAPFOLIO_SOURCE_DIR;
}
std::string binary_dir() {
    return SNAPFOLIO_BINARY_DIR;
}
std::string bin_dir() {
    return binary_dir() + "/bin";
}

std::string camera_dir() {
    std::string base;
    if (const char* env = getenv("SNAPFOLIO_SHARED"))
        base = env;
    else
        base = source_dir() + "/../shared";
    std::string dir = base + "/testdata/camera";
    return exists(dir) ? libutils::realpath(dir) : std::string();
}

std::vector<std::string> camera_jpegs() {
    std::vector<std::string> out, names;
    std::string dir = camera_dir();
    if (dir.empty() || !libutils::getfiles(names, dir)) return out;
    for (const std::string& n : names)
        if (libutils::extcasecmp(n, ".jpg") == 0 || libutils::extcasecmp(n, ".jpeg") == 0)
            out.push_back(dir + "/" + n);
    return out;
}

namespace {
struct scratch_root_t {
    std::string path;
    ~scratch_root_t() {
        if (!path.empty() && !getenv("SNAPFOLIO_KEEP_SCRATCH"))
            run("chmod -R u+rwX " + shell_quote(path) + " 2>/dev/null; rm -rf " +
                shell_quote(path));
    }
} s_root;
}  // namespace

std::string scratch_dir(const std::string& hint) {
    if (s_root.path.empty()) {
        const char* tmp = getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/snapfolio-test-XXXXXX";
        if (!mkdtemp(&tmpl[0])) return std::string();
        s_root.path = tmpl;
    }
    static int counter = 0;
    std::string dir = s_root.path + "/" + hint + "-" + std::to_string(++counter);
    ::mkdir(dir.c_str(), 0755);
    return dir;
}

int run(const std::string& command, std::string* output) {
    FILE* p = popen(command.c_str(), "r");
    if (!p) return -1;
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int status = pclose(p);
    if (output) *output = out;
    if (status == -1) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool have_program(const std::string& name) {
    return run("command -v " + shell_quote(name) + " >/dev/null 2>&1") == 0;
}

std::string shell_quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

bool write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return bool(out);
}

bool exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace testenv
