// Lossless transforms of JPEG coefficient data: the quarter and half turns,
// done on the quantised DCT blocks that jpeg_read_coefficients delivers, so
// that nothing is decoded to pixels and nothing is lost.
//
// Use (decompressor `src`, compressor `dst`):
//   jtransform_request_workspace(&src, &info);      after jpeg_read_header
//   arrays = jpeg_read_coefficients(&src);
//   jpeg_copy_critical_parameters(&src, &dst);
//   out = jtransform_adjust_parameters(&src, &dst, arrays, &info);
//   jpeg_write_coefficients(&dst, out);
//   jtransform_execute_transform(&src, &dst, arrays, &info);
//   jpeg_finish_compress(&dst);                     the blocks move here
//
// Memory is the source's coefficient arrays and nothing of their size more:
// the turned blocks are produced a band at a time, as the compressor asks for
// them, from the source arrays (see transupp.cpp).
#pragma once

#include <cstdio>

#include <jpeglib.h>

namespace libgr {

// The turns keep the numbers jpegtran's transform library gives them.
enum JXFORM_CODE {
    JXFORM_NONE = 0,     // no transformation
    JXFORM_ROT_90 = 5,   // 90 degrees clockwise
    JXFORM_ROT_180 = 6,  // 180 degrees
    JXFORM_ROT_270 = 7   // 270 degrees clockwise (90 counter-clockwise)
};

struct turn_state_t;  // the band producer of transupp.cpp

struct jpeg_transform_info {
    // Set by the caller.
    JXFORM_CODE transform = JXFORM_NONE;
    bool perfect = false;  // refuse when an edge block would have to stay unmirrored

    // Set by jtransform_request_workspace.
    int num_components = 0;
    JDIMENSION output_width = 0;
    JDIMENSION output_height = 0;
    int iMCU_sample_width = 0;  // MCU size of the source, in pixels
    int iMCU_sample_height = 0;
    jvirt_barray_ptr* workspace_coef_arrays = nullptr;  // null: write the source's
    turn_state_t* state = nullptr;
};

// Plans the transform after jpeg_read_header. False when the request cannot
// be met: `perfect` asked for and the picture's edges are not whole MCUs, or
// a code other than the four above.
bool jtransform_request_workspace(j_decompress_ptr srcinfo, jpeg_transform_info* info);

// After jpeg_copy_critical_parameters: sets the output size, exchanges
// sampling factors and transposes the quantisation tables for the quarter
// turns, and returns the coefficient arrays to give jpeg_write_coefficients.
jvirt_barray_ptr* jtransform_adjust_parameters(j_decompress_ptr srcinfo, j_compress_ptr dstinfo,
                                               jvirt_barray_ptr* src_coef_arrays,
                                               jpeg_transform_info* info);

// After jpeg_write_coefficients: arms the block moves, which run while
// jpeg_finish_compress reads the arrays. The decompressor and its arrays must
// live until the compressor is finished, and the compressor serves this one
// transform only (its memory manager now hands out the turned blocks).
void jtransform_execute_transform(j_decompress_ptr srcinfo, j_compress_ptr dstinfo,
                                  jvirt_barray_ptr* src_coef_arrays, jpeg_transform_info* info);

// True when `transform` moves every block of a picture of this size with MCUs
// of this size without leaving a partial edge MCU unmirrored.
bool jtransform_perfect_transform(JDIMENSION image_width, JDIMENSION image_height, int MCU_width,
                                  int MCU_height, JXFORM_CODE transform);

// For the quarter turns: exchanges the horizontal and vertical sampling
// factors of every component and transposes every quantisation table.
void transpose_critical_parameters(j_compress_ptr dstinfo);

}  // namespace libgr
