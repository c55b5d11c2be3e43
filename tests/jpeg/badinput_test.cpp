// Hostile and damaged input: cut-off camera files, foreign bytes, absurd
// frame headers. Never a crash or a hang; always a clear message.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>

#include "jpegtest.h"
#include "libgr/jpeg/jpeginfo.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

using namespace libgr;

namespace {

struct result_t {
    bool ok;
    std::string messages;
};

result_t decode_bytes(const std::vector<unsigned char>& bytes, image2d_t& image,
                      const char* name = "bad.jpg") {
    jpegdata_t data;
    jpegtest::set_bytes(data, bytes, name);
    jpeginfo_t info;
    bool ok = false;
    std::string err = testenv::stderr_of([&] { ok = info.decompress(image, data); });
    return {ok, err};
}

// A small valid file whose frame header then claims another size.
std::vector<unsigned char> with_frame_size(uint16_t width, uint16_t height, int components = 3,
                                           bool progressive = false) {
    jpegfixture::options_t o;
    o.width = o.height = 16;
    o.components = components;
    o.progressive = progressive;
    std::vector<unsigned char> bytes = jpegfixture::make_jpeg(o);
    for (const jpegtest::segment_t& s : jpegtest::segments(bytes)) {
        if (s.code != 0xC0 && s.code != 0xC2) continue;
        bytes[s.offset + 5] = (unsigned char)(height >> 8);
        bytes[s.offset + 6] = (unsigned char)(height & 0xFF);
        bytes[s.offset + 7] = (unsigned char)(width >> 8);
        bytes[s.offset + 8] = (unsigned char)(width & 0xFF);
    }
    return bytes;
}

// Offset of the first byte after the first scan header.
size_t scan_start(const std::vector<unsigned char>& bytes) {
    std::vector<jpegtest::segment_t> segs = jpegtest::segments(bytes);
    const jpegtest::segment_t& sos = segs.back();
    EXPECT_EQ(sos.code, 0xDAu);
    return sos.offset + 4 + sos.payload.size();
}

}  // namespace

TEST(BadInput, CameraFileCutAtEveryKibibyteDecodesToFullSizeOrFailsCleanly) {
    SKIP_WITHOUT_CAMERA_FILES();
    std::string path = testenv::camera_dir() + "/Casio_EX-Z3.jpg";
    std::vector<unsigned char> whole = jpegtest::file_bytes(path);
    size_t scan = scan_start(whole);
    image2d_t image;
    int partial = 0;
    for (size_t cut = 0; cut < whole.size(); cut += 1024) {
        std::vector<unsigned char> bytes(whole.begin(), whole.begin() + cut);
        result_t r = decode_bytes(bytes, image, "cut.jpg");
        if (cut < scan) {
            EXPECT_FALSE(r.ok) << cut;
            EXPECT_NE(r.messages.find("cut.jpg: jpeg decompress fail, stop.\n"), std::string::npos)
                << cut << ": " << r.messages;
            continue;
        }
        ++partial;
        ASSERT_TRUE(r.ok) << cut << ": " << r.messages;
        EXPECT_EQ(image.width, 2048u);
        EXPECT_EQ(image.height, 1536u);
        EXPECT_NE(r.messages.find("Premature end of JPEG file\n"), std::string::npos) << cut;
    }
    EXPECT_GT(partial, 500);
}

TEST(BadInput, CutOffFilesGiveDjpegsPixels) {
    SKIP_WITHOUT_PROGRAM("djpeg");
    std::vector<std::vector<unsigned char>> files;
    jpegfixture::options_t o;
    o.width = 320;
    o.height = 240;
    files.push_back(jpegfixture::make_jpeg(o));
    o.progressive = true;
    files.push_back(jpegfixture::make_jpeg(o));
    o.progressive = false;
    o.restart_rows = 2;
    files.push_back(jpegfixture::make_jpeg(o));
    if (!testenv::camera_dir().empty())
        files.push_back(
            jpegtest::file_bytes(testenv::camera_dir() + "/olympus_D-450Z_P3110001.JPG"));
    std::string dir = testenv::scratch_dir("cut");
    for (size_t f = 0; f < files.size(); ++f) {
        for (double part : {0.3, 0.55, 0.9}) {
            std::vector<unsigned char> bytes(files[f].begin(),
                                             files[f].begin() + size_t(files[f].size() * part));
            std::string path = dir + "/cut.jpg";
            ASSERT_TRUE(jpegtest::write_bytes(path, bytes.data(), bytes.size()));
            jpegtest::pnm_t ref;
            EXPECT_EQ(jpegtest::djpeg(path, ref), 2);
            image2d_t image;
            result_t r = decode_bytes(bytes, image);
            EXPECT_TRUE(r.ok) << f << " " << part;
            EXPECT_TRUE(jpegtest::same_pixels(image, ref)) << f << " " << part;
        }
    }
}

