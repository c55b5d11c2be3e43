#include "snapfolio/engine/thumbchoice.h"

#include <cerrno>
#include <cstring>

#include "libgr/jpeg/transform.h"
#include "libutils/error.h"
#include "snapfolio/engine/rotatejpeg.h"

namespace snapfolio {

bool write_thumbnail(ladder_files_t& files, const std::string& out,
                     const libutils::bytevector& exif_thumbnail, int turn,
                     const libgr::image2d_t& picture, std::ostream& err) {
    if (!exif_thumbnail.empty() && turn >= 0) {
        if (turn == 0) {
            if (files.put(out, exif_thumbnail)) return true;
            return libutils::fail(err, out, ": thumbnail save fail, ", std::strerror(errno));
        }
        // Turned in memory and written once: a run killed in between never
        // leaves a thumbnail that looks done but lies on its side.
        libgr::jpegdata_t exif, turned;
        exif.setvector(exif_thumbnail, out.c_str());
        if (libgr::transform(turn, turned, exif)) {
            if (files.put(out, turned)) return true;
            return libutils::fail(err, out, ": thumbnail save fail, ", std::strerror(errno));
        }
        // A thumbnail that does not turn cleanly gives way to the picture.
    }
    return write_level(files, out, picture, markers_t(), err);
}

int full_size_turn(const libgr::jpegdata_t& original, uint64_t turn, const std::string& size0) {
    libgr::jpegdata_t expected;
    return libgr::transform(turn, expected, original) && file_holds(size0, expected) ? int(turn)
                                                                                       : -1;
}

}  // namespace snapfolio
