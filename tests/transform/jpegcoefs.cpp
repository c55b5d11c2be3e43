#include "jpegcoefs.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include "support/jpegwalk.h"

namespace jpegcoefs {

namespace {

struct error_t {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char text[JMSG_LENGTH_MAX];
};

void error_exit(j_common_ptr cinfo) {
    error_t* e = reinterpret_cast<error_t*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->text);
    std::longjmp(e->jump, 1);
}

void quiet(j_common_ptr) {}

// No C++ objects live across the libjpeg calls.
bool read_raw(coefs_t& out, const unsigned char* data, size_t size, char* text) {
    jpeg_decompress_struct cinfo;
    error_t err;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = error_exit;
    err.pub.output_message = quiet;
    err.text[0] = 0;
    if (setjmp(err.jump)) {
        std::strcpy(text, err.text);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, (unsigned long)size);
    jpeg_read_header(&cinfo, TRUE);
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&cinfo);
    out.width = cinfo.image_width;
    out.height = cinfo.image_height;
    out.comps.resize((size_t)cinfo.num_components);
    for (int ci = 0; ci < cinfo.num_components; ++ci) {
        jpeg_component_info* comp = cinfo.comp_info + ci;
        component_t& c = out.comps[(size_t)ci];
        c.h_samp = comp->h_samp_factor;
        c.v_samp = comp->v_samp_factor;
        c.width_in_blocks = comp->width_in_blocks;
        c.height_in_blocks = comp->height_in_blocks;
        c.quant.assign(comp->quant_table->quantval, comp->quant_table->quantval + DCTSIZE2);
        c.blocks.resize((size_t)c.width_in_blocks * c.height_in_blocks * DCTSIZE2);
        for (JDIMENSION y = 0; y < comp->height_in_blocks; ++y) {
            JBLOCKARRAY row = (*cinfo.mem->access_virt_barray)(
                reinterpret_cast<j_common_ptr>(&cinfo), arrays[ci], y, 1, FALSE);
            std::memcpy(&c.blocks[(size_t)y * c.width_in_blocks * DCTSIZE2], row[0],
                        c.width_in_blocks * sizeof(JBLOCK));
        }
    }
    jpeg_finish_decompress(&cinfo);
    long warnings = err.pub.num_warnings;
    jpeg_destroy_decompress(&cinfo);
    if (warnings) {
        std::strcpy(text, "warnings while reading");
        return false;
    }
    return true;
}

}  // namespace

bool read(coefs_t& out, const unsigned char* data, size_t size, std::string* error) {
    char text[JMSG_LENGTH_MAX] = "";
    out = coefs_t();
    bool ok = read_raw(out, data, size, text);
    if (error) *error = text;
    return ok;
}

bool read(coefs_t& out, const std::string& bytes, std::string* error) {
    return read(out, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), error);
}

std::string compare(const coefs_t& a, const coefs_t& b) {
    if (a.width != b.width || a.height != b.height)
        return "size " + std::to_string(a.width) + "x" + std::to_string(a.height) + " vs " +
               std::to_string(b.width) + "x" + std::to_string(b.height);
    if (a.comps.size() != b.comps.size()) return "component count";
    for (size_t ci = 0; ci < a.comps.size(); ++ci) {
        const component_t &p = a.comps[ci], &q = b.comps[ci];
        std::string c = "component " + std::to_string(ci) + ": ";
        if (p.h_samp != q.h_samp || p.v_samp != q.v_samp) return c + "sampling factors";
        if (p.quant != q.quant) return c + "quantisation table";
        if (p.width_in_blocks != q.width_in_blocks || p.height_in_blocks != q.height_in_blocks)
            return c + "size in blocks";
        for (size_t k = 0; k < p.blocks.size(); ++k) {
            if (p.blocks[k] != q.blocks[k]) {
                size_t blk = k / DCTSIZE2;
                return c + "block (" + std::to_string(blk % p.width_in_blocks) + ", " +
                       std::to_string(blk / p.width_in_blocks) + ") coefficient " +
                       std::to_string(k % DCTSIZE2);
            }
        }
    }
    return std::string();
}

std::vector<std::pair<int, size_t>> header_markers(const std::string& bytes) {
    std::vector<std::pair<int, size_t>> out;
    for (const jpegwalk::segment_t& s : jpegwalk::segments(bytes))
        out.push_back({int(s.code), s.offset});
    return out;
}

}  // namespace jpegcoefs
