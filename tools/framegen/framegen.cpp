// Draws the photo frame's two pictures. The frame maps the outer quarter of a
// picture on each side onto its band (outer edge at the picture's border,
// inner edge a quarter in), so both are drawn as functions of the distance to
// the nearest border, which also mitres the corners.
//   hairline.bmp: 256 x 256 grey height map of a moulding: two rounded
//                 ridges, a cove between them and fine hairlines along the
//                 band, with a little grain.
//   flower.bmp:   256 x 256 colour band: five-petalled flowers on a leafy
//                 green ground between two gold rules.
//   framegen <output folder>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <string>

#include "libgr/imagefile/bmpimage.h"

namespace {

const int side = 256;
const double band = side / 4.0;
const double pi = 3.14159265358979323846;

// A repeatable value noise in 0..1 on an integer lattice, smoothly blended.
double lattice(int x, int y) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double noise(double x, double y) {
    int ix = int(std::floor(x)), iy = int(std::floor(y));
    double fx = x - ix, fy = y - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    double a = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * fx;
    double b = lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * fx;
    return a + (b - a) * fy;
}

// Distance into the band (0 at the outer edge) and position along it.
void band_coordinates(int x, int y, double& depth, double& along) {
    double px = x + 0.5, py = y + 0.5;
    double d[4] = {px, py, side - px, side - py};
    int k = 0;
    for (int i = 1; i < 4; ++i)
        if (d[i] < d[k]) k = i;
    depth = d[k];
    along = (k % 2 == 0) ? py : px;
}

libgr::image2d_t picture(libgr::e_image_format_t format) {
    libgr::image2d_t image;
    image.desc = libgr::image_desc_t(format, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
    image.width = image.height = side;
    image.allocate();
    return image;
}

double moulding_height(double depth, double along) {
    double t = std::min(depth / band, 1.0);  // 0 outer edge .. 1 inner edge
    double ridge1 = std::exp(-std::pow((t - 0.18) / 0.10, 2));
    double ridge2 = std::exp(-std::pow((t - 0.80) / 0.08, 2));
    double cove = 0.35 * (1 - std::cos(2 * pi * t)) * 0.5;
    double hairlines = 0.06 * std::sin(t * band * 2 * pi / 3.0);
    double grain = 0.08 * noise(along / 9.0, depth / 1.5);
    return std::min(1.0, std::max(0.0, 0.15 + 0.5 * ridge1 + 0.6 * ridge2 + cove + hairlines + grain));
}

void flower_colour(double depth, double along, unsigned char bgr[3]) {
    double t = depth / band;
    double r = 0.16 + 0.10 * noise(along / 6, depth / 6), g = 0.34 + 0.12 * noise(along / 5, 3 + depth / 5),
           b = 0.14;
    // Gold rules at both edges of the band.
    if (t < 0.08 || (t > 0.88 && t < 1.0)) r = 0.85, g = 0.68, b = 0.25;
    // A flower every half band, centred across it.
    double cx = (std::floor(along / (band / 2)) + 0.5) * (band / 2), cy = band * 0.48;
    double dx = along - cx, dy = depth - cy, rho = std::hypot(dx, dy) / (band * 0.22);
    double theta = std::atan2(dy, dx);
    double petal = 0.55 + 0.45 * std::fabs(std::cos(2.5 * theta));
    if (rho < 0.28) {
        r = 0.98, g = 0.82, b = 0.20;  // the heart
    } else if (rho < petal) {
        double shade = 1 - 0.35 * rho;
        r = 0.95 * shade, g = 0.45 * shade, b = 0.62 * shade;
    }
    if (t >= 1.0) r = g = b = 0;  // never shown
    bgr[0] = (unsigned char)std::lround(255 * b);
    bgr[1] = (unsigned char)std::lround(255 * g);
    bgr[2] = (unsigned char)std::lround(255 * r);
}

bool save(const libgr::image2d_t& image, const std::string& path) {
    libgr::bmpimage_t bmp;
    return libgr::convert(bmp, image) && bmp.save(path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: framegen <output folder>" << std::endl;
        return 2;
    }
    std::string dir = argv[1];
    libgr::image2d_t hairline = picture(libgr::IMAGE_FORMAT_GRAYSCALE);
    libgr::image2d_t flower = picture(libgr::IMAGE_FORMAT_BGR);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            double depth, along;
            band_coordinates(x, y, depth, along);
            hairline[y][x] = (unsigned char)std::lround(255 * moulding_height(depth, along));
            flower_colour(depth, along, flower[y] + 3 * x);
        }
    }
    bool ok = save(hairline, dir + "/hairline.bmp") && save(flower, dir + "/flower.bmp");
    return ok ? 0 : 1;
}
