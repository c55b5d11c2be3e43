// View-state files: how one picture was last looked at, kept beside it as
// "<dir>/<name without extension>.vue" (so IMG_1.JPG and IMG_1.PNG share
// IMG_1.vue). The text holds the drawing area's size in framebuffer pixels
// and the whole view transformation, in the C locale, each number with six
// decimals or as many more as it needs to read back unchanged:
//
//   dir2l(800, 600)
//   mtx3w(<tab>1.000000, 0.000000, 0.000000, 0.000000,
//   <tab>0.000000, 1.000000, ... ,
//   <tab>...)
//
// Reading is lenient about layout: each value starts after the next "(", the
// numbers may be separated by any one non-blank character with line breaks
// anywhere between them. A file that is incomplete, holds a negative or huge
// size, a number that is not finite, or a matrix that cannot be inverted is
// ignored: load() returns false and the record stays as it was.
// Saving replaces the file in one step (a temporary file renamed over it); a
// failure is reported as the path, ": vuefile save fail, " and the system's
// text on the standard error stream.
#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "libgr/image/vecmath.h"

namespace glimvue2 {

class vuefile_t {
  public:
    libgr::direction2l_t size;  // framebuffer pixels; 0 x 0 when not known
    libgr::matrix3w_t matrix;   // identity

    // With the options verbose and debug, load and save print what they did
    // on the standard output.
    bool load(const std::string& picture);
    bool save(const std::string& picture) const;
    // True when the state file was there and is now removed.
    bool del(const std::string& picture) const;

    // The text form alone: read() changes the record only when the whole
    // text is usable.
    bool read(std::istream& in);
    void write(std::ostream& out) const;
};

std::string make_vuepath(const std::string& picture);
// The first free screenshot name beside the picture: <dir>/<name without
// extension>.vue.1.jpg, then .vue.2.jpg and so on.
std::string make_shotpath(const std::string& picture);

}  // namespace glimvue2
