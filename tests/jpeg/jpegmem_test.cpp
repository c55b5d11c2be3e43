// The memory source and destination under libjpeg.
#include <gtest/gtest.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

#include "jpegtest.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libgr/jpeg/jpegmem.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

using namespace libgr;

TEST(JpegMem, CutOffScanIsFilledAsLibjpegFillsItNotFedAgain) {
    // The bottom half of a cut-off file is what libjpeg makes of missing data
    // (flat grey), never a second copy of the file's first rows.
    jpegfixture::options_t o;
    o.width = 64;
    o.height = 256;
    o.components = 1;
    std::vector<unsigned char> whole = jpegfixture::make_jpeg(o);
    std::vector<unsigned char> cut(whole.begin(), whole.begin() + whole.size() / 2);
    jpegdata_t data;
    jpegtest::set_bytes(data, cut, "half.jpg");
    jpeginfo_t info;
    image2d_t image;
    bool ok = false;
    EXPECT_EQ(testenv::stderr_of([&] { ok = info.decompress(image, data); }),
              "Premature end of JPEG file\n");
    ASSERT_TRUE(ok);
    ASSERT_EQ(image.height, 256u);
    const unsigned char* bottom = image[0];
    for (uint32_t x = 0; x < 64; ++x) EXPECT_EQ(bottom[x], bottom[0]);
    const unsigned char* top = image[255];
    int varied = 0;
    for (uint32_t x = 1; x < 64; ++x) varied += top[x] != top[0];
    EXPECT_GT(varied, 10);
}

TEST(JpegMem, SourceReadsOnlyItsWindow) {
    // The file as a window in the middle of a larger buffer.
    std::vector<unsigned char> file = jpegfixture::make_jpeg(jpegfixture::options_t());
    libutils::bytevector big;
    ASSERT_TRUE(big.resize(file.size() + 200));
    std::memset(big.begin(), 0x55, big.size());
    std::memcpy(big.begin() + 100, file.data(), file.size());
    jpegdata_t data;
    data.setwindow(big, 100, file.size());
    jpeginfo_t info;
    image2d_t image;
    EXPECT_EQ(testenv::stderr_of([&] { EXPECT_TRUE(info.decompress(image, data)); }), "");
    EXPECT_EQ(image.width, 64u);
}

TEST(JpegMem, DestinationLeavesOtherHoldersOfTheOutputAlone) {
    jpegdata_t out;
    ASSERT_TRUE(out.resize(10));
    std::memset(out.begin(), 7, 10);
    libutils::bytevector other = out;
    jpegdata_t src;
    jpegtest::set_bytes(src, jpegfixture::make_jpeg(jpegfixture::options_t()));
    jpeginfo_t info;
    image2d_t image;
    ASSERT_TRUE(info.decompress(image, src));
    ASSERT_TRUE(info.compress(out, image, 90, true));
    EXPECT_EQ(other.size(), 10u);
    EXPECT_EQ(other.begin()[9], 7);
    EXPECT_EQ(out.begin()[0], 0xFF);
    EXPECT_EQ(out.use_count(), 1u);
}

TEST(JpegMem, CompressErrorManagerJumpsBackWithOneLine) {
    jpeg_compress_struct cinfo;
    jpeg_error_ext_t err;
    cinfo.err = init_compress_error(err, "subject");
    volatile bool jumped = false;
    std::string text = testenv::stderr_of([&] {
        if (setjmp(err.jump)) {
            jumped = true;
        } else {
            jpeg_create_compress(&cinfo);
            jpeg_set_defaults(&cinfo);  // no components: libjpeg refuses
        }
        jpeg_destroy_compress(&cinfo);
    });
    EXPECT_TRUE(jumped);
    EXPECT_EQ(text.rfind("subject: jpeg compress fail, ", 0), 0u) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
}
