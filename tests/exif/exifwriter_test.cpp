// The fixture writer, read back by exiftool: what it writes is EXIF as
// others understand it, in both byte orders and every maker-note layout.
#include <gtest/gtest.h>

#include "exiftest.h"
#include "minijson.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"
#include "tools/exifwriter/exifwriter.h"

namespace ew = exifwriter;
using exiftest::olympus3_directory;

namespace {

std::string picture() {
    jpegfixture::options_t o;
    o.width = 32;
    o.height = 24;
    std::vector<unsigned char> v = jpegfixture::make_jpeg(o);
    return std::string(v.begin(), v.end());
}

std::string thumbnail() {
    jpegfixture::options_t o;
    o.width = 16;
    o.height = 8;
    o.seed = 7;
    std::vector<unsigned char> v = jpegfixture::make_jpeg(o);
    return std::string(v.begin(), v.end());
}

// exiftool's numeric reading of a file, one JSON object.
minijson::value_t exiftool_json(const std::string& path) {
    std::string out;
    EXPECT_EQ(testenv::run("exiftool -j -n -G1 -a -u " + testenv::shell_quote(path), &out), 0);
    minijson::value_t v;
    EXPECT_TRUE(minijson::parse(out, v)) << out;
    return v.items.empty() ? minijson::value_t() : v.items[0];
}

std::string text(const minijson::value_t& o, const std::string& key) {
    const minijson::value_t* v = o.find(key);
    return v ? v->as_text() : "(absent)";
}

ew::tiff_t camera(ew::order_t order, const std::string& make, ew::makernote_t note) {
    ew::tiff_t t;
    t.order = order;
    ew::ifd_t exif;
    exif.add(ew::rationals(0x829A, {{1, 250}}));
    exif.add(ew::rationals(0x829D, {{28, 10}}));
    exif.add(ew::shorts(0x8827, {400}));
    exif.add(ew::ascii(0x9003, "2024:05:06 07:08:09"));
    exif.add(ew::srationals(0x9204, {{-2, 6}}));
    exif.add(ew::makernote(std::move(note)));
    t.ifd0.add(ew::ascii(0x010F, make));
    t.ifd0.add(ew::ascii(0x0110, "Model X"));
    t.ifd0.add(ew::shorts(0x0112, {6}));
    t.ifd0.add(ew::rationals(0x011A, {{72, 1}}));
    t.ifd0.add(ew::subdirectory(0x8769, std::move(exif)));
    t.ifd0.next = std::make_shared<ew::ifd_t>(ew::thumbnail_ifd(thumbnail()));
    return t;
}

void check_standard_fields(const minijson::value_t& j, const std::string& make) {
    EXPECT_EQ(text(j, "IFD0:Make"), make);
    EXPECT_EQ(text(j, "IFD0:Model"), "Model X");
    EXPECT_EQ(text(j, "IFD0:Orientation"), "6");
    EXPECT_EQ(text(j, "IFD0:XResolution"), "72");
    EXPECT_EQ(text(j, "ExifIFD:ExposureTime"), "0.004");
    EXPECT_EQ(text(j, "ExifIFD:FNumber"), "2.8");
    EXPECT_EQ(text(j, "ExifIFD:ISO"), "400");
    EXPECT_EQ(text(j, "ExifIFD:DateTimeOriginal"), "2024:05:06 07:08:09");
    EXPECT_EQ(text(j, "ExifIFD:ExposureCompensation"), "-0.3333333333");
    EXPECT_EQ(text(j, "IFD1:ThumbnailLength"), std::to_string(thumbnail().size()));
    EXPECT_EQ(j.find("ExifTool:Warning"), nullptr) << text(j, "ExifTool:Warning");
    EXPECT_EQ(j.find("ExifTool:Error"), nullptr) << text(j, "ExifTool:Error");
}

}  // namespace

