// Decodes one JPEG file in an address space limited to what the process maps
// already plus a given number of bytes, so that a test can check how a
// decode that memory cannot hold fails. It is built without the sanitizers
// even in the sanitized test tree: AddressSanitizer reserves far more address
// space than any such limit allows.
//   little_memory_decode FILE ROOM_BYTES
// Exit status: 0 refused with the picture released, 1 decoded, 2 refused
// with the picture still allocated, 3 usage or set-up error. Messages go to
// standard error, the file named "huge.jpg" in them.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "libgr/jpeg/jpeginfo.h"

int main(int argc, char** argv) {
    if (argc != 3) return 3;
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty()) return 3;
    libgr::jpegdata_t data;
    data.resize(bytes.size());
    std::memcpy(data.begin(), bytes.data(), bytes.size());
    data.name = "huge.jpg";

    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    rlimit lim;
    lim.rlim_cur = lim.rlim_max =
        rlim_t(pages) * sysconf(_SC_PAGESIZE) + std::strtoull(argv[2], nullptr, 10);
    if (setrlimit(RLIMIT_AS, &lim) != 0) return 3;

    libgr::jpeginfo_t info;
    libgr::image2d_t image;
    bool ok = info.decompress(image, data);
    return ok ? 1 : image.is_allocated() ? 2 : 0;
}
