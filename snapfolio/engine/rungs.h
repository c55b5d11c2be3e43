// The encoded rungs of one photo's ladder, made as the photo's rows are
// decoded: the one place that halves a picture down the ladder, used both
// when an album is made and when it is brought up to date. No rung, and not
// the picture either, is ever held whole: a few rows per rung and the
// encoded bytes are all there is in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "libgr/image/image.h"
#include "libgr/image/scaledown.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libgr/jpeg/jpegrowencoder.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/ladderfiles.h"
#include "snapfolio/engine/progress.h"

namespace snapfolio {

// What to write of one photo's ladder.
struct rungs_t {
    const path_t& path;
    const std::vector<std::string>& names;  // levelnames(level)
    const std::string& name;                // the photo's file name
    uint64_t level;                         // L: rungs 1 .. L+1 are encoded
    uint64_t from;                          // the first rung looked at
    std::vector<bool> write;                // per rung 0 .. L+2: whether to write it
};

// A decoder's rows going down the ladder: each rung halves the rows of the
// one above in pairs, exactly as scaledown halves the whole picture, and
// hands its rows to its encoder and to the rung below; the smallest rung
// (halved L+2 times) is kept as a picture for the thumbnail. Rung 0 (the
// original or its lossless turn) is never encoded.
class ladder_stream_t : public libgr::row_sink_t {
  public:
    // carried: the segments every encoded rung carries (none when null),
    // read once the decoder has collected them. ticks, when given, is
    // emitted every few hundred rows, so that a window stays responsive
    // while a large photo decodes on its thread.
    ladder_stream_t(const rungs_t& r, const markers_t* carried, tick_signal_t* ticks);

    bool start(const libgr::image_desc_t& desc, uint32_t width, uint32_t height) override;
    unsigned char* row(uint32_t k) override;
    void row_done(uint32_t k) override;

    // After a decode that went well: the rungs asked for put into files in
    // order, ticks (when given) emitted after each. False, with a line on
    // err, when a rung cannot be made or written; the rungs before it are
    // then written.
    bool finish(ladder_files_t& files, tick_signal_t* ticks, std::ostream& err);
    // The picture halved L+2 times.
    const libgr::image2d_t& smallest() const { return m_smallest; }

  private:
    struct rung_t {
        uint32_t width = 0, height = 0;
        bool skip_first = false;  // the rung above has an odd row on top, dropped
        uint32_t received = 0;    // rows of the rung above seen
        uint32_t made = 0;        // rows of this rung made
        bool pending = false;     // first_row holds the first row of a pair
        std::vector<unsigned char> first_row, row;
        std::string file;
        libgr::jpegdata_t data;
        std::unique_ptr<libgr::jpeg_row_encoder_t> encoder;  // when encoded
        bool encoding = false;    // no step of the encoder has failed
    };

    void push(size_t i, const unsigned char* above);
    void made(size_t i);

    const rungs_t& m_r;
    const markers_t* m_carried;
    tick_signal_t* m_ticks;
    libgr::image_desc_t m_desc;
    libgr::halve_row_t m_halve = nullptr;
    std::vector<rung_t> m_rungs;  // 0 .. L+2
    libgr::image2d_t m_smallest;
};

}  // namespace snapfolio
