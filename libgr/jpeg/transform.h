// Lossless quarter turns of a whole JPEG file held in memory.
#pragma once

#include "libgr/jpeg/jpegdata.h"

namespace libgr {

// Turns `src` by `count` quarter turns clockwise (0 to 3) without decoding
// it to pixels and puts the new file into `dst`: libjpeg's frame and scan
// structure with its default JFIF header, no APPn or COM segment of the
// source. Blocks of a partial MCU at an edge that would have to be mirrored
// are kept unmirrored (transposed for quarter turns), so the output has the
// full size of the input. Reports a failure as one line on standard error
// (libjpeg adds its own lines) and returns false; a file that libjpeg reads
// only with warnings (truncated, corrupt data) also gives false. `dst` and
// `src` may be the same object.
bool transform(unsigned long count, jpegdata_t& dst, const jpegdata_t& src);

}  // namespace libgr
