#include "support/peers.h"

#include <sstream>

#include "support/testenv.h"

namespace peers {

bool parse_pnm(const std::string& bytes, pnm_t& out) {
    out = pnm_t();
    std::istringstream in(bytes);
    std::string magic;
    int width = 0, height = 0, maxval = 0;
    in >> magic >> width >> height >> maxval;
    if (!in || (magic != "P5" && magic != "P6") || maxval != 255 || width <= 0 || height <= 0)
        return false;
    in.get();  // the single white-space byte before the pixels
    int channels = magic == "P5" ? 1 : 3;
    size_t n = size_t(width) * size_t(height) * size_t(channels);
    size_t start = size_t(in.tellg());
    if (bytes.size() < start || bytes.size() - start < n) return false;
    out.width = width;
    out.height = height;
    out.channels = channels;
    out.px.assign(bytes.begin() + long(start), bytes.begin() + long(start + n));
    return true;
}

int djpeg(const std::string& path, pnm_t& out, std::string* messages) {
    std::string dir = testenv::scratch_dir("djpeg");
    std::string pnm = dir + "/out.pnm", err = dir + "/err.txt";
    int status =
        testenv::run("djpeg -pnm " + testenv::shell_quote(path) + " > " + pnm + " 2> " + err);
    parse_pnm(testenv::read_file(pnm), out);
    if (messages) *messages = testenv::read_file(err);
    testenv::run("rm -rf " + testenv::shell_quote(dir));
    return status;
}

std::string jpegtran(unsigned count, const std::string& path, int* status) {
    std::string cmd = "jpegtran -copy none";
    if (count) cmd += " -rotate " + std::to_string(count * 90);
    std::string out;
    int s = testenv::run(cmd + " " + testenv::shell_quote(path) + " 2>/dev/null", &out);
    if (status) *status = s;
    return out;
}

}  // namespace peers
