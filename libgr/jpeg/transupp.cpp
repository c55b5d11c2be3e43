#include "libgr/jpeg/transupp.h"

#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(SNAPFOLIO_NO_SIMD)
#include <emmintrin.h>
#endif

#include <jerror.h>

namespace libgr {

// How the turned blocks reach the compressor. A whole second set of
// coefficient arrays for the output would double the memory of a turn. The
// compressor reads its coefficient arrays only through the memory manager's
// access_virt_barray, one band of block rows at a time, so the output arrays
// given to jpeg_write_coefficients are stand-ins (band_t), and the access
// method of the compressor's memory manager is replaced by one that fills a
// small buffer of turned rows from the source arrays when a band is asked
// for. Output block row y of a quarter turn is source block column y, so the
// buffer holds a chunk of several rows to read the source in runs of
// adjacent blocks.

namespace {

const uint64_t k_band_magic = 0x646e61626e727574ull;  // not a valid address
const JDIMENSION k_chunk_rows = 16;                   // output block rows filled per pass

}  // namespace

// One output component: the handle the compressor sees.
struct band_t {
    uint64_t magic;
    turn_state_t* state;
    int ci;
    JDIMENSION width, height;            // output size in blocks
    JDIMENSION comp_width, comp_height;  // blocks covered by whole output MCUs
    JDIMENSION src_height;               // source size in block rows
    JDIMENSION chunk_rows;               // rows the buffer holds
    JDIMENSION chunk_first;              // output row of buffer row 0
    bool filled;
    JBLOCKARRAY rows;  // the buffer: chunk_rows rows of width_padded blocks
    JDIMENSION width_padded;
};

struct turn_state_t {
    JXFORM_CODE code;
    j_decompress_ptr srcinfo;
    jvirt_barray_ptr* src_arrays;
    band_t* bands;
    jvirt_barray_ptr* handles;
};

namespace {

bool transposes(JXFORM_CODE code) {
    return code == JXFORM_ROT_90 || code == JXFORM_ROT_270;
}

// The MCU of the source in pixels. A single-component scan is coded block by
// block, so its MCU is one block whatever its sampling factors say.
int mcu_width(j_decompress_ptr srcinfo) {
    return srcinfo->num_components == 1 ? DCTSIZE : srcinfo->max_h_samp_factor * DCTSIZE;
}
int mcu_height(j_decompress_ptr srcinfo) {
    return srcinfo->num_components == 1 ? DCTSIZE : srcinfo->max_v_samp_factor * DCTSIZE;
}

// --- block kernels -------------------------------------------------------
// Coefficients are in natural order, row (vertical frequency) i, column
// (horizontal frequency) j at [i * 8 + j]. Mirroring a block left to right
// changes the sign of its odd horizontal frequencies; top to bottom, of its
// odd vertical ones.

// A block move: optionally transpose, then negate the coefficients selected
// by a column mask for the even rows and one for the odd rows of the result
// (bit j = column j). With SSE2 a row is one register and the transpose is
// three rounds of interleaving.
template <bool Transpose, unsigned EvenRows, unsigned OddRows>
void move_block(JCOEF* dst, const JCOEF* src) {
#if defined(__SSE2__) && !defined(SNAPFOLIO_NO_SIMD)
    __m128i r[DCTSIZE];
    for (int i = 0; i < DCTSIZE; ++i)
        r[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * DCTSIZE));
    if (Transpose) {
        __m128i t[DCTSIZE], u[DCTSIZE];
        for (int i = 0; i < DCTSIZE; i += 2) {
            t[i / 2] = _mm_unpacklo_epi16(r[i], r[i + 1]);      // columns 0-3 of rows i, i+1
            t[i / 2 + 4] = _mm_unpackhi_epi16(r[i], r[i + 1]);  // columns 4-7
        }
        for (int h = 0; h < DCTSIZE; h += 4) {
            u[h + 0] = _mm_unpacklo_epi32(t[h + 0], t[h + 1]);  // 2 columns of rows 0-3
            u[h + 1] = _mm_unpackhi_epi32(t[h + 0], t[h + 1]);
            u[h + 2] = _mm_unpacklo_epi32(t[h + 2], t[h + 3]);  // the same of rows 4-7
            u[h + 3] = _mm_unpackhi_epi32(t[h + 2], t[h + 3]);
        }
        for (int k = 0; k < 4; ++k) {
            int h = k / 2 * 4 + k % 2;  // u[h]: rows 0-3, u[h + 2]: rows 4-7
            r[2 * k] = _mm_unpacklo_epi64(u[h], u[h + 2]);
            r[2 * k + 1] = _mm_unpackhi_epi64(u[h], u[h + 2]);
        }
    }
    const __m128i even = _mm_set_epi16(-(short)(EvenRows >> 7 & 1), -(short)(EvenRows >> 6 & 1),
                                       -(short)(EvenRows >> 5 & 1), -(short)(EvenRows >> 4 & 1),
                                       -(short)(EvenRows >> 3 & 1), -(short)(EvenRows >> 2 & 1),
                                       -(short)(EvenRows >> 1 & 1), -(short)(EvenRows & 1));
    const __m128i odd = _mm_set_epi16(-(short)(OddRows >> 7 & 1), -(short)(OddRows >> 6 & 1),
                                      -(short)(OddRows >> 5 & 1), -(short)(OddRows >> 4 & 1),
                                      -(short)(OddRows >> 3 & 1), -(short)(OddRows >> 2 & 1),
                                      -(short)(OddRows >> 1 & 1), -(short)(OddRows & 1));
    for (int i = 0; i < DCTSIZE; ++i) {
        __m128i m = i & 1 ? odd : even;  // (x ^ -1) - -1 = -x
        __m128i v =
            ((i & 1) ? OddRows : EvenRows) != 0 ? _mm_sub_epi16(_mm_xor_si128(r[i], m), m) : r[i];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i * DCTSIZE), v);
    }
