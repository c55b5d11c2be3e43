// Replays fuzz inputs without libFuzzer: every file named on the command line,
// or every file inside a named folder, is fed to the harness once. Used by the
// test suite to keep the seed corpora (and past findings) passing.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int replay_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot open\n", path.c_str());
        return 1;
    }
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return 0;
}

int main(int argc, char** argv) {
    int failures = 0, count = 0;
    for (int i = 1; i < argc; ++i) {
        struct stat st;
        if (stat(argv[i], &st) == 0 && S_ISDIR(st.st_mode)) {
            if (DIR* d = opendir(argv[i])) {
                while (dirent* e = readdir(d)) {
                    std::string p = std::string(argv[i]) + "/" + e->d_name;
                    if (stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
                        failures += replay_file(p);
                        ++count;
                    }
                }
                closedir(d);
            }
        } else {
            failures += replay_file(argv[i]);
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return failures ? 1 : 0;
}
