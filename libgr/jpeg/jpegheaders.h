// Frame, table and scan headers of a JPEG stream, each decoded from a window
// onto its segment payload (the bytes after the two length bytes).
#pragma once

#include <cstdint>
#include <iostream>
#include <vector>

#include "libutils/refvector.h"

namespace libgr {

struct component_parameter_t {
    uint8_t component_id = 0;
    uint8_t horiz_factor = 0;
    uint8_t verts_factor = 0;
    uint8_t quatable_sel = 0;
};

// SOF0: baseline frame header.
class sof0_marker_t {
  public:
    libutils::bytevector buffer;
    uint8_t precision = 0;
    uint16_t lines = 0;    // picture height
    uint16_t samples = 0;  // picture width
    uint8_t colors = 0;    // number of components
    std::vector<component_parameter_t> component;
    uint16_t max_horiz = 0;
    uint16_t max_verts = 0;

    void set_sof0_buffer(const libutils::bytevector& window) { buffer = window; }
    bool parse();
    void clear();
    void dump(std::ostream& out = std::cout) const;
};

// DQT: up to four 8-bit quantisation tables, kept in natural order.
class dqt_marker_t {
  public:
    libutils::bytevector buffer;
    uint8_t n = 0;  // tables in the segment
    uint8_t table[4][64] = {};

    void set_dqt_buffer(const libutils::bytevector& window) { buffer = window; }
    bool parse();
    void clear();
    void dump(std::ostream& out = std::cout) const;
};

// One Huffman table: the 16 code-length counts and the canonical codes.
struct huffman_t {
    struct data_t {
        uint16_t code = 0;
        uint8_t data_bits = 0;   // low nibble of the symbol
        uint8_t run_length = 0;  // high nibble of the symbol
    };
    uint8_t bits[16] = {};
    std::vector<data_t> data;

    void clear();
};

// DHT: the tables of one segment are recorded as (class, destination) pairs;
// the Huffman tables themselves stay from segment to segment.
class dht_marker_t {
  public:
    enum { DC0 = 0, DC1 = 1, AC0 = 2, AC1 = 3, max_tables = 4 };

    libutils::bytevector buffer;
    uint64_t n = 0;  // tables defined in the segment
    uint8_t tc[max_tables] = {};
    uint8_t th[max_tables] = {};
    huffman_t huffman[4];  // DC 0, DC 1, AC 0, AC 1

    void set_dht_buffer(const libutils::bytevector& window) { buffer = window; }
    bool parse();
    void clear();
    void dump(std::ostream& out = std::cout) const;
};

// DRI: restart interval in MCUs (0 when none).
class dri_marker_t {
  public:
    libutils::bytevector buffer;
    uint16_t intervals = 0;

    void set_dri_buffer(const libutils::bytevector& window) { buffer = window; }
    bool parse();
    void clear();
    void dump(std::ostream& out = std::cout) const;
};

// SOS: scan header. Only sequential scans (whole spectrum, no successive
// approximation) are accepted.
class sos_marker_t {
  public:
    struct element_t {
        uint8_t scan_selector = 0;
        uint8_t dc_selector = 0;
        uint8_t ac_selector = 0;
    };

    libutils::bytevector buffer;
    uint8_t ns = 0;
    std::vector<element_t> element;
    uint8_t ss = 0;
    uint8_t se = 0;
    uint8_t ah = 0;
    uint8_t al = 0;
    const dht_marker_t* dht = nullptr;  // the tables to decode with; not owned

    void set_sos_buffer(const libutils::bytevector& window) { buffer = window; }
    void set_dht_marker(const dht_marker_t* tables) { dht = tables; }
    bool parse();
    void clear();
    void dump(std::ostream& out = std::cout) const;
};

}  // namespace libgr
