#include "snapfolio/engine/rungs.h"

#include <cstring>
#include <iostream>

#include "libgr/image/imageops.h"
#include "libutils/error.h"

namespace snapfolio {

namespace {

// About 20 ms of a 24-megapixel photo's work on these machines.
const uint32_t k_rows_per_tick = 512;

}  // namespace

ladder_stream_t::ladder_stream_t(const rungs_t& r, const markers_t* carried,
                                 tick_signal_t* ticks)
    : m_r(r), m_carried(carried), m_ticks(ticks), m_rungs(r.level + 3) {}

bool ladder_stream_t::start(const libgr::image_desc_t& desc, uint32_t width, uint32_t height) {
    m_desc = desc;
    const unsigned bytes = desc.getPixelBits() / 8;
    m_halve = libgr::row_halver(bytes);
    if (!m_halve || desc.getPixelBits() % 8 != 0) return false;
    static const markers_t none;
    const markers_t& markers = m_carried ? *m_carried : none;
    const size_t last = m_rungs.size() - 1;
    for (size_t i = 0; i <= last; ++i) {
        rung_t& g = m_rungs[i];
        if (i == 0) {
            g.width = width, g.height = height;
        } else {
            const rung_t& above = m_rungs[i - 1];
            g.width = above.width / 2, g.height = above.height / 2;
            // scaledown pairs rows from the bottom: an odd row count leaves
            // the top row out.
            g.skip_first = above.height % 2 != 0;
            g.first_row.resize(size_t(above.width) * bytes);
        }
        g.row.resize(size_t(g.width) * bytes);
        // A rung without pixels cannot be encoded; finish() reports it in
        // its turn, as the whole-picture encoder does.
        const bool wanted = i > 0 && i < last && i >= m_r.from && m_r.write[i];
        if (!wanted || g.width == 0 || g.height == 0) continue;
        g.file = m_r.path.str(m_r.names[i], m_r.name);
        g.encoder = std::make_unique<libgr::jpeg_row_encoder_t>();
        g.encoding = start_level(*g.encoder, g.data, g.file, desc, g.width, g.height, markers);
    }
    const rung_t& s = m_rungs[last];
    return libgr::imageops_detail::make_image(m_smallest, desc, nullptr, s.width, s.height);
}

unsigned char* ladder_stream_t::row(uint32_t) {
    return m_rungs[0].row.data();
}

void ladder_stream_t::row_done(uint32_t k) {
    made(0);
    if (m_ticks && (k + 1) % k_rows_per_tick == 0) m_ticks->emit();
}

// Rung i has made its next row (in its `row`): to its encoder, then down.
void ladder_stream_t::made(size_t i) {
    rung_t& g = m_rungs[i];
    if (g.encoder && g.encoding) g.encoding = g.encoder->put(g.row.data());
    if (i + 1 < m_rungs.size()) {
        push(i + 1, g.row.data());
    } else if (g.made < g.height) {
        // The smallest is stored like a decoded picture: top row last.
        std::memcpy(m_smallest[g.height - 1 - g.made], g.row.data(), g.row.size());
    }
    ++g.made;
}

// A row of the rung above reaches rung i.
void ladder_stream_t::push(size_t i, const unsigned char* above) {
    rung_t& g = m_rungs[i];
    const uint32_t k = g.received++;
    if (g.skip_first && k == 0) return;
    if (!g.pending) {
        std::memcpy(g.first_row.data(), above, g.first_row.size());
        g.pending = true;
        return;
    }
    g.pending = false;
    if (g.made >= g.height) return;
    m_halve(g.row.data(), g.first_row.data(), above, g.width);
    made(i);
}

bool ladder_stream_t::finish(ladder_files_t& files, tick_signal_t* ticks, std::ostream& err) {
    for (uint64_t i = m_r.from; i <= m_r.level + 1; ++i) {
        if (i == 0 || !m_r.write[i]) continue;
        rung_t& g = m_rungs[i];
        if (!g.encoder) {
            // No pixels to encode: the whole-picture encoder says why.
            libgr::image2d_t empty;
            empty.desc = m_desc;
            empty.width = g.width, empty.height = g.height;
            const std::string out = m_r.path.str(m_r.names[i], m_r.name);
            if (!write_level(files, out, empty, markers_t(), err)) return false;
        } else {
            const bool encoded = g.encoding && g.encoder->finish();
            if (!encoded) libutils::report(std::cerr, g.file, ": svjinfo compress() fail.");
            if (!put_level(files, g.file, g.data, encoded, err)) return false;
        }
        if (ticks) ticks->emit();
    }
    return true;
}

}  // namespace snapfolio
