// libjpeg glue shared by the decoder, the encoder and the lossless turns:
// error managers that report one line and jump back instead of ending the
// program, and a memory source and destination over the shared buffers.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

#include "libutils/refvector.h"

namespace libgr {

// libjpeg's error manager extended by a jump target and the subject (usually
// the file name) that diagnostics begin with. Callers set the jump with
// setjmp(err.jump) in the function that drives libjpeg.
struct jpeg_error_ext_t {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    const char* subject;
};

// Decoder side: a fatal error prints subject + ": error detected." and
// libjpeg's own message line, then jumps.
jpeg_error_mgr* init_decompress_error(jpeg_error_ext_t& err, const char* subject);

// Encoder side: a fatal error prints subject + ": jpeg compress fail, " and
// libjpeg's message on one line, then jumps.
jpeg_error_mgr* init_compress_error(jpeg_error_ext_t& err, const char* subject);

// Feeds the whole buffer once; asked for more, it supplies an end-of-image
// marker and counts libjpeg's premature-end warning, so a cut-off file
// decodes to its full size instead of being fed its own first bytes again.
// The buffer must outlive the decompressor's use of it.
void set_jpegimage_src(j_decompress_ptr cinfo, const libutils::bytevector& data);

// Encodes into `out`, which grows in 1 MiB steps and ends holding exactly the
// encoded bytes.
void set_jpegimage_dest(j_compress_ptr cinfo, libutils::bytevector& out);

}  // namespace libgr
