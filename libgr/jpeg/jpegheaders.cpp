#include "libgr/jpeg/jpegheaders.h"

#include <algorithm>
#include <iostream>

#include "libgr/jpeg/jpegmarker.h"
#include "libutils/error.h"

namespace libgr {

namespace {

const char* const broken = "broken JPEG data.";
const char* const invalid = "invalid JPEG data.";

uint16_t be16(const unsigned char* p) {
    return uint16_t(p[0] << 8 | p[1]);
}

}  // namespace

// ---- SOF0 ----

bool sof0_marker_t::parse() {
    const unsigned char* p = buffer.begin();
    uint64_t size = buffer.size();
    component.clear();
    max_horiz = max_verts = 0;
    if (size < 6) return libutils::fail(std::cerr, broken);
    precision = p[0];
    lines = be16(p + 1);
    samples = be16(p + 3);
    colors = p[5];
    if (precision != 8)
        return libutils::fail(std::cerr,
                              "not support JPEG data. sample_precision=", int(precision));
    if (size < 6 + 3 * uint64_t(colors)) return libutils::fail(std::cerr, broken);
    for (unsigned i = 0; i < colors; ++i) {
        component_parameter_t c;
        c.component_id = p[6 + 3 * i];
        c.horiz_factor = p[7 + 3 * i] >> 4;
        c.verts_factor = p[7 + 3 * i] & 15;
        c.quatable_sel = p[8 + 3 * i];
        max_horiz = std::max<uint16_t>(max_horiz, c.horiz_factor);
        max_verts = std::max<uint16_t>(max_verts, c.verts_factor);
        component.push_back(c);
    }
    for (const component_parameter_t& c : component) {
        if (c.horiz_factor == 0 || c.verts_factor == 0 || max_horiz % c.horiz_factor != 0 ||
            max_verts % c.verts_factor != 0)
            return libutils::fail(std::cerr, invalid);
    }
    return true;
}

void sof0_marker_t::clear() {
    buffer.clear();
    precision = colors = 0;
    lines = samples = max_horiz = max_verts = 0;
    component.clear();
}

void sof0_marker_t::dump(std::ostream& out) const {
    out << "precision: " << int(precision) << '\n';
    out << "lines: " << lines << ", samples: " << samples << '\n';
    out << "colors: " << int(colors) << '\n';
    for (const component_parameter_t& c : component) {
        out << "component_id: " << int(c.component_id) << '\n';
        out << "horiz_factor: " << int(c.horiz_factor) << '\n';
        out << "verts_factor: " << int(c.verts_factor) << '\n';
        out << "quatable_sel: " << int(c.quatable_sel) << '\n';
    }
    out << "max_horiz: " << max_horiz << '\n';
    out << "max_verts: " << max_verts << '\n';
}

// ---- DQT ----

bool dqt_marker_t::parse() {
    const unsigned char* p = buffer.begin();
    uint64_t size = buffer.size();
    n = 0;
    if (size == 0 || size % 65 != 0 || size / 65 > 4) return libutils::fail(std::cerr, broken);
    n = uint8_t(size / 65);
    for (unsigned t = 0; t < n; ++t, p += 65) {
        unsigned pq = p[0] >> 4, tq = p[0] & 15;
        if (pq != 0) return libutils::fail(std::cerr, "not support JPEG data. DQT pq=", pq);
        if (tq >= 4) return libutils::fail(std::cerr, invalid);
        for (unsigned k = 0; k < 64; ++k) table[tq][zigzag_to_array[k]] = p[1 + k];
    }
    return true;
}

void dqt_marker_t::clear() {
    buffer.clear();
    n = 0;
    std::fill(&table[0][0], &table[0][0] + sizeof table, 0);
}

void dqt_marker_t::dump(std::ostream& out) const {
    out << "dqt n: " << int(n) << '\n';
    for (unsigned t = 0; t < 4; ++t) {
        for (unsigned k = 0; k < 64; ++k) out << int(table[t][k]) << (k % 8 == 7 ? '\n' : ' ');
    }
}

// ---- DHT ----

void huffman_t::clear() {
    std::fill(bits, bits + 16, 0);
    data.clear();
}

bool dht_marker_t::parse() {
    const unsigned char* end = buffer.end();
    jpeg_iterator it(buffer.begin(), end);
    n = 0;
    // Every read checks the end first: counts and symbols never come from
    // beyond the segment.
    while (it < end) {
        if (n >= max_tables) return libutils::fail(std::cerr, broken);
        uint8_t c = *it;
        ++it;
        tc[n] = c >> 4;
        th[n] = c & 15;
        if (th[n] >= 2 || tc[n] >= 2) return libutils::fail(std::cerr, broken);
        huffman_t& h = huffman[tc[n] == 1 ? AC0 + th[n] : DC0 + th[n]];
        h.clear();
        uint8_t entries = 0;  // the sum is 8-bit, as stored
        for (unsigned i = 0; i < 16; ++i) {
            if (!(it < end)) return libutils::fail(std::cerr, broken);
            h.bits[i] = *it;
            ++it;
            entries = uint8_t(entries + h.bits[i]);
        }
        h.data.resize(entries);
        for (huffman_t::data_t& d : h.data) {
            if (!(it < end)) return libutils::fail(std::cerr, broken);
            uint8_t symbol = *it;
            ++it;
            d.data_bits = symbol & 15;
            d.run_length = symbol >> 4;
            if (d.data_bits == 0 && d.run_length != 0 && d.run_length != 15)
                return libutils::fail(std::cerr, "huffman table error",
                                      ": run_length=", int(d.run_length),
                                      ", data_bits=", int(d.data_bits));
        }
        // Canonical codes: consecutive within a length, doubled between lengths.
        uint16_t code = 0;
        size_t k = 0;
        for (unsigned len = 0; len < 16 && k < h.data.size(); ++len) {
            for (unsigned j = 0; j < h.bits[len] && k < h.data.size(); ++j)
                h.data[k++].code = code++;
            code = uint16_t(code << 1);
        }
        ++n;
    }
    return true;
}

void dht_marker_t::clear() {
    buffer.clear();
    n = 0;
    std::fill(tc, tc + max_tables, 0);
    std::fill(th, th + max_tables, 0);
    for (huffman_t& h : huffman) h.clear();
}

void dht_marker_t::dump(std::ostream& out) const {
    out << "dht length: " << buffer.size() << '\n';
    for (uint64_t i = 0; i < n && i < max_tables; ++i) {
        const huffman_t& h = huffman[tc[i] == 1 ? AC0 + th[i] : DC0 + th[i]];
        out << "tc: " << int(tc[i]) << ", th: " << int(th[i]) << '\n';
        out << "entries: " << h.data.size() << '\n';
        for (const huffman_t::data_t& d : h.data)
            out << std::hex << d.code << std::dec << ' ' << int(d.run_length) << '/'
                << int(d.data_bits) << '\n';
    }
}

// ---- DRI ----

bool dri_marker_t::parse() {
    if (buffer.size() != 2) return libutils::fail(std::cerr, broken);
    intervals = be16(buffer.begin());
    return true;
}

void dri_marker_t::clear() {
    buffer.clear();
    intervals = 0;
}

void dri_marker_t::dump(std::ostream& out) const {
    out << "dri intervals: " << intervals << '\n';
}

// ---- SOS ----

bool sos_marker_t::parse() {
    const unsigned char* p = buffer.begin();
    uint64_t size = buffer.size();
    element.clear();
    if (size < 4) return libutils::fail(std::cerr, broken);
    ns = p[0];
    if (size != 2 * uint64_t(ns) + 4) return libutils::fail(std::cerr, broken);
    for (unsigned i = 0; i < ns; ++i) {
        element_t e;
        e.scan_selector = p[1 + 2 * i];
        e.dc_selector = p[2 + 2 * i] >> 4;
        e.ac_selector = p[2 + 2 * i] & 15;
        element.push_back(e);
        if (e.dc_selector >= 2 || e.ac_selector >= 2) return libutils::fail(std::cerr, invalid);
    }
    ss = p[1 + 2 * ns];
    se = p[2 + 2 * ns];
    ah = p[3 + 2 * ns] >> 4;
    al = p[3 + 2 * ns] & 15;
    if (ss != 0 || se != 63 || ah != 0 || al != 0)
        return libutils::fail(std::cerr, "constant value illegal. ss=", int(ss), ", se=", int(se),
                              ", ah=", int(ah), ", al=", int(al));
    return true;
}

void sos_marker_t::clear() {
    buffer.clear();
    ns = ss = se = ah = al = 0;
    element.clear();
    dht = nullptr;
}

void sos_marker_t::dump(std::ostream& out) const {
    out << "ns: " << int(ns) << '\n';
    for (const element_t& e : element) {
        out << "scan element selector: " << int(e.scan_selector) << '\n';
        out << "dc huffman table selector: " << int(e.dc_selector) << '\n';
        out << "ac huffman table selector: " << int(e.ac_selector) << '\n';
    }
}

}  // namespace libgr
