// Writing the files of one photo's ladder of sizes. Every file is first
// complete under a temporary name beside its target, so a level that exists
// is whole; a directory in the way is refused before anything is written.
#pragma once

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "libgr/image/image.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libgr/jpeg/jpegrowencoder.h"
#include "libutils/atomicfile.h"

namespace snapfolio {

using markers_t = std::vector<libgr::jpeginfo_t::marker_t>;

// Written at once, or, when the whole ladder is turned (staged), held back
// until commit() renames them all into place: a folder that cannot be
// written or a full disk then leaves the old ladder whole, never a mix of
// turned and unturned levels.
class ladder_files_t {
    bool m_staged;
    std::vector<std::unique_ptr<libutils::atomic_ofstream>> m_files;

  public:
    explicit ladder_files_t(bool staged) : m_staged(staged) {}

    // False (errno set) when the bytes cannot be written; the held-back
    // files are then dropped by the destructor.
    bool put(const std::string& target, const libutils::bytevector& bytes);

    // Renames the held-back files into place.
    bool commit(std::ostream& err);
};

// The picture encoded with the settings' quality, baseline, the segments
// after libjpeg's JFIF header.
bool encodejpeg(libgr::jpegdata_t& out, const std::string& file, const libgr::image2d_t& image,
                const markers_t& markers);

// A level encoded from the picture and put into files; one line on err when
// it cannot be.
bool write_level(ladder_files_t& files, const std::string& out, const libgr::image2d_t& picture,
                 const markers_t& markers, std::ostream& err);

// Begins encoding a level fed row by row, with encodejpeg's settings; out
// is named file (which must outlive it).
bool start_level(libgr::jpeg_row_encoder_t& encoder, libgr::jpegdata_t& out,
                 const std::string& file, const libgr::image_desc_t& desc, uint32_t width,
                 uint32_t height, const markers_t& markers);

// A level encoded row by row (encoded: whether that went well) put into
// files, with write_level's lines when it cannot be.
bool put_level(ladder_files_t& files, const std::string& out, const libgr::jpegdata_t& data,
               bool encoded, std::ostream& err);

}  // namespace snapfolio
