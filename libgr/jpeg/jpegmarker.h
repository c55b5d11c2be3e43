// Marker codes, the zig-zag order of coefficients, and a byte iterator that
// steps over stuffed zero bytes.
#pragma once

#include <cstdint>

namespace libgr {

// Full 16-bit marker codes used by name.
constexpr unsigned short marker_SOF0 = 0xFFC0;
constexpr unsigned short marker_SOF4 = 0xFFC4;  // the DHT code
constexpr unsigned short marker_APP1 = 0xFFE1;
constexpr unsigned short marker_COM = 0xFFFE;

// zigzag_to_array[k] is the natural (row-major) position of the k-th
// coefficient in zig-zag order.
extern const unsigned char zigzag_to_array[64];

// A byte pointer over entropy-coded style data: ++ steps over a stuffed zero
// (0xFF 0x00 counts as one byte). The end bounds the look-ahead so that a
// 0xFF in the last byte never reads past the data.
class jpeg_iterator {
    const unsigned char* m_p = nullptr;
    const unsigned char* m_end = nullptr;

  public:
    // Always built over a range: skipping a stuffed zero looks at the next
    // byte, which only the end says may be read.
    jpeg_iterator(const unsigned char* p, const unsigned char* end) : m_p(p), m_end(end) {}

    // Moves within the range the iterator was built over.
    jpeg_iterator& operator=(const unsigned char* p) {
        m_p = p;
        return *this;
    }
    jpeg_iterator& operator++() {
        if (m_p + 1 < m_end && m_p[0] == 0xFF && m_p[1] == 0x00)
            m_p += 2;
        else
            ++m_p;
        return *this;
    }
    unsigned char operator*() const { return *m_p; }
    bool operator<(const unsigned char* p) const { return m_p < p; }
    const unsigned char* get() const { return m_p; }
};

}  // namespace libgr