#else
    for (int i = 0; i < DCTSIZE; ++i) {
        unsigned mask = i & 1 ? OddRows : EvenRows;
        for (int j = 0; j < DCTSIZE; ++j) {
            JCOEF v = Transpose ? src[j * DCTSIZE + i] : src[i * DCTSIZE + j];
            dst[i * DCTSIZE + j] = mask >> j & 1 ? (JCOEF)-v : v;
        }
    }
#endif
}

const unsigned k_none = 0x00, k_odd = 0xAA, k_even = 0x55, k_all = 0xFF;

void copy_block(JCOEF* dst, const JCOEF* src) {
    std::memcpy(dst, src, sizeof(JBLOCK));
}
// Left to right: odd columns.
void mirror_h_block(JCOEF* dst, const JCOEF* src) {
    move_block<false, k_odd, k_odd>(dst, src);
}
// Top to bottom: odd rows.
void mirror_v_block(JCOEF* dst, const JCOEF* src) {
    move_block<false, k_none, k_all>(dst, src);
}
// Both: where row + column is odd.
void mirror_hv_block(JCOEF* dst, const JCOEF* src) {
    move_block<false, k_odd, k_even>(dst, src);
}
void transpose_block(JCOEF* dst, const JCOEF* src) {
    move_block<true, k_none, k_none>(dst, src);
}
// Transpose, then mirror left to right: a quarter turn clockwise.
void rot_90_block(JCOEF* dst, const JCOEF* src) {
    move_block<true, k_odd, k_odd>(dst, src);
}
// Transpose, then mirror top to bottom: a quarter turn counter-clockwise.
void rot_270_block(JCOEF* dst, const JCOEF* src) {
    move_block<true, k_none, k_all>(dst, src);
}

JBLOCKROW source_row(turn_state_t& st, int ci, JDIMENSION row) {
    return (*st.srcinfo->mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(st.srcinfo),
                                                  st.src_arrays[ci], row, 1, FALSE)[0];
}

