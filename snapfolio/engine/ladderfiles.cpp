#include "snapfolio/engine/ladderfiles.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "libutils/error.h"
#include "snapfolio/engine/global.h"

namespace snapfolio {

bool ladder_files_t::put(const std::string& target, const libutils::bytevector& bytes) {
    // A directory in the way would only fail the rename at the end.
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    auto file = std::make_unique<libutils::atomic_ofstream>();
    if (!file->open(target)) return false;
    file->write(reinterpret_cast<const char*>(bytes.begin()), std::streamsize(bytes.size()));
    file->flush();
    if (!*file) {
        if (errno == 0) errno = EIO;
        return false;
    }
    if (!m_staged) return file->commit();
    m_files.push_back(std::move(file));
    return true;
}

bool ladder_files_t::commit(std::ostream& err) {
    bool ok = true;
    for (auto& file : m_files)
        if (!file->commit())
            ok = libutils::fail(err, file->target(), ": write error, ", std::strerror(errno));
    m_files.clear();
    return ok;
}

namespace {

int level_quality() {
    return int(uint32_t(g_global.jpeg_compress));
}

}  // namespace

bool encodejpeg(libgr::jpegdata_t& out, const std::string& file, const libgr::image2d_t& image,
                const markers_t& markers) {
    libgr::jpeginfo_t info;
    info.markers = markers;
    out.name = file.c_str();
    if (info.compress(out, image, level_quality(), true)) return true;
    return libutils::fail(std::cerr, file, ": svjinfo compress() fail.");
}

bool start_level(libgr::jpeg_row_encoder_t& encoder, libgr::jpegdata_t& out,
                 const std::string& file, const libgr::image_desc_t& desc, uint32_t width,
                 uint32_t height, const markers_t& markers) {
    out.name = file.c_str();
    return encoder.start(out, desc, width, height, level_quality(), true, markers);
}

bool put_level(ladder_files_t& files, const std::string& out, const libgr::jpegdata_t& data,
               bool encoded, std::ostream& err) {
    if (!encoded) return libutils::fail(err, out, ": savejpeg fail.");
    if (files.put(out, data)) return true;
    libutils::report(err, out, ": write error, ", std::strerror(errno));
    return libutils::fail(err, out, ": savejpeg fail.");
}

bool write_level(ladder_files_t& files, const std::string& out, const libgr::image2d_t& picture,
                 const markers_t& markers, std::ostream& err) {
    libgr::jpegdata_t encoded;
    return put_level(files, out, encoded, encodejpeg(encoded, out, picture, markers), err);
}

}  // namespace snapfolio
