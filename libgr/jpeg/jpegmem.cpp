#include "libgr/jpeg/jpegmem.h"

#include <iostream>

#include <jerror.h>

#include "libutils/error.h"

namespace libgr {

namespace {

const char* subject_of(j_common_ptr cinfo) {
    const char* s = reinterpret_cast<jpeg_error_ext_t*>(cinfo->err)->subject;
    return s ? s : "(memory)";
}

// libjpeg's warnings and messages, as its own output_message prints them,
// but through the one reporting helper: a worker thread's lines then reach
// its caller whole and in order.
void output_message(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    libutils::report(std::cerr, text);
}

void decompress_error_exit(j_common_ptr cinfo) {
    libutils::report(std::cerr, subject_of(cinfo), ": error detected.");
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(reinterpret_cast<jpeg_error_ext_t*>(cinfo->err)->jump, 1);
}

void compress_error_exit(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    libutils::report(std::cerr, subject_of(cinfo), ": jpeg compress fail, ", text);
    std::longjmp(reinterpret_cast<jpeg_error_ext_t*>(cinfo->err)->jump, 1);
}

// --- memory source ---------------------------------------------------------

struct source_t {
    jpeg_source_mgr pub;
    const libutils::bytevector* data;
    bool fed;  // the buffer has been offered once
};

const JOCTET k_eoi[2] = {0xFF, JPEG_EOI};

void src_init(j_decompress_ptr cinfo) {
    source_t* src = reinterpret_cast<source_t*>(cinfo->src);
    src->pub.next_input_byte = nullptr;
    src->pub.bytes_in_buffer = 0;
    src->fed = false;
}

boolean src_fill_input_buff(j_decompress_ptr cinfo) {
    source_t* src = reinterpret_cast<source_t*>(cinfo->src);
    if (!src->fed) {
        // The first call offers the whole buffer; later calls mean the data
        // ran out, which libjpeg's own sources answer with an EOI marker.
        src->fed = true;
        src->pub.next_input_byte = src->data->begin();
        src->pub.bytes_in_buffer = src->data->size();
        if (src->pub.bytes_in_buffer > 0) return TRUE;
    }
    WARNMS(cinfo, JWRN_JPEG_EOF);
    src->pub.next_input_byte = k_eoi;
    src->pub.bytes_in_buffer = sizeof k_eoi;
    return TRUE;
}

void src_skip_input_data(j_decompress_ptr cinfo, long n) {
    if (n <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    if ((size_t)n > src->bytes_in_buffer) {
        // Skipping past the end stops at the end; the next read then gets
        // the end-of-image marker.
        src->next_input_byte += src->bytes_in_buffer;
        src->bytes_in_buffer = 0;
        return;
    }
    src->next_input_byte += n;
    src->bytes_in_buffer -= (size_t)n;
}

void src_term(j_decompress_ptr) {}

// --- memory destination ----------------------------------------------------

const size_t k_step = 1u << 20;

struct dest_t {
    jpeg_destination_mgr pub;
    libutils::bytevector* out;
};

// Grows the output, keeping what was written. A buffer nobody else holds
// grows in place (the mapping may move); a shared one detaches.
bool grow(libutils::bytevector& out, uint64_t size) {
    if (out.is_allocated() && out.use_count() == 1 && out.offset == 0)
        return out.libutils::refvector2<unsigned char, libutils::alloc_mmap_unix>::resize(size);
    return out.resize(size);
}

void dest_init(j_compress_ptr cinfo) {
    dest_t* dest = reinterpret_cast<dest_t*>(cinfo->dest);
    dest->out->clear();
    if (!dest->out->resize(k_step)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 10);
    dest->pub.next_output_byte = dest->out->begin();
    dest->pub.free_in_buffer = k_step;
}

boolean dest_empty_buff(j_compress_ptr cinfo) {
    dest_t* dest = reinterpret_cast<dest_t*>(cinfo->dest);
    uint64_t used = dest->out->size();
    if (!grow(*dest->out, used + k_step)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 11);
    dest->pub.next_output_byte = dest->out->begin() + used;
    dest->pub.free_in_buffer = k_step;
    return TRUE;
}

void dest_term(j_compress_ptr cinfo) {
    dest_t* dest = reinterpret_cast<dest_t*>(cinfo->dest);
    uint64_t written = dest->out->size() - dest->pub.free_in_buffer;
    grow(*dest->out, written);
    cinfo->dest = nullptr;
}

}  // namespace

jpeg_error_mgr* init_decompress_error(jpeg_error_ext_t& err, const char* subject) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = decompress_error_exit;
    err.pub.output_message = output_message;
    err.subject = subject;
    return &err.pub;
}

jpeg_error_mgr* init_compress_error(jpeg_error_ext_t& err, const char* subject) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = compress_error_exit;
    err.pub.output_message = output_message;
    err.subject = subject;
    return &err.pub;
}

void set_jpegimage_src(j_decompress_ptr cinfo, const libutils::bytevector& data) {
    if (!cinfo->src) {
        cinfo->src = static_cast<jpeg_source_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(source_t)));
    }
    source_t* src = reinterpret_cast<source_t*>(cinfo->src);
    src->pub.init_source = src_init;
    src->pub.fill_input_buffer = src_fill_input_buff;
    src->pub.skip_input_data = src_skip_input_data;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = src_term;
    src->pub.next_input_byte = nullptr;
    src->pub.bytes_in_buffer = 0;
    src->data = &data;
    src->fed = false;
}

void set_jpegimage_dest(j_compress_ptr cinfo, libutils::bytevector& out) {
    if (!cinfo->dest) {
        cinfo->dest = static_cast<jpeg_destination_mgr*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(dest_t)));
    }
    dest_t* dest = reinterpret_cast<dest_t*>(cinfo->dest);
    dest->pub.init_destination = dest_init;
    dest->pub.empty_output_buffer = dest_empty_buff;
    dest->pub.term_destination = dest_term;
    dest->out = &out;
}

}  // namespace libgr