TEST(ExifWriter, ExiftoolReadsEveryLayoutInBothByteOrders) {
    SKIP_WITHOUT_PROGRAM("exiftool");
    std::string dir = testenv::scratch_dir("writer");
    for (ew::order_t order : {ew::order_t::intel, ew::order_t::motorola}) {
        // The maker note's byte order is the other one: readers must follow
        // the header, not the TIFF data.
        ew::order_t other =
            order == ew::order_t::intel ? ew::order_t::motorola : ew::order_t::intel;
        std::string tag = order == ew::order_t::intel ? "II" : "MM";
        struct row_t {
            std::string name, make;
            ew::makernote_t note;
            std::vector<std::pair<std::string, std::string>> expected;
        };
        ew::ifd_t old_dir;
        old_dir.add(ew::shorts(0x100B, {1}));
        old_dir.add(ew::rationals(0x100C, {{1234, 1}}));
        old_dir.add(ew::shorts(0x1015, {2, 3}));
        ew::ifd_t pentax_dir;
        pentax_dir.add(ew::shorts(0x000D, {16}));
        pentax_dir.add(ew::shorts(0x0019, {2}));
        std::vector<row_t> rows = {
            {"olympus_old",
             "OLYMPUS OPTICAL CO.,LTD",
             ew::olympus_old(old_dir),
             {{"Olympus:FocusMode", "1"},
              {"Olympus:ManualFocusDistance", "1234"},
              {"Olympus:WBMode", "2 3"}}},
            {"olympus_new",
             "OLYMPUS IMAGING CORP.",
             ew::olympus_new(other, olympus3_directory()),
             {{"Olympus:LensModel", "OLYMPUS M.12-40mm F2.8"},
              {"Olympus:FocusMode", "0 17"},
              {"Olympus:WhiteBalance2", "18"},
              {"Olympus:AutoFocus", "1"},
              {"Olympus:FocusDistance", "9.02"}}},
            {"om_system",
             "OM Digital Solutions",
             ew::om_system(order, olympus3_directory()),
             {{"Olympus:LensModel", "OLYMPUS M.12-40mm F2.8"}, {"Olympus:FocusMode", "0 17"}}},
            {"pentax5",
             "RICOH IMAGING COMPANY, LTD.",
             ew::pentax5(other, pentax_dir),
             {{"Pentax:FocusMode", "16"}, {"Pentax:WhiteBalance", "2"}}},
            {"pentax_aoc",
             "PENTAX Corporation",
             ew::pentax_aoc(order, pentax_dir),
             {{"Pentax:FocusMode", "16"}, {"Pentax:WhiteBalance", "2"}}},
        };
        for (row_t& r : rows) {
            SCOPED_TRACE(r.name + " " + tag);
            std::string tiff = ew::write_tiff(camera(order, r.make, r.note));
            EXPECT_EQ(tiff.substr(0, 2), tag);
            std::string jpeg = ew::splice_app1(picture(), ew::exif_payload(tiff));
            ASSERT_FALSE(jpeg.empty());
            std::string path = dir + "/" + r.name + "_" + tag + ".jpg";
            ASSERT_TRUE(testenv::write_file(path, jpeg));
            minijson::value_t j = exiftool_json(path);
            check_standard_fields(j, r.make);
            for (const auto& e : r.expected) EXPECT_EQ(text(j, e.first), e.second) << e.first;

            std::string thumb;
            testenv::run("exiftool -b -ThumbnailImage " + testenv::shell_quote(path), &thumb);
            EXPECT_EQ(thumb, thumbnail());
        }
    }
}

TEST(ExifWriter, SpliceReplacesAnEarlierExifSegment) {
    ew::tiff_t t;
    t.ifd0.add(ew::ascii(0x010F, "First"));
    std::string once = ew::splice_app1(picture(), ew::exif_payload(ew::write_tiff(t)));
    t.ifd0.entries.clear();
    t.ifd0.add(ew::ascii(0x010F, "Second"));
    std::string twice = ew::splice_app1(once, ew::exif_payload(ew::write_tiff(t)));
    EXPECT_EQ(twice.find("First"), std::string::npos);
    EXPECT_NE(twice.find("Second"), std::string::npos);
    EXPECT_EQ(twice.size(), once.size() + 1);
    EXPECT_EQ(twice.substr(0, 4), std::string("\xFF\xD8\xFF\xE1", 4));
    EXPECT_TRUE(ew::splice_app1("not a jpeg", "x").empty());
    EXPECT_TRUE(ew::app1_segment(std::string(65534, 'x')).empty());
}