TEST(BadInput, ForeignBytesAreRefusedWithLibjpegsReason) {
    struct case_t {
        const char* name;
        std::vector<unsigned char> bytes;
        const char* reason;
    };
    std::vector<case_t> cases = {
        {"empty", {}, "Not a JPEG file: starts with 0xff 0xd9"},
        {"png",
         {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 1, 0},
         "Not a JPEG file: starts with 0x89 0x50"},
        {"soi only", {0xFF, 0xD8}, "JPEG datastream contains no image"},
        {"soi eoi", {0xFF, 0xD8, 0xFF, 0xD9}, "JPEG datastream contains no image"},
        // A skipped segment whose length runs past the end: skipping stops
        // at the end, where the data end.
        {"long skip",
         {0xFF, 0xD8, 0xFF, 0xDC, 0x80, 0x00, 1, 2, 3},
         "JPEG datastream contains no image"},
        {"65535 square", with_frame_size(65535, 65535),
         "Maximum supported image dimension is 65500 pixels"},
        {"zero width", with_frame_size(0, 16), "Empty JPEG image"},
    };
    for (const case_t& c : cases) {
        image2d_t image;
        result_t r = decode_bytes(c.bytes, image);
        EXPECT_FALSE(r.ok) << c.name;
        EXPECT_NE(r.messages.find("bad.jpg: error detected.\n"), std::string::npos) << c.name;
        EXPECT_NE(r.messages.find(c.reason), std::string::npos) << c.name << ": " << r.messages;
        EXPECT_NE(r.messages.find("bad.jpg: jpeg decompress fail, stop.\n"), std::string::npos)
            << c.name;
        jpegdata_t data;
        jpegtest::set_bytes(data, c.bytes, "bad.jpg");
        jpeginfo_t info;
        EXPECT_NE(testenv::stderr_of([&] {
                      EXPECT_FALSE(info.analyze_markers(data)) << c.name;
                  }).find("bad.jpg: jpeg decompress fail, stop.\n"),
                  std::string::npos);
    }
}

TEST(BadInput, RandomBytesNeverCrash) {
    std::mt19937 rng(7);
    jpegfixture::options_t o;
    o.width = 48;
    o.height = 40;
    std::vector<unsigned char> good = jpegfixture::make_jpeg(o);
    size_t scan = scan_start(good);
    for (int round = 0; round < 300; ++round) {
        std::vector<unsigned char> bytes;
        if (round % 3 == 0) {
            // Random bytes after SOI.
            bytes = {0xFF, 0xD8};
            for (int i = 0, n = int(rng() % 2000); i < n; ++i)
                bytes.push_back((unsigned char)rng());
        } else if (round % 3 == 1) {
            // A good header followed by random entropy-coded data.
            bytes.assign(good.begin(), good.begin() + scan);
            for (int i = 0, n = int(rng() % 3000); i < n; ++i)
                bytes.push_back((unsigned char)rng());
        } else {
            // A good file with a few bytes changed anywhere.
            bytes = good;
            for (int i = 0; i < 4; ++i) bytes[rng() % bytes.size()] = (unsigned char)rng();
        }
        image2d_t image;
        result_t r = decode_bytes(bytes, image);
        if (r.ok) {
            EXPECT_EQ(image.size(), image.bytesize()) << round;
        } else {
            EXPECT_NE(r.messages.find("bad.jpg: jpeg decompress fail, stop.\n"), std::string::npos);
        }
    }
}

namespace {

// Decodes in the helper program little_memory_decode, which may map only
// `room` bytes more than it has; returns its exit code (0: refused with a
// released picture) and what it printed.
int decode_with_little_memory(const std::vector<unsigned char>& bytes, uint64_t room,
                              std::string& messages) {
    std::string dir = testenv::scratch_dir("huge");
    if (!testenv::write_file(dir + "/huge.jpg", std::string(bytes.begin(), bytes.end()))) return -1;
    int status =
        testenv::run(testenv::shell_quote(testenv::bin_dir() + "/little_memory_decode") + " " +
                     testenv::shell_quote(dir + "/huge.jpg") + " " + std::to_string(room) + " 2>" +
                     testenv::shell_quote(dir + "/err.txt"));
    messages = testenv::read_file(dir + "/err.txt");
    return status;
}

}  // namespace

TEST(BadInput, HugeFrameThatMemoryCannotHoldFailsCleanly) {
    // 65500 x 65500 RGB is 12.9 GB: the picture itself cannot be had.
    std::string messages;
    EXPECT_EQ(decode_with_little_memory(with_frame_size(65500, 65500), uint64_t(1) << 30, messages),
              0);
    EXPECT_EQ(messages, "huge.jpg: allocate() fail.\n");
    // In grey the picture (4.3 GB) fits, but a progressive file also needs
    // libjpeg's coefficient buffer (8.6 GB): refused, the picture released.
    EXPECT_EQ(decode_with_little_memory(with_frame_size(65500, 65500, 1, true), uint64_t(6) << 30,
                                        messages),
              0);
    EXPECT_EQ(messages,
              "huge.jpg: error detected.\nInsufficient memory (case 4)\nhuge.jpg: jpeg decompress "
              "fail, stop.\n");
}

TEST(BadInput, PicturesLargerThanTheMachinesMemoryAreNotAllocated) {
    image2d_t image;
    image.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    image.width = image.height = 1u << 20;  // 3 TB
    EXPECT_FALSE(image.allocate());
    EXPECT_FALSE(image.is_allocated());
}
