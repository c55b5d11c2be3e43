#include "libgr/jpeg/transform.h"

#include <csetjmp>
#include <cstring>
#include <iostream>

#include "libgr/jpeg/jpegmem.h"
#include "libgr/jpeg/transupp.h"
#include "libutils/error.h"

namespace libgr {

namespace {

const JXFORM_CODE k_turns[4] = {JXFORM_NONE, JXFORM_ROT_90, JXFORM_ROT_180, JXFORM_ROT_270};

// Drives libjpeg. libjpeg's errors leave through longjmp on either side, so
// nothing here has a destructor.
bool run_transform(JXFORM_CODE code, libutils::bytevector& out, const libutils::bytevector& in,
                   const char* subject) {
    jpeg_decompress_struct srcinfo;
    jpeg_compress_struct dstinfo;
    jpeg_error_ext_t srcerr, dsterr;
    std::memset(&srcinfo, 0, sizeof srcinfo);
    std::memset(&dstinfo, 0, sizeof dstinfo);
    srcinfo.err = init_decompress_error(srcerr, subject);
    // libjpeg's standard handler would end the program on an encoder error
    // (a table the encoder cannot reproduce, no memory): report and go on.
    dstinfo.err = init_compress_error(dsterr, subject);
    if (setjmp(srcerr.jump)) goto fail;
    if (setjmp(dsterr.jump)) goto fail;
    {
        jpeg_create_decompress(&srcinfo);
        jpeg_create_compress(&dstinfo);
        set_jpegimage_src(&srcinfo, in);
        jpeg_save_markers(&srcinfo, JPEG_COM, 0xFFFF);
        jpeg_read_header(&srcinfo, TRUE);

        jpeg_transform_info info;
        info.transform = code;
        if (!jtransform_request_workspace(&srcinfo, &info)) {
            libutils::report(std::cerr, (subject ? subject : "(memory)"),
                             ": transformation is not perfect");
            goto fail;
        }
        jvirt_barray_ptr* src_arrays = jpeg_read_coefficients(&srcinfo);
        jpeg_copy_critical_parameters(&srcinfo, &dstinfo);
        jvirt_barray_ptr* dst_arrays =
            jtransform_adjust_parameters(&srcinfo, &dstinfo, src_arrays, &info);
        set_jpegimage_dest(&dstinfo, out);
        jpeg_write_coefficients(&dstinfo, dst_arrays);
        jtransform_execute_transform(&srcinfo, &dstinfo, src_arrays, &info);

        jpeg_finish_compress(&dstinfo);
        jpeg_destroy_compress(&dstinfo);
        jpeg_finish_decompress(&srcinfo);
        long warnings = srcerr.pub.num_warnings + dsterr.pub.num_warnings;
        jpeg_destroy_decompress(&srcinfo);
        // A file read only with warnings (cut off, corrupt entropy data) was
        // turned with made-up blocks: not a lossless copy.
        if (warnings != 0) {
            out.clear();
            return false;
        }
        return true;
    }
fail:
    jpeg_destroy_compress(&dstinfo);
    jpeg_destroy_decompress(&srcinfo);
    out.clear();
    return false;
}

}  // namespace

bool transform(unsigned long count, jpegdata_t& dst, const jpegdata_t& src) {
    if (count >= 4) {
        return libutils::fail(std::cerr, count, ": jpeg transform rightrotate count over.");
    }
    // A share of the source keeps its bytes alive when dst is src: the
    // destination clears dst before writing.
    libutils::bytevector in = src;
    return run_transform(k_turns[count], dst, in, src.name);
}

}  // namespace libgr
