// The EXIF parser on blocks written by the fixture writer: field decoding in
// both byte orders, the maker-note layouts, and hostile offsets, counts and
// types, which must end in a clear result without reading out of bounds.
#include <gtest/gtest.h>

#include "exiftest.h"
#include "libgr/jpeg/exif.h"
#include "tools/exifwriter/exifwriter.h"

namespace ew = exifwriter;
using exiftest::olympus3_directory;
using exiftest::parse_app1;
using libgr::app1_marker_t;
using libgr::tiff_header_t;

namespace {

const std::string thumb_bytes("\xFF\xD8thumbnail bytes\xFF\xD9", 19);

struct parsed_t {
    bool ok = false;
    std::string err;
    app1_marker_t app1;
    const tiff_header_t& t() const { return app1.tiff_header; }
};

void parse_tiff(parsed_t& p, const std::string& tiff) {
    p.ok = parse_app1(p.app1, ew::exif_payload(tiff), &p.err);
}

std::string le16(unsigned v) {
    return std::string{char(v & 0xFF), char(v >> 8)};
}
std::string le32(uint32_t v) {
    return le16(v & 0xFFFF) + le16(v >> 16);
}

// A photograph's EXIF data with every decoded standard tag.
ew::tiff_t camera(ew::order_t order, const std::string& make,
                  std::optional<ew::makernote_t> note = std::nullopt) {
    ew::tiff_t t;
    t.order = order;
    ew::ifd_t exif;
    exif.add(ew::rationals(0x829A, {{10, 2500}}));
    exif.add(ew::rationals(0x829D, {{28, 10}}));
    exif.add(ew::shorts(0x8822, {3}));
    exif.add(ew::shorts(0x8827, {65535}));
    exif.add(ew::longs(0x8831, {102400}));
    exif.add(ew::longs(0x8833, {100000}));
    exif.add(ew::ascii(0x9003, "2024:05:06 07:08:09"));
    exif.add(ew::ascii(0x9004, "2024:05:06 07:08:10"));
    exif.add(ew::rationals(0x9202, {{297, 100}}));
    exif.add(ew::srationals(0x9204, {{-2, 6}}));
    exif.add(ew::rationals(0x9205, {{3, 1}}));
    exif.add(ew::shorts(0x9207, {5}));
    exif.add(ew::shorts(0x9209, {0x19}));
    exif.add(ew::rationals(0x920A, {{120, 10}}));
    exif.add(ew::shorts(0xA001, {1}));
    exif.add(ew::shorts(0xA403, {1}));
    exif.add(ew::shorts(0xA405, {24}));
    exif.add(ew::shorts(0xA408, {2}));
    exif.add(ew::shorts(0xA409, {1}));
    exif.add(ew::shorts(0xA40A, {0}));
    exif.add(ew::ascii(0xA434, "12-40mm F2.8"));
    if (note) exif.add(ew::makernote(*note));
    ew::ifd_t gps;
    gps.add(ew::bytes(0x0000, ew::BYTE, std::string("\2\3\0\0", 4)));
    t.ifd0.add(ew::ascii(0x010E, "A photo"));
    t.ifd0.add(ew::ascii(0x010F, make));
    t.ifd0.add(ew::ascii(0x0110, "E-M1"));
    t.ifd0.add(ew::shorts(0x0112, {8}));
    t.ifd0.add(ew::rationals(0x011A, {{300, 1}}));
    t.ifd0.add(ew::rationals(0x011B, {{301, 1}}));
    t.ifd0.add(ew::shorts(0x0128, {2}));
    t.ifd0.add(ew::ascii(0x0131, "Version 1.0"));
    t.ifd0.add(ew::ascii(0x0132, "2024:05:06 08:00:00"));
    t.ifd0.add(ew::shorts(0x0213, {2}));
    t.ifd0.add(ew::subdirectory(0x8769, std::move(exif)));
    t.ifd0.add(ew::subdirectory(0x8825, std::move(gps)));
    t.ifd0.next = std::make_shared<ew::ifd_t>(ew::thumbnail_ifd(thumb_bytes));
    return t;
}

template <class T>
std::vector<uint64_t> nums(const std::vector<T>& v) {
    return std::vector<uint64_t>(v.begin(), v.end());
}
template <class R>
std::vector<uint64_t> rats(const std::vector<R>& v) {
    std::vector<uint64_t> out;
    for (const R& r : v) {
        out.push_back(uint64_t(int64_t(r.numerator)));
        out.push_back(uint64_t(int64_t(r.denominator)));
    }
    return out;
}

using u = std::vector<uint64_t>;

void expect_camera_fields(const tiff_header_t& t, const std::string& make) {
    EXPECT_EQ(t.tag_0th.ImageDescription, "A photo");
    EXPECT_EQ(t.tag_0th.Make, make);
    EXPECT_EQ(t.tag_0th.Model, "E-M1");
    EXPECT_EQ(nums(t.tag_0th.Orientation), u{8});
    EXPECT_EQ(rats(t.tag_0th.XResolution), (u{300, 1}));
    EXPECT_EQ(rats(t.tag_0th.YResolution), (u{301, 1}));
    EXPECT_EQ(nums(t.tag_0th.ResolutionUnit), u{2});
    EXPECT_EQ(t.tag_0th.Software, "Version 1.0");
    EXPECT_EQ(t.tag_0th.DateTime, "2024:05:06 08:00:00");
    EXPECT_EQ(nums(t.tag_0th.YCbCrPositioning), u{2});
    EXPECT_EQ(t.tag_0th.ExifIFDPointer.size(), 1u);
    EXPECT_EQ(t.tag_0th.GPSInfoIFDPointer.size(), 1u);
    EXPECT_EQ(t.gps_ifd_buffer.size(), 16u);

    const libgr::ExifType::tag_exif_ifd& e = t.tag_exif;
    EXPECT_EQ(rats(e.ExposureTime), (u{10, 2500}));
    EXPECT_EQ(rats(e.FNumber), (u{28, 10}));
    EXPECT_EQ(nums(e.ExposureProgram), u{3});
    EXPECT_EQ(nums(e.ISOSpeedRatings), u{65535});
    EXPECT_EQ(nums(e.StandardOutputSensitivity), u{102400});
    EXPECT_EQ(nums(e.ISOSpeed), u{100000});
    EXPECT_EQ(e.DateTimeOriginal, "2024:05:06 07:08:09");
    EXPECT_EQ(e.DateTimeDigitized, "2024:05:06 07:08:10");
    EXPECT_EQ(rats(e.ApertureValue), (u{297, 100}));
    EXPECT_EQ(rats(e.ExposureBiasValue), (u{uint64_t(-2), 6}));
    EXPECT_EQ(rats(e.MaxApertureValue), (u{3, 1}));
    EXPECT_EQ(nums(e.MeteringMode), u{5});
    EXPECT_EQ(nums(e.Flash), u{0x19});
    EXPECT_EQ(rats(e.FocalLength), (u{120, 10}));
    EXPECT_EQ(nums(e.ColorSpace), u{1});
    EXPECT_EQ(nums(e.WhiteBalance), u{1});
    EXPECT_EQ(nums(e.FocalLengthIn35mmFilm), u{24});
    EXPECT_EQ(nums(e.Contrast), u{2});
    EXPECT_EQ(nums(e.Saturation), u{1});
    EXPECT_EQ(nums(e.Sharpness), u{0});
    EXPECT_EQ(e.LensModel, "12-40mm F2.8");

    EXPECT_EQ(exiftest::text_of(t.thumbnail_buffer), thumb_bytes);
}

void expect_olympus3_fields(const tiff_header_t& t) {
    // Exactly the value's bytes, the NUL included.
    EXPECT_EQ(t.tag_olympus3_equipment.LensModel, std::string("OLYMPUS M.12-40mm F2.8\0", 23));
    const auto& s = t.tag_olympus3_camerasettings;
    EXPECT_EQ(nums(s.FocusMode), (u{0, 0x11}));
    EXPECT_EQ(nums(s.FocusProcess), u{1});
    EXPECT_EQ(nums(s.WhiteBalance2), u{18});
    EXPECT_EQ(nums(s.WhiteBalanceTemperature), u{5300});
    EXPECT_EQ(nums(s.StackedImage), (u{1, 12}));
    const auto& f = t.tag_olympus3_focusinfo;
    EXPECT_EQ(nums(f.AutoFocus), u{1});
    EXPECT_EQ(nums(f.ZoomStepCount), u{2});
    EXPECT_EQ(nums(f.FocusStepCount), u{331});
    EXPECT_EQ(nums(f.FocusStepInfinity), u{325});
    EXPECT_EQ(nums(f.FocusStepNear), u{351});
    EXPECT_EQ(nums(f.FocusDistance), (u{9020, 1}));
    EXPECT_EQ(nums(f.AFPoint), u{7});
    EXPECT_EQ(nums(f.AFPointDetails), u{3});
}

}  // namespace