// --- block movers ---------------------------------------------------------
// Each fills output block rows [y0, y1) of one component into the band's
// buffer. Blocks of a partial MCU at an edge that the turn would have to
// mirror stay where they are: they are only transposed (quarter turns) or
// mirrored in the other direction alone (half turn), so the decoder still
// finds the padding of the partial MCU on the side where it expects it.

// Output block (x, y) is source block (column y, row W-1-x) turned, where W
// is comp_width; in the last partial MCU column, source (y, x) transposed.
void do_rot_90(turn_state_t& st, band_t& b, JDIMENSION y0, JDIMENSION y1) {
    for (JDIMENSION r = 0; r < b.src_height; ++r) {
        JBLOCKROW src = source_row(st, b.ci, r);
        bool mirror = r < b.comp_width;
        JDIMENSION x = mirror ? b.comp_width - 1 - r : r;
        for (JDIMENSION y = y0; y < y1; ++y) {
            JCOEF* dst = b.rows[y - b.chunk_first][x];
            if (mirror)
                rot_90_block(dst, src[y]);
            else
                transpose_block(dst, src[y]);
        }
    }
}

// Output block (x, y) is source block (column H-1-y, row x) turned, where H
// is comp_height; in the last partial MCU row, source (y, x) transposed.
void do_rot_270(turn_state_t& st, band_t& b, JDIMENSION y0, JDIMENSION y1) {
    for (JDIMENSION r = 0; r < b.src_height; ++r) {
        JBLOCKROW src = source_row(st, b.ci, r);
        for (JDIMENSION y = y0; y < y1; ++y) {
            JCOEF* dst = b.rows[y - b.chunk_first][r];
            if (y < b.comp_height)
                rot_270_block(dst, src[b.comp_height - 1 - y]);
            else
                transpose_block(dst, src[y]);
        }
    }
}

// Output block (x, y) is source block (W-1-x, H-1-y) mirrored both ways;
// partial edge MCUs are mirrored only in the direction in which they are
// whole, and the corner one is copied.
void do_rot_180(turn_state_t& st, band_t& b, JDIMENSION y0, JDIMENSION y1) {
    for (JDIMENSION y = y0; y < y1; ++y) {
        bool whole_row = y < b.comp_height;
        JBLOCKROW src = source_row(st, b.ci, whole_row ? b.comp_height - 1 - y : y);
        JBLOCKROW dst = b.rows[y - b.chunk_first];
        JDIMENSION x = 0;
        for (; x < b.comp_width; ++x) {
            if (whole_row)
                mirror_hv_block(dst[x], src[b.comp_width - 1 - x]);
            else
                mirror_h_block(dst[x], src[b.comp_width - 1 - x]);
        }
        for (; x < b.width; ++x) {
            if (whole_row)
                mirror_v_block(dst[x], src[x]);
            else
                copy_block(dst[x], src[x]);
        }
    }
}

// Fills the band's buffer with the chunk of output rows from `first` on.
void fill_chunk(turn_state_t& st, band_t& b, JDIMENSION first) {
    JDIMENSION end = first + b.chunk_rows < b.height ? first + b.chunk_rows : b.height;
    b.chunk_first = first;
    b.filled = true;
    if (first < end) {
        switch (st.code) {
            case JXFORM_ROT_90:
                do_rot_90(st, b, first, end);
                break;
            case JXFORM_ROT_180:
                do_rot_180(st, b, first, end);
                break;
            case JXFORM_ROT_270:
                do_rot_270(st, b, first, end);
                break;
            default:
                break;
        }
    }
    // Rows past the picture (padding to whole MCUs) are never coded; keep
    // them zero rather than stale.
    for (JDIMENSION r = end > first ? end - first : 0; r < b.chunk_rows; ++r)
        std::memset(b.rows[r], 0, b.width_padded * sizeof(JBLOCK));
}

