#include "libgr/jpeg/jpeginfo2.h"

#include <iostream>

#include "libutils/error.h"

namespace libgr {

namespace {

constexpr unsigned short marker_EOI = 0xFFD9;
constexpr unsigned short marker_SOI = 0xFFD8;
constexpr unsigned short marker_DQT = 0xFFDB;
constexpr unsigned short marker_DRI = 0xFFDD;
constexpr unsigned short marker_SOS = 0xFFDA;

uint16_t be16(const unsigned char* p) {
    return uint16_t(p[0] << 8 | p[1]);
}

}  // namespace

void jpeginfo2_t::clear() {
    markers.clear();
    scan_data.clear();
    sof0_marker.clear();
    dqt_marker.clear();
    dht_marker.clear();
    dri_marker.clear();
    sos_marker.clear();
}

bool jpeginfo2_t::analyze(const jpegdata2_t& jpeg) {
    return analyze(static_cast<const libutils::bytevector&>(jpeg));
}

bool jpeginfo2_t::analyze(const libutils::bytevector& jpeg) {
    return walk(jpeg, true);
}

bool jpeginfo2_t::analyze_segments(const libutils::bytevector& jpeg) {
    return walk(jpeg, false);
}

bool jpeginfo2_t::walk(const libutils::bytevector& jpeg, bool headers) {
    clear();
    sos_marker.set_dht_marker(&dht_marker);
    const unsigned char* d = jpeg.begin();
    const uint64_t size = jpeg.size();
    if (size <= 7) return libutils::fail(std::cerr, "too few size of JPEG.");
    if (be16(d) != marker_SOI) return libutils::fail(std::cerr, "not JPEG data.");

    uint64_t p = 2;
    for (;;) {
        if (p + 2 >= size) break;
        // An end of image before any scan ends the walk as a success: the
        // stream holds headers only (trailing bytes are not looked at).
        if (be16(d + p) == marker_EOI) return true;
        if (p + 4 > size) return libutils::fail(std::cerr, "broken JPEG data.");
        unsigned short code = be16(d + p);
        uint64_t length = be16(d + p + 2);
        if (length < 2 || p + 2 + length > size)
            return libutils::fail(std::cerr, "broken JPEG data.");

        marker_t m;
        m.code = code;
        m.data.setwindow(jpeg, p + 4, length - 2);
        markers.push_back(m);

        switch (headers || code == marker_SOS ? code : 0) {
            case marker_SOF0:
                sof0_marker.set_sof0_buffer(m.data);
                if (!sof0_marker.parse()) return false;
                break;
            case marker_SOF4:
                dht_marker.set_dht_buffer(m.data);
                if (!dht_marker.parse()) return false;
                break;
            case marker_DQT:
                dqt_marker.set_dqt_buffer(m.data);
                if (!dqt_marker.parse()) return false;
                break;
            case marker_DRI:
                dri_marker.set_dri_buffer(m.data);
                dri_marker.parse();
                break;
            case marker_SOS: {
                sos_marker.set_sos_buffer(m.data);
                if (headers && !sos_marker.parse())
                    return libutils::fail(std::cerr, "sos_marker.parse() fail.");
                scan_data.setwindow(jpeg, p + 2 + length, libutils::bytevector::npos);
                marker_t scan;
                scan.data = scan_data;
                markers.push_back(scan);
                // The walk ends at the first scan.
                p = size;
                continue;
            }
            default:
                break;
        }
        p += 2 + length;
    }
    return p + 2 >= size;
}

libutils::bytevector jpeginfo2_t::get_marker(unsigned short code) const {
    for (const marker_t& m : markers)
        if (m.code == code) return m.data;
    return libutils::bytevector();
}

}  // namespace libgr