TEST(Exif, OtherAppSegmentsAreNotExif) {
    const std::string payloads[] = {
        std::string("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 41),
        std::string(),
        std::string("Exif", 4),
    };
    for (const std::string& p : payloads) {
        app1_marker_t app1;
        std::string err;
        EXPECT_FALSE(parse_app1(app1, p, &err));
        EXPECT_FALSE(app1.is_exif());
        EXPECT_EQ(err, "");
    }
}

TEST(Exif, HeaderFailures) {
    struct row_t {
        const char* what;
        std::string tiff;
        const char* line;
    };
    const row_t rows[] = {
        {"no TIFF data at all", "", "too few tiff header size.\n"},
        {"7 bytes", std::string("II*\0\x08\0\0", 7), "too few tiff header size.\n"},
        {"unknown byte order", std::string("IM*\0\x08\0\0\0\0\0", 10),
         "byteorder mark not recognized.\n"},
        {"wrong magic", std::string("MM\0\x2b\0\0\0\x08\0\0", 10), "not tiff(0x00, 0x2a).\n"},
        {"0th IFD past the end", std::string("II*\0\xF8\xFF\xFF\xFF\0\0", 10),
         "0th_ifd_offset size exceed: 4294967288 > 10\n"},
    };
    for (const row_t& r : rows) {
        parsed_t p;
        parse_tiff(p, r.tiff);
        EXPECT_FALSE(p.ok) << r.what;
        EXPECT_EQ(p.err, r.line) << r.what;
    }
}

TEST(Exif, EmptyZerothIfdHasNoFields) {
    parsed_t p;
    parse_tiff(p, std::string("II*\0\x08\0\0\0\0\0\0\0\0\0", 14));
    EXPECT_TRUE(p.ok) << p.err;
    EXPECT_EQ(p.err, "");
    EXPECT_TRUE(p.t().tag_0th.Make.empty());
    EXPECT_TRUE(p.t().tag_0th.Orientation.empty());
    EXPECT_TRUE(p.t().exif_ifd_buffer.empty());
    EXPECT_TRUE(p.t().thumbnail_buffer.empty());
}

TEST(Exif, BothByteOrdersGiveTheSameFields) {
    for (ew::order_t order : {ew::order_t::intel, ew::order_t::motorola}) {
        parsed_t p;
        parse_tiff(p, ew::write_tiff(camera(order, "Canon")));
        ASSERT_TRUE(p.ok) << p.err;
        EXPECT_EQ(p.err, "");
        EXPECT_EQ(p.t().is_intel(), order == ew::order_t::intel);
        EXPECT_EQ(p.t().is_motorola(), order == ew::order_t::motorola);
        expect_camera_fields(p.t(), "Canon");
    }
}

TEST(Exif, ValuesOfUnexpectedSizeAreSkipped) {
    ew::tiff_t t;
    ew::ifd_t exif;
    exif.add(ew::bytes(0x9003, ew::ASCII, "2024:05:06 07:08:0"));  // 19 bytes with the NUL
    exif.add(ew::shorts(0x829A, {1, 250}));                        // a rational as shorts
    exif.add(ew::ascii(0xA434, "Lens"));
    t.ifd0.add(ew::shorts(0x0112, {1, 1}));  // size 4
    t.ifd0.add(ew::longs(0x0128, {2}));      // size 4
    t.ifd0.add(ew::bytes(0x010F, ew::ASCII, std::string("Make\0junk", 9)));
    t.ifd0.add(ew::bytes(0x0110, ew::ASCII, "NoNul"));  // the last byte is dropped
    t.ifd0.add(ew::subdirectory(0x8769, exif));
    parsed_t p;
    parse_tiff(p, ew::write_tiff(t));
    ASSERT_TRUE(p.ok) << p.err;
    EXPECT_TRUE(p.t().tag_0th.Orientation.empty());
    EXPECT_TRUE(p.t().tag_0th.ResolutionUnit.empty());
    EXPECT_EQ(p.t().tag_0th.Make, "Make");
    EXPECT_EQ(p.t().tag_0th.Model, "NoNu");
    EXPECT_TRUE(p.t().tag_exif.DateTimeOriginal.empty());
    EXPECT_TRUE(p.t().tag_exif.ExposureTime.empty());
    EXPECT_EQ(p.t().tag_exif.LensModel, "Lens");
}

TEST(Exif, ThumbnailNeedsBothTagsInsideTheTiffData) {
    struct row_t {
        const char* what;
        std::shared_ptr<ew::ifd_t> ifd1;
        std::string expected;
    };
    auto with = [](std::vector<ew::entry_t> entries) {
        auto d = std::make_shared<ew::ifd_t>();
        d->entries = std::move(entries);
        return d;
    };
    const row_t rows[] = {
        {"no 1st IFD", nullptr, ""},
        {"only the offset", with({ew::offset_of(0x0201, thumb_bytes)}), ""},
        {"both", with({ew::offset_of(0x0201, thumb_bytes), ew::longs(0x0202, {19})}), thumb_bytes},
        {"length past the end", with({ew::offset_of(0x0201, thumb_bytes), ew::longs(0x0202, {20})}),
         ""},
        {"offset near 2^32", with({ew::longs(0x0201, {0xFFFFFFF0u}), ew::longs(0x0202, {32})}), ""},
        {"entries whose values lie outside",
         with({ew::raw(0x0201, ew::LONG, 2, 0xFFFFFFFC), ew::raw(0x0202, ew::LONG, 1000, 8)}), ""},
        {"1st IFD leading back to the 0th", with({}), ""},
    };
    for (const row_t& r : rows) {
        ew::tiff_t t;
        t.ifd0.add(ew::ascii(0x010F, "Make"));
        t.ifd0.next = r.ifd1;
        if (std::string(r.what) == "1st IFD leading back to the 0th") t.ifd0.next_field = 8;
        parsed_t p;
        parse_tiff(p, ew::write_tiff(t));
        EXPECT_TRUE(p.ok) << r.what << ": " << p.err;
        EXPECT_EQ(exiftest::text_of(p.t().thumbnail_buffer), r.expected) << r.what;
    }
}

// Offsets, counts and types that point anywhere: each ends in a clear result.
TEST(Exif, HostileDirectoriesEndCleanly) {
    struct row_t {
        const char* what;
        std::string tiff;
        bool ok;
        std::string line;
    };
    auto tiff_of = [](std::vector<ew::entry_t> ifd0, std::vector<ew::entry_t> exif = {}) {
        ew::tiff_t t;
        t.ifd0.entries = std::move(ifd0);
        t.ifd0.sort = false;
        if (!exif.empty()) {
            ew::ifd_t e;
            e.entries = std::move(exif);
            e.sort = false;
            t.ifd0.add(ew::subdirectory(0x8769, e));
        }
        return ew::write_tiff(t);
    };
    const std::string count_65535 =
        std::string("II*\0", 4) + le32(8) + le16(65535) + std::string(30, '\0');
    const row_t rows[] = {
        {"0th IFD count 65535", count_65535, false, "value over, offset: 34 ifd size: 32\n"},
        {"0th IFD value offset near 2^32", tiff_of({ew::raw(0x011A, ew::RATIONAL, 1, 0xFFFFFFFC)}),
         false, "value over, offset 4294967292 tiff size: 26\n"},
        {"0th IFD string count near 2^32", tiff_of({ew::raw(0x010F, ew::ASCII, 0xFFFFFFFF, 8)}),
         false, "value over, offset 8 tiff size: 26\n"},
        {"0th IFD types 0 and 14 are skipped",
         tiff_of({ew::raw(0x010F, 0, 5, 0), ew::raw(0x0112, 14, 1, 1), ew::shorts(0x0128, {3})}),
         true, ""},
        {"Exif IFD at the 0th IFD", tiff_of({ew::longs(0x8769, {8})}), true, ""},
        {"Exif IFD offset near 2^32", tiff_of({ew::longs(0x8769, {0xFFFFFFFE})}), false,
         "exif_ifd_offset size exceed: 4294967294 > 26\n"},
        {"Exif IFD at the last byte", tiff_of({ew::longs(0x8769, {25})}), false,
         "exif_ifd_offset size exceed: 25 > 26\n"},
        // Offset 22 is the second entry, whose tag reads as a count of 65535.
        {"Exif IFD count 65535", tiff_of({ew::longs(0x8769, {22}), ew::raw(0xFFFF, 3, 1, 0)}),
         false, "exif ifd size exceed: 786446 > 38\n"},
        {"Exif value offset wrapping 32 bits",
         tiff_of({}, {ew::raw(0x829A, ew::RATIONAL, 1, 0xFFFFFFF8)}), false,
         "offset+size over: 4294967288, 8, tiff size: 44\n"},
        {"Exif maker note count near 2^32",
         tiff_of({}, {ew::raw(0x927C, ew::UNDEFINED, 0xFFFFFFF0, 26)}), false,
         "offset+size over: 26, 4294967280, tiff size: 44\n"},
        {"Exif type 14 ends the walk",
         tiff_of({}, {ew::raw(0x9207, 14, 1, 5), ew::shorts(0x9209, {1})}), true, ""},
        {"GPS IFD offset near 2^32", tiff_of({ew::longs(0x8825, {0xFFFFFFFF})}), false,
         "gps_ifd size exceed: 4294967297 > 26\n"},
        {"GPS IFD count 65535", tiff_of({ew::longs(0x8825, {22}), ew::raw(0xFFFF, 3, 1, 0)}), false,
         "gps_ifd size exceed: 786446 > 38\n"},
    };
    for (const row_t& r : rows) {
        parsed_t p;
        parse_tiff(p, r.tiff);
        EXPECT_EQ(p.ok, r.ok) << r.what;
        EXPECT_EQ(p.err, r.line) << r.what;
    }
}

TEST(Exif, SkippedTypesLeaveTheOtherTags) {
    ew::tiff_t t;
    t.ifd0.sort = false;
    t.ifd0.add(ew::raw(0x010F, 0, 5, 0));
    t.ifd0.add(ew::raw(0x0112, 14, 1, 1));
    t.ifd0.add(ew::shorts(0x0128, {3}));
    ew::ifd_t exif;
    exif.sort = false;
    exif.add(ew::shorts(0x9207, {5}));
    exif.add(ew::raw(0x9209, 0xFFFF, 1, 1));
    exif.add(ew::shorts(0xA001, {1}));
    t.ifd0.add(ew::subdirectory(0x8769, exif));
    parsed_t p;
    parse_tiff(p, ew::write_tiff(t));
    ASSERT_TRUE(p.ok) << p.err;
    EXPECT_EQ(p.t().tag_0th.Make, "");
    EXPECT_TRUE(p.t().tag_0th.Orientation.empty());
    EXPECT_EQ(nums(p.t().tag_0th.ResolutionUnit), u{3});
    EXPECT_EQ(nums(p.t().tag_exif.MeteringMode), u{5});
    EXPECT_TRUE(p.t().tag_exif.ColorSpace.empty());  // after the invalid type
}

// The layout of OLYMPUS cameras from about 2004 to 2021: "OLYMPUS", NUL, a
// byte order of its own, a directory at byte 12 with sub-directories.
TEST(Exif, OlympusMakerNoteWithByteOrderReadsLikeOmSystem) {
    for (ew::order_t tiff : {ew::order_t::intel, ew::order_t::motorola}) {
        for (ew::order_t note : {ew::order_t::intel, ew::order_t::motorola}) {
            parsed_t p;
            parse_tiff(p, ew::write_tiff(camera(tiff, "OLYMPUS IMAGING CORP.",
                                                ew::olympus_new(note, olympus3_directory()))));
            ASSERT_TRUE(p.ok) << p.err;
            EXPECT_EQ(p.err, "");
            expect_camera_fields(p.t(), "OLYMPUS IMAGING CORP.");
            expect_olympus3_fields(p.t());
            EXPECT_TRUE(p.t().tag_olympus.FocusMode.empty());
        }
    }
}

TEST(Exif, OmSystemMakerNote) {
    for (ew::order_t order : {ew::order_t::intel, ew::order_t::motorola}) {
        parsed_t p;
        parse_tiff(p, ew::write_tiff(camera(order, "OM Digital Solutions",
                                            ew::om_system(order, olympus3_directory()))));
        ASSERT_TRUE(p.ok) << p.err;
        expect_olympus3_fields(p.t());
    }
    // An OM Digital Solutions maker note in another layout is ignored.
    parsed_t p;
    parse_tiff(p,
               ew::write_tiff(camera(ew::order_t::intel, "OM Digital Solutions",
                                     ew::olympus_new(ew::order_t::intel, olympus3_directory()))));
    EXPECT_TRUE(p.ok) << p.err;
    EXPECT_TRUE(p.t().tag_olympus3_camerasettings.FocusMode.empty());
}

TEST(Exif, OlderOlympusMakerNote) {
    ew::ifd_t dir;
    dir.add(ew::shorts(0x100B, {1}));
    dir.add(ew::rationals(0x100C, {{2500, 10}}));
    dir.add(ew::shorts(0x100F, {2}));
    dir.add(ew::shorts(0x1015, {2, 4}));
    dir.add(ew::shorts(0x1029, {0}));
    dir.add(ew::raw(0x1000, ew::RATIONAL, 1, 0xFFFFFFF8));  // outside: skipped without a word
    for (ew::order_t order : {ew::order_t::intel, ew::order_t::motorola}) {
        for (bool headed : {true, false}) {
            parsed_t p;
            parse_tiff(p,
                       ew::write_tiff(camera(order, "OLYMPUS OPTICAL CO.,LTD",
                                             headed ? ew::olympus_old(dir) : ew::headerless(dir))));
            ASSERT_TRUE(p.ok) << p.err;
            EXPECT_EQ(p.err, "");
            const auto& o = p.t().tag_olympus;
            EXPECT_EQ(nums(o.FocusMode), u{1});
            EXPECT_EQ(rats(o.FocusDistance), (u{2500, 10}));
            EXPECT_EQ(nums(o.SharpnessFactor), u{2});
            EXPECT_EQ(nums(o.WhiteBalanceMode), (u{2, 4}));
            EXPECT_EQ(nums(o.ContrastSetting), u{0});
            EXPECT_EQ(p.t().olympus_ifd_buffer.size(), 2u + 12 * 6);
        }
    }
}

TEST(Exif, PentaxMakerNoteOfRicohCameras) {
    ew::ifd_t dir;
    dir.add(ew::shorts(0x000D, {16}));
    dir.add(ew::shorts(0x0010, {42}));
    dir.add(ew::shorts(0x0019, {3}));
    dir.add(ew::shorts(0x001A, {1}));
    dir.add(ew::raw(0x0017, ew::SHORT, 0, 0));  // size 0: skipped
    // The directory is read in the TIFF data's byte order.
    for (ew::order_t order : {ew::order_t::intel, ew::order_t::motorola}) {
        parsed_t p;
        parse_tiff(p, ew::write_tiff(
                          camera(order, "RICOH IMAGING COMPANY, LTD.", ew::pentax5(order, dir))));
        ASSERT_TRUE(p.ok) << p.err;
        const auto& x = p.t().tag_pentax5;
        EXPECT_EQ(nums(x.FocusMode), u{16});
        EXPECT_EQ(nums(x.FocusPosition), u{42});
        EXPECT_EQ(nums(x.WhiteBalance), u{3});
        EXPECT_EQ(nums(x.WhiteBalanceMode), u{1});
    }
    // Under another make, or in another layout, the maker note is not read.
    parsed_t pentax, aoc;
    parse_tiff(pentax, ew::write_tiff(camera(ew::order_t::motorola, "PENTAX",
                                             ew::pentax5(ew::order_t::motorola, dir))));
    parse_tiff(aoc, ew::write_tiff(camera(ew::order_t::motorola, "RICOH",
                                          ew::pentax_aoc(ew::order_t::motorola, dir))));
    EXPECT_TRUE(pentax.ok && aoc.ok);
    EXPECT_TRUE(pentax.t().tag_pentax5.FocusMode.empty());
    EXPECT_TRUE(aoc.t().tag_pentax5.FocusMode.empty());
}

// Maker notes cut short or pointing anywhere: clear failures, no reads
// outside the maker note.
TEST(Exif, HostileMakerNotes) {
    struct row_t {
        const char* what;
        std::string make;
        ew::entry_t note;
        bool ok;
        std::string line;
    };
    auto note_bytes = [](const std::string& b) { return ew::bytes(0x927C, ew::UNDEFINED, b); };
    auto olympus3 = [](std::vector<ew::entry_t> main, std::vector<ew::entry_t> sub = {}) {
        ew::ifd_t m, s;
        m.entries = std::move(main);
        s.entries = std::move(sub);
        if (!s.entries.empty()) m.add(ew::subdirectory(0x2020, s, ew::IFD));
        return ew::makernote(ew::olympus_new(ew::order_t::intel, m));
    };
    ew::ifd_t empty;
    const char* olympus = "OLYMPUS IMAGING CORP.";
    const row_t rows[] = {
        {"OLYMP alone", olympus, note_bytes("OLYMP"), false,
         "olympus ifd: 0: size 2 over than ifd.size(0).\n"},
        {"OLYMPUS NUL I", olympus, note_bytes(std::string("OLYMPUS\0I", 9)), false,
         "olympus ifd: 0: size 2 over than ifd.size(1).\n"},
        {"OLYMPUS NUL II", olympus, note_bytes(std::string("OLYMPUS\0II", 10)), false,
         "olympus3 ifd: 0: size 2 over than ifd.size(0).\n"},
        {"older header, no entry", olympus, ew::makernote(ew::olympus_old(empty)), false,
         "olympus ifd: 0: no entry.\n"},
        {"older header, count past the end", olympus,
         note_bytes(std::string("OLYMP\0\1\0\x09\0", 10) + std::string(20, '\0')), false,
         "olympus ifd: 9: size 110 over than ifd.size(22).\n"},
        {"headerless, count past the end", olympus, note_bytes(std::string("\x05\0abcd", 6)), false,
         "olympus ifd: 5: size 62 over than ifd.size(6).\n"},
        {"headerless, type 14", olympus, ew::makernote(ew::headerless([] {
             ew::ifd_t d;
             d.add(ew::raw(0x100B, 14, 1, 0));
             return d;
         }())),
         false, "olympus ifd: [0]: type 14 not valid.\n"},
        {"OM SYSTEM alone", "OM Digital Solutions", note_bytes("OM SYSTEM"), false,
         "olympus3 ifd: 0: size 2 over than ifd.size(0).\n"},
        {"PENTAX header alone", "RICOH", note_bytes(std::string("PENTAX \0M", 9)), false,
         "pentax5 ifd: 0: size 2 over than ifd.size(0).\n"},
        {"sub-directory near 2^32", olympus, olympus3({ew::raw(0x2010, ew::IFD, 1, 0xFFFFFFF0)}),
         false, "olympus3 equipment ifd: 0: size 2 over than ifd.size(0).\n"},
        {"sub-directory at the main one", olympus, olympus3({ew::raw(0x2050, ew::IFD, 1, 12)}),
         true, ""},
        // Offset 26 is the second entry, whose tag reads as a count of 65535.
        {"sub-directory count 65535", olympus,
         olympus3({ew::raw(0x2020, ew::IFD, 1, 26), ew::raw(0xFFFF, ew::SHORT, 1, 0)}), false,
         "olympus3 camerasettings ifd: 65535: size 786422 over than ifd.size(16).\n"},
        {"value outside the maker note", olympus,
         olympus3({}, {ew::raw(0x0301, ew::SHORT, 4, 0xFFFFFFF0)}), true,
         "301: [0]: 4294967280, 8: app1 size: 48 over.\n"},
        {"value count near 2^32", olympus,
         olympus3({}, {ew::raw(0x0500, ew::SHORT, 0x80000000u, 0)}), true,
         "500: [0]: 0, 4294967296: app1 size: 48 over.\n"},
        {"type 0 value", olympus, olympus3({}, {ew::raw(0x0301, 0, 2, 0)}), true, ""},
        {"type 14 in a sub-directory", olympus, olympus3({}, {ew::raw(0x0301, 14, 1, 0)}), false,
         "olympus3 camerasettings ifd: [0]: type 14 not valid.\n"},
    };
    for (const row_t& r : rows) {
        ew::tiff_t t;
        t.ifd0.add(ew::ascii(0x010F, r.make));
        ew::ifd_t exif;
        exif.add(r.note);
        t.ifd0.add(ew::subdirectory(0x8769, exif));
        parsed_t p;
        parse_tiff(p, ew::write_tiff(t));
        EXPECT_EQ(p.ok, r.ok) << r.what << ": " << p.err;
        EXPECT_EQ(p.err, r.line) << r.what;
        // The standard fields read before the maker note stay.
        EXPECT_EQ(p.t().tag_0th.Make, r.make) << r.what;
    }
}

TEST(Exif, SecondParseAfterClearStartsAfresh) {
    app1_marker_t app1;
    std::string err;
    ASSERT_TRUE(parse_app1(app1,
                           ew::exif_payload(ew::write_tiff(camera(
                               ew::order_t::intel, "OLYMPUS IMAGING CORP.",
                               ew::olympus_new(ew::order_t::motorola, olympus3_directory())))),
                           &err))
        << err;
    app1.clear();
    EXPECT_TRUE(app1.app1_buffer.empty());
    EXPECT_TRUE(app1.tiff_header.tag_olympus3_focusinfo.AutoFocus.empty());
    ew::tiff_t plain;
    plain.order = ew::order_t::motorola;
    plain.ifd0.add(ew::ascii(0x010F, "OLYMPUS"));
    ASSERT_TRUE(parse_app1(app1, ew::exif_payload(ew::write_tiff(plain)), &err)) << err;
    EXPECT_EQ(app1.tiff_header.tag_0th.Make, "OLYMPUS");
    EXPECT_TRUE(app1.tiff_header.makernote_buffer.empty());
    EXPECT_TRUE(app1.tiff_header.tag_exif.FNumber.empty());
    EXPECT_TRUE(app1.tiff_header.thumbnail_buffer.empty());
}

TEST(Exif, ZeroLengthApp1SegmentIsNotExif) {
    std::string jpeg = std::string("\xFF\xD8\xFF\xE1\x00\x02\xFF\xD9", 8) + std::string(4, '\0');
    libutils::bytevector file = exiftest::buffer_of(jpeg);
    libgr::jpeginfo2_t info;
    ASSERT_TRUE(info.analyze(file));
    ASSERT_EQ(info.markers.size(), 1u);
    app1_marker_t app1;
    app1.set_app1_buffer(info.get_marker(libgr::marker_APP1));
    std::string err = exiftest::stderr_of([&] { EXPECT_FALSE(app1.parse()); });
    EXPECT_EQ(err, "");
}
