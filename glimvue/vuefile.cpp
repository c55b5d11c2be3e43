#include "glimvue/vuefile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <limits>
#include <locale>
#include <sstream>

#include "glimlib/option.h"
#include "libutils/atomicfile.h"
#include "libutils/error.h"
#include "libutils/path.h"

namespace glimvue2 {

namespace {

// Sizes beyond any framebuffer are not a view anyone saved.
const int32_t max_size = 1 << 16;

// Reads `n` numbers of the next value: skips to the next "(", reads the
// numbers with one separator character between them and consumes a ")"
// that follows the last.
template <class T>
bool read_value(std::istream& in, T* numbers, int n) {
    in.ignore(std::numeric_limits<std::streamsize>::max(), '(');
    if (!in) return false;
    for (int i = 0; i < n; ++i) {
        if (!(in >> numbers[i])) return false;
        char separator;
        if (!(in >> separator)) return i == n - 1;
        if (i == n - 1 && separator != ')') in.putback(separator);
    }
    return true;
}

double determinant(const libgr::matrix3w_t& m) {
    double a[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) a[i][j] = m[i][j];
    // Gaussian elimination with partial pivoting.
    double det = 1;
    for (int c = 0; c < 4; ++c) {
        int p = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
        if (a[p][c] == 0) return 0;
        if (p != c) {
            std::swap(a[p], a[c]);
            det = -det;
        }
        det *= a[c][c];
        for (int r = c + 1; r < 4; ++r) {
            double f = a[r][c] / a[c][c];
            for (int k = c; k < 4; ++k) a[r][k] -= f * a[c][k];
        }
    }
    return det;
}

bool usable(const libgr::direction2l_t& size, const libgr::matrix3w_t& m) {
    if (size.x < 0 || size.y < 0 || size.x > max_size || size.y > max_size) return false;
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(m.data()[i])) return false;
    // A view zoomed out to a hundred-millionth is as good as no view.
    return std::fabs(determinant(m)) > 1e-24;
}

}  // namespace

std::string make_vuepath(const std::string& picture) {
    return libutils::dirname(picture) + libutils::basename(picture) + ".vue";
}

std::string make_shotpath(const std::string& picture) {
    std::string stem = libutils::dirname(picture) + libutils::basename(picture) + ".vue.";
    struct stat st;
    for (uint64_t k = 1;; ++k) {
        std::string path = stem + std::to_string(k) + ".jpg";
        if (::lstat(path.c_str(), &st) != 0) return path;
    }
}

bool vuefile_t::read(std::istream& in) {
    in.imbue(std::locale::classic());
    int32_t wh[2];
    libgr::matrix3w_t m;
    if (!read_value(in, wh, 2) || !read_value(in, m.data(), 16)) return false;
    libgr::direction2l_t s(wh[0], wh[1]);
    if (!usable(s, m)) return false;
    size = s;
    matrix = m;
    return true;
}

namespace {

// A float in fixed notation with six decimals, or with as many more (up to
// twelve) as it takes to read back as the same float: a turned view's
// matrix must come back exactly for the picture to come back pixel for pixel.
std::string fixed(float f) {
    std::string text;
    for (int decimals = 6; decimals <= 12; ++decimals) {
        std::ostringstream s;
        s.imbue(std::locale::classic());
        s << std::fixed << std::setprecision(decimals) << f;
        text = s.str();
        float back = 0;
        std::istringstream in(text);
        in.imbue(std::locale::classic());
        if (in >> back && back == f) break;
    }
    return text;
}

}  // namespace

void vuefile_t::write(std::ostream& out) const {
    out.imbue(std::locale::classic());
    out << "dir2l(" << size.x << ", " << size.y << ")\n";
    out << "mtx3w(\t";
    for (int i = 0; i < 4; ++i) {
        if (i) out << ",\n\t";
        for (int j = 0; j < 4; ++j) out << (j ? ", " : "") << fixed(matrix[i][j]);
    }
    out << ")\n";
}

bool vuefile_t::load(const std::string& picture) {
    std::string path = make_vuepath(picture);
    std::ifstream in(path, std::ios::binary);
    if (!in || !read(in)) return false;
    if (glimlib::g_option.debug) std::cout << "dir2l(" << size.x << ", " << size.y << ")" << std::endl;
    if (glimlib::g_option.verbose) std::cout << path << ": vuefile loaded." << std::endl;
    return true;
}

bool vuefile_t::save(const std::string& picture) const {
    std::string path = make_vuepath(picture);
    libutils::atomic_ofstream out;
    if (out.open(path)) {
        write(out);
        if (out.commit()) {
            if (glimlib::g_option.verbose) std::cout << path << ": vuefile saved." << std::endl;
            return true;
        }
    }
    return libutils::fail(std::cerr, path, ": vuefile save fail, ", std::strerror(errno));
}

bool vuefile_t::del(const std::string& picture) const {
    return ::unlink(make_vuepath(picture).c_str()) == 0;
}

}  // namespace glimvue2