JBLOCKARRAY access_turned(j_common_ptr cinfo, jvirt_barray_ptr ptr, JDIMENSION start_row,
                          JDIMENSION num_rows, boolean writable) {
    band_t* b = reinterpret_cast<band_t*>(ptr);
    // Every array of a transcoding compressor is one of ours; anything else
    // means the compressor was used again after the turn.
    if (b->magic != k_band_magic || writable || num_rows > b->chunk_rows)
        ERREXIT(cinfo, JERR_BAD_VIRTUAL_ACCESS);
    if (!b->filled || start_row < b->chunk_first ||
        start_row + num_rows > b->chunk_first + b->chunk_rows) {
        JDIMENSION first = start_row - start_row % b->chunk_rows;
        if (start_row + num_rows > first + b->chunk_rows) first = start_row;
        fill_chunk(*b->state, *b, first);
    }
    return b->rows + (start_row - b->chunk_first);
}

}  // namespace

bool jtransform_perfect_transform(JDIMENSION image_width, JDIMENSION image_height, int MCU_width,
                                  int MCU_height, JXFORM_CODE transform) {
    bool whole_w = MCU_width > 0 && image_width % (JDIMENSION)MCU_width == 0;
    bool whole_h = MCU_height > 0 && image_height % (JDIMENSION)MCU_height == 0;
    switch (transform) {
        case JXFORM_ROT_270:
            return whole_w;
        case JXFORM_ROT_90:
            return whole_h;
        case JXFORM_ROT_180:
            return whole_w && whole_h;
        default:
            return true;
    }
}

bool jtransform_request_workspace(j_decompress_ptr srcinfo, jpeg_transform_info* info) {
    info->workspace_coef_arrays = nullptr;
    info->state = nullptr;
    JXFORM_CODE code = info->transform;
    if (code != JXFORM_NONE && code != JXFORM_ROT_90 && code != JXFORM_ROT_180 &&
        code != JXFORM_ROT_270)
        return false;

    int mw = mcu_width(srcinfo), mh = mcu_height(srcinfo);
    if (info->perfect &&
        !jtransform_perfect_transform(srcinfo->image_width, srcinfo->image_height, mw, mh, code))
        return false;

    info->num_components = srcinfo->num_components;
    bool tr = transposes(code);
    info->output_width = tr ? srcinfo->image_height : srcinfo->image_width;
    info->output_height = tr ? srcinfo->image_width : srcinfo->image_height;
    info->iMCU_sample_width = tr ? mh : mw;
    info->iMCU_sample_height = tr ? mw : mh;
    if (code == JXFORM_NONE) return true;

    j_common_ptr common = reinterpret_cast<j_common_ptr>(srcinfo);
    turn_state_t* st = static_cast<turn_state_t*>(
        (*srcinfo->mem->alloc_small)(common, JPOOL_IMAGE, sizeof(turn_state_t)));
    std::memset(st, 0, sizeof *st);
    int n = srcinfo->num_components;
    st->code = code;
    st->bands = static_cast<band_t*>(
        (*srcinfo->mem->alloc_small)(common, JPOOL_IMAGE, sizeof(band_t) * (size_t)n));
    st->handles = static_cast<jvirt_barray_ptr*>(
        (*srcinfo->mem->alloc_small)(common, JPOOL_IMAGE, sizeof(jvirt_barray_ptr) * (size_t)n));

    // Whole output MCUs across and down; the output MCU is the source's turned.
    JDIMENSION mcu_cols = info->output_width / (JDIMENSION)info->iMCU_sample_width;
    JDIMENSION mcu_rows = info->output_height / (JDIMENSION)info->iMCU_sample_height;
    for (int ci = 0; ci < n; ++ci) {
        jpeg_component_info* comp = srcinfo->comp_info + ci;
        int h = tr ? comp->v_samp_factor : comp->h_samp_factor;  // output factors
        int v = tr ? comp->h_samp_factor : comp->v_samp_factor;
        if (n == 1) h = v = 1;  // one block per MCU, as above
        band_t& b = st->bands[ci];
        std::memset(&b, 0, sizeof b);
        b.magic = k_band_magic;
        b.state = st;
        b.ci = ci;
        b.width = tr ? comp->height_in_blocks : comp->width_in_blocks;
        b.height = tr ? comp->width_in_blocks : comp->height_in_blocks;
        b.src_height = comp->height_in_blocks;
        b.comp_width = mcu_cols * (JDIMENSION)h;
        b.comp_height = mcu_rows * (JDIMENSION)v;
        // The compressor asks for one MCU row of blocks at a time.
        JDIMENSION band = (JDIMENSION)(tr ? comp->h_samp_factor : comp->v_samp_factor);
        b.chunk_rows = tr ? (k_chunk_rows + band - 1) / band * band : band;
        b.width_padded = (b.width + (JDIMENSION)h - 1) / (JDIMENSION)h * (JDIMENSION)h;
        st->handles[ci] = reinterpret_cast<jvirt_barray_ptr>(&b);
    }
    info->state = st;
    info->workspace_coef_arrays = st->handles;
    return true;
}

