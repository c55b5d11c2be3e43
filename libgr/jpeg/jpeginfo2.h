// A self-contained JPEG segment scanner: walks the marker segments up to the
// first scan, decodes the frame, table and scan headers, and refuses what a
// baseline sequential reader cannot take. Every segment is a window onto the
// caller's buffer; nothing is copied.
#pragma once

#include <cstdint>
#include <vector>

#include "libgr/jpeg/jpegdata.h"
#include "libgr/jpeg/jpegheaders.h"
#include "libgr/jpeg/jpegmarker.h"
#include "libutils/refvector.h"

namespace libgr {

class jpeginfo2_t {
  public:
    struct marker_t {
        unsigned short code = 0;    // full marker code, e.g. 0xFFDB; 0 for the scan data
        libutils::bytevector data;  // the payload after the two length bytes
    };

    std::vector<marker_t> markers;   // in file order
    libutils::bytevector scan_data;  // from the first byte after the SOS segment to the end

    sof0_marker_t sof0_marker;
    dqt_marker_t dqt_marker;
    dht_marker_t dht_marker;
    dri_marker_t dri_marker;
    sos_marker_t sos_marker;

    // Walks the segments of `jpeg`; false (with one line on standard error)
    // for data that is not a JPEG stream or not one this reader accepts.
    bool analyze(const jpegdata2_t& jpeg);
    bool analyze(const libutils::bytevector& jpeg);
    // The same walk without decoding any header: the segments up to the
    // first scan of any JPEG stream (progressive, lossless, 12-bit), for
    // readers of its APPn segments. False only for data that is not a JPEG
    // stream or whose segments run past its end.
    bool analyze_segments(const libutils::bytevector& jpeg);

    // The payload of the first listed segment with that code, or an empty
    // buffer.
    libutils::bytevector get_marker(unsigned short code) const;

    void clear();

  private:
    bool walk(const libutils::bytevector& jpeg, bool headers);
};

}  // namespace libgr