void transpose_critical_parameters(j_compress_ptr dstinfo) {
    for (int ci = 0; ci < dstinfo->num_components; ++ci) {
        jpeg_component_info* comp = dstinfo->comp_info + ci;
        int t = comp->h_samp_factor;
        comp->h_samp_factor = comp->v_samp_factor;
        comp->v_samp_factor = t;
    }
    for (int q = 0; q < NUM_QUANT_TBLS; ++q) {
        JQUANT_TBL* qt = dstinfo->quant_tbl_ptrs[q];
        if (!qt) continue;
        for (int i = 0; i < DCTSIZE; ++i) {
            for (int j = 0; j < i; ++j) {
                UINT16 t = qt->quantval[i * DCTSIZE + j];
                qt->quantval[i * DCTSIZE + j] = qt->quantval[j * DCTSIZE + i];
                qt->quantval[j * DCTSIZE + i] = t;
            }
        }
    }
}

jvirt_barray_ptr* jtransform_adjust_parameters(j_decompress_ptr, j_compress_ptr dstinfo,
                                               jvirt_barray_ptr* src_coef_arrays,
                                               jpeg_transform_info* info) {
    dstinfo->image_width = info->output_width;
    dstinfo->image_height = info->output_height;
    if (transposes(info->transform)) transpose_critical_parameters(dstinfo);
    // A single component is coded block by block; its sampling factors only
    // pad the arrays. Written as 1x1, as every decoder expects of grey files.
    if (dstinfo->num_components == 1)
        dstinfo->comp_info[0].h_samp_factor = dstinfo->comp_info[0].v_samp_factor = 1;
    return info->workspace_coef_arrays ? info->workspace_coef_arrays : src_coef_arrays;
}

void jtransform_execute_transform(j_decompress_ptr srcinfo, j_compress_ptr dstinfo,
                                  jvirt_barray_ptr* src_coef_arrays, jpeg_transform_info* info) {
    turn_state_t* st = info->state;
    if (!st) return;
    st->srcinfo = srcinfo;
    st->src_arrays = src_coef_arrays;
    j_common_ptr common = reinterpret_cast<j_common_ptr>(srcinfo);
    for (int ci = 0; ci < info->num_components; ++ci) {
        band_t& b = st->bands[ci];
        b.rows = (*srcinfo->mem->alloc_barray)(common, JPOOL_IMAGE, b.width_padded, b.chunk_rows);
        for (JDIMENSION r = 0; r < b.chunk_rows; ++r)
            std::memset(b.rows[r], 0, b.width_padded * sizeof(JBLOCK));
        b.filled = false;
    }
    dstinfo->mem->access_virt_barray = access_turned;
}

}  // namespace libgr
