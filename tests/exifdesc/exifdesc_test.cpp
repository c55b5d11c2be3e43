// The EXIF description on blocks written by the fixture writer: each item's
// wording, the line prefixes, the maker classes, the stream state an
// F-number leaves behind, and rationals that must not be divided.
#include <gtest/gtest.h>

#include <sstream>

#include "describe.h"
#include "glimlib/message.h"
#include "snapfolio/engine/exifdesc.h"
#include "snapfolio/engine/message.h"
#include "support/testenv.h"

using namespace exifdesctest;
using snapfolio::writeexif;

namespace {

using rational = std::pair<uint32_t, uint32_t>;
using srational = std::pair<int32_t, int32_t>;

ew::entry_t exposure(uint32_t n, uint32_t d) {
    return ew::rationals(0x829A, {rational{n, d}});
}
ew::entry_t fnumber(uint32_t n, uint32_t d) {
    return ew::rationals(0x829D, {rational{n, d}});
}
ew::entry_t program(uint16_t v) {
    return ew::shorts(0x8822, {v});
}
ew::entry_t iso(uint16_t v) {
    return ew::shorts(0x8827, {v});
}
ew::entry_t sos(uint32_t v) {
    return ew::longs(0x8831, {v});
}
ew::entry_t date(const std::string& d) {
    return ew::ascii(0x9003, d);
}
ew::entry_t bias(int32_t n, int32_t d) {
    return ew::srationals(0x9204, {srational{n, d}});
}
ew::entry_t metering(uint16_t v) {
    return ew::shorts(0x9207, {v});
}
ew::entry_t flash(uint16_t v) {
    return ew::shorts(0x9209, {v});
}
ew::entry_t focal(uint32_t n, uint32_t d) {
    return ew::rationals(0x920A, {rational{n, d}});
}
ew::entry_t colour(uint16_t v) {
    return ew::shorts(0xA001, {v});
}
ew::entry_t whitebalance(uint16_t v) {
    return ew::shorts(0xA403, {v});
}
ew::entry_t focal35(uint16_t v) {
    return ew::shorts(0xA405, {v});
}
ew::entry_t contrast(uint16_t v) {
    return ew::shorts(0xA408, {v});
}
ew::entry_t saturation(uint16_t v) {
    return ew::shorts(0xA409, {v});
}
ew::entry_t sharpness(uint16_t v) {
    return ew::shorts(0xA40A, {v});
}
ew::entry_t lens(const std::string& l) {
    return ew::ascii(0xA434, l);
}

block_t shot(std::vector<ew::entry_t> exif) {
    block_t b;
    b.exif = std::move(exif);
    return b;
}

// An OM Digital Solutions maker note with the given CameraSettings and
// FocusInfo entries.
ew::makernote_t om_note(std::vector<ew::entry_t> settings, std::vector<ew::entry_t> focus = {}) {
    ew::ifd_t s, f, main;
    for (auto& e : settings) s.add(e);
    for (auto& e : focus) f.add(e);
    main.add(ew::subdirectory(0x2020, s, ew::IFD));
    if (!focus.empty()) main.add(ew::subdirectory(0x2050, f, ew::IFD));
    return ew::om_system(ew::order_t::intel, main);
}

ew::makernote_t olympus_old_note(std::vector<ew::entry_t> entries) {
    ew::ifd_t dir;
    for (auto& e : entries) dir.add(e);
    return ew::olympus_old(dir);
}

ew::makernote_t pentax_note(std::vector<ew::entry_t> entries) {
    ew::ifd_t dir;
    for (auto& e : entries) dir.add(e);
    return ew::pentax5(ew::order_t::intel, dir);
}

block_t with_note(const std::string& make, ew::makernote_t note,
                  std::vector<ew::entry_t> exif = {}) {
    block_t b = shot(std::move(exif));
    b.make = make;
    b.note = std::move(note);
    return b;
}

}  // namespace

TEST(ExifDescLookups, GcdSearchAndBitMasks) {
    EXPECT_EQ(snapfolio::gcd(10, 2500), 10u);
    EXPECT_EQ(snapfolio::gcd(7, 0), 7u);
    EXPECT_EQ(snapfolio::gcd(0, 6), 6u);
    EXPECT_EQ(snapfolio::gcd(0, 0), 0u);
    EXPECT_EQ(snapfolio::gcd(17, 5), 1u);

    EXPECT_STREQ(snapfolio::search_desc(snapfolio::olym3focusmode0, 10), "MF");
    EXPECT_STREQ(snapfolio::search_desc(snapfolio::olym3focusmode0, 5), "Unknown");
    EXPECT_STREQ(snapfolio::search_desc(snapfolio::pex5focusmode, 274), "AF-A (Release-priority)");
    EXPECT_STREQ(snapfolio::search_desc(snapfolio::olym3whitebal, 48), "3600K");
    EXPECT_STREQ(snapfolio::search_desc(snapfolio::colorspace, 2), "Unknown");

    struct {
        uint64_t value;
        const char* text;
    } bits[] = {
        {0, ""},
        {2, ""},
        {0x11, "S-AF/MF"},
        {0x3FF,
         "S-AF/C-AF/MF/Face Detect/Imager AF/"
         "Live View Magnification Frame/AF sensor/"
         "Starry Sky AF"},
        {0x240, "Imager AF/Starry Sky AF"},
    };
    for (const auto& b : bits) {
        std::ostringstream out;
        snapfolio::search_desc_bit(out, snapfolio::olym3focusmode1, b.value);
        EXPECT_EQ(out.str(), b.text) << b.value;
    }
}

TEST(ExifDescMaker, ClassByMakeWithoutRegardToCase) {
    struct {
        const char* make;
        snapfolio::e_maker_t kind;
    } cases[] = {
        {"OM Digital Solutions", snapfolio::maker_om},
        {"om digital", snapfolio::maker_om},
        {"OM Digita", snapfolio::maker_other},
        {"OLYMPUS OPTICAL CO.,LTD", snapfolio::maker_olympus},
        {"Olympus Imaging Corp.", snapfolio::maker_olympus},
        {"SONY", snapfolio::maker_sony},
        {"RICOH IMAGING COMPANY, LTD.", snapfolio::maker_ricoh},
        {"NIKON CORPORATION", snapfolio::maker_nikon},
        {"Canon", snapfolio::maker_canon},
        {"PENTAX Corporation", snapfolio::maker_other},
        {"", snapfolio::maker_other},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(snapfolio::maker_class(c.make), c.kind) << c.make;
        EXPECT_EQ(snapfolio::maker_of(c.kind).kind(), c.kind) << c.make;
    }
}

TEST(ExifDesc, LinePrefixesFollowBrAndTheDateLine) {
    const block_t dated = shot({date("2024:05:06 07:08:09"), lens("12-40mm F2.8 ")});
    EXPECT_EQ(describe(dated, false),
              "\t2024:05:06 07:08:09\n\tTestCam, X1\n\t12-40mm F2.8\n\t\n\t\n\t, \n");
    EXPECT_EQ(describe(dated, true),
              "\t2024:05:06 07:08:09\n\t<br>TestCam, X1\n\t<br>12-40mm F2.8\n\t<br>\n\t<br>\n"
              "\t<br>, \n");
    // Without a date the camera line has no "<br>"; without a model there is
    // no camera line and no lens line.
    EXPECT_EQ(describe(shot({lens("Lens")}), true),
              "\tTestCam, X1\n\t<br>Lens\n\t<br>\n\t<br>\n\t<br>, \n");
    block_t anonymous = shot({lens("Lens"), date("2024:05:06 07:08:09")});
    anonymous.model.clear();
    EXPECT_EQ(describe(anonymous, true), "\t2024:05:06 07:08:09\n\t<br>\n\t<br>\n\t<br>, \n");
    // A date of blanks counts as none.
    EXPECT_EQ(describe(shot({date("                   ")}), true),
              "\tTestCam, X1\n\t<br>\n\t<br>\n\t<br>, \n");
}

TEST(ExifDesc, ExposureItemsInWords) {
    struct {
        const char* name;
        std::vector<ew::entry_t> exif;
        const char* line_c;
    } cases[] = {
        {"short exposure reduced", {exposure(10, 2500)}, "\t, 1/250sec"},
        {"whole seconds", {exposure(30, 10)}, "\t, 3sec"},
        {"fraction without f-number", {exposure(13, 10)}, "\t, 1.3sec"},
        {"fraction after f-number", {fnumber(28, 10), exposure(13, 10)}, "\t, f/2.8, 1.30sec"},
        {"three digits", {exposure(1234, 1000)}, "\t, 1.23sec"},
        {"zero exposure", {exposure(0, 10)}, "\t, 0sec"},
        {"f-number", {fnumber(28, 10)}, "\t, f/2.8"},
        {"whole f-number", {fnumber(11, 1)}, "\t, f/11.0"},
        {"focal length fraction", {focal(71, 10)}, "\tf=7.1mm"},
        {"focal length whole", {focal(12, 1)}, "\tf=12mm"},
        {"focal length in tenths", {focal(310, 10)}, "\tf=31mm"},
        {"35mm equivalent", {focal(50, 1), focal35(75)}, "\tf=50mm(75mm)"},
        {"35mm equivalent alone", {focal35(75)}, "\t(75mm)"},
        {"metering", {metering(5)}, "\t, [ESP]"},
        {"metering unknown", {metering(255)}, "\t, [Unk]"},
        {"metering other", {metering(7)}, "\t, [OTH]"},
        {"bias negative third", {bias(-2, 6)}, "\t, -1/3 EV"},
        {"bias zero", {bias(0, 6)}, "\t"},
        {"bias whole", {bias(6, 6)}, "\t, +1 EV"},
        {"bias whole negative", {bias(-4, 2)}, "\t, -2 EV"},
        {"bias tenths", {bias(7, 10)}, "\t, +7/10 EV"},
        {"bias most negative", {bias(INT32_MIN, 2)}, "\t, -1073741824 EV"},
        {"all in order",
         {bias(1, 3), metering(4), exposure(1, 60), fnumber(56, 10), focal35(24), focal(12, 1)},
         "\tf=12mm(24mm), f/5.6, 1/60sec, [MUL], +1/3 EV"},
    };
    for (const auto& c : cases) EXPECT_EQ(line(describe(shot(c.exif)), 1), c.line_c) << c.name;
}

TEST(ExifDesc, RationalsWithZeroDenominatorAreLeftOut) {
    struct {
        const char* name;
        std::vector<ew::entry_t> exif;
        const char* line_c;
    } cases[] = {
        {"exposure 0/0", {exposure(0, 0), metering(1)}, "\t, [AVE]"},
        {"exposure 5/0", {exposure(5, 0), metering(1)}, "\t, [AVE]"},
        {"bias 0/0", {bias(0, 0), metering(1)}, "\t, [AVE]"},
        {"bias -2/0", {bias(-2, 0), metering(1)}, "\t, [AVE]"},
        {"focal length 0/0", {focal(0, 0), focal35(28)}, "\t(28mm)"},
        {"focal length 7/0", {focal(7, 0), focal35(28)}, "\t(28mm)"},
        {"f-number 0/0", {fnumber(0, 0), exposure(13, 10)}, "\t, 1.3sec"},
        {"f-number 28/0", {fnumber(28, 0), exposure(13, 10)}, "\t, 1.3sec"},
    };
    for (const auto& c : cases) EXPECT_EQ(line(describe(shot(c.exif)), 1), c.line_c) << c.name;

    // The older OLYMPUS manual focus distance.
    for (rational d : {rational{0, 0}, rational{500, 0}}) {
        block_t b = with_note(
            "OLYMPUS", olympus_old_note({ew::shorts(0x100B, {1}), ew::rationals(0x100C, {d})}));
        EXPECT_EQ(line(describe(b), 2), "\t, MF") << d.first << "/" << d.second;
    }
}

TEST(ExifDesc, AnFNumberLeavesTheStreamInFixedNotation) {
    std::ostringstream out;
    libgr::app1_marker_t first, second;
    ASSERT_TRUE(parse_block(first, shot({fnumber(40, 10)})));
    ASSERT_TRUE(parse_block(second, shot({focal(71, 10), exposure(13, 10)})));
    writeexif(out, first.tiff_header, false);
    writeexif(out, second.tiff_header, false);
    // The second picture's focal length in fixed notation with precision 0,
    // its exposure time with two decimals.
    EXPECT_EQ(line(out.str(), 5), "\tf=7mm, 1.30sec");
}

TEST(ExifDesc, ProgramIsoAndFlash) {
    struct {
        const char* name;
        std::vector<ew::entry_t> exif;
        const char* line_d;
    } cases[] = {
        {"program", {program(2)}, "\tP"},
        {"program landscape", {program(8)}, "\tl"},
        {"program unknown", {program(9)}, "\tU"},
        {"iso", {iso(200)}, "\t, iso200"},
        {"iso from standard output sensitivity", {iso(65535), sos(102400)}, "\t, iso102400"},
        {"iso 65535 alone", {iso(65535)}, "\t, iso65535"},
        {"sensitivity without iso", {sos(102400)}, "\t"},
        {"flash fired, auto", {flash(0x19)}, "\t, Flash, Auto"},
        {"flash not fired", {flash(0x10)}, "\t"},
        {"flash compulsory, return detected",
         {flash(0x0F)},
         "\t, Flash, Return Detected, Compulsory"},
        {"flash return not detected", {flash(0x15)}, "\t, Flash, Return Not Detected, Compulsory"},
        {"flash red-eye", {flash(0x59)}, "\t, Flash, Auto, Red-Eye Reduce"},
        {"flash no function", {flash(0x21)}, "\t, Flash, No Flash Function"},
        {"all in order", {flash(1), iso(100), program(1)}, "\tM, iso100, Flash"},
    };
    for (const auto& c : cases) EXPECT_EQ(line(describe(shot(c.exif)), 2), c.line_d) << c.name;
}

TEST(ExifDesc, SettingsOfOtherCameras) {
    struct {
        const char* name;
        std::vector<ew::entry_t> exif;
        const char* line_e;
    } cases[] = {
        {"no colour space", {}, "\t, "},
        {"srgb", {colour(1)}, "\t, sRGB"},
        {"uncalibrated", {colour(65535)}, "\t, Uncalibrated"},
        {"colour space unknown", {colour(2)}, "\t, Unknown"},
        {"white balance", {whitebalance(1)}, "\tManual WB, "},
        {"white balance unknown", {whitebalance(3)}, "\tUnknown WB, "},
        {"picture settings",
         {contrast(2), saturation(1), sharpness(2), whitebalance(0), colour(1)},
         "\tAuto WB, Shp Hard, Sat Low, Ctr High, sRGB"},
        {"unknown settings",
         {contrast(3), saturation(4), sharpness(3)},
         "\t, Shp Unknown, Sat Unknown, Ctr Unknown, "},
    };
    for (const auto& c : cases) EXPECT_EQ(line(describe(shot(c.exif)), 3), c.line_e) << c.name;
}

TEST(ExifDesc, OmDigitalSolutionsFocusWhiteBalanceAndLiveComposite) {
    const std::vector<ew::entry_t> exif = {whitebalance(1), sharpness(0), colour(1), program(1)};
    struct {
        const char* name;
        std::vector<ew::entry_t> settings, focus;
        const char* line_d;
        const char* rest;  // line E and what follows
    } cases[] = {
        {"two focus values",
         {ew::shorts(0x0301, {0, 0x11})},
         {},
         "\tM, S-AF/MF",
         "\t, Shp Normal, sRGB\n"},
        {"two focus values, step",
         {ew::shorts(0x0301, {10, 16})},
         {ew::shorts(0x0301, {21919})},
         "\tM, MF(P=21919)",
         "\t, Shp Normal, sRGB\n"},
        {"one focus value",
         {ew::shorts(0x0301, {2})},
         {ew::shorts(0x0301, {12})},
         "\tM, Continuous AF(P=12)",
         "\t, Shp Normal, sRGB\n"},
        {"one unknown value",
         {ew::shorts(0x0301, {7})},
         {},
         "\tM, Unknown",
         "\t, Shp Normal, sRGB\n"},
        {"autofocus flag",
         {ew::shorts(0x0500, {18})},
         {ew::shorts(0x0209, {1}), ew::shorts(0x0301, {5})},
         "\tM, AF(P=5)",
         "\t5300K, Shp Normal, sRGB\n"},
        {"manual flag",
         {ew::shorts(0x0500, {600})},
         {ew::shorts(0x0209, {0})},
         "\tM, MF",
         "\tUnknown, Shp Normal, sRGB\n"},
        {"live composite",
         {ew::longs(0x0804, {1, 12})},
         {},
         "\tM",
         "\t, Shp Normal, sRGB\n\tLiveComp 12 frames\n"},
        {"not stacked", {ew::longs(0x0804, {0, 0})}, {}, "\tM", "\t, Shp Normal, sRGB\n"},
    };
    for (const auto& c : cases) {
        const std::string text =
            describe(with_note("OM Digital Solutions", om_note(c.settings, c.focus), exif));
        EXPECT_EQ(line(text, 2), c.line_d) << c.name;
        EXPECT_EQ(from_line(text, 3), c.rest) << c.name;
    }
    const std::string br = describe(
        with_note("OM Digital Solutions", om_note({ew::longs(0x0804, {1, 3})}), exif), true);
    EXPECT_EQ(from_line(br, 3), "\t<br>, Shp Normal, sRGB\n\t<br>LiveComp 3 frames\n");
}

TEST(ExifDesc, OlderOlympusMakerNote) {
    const std::vector<ew::entry_t> exif = {whitebalance(1), contrast(1), colour(1)};
    struct {
        const char* name;
        std::vector<ew::entry_t> note;
        const char* line_d;
        const char* line_e;
    } cases[] = {
        {"autofocus", {ew::shorts(0x100B, {0})}, "\t, AF", "\t, sRGB"},
        {"manual, distance",
         {ew::shorts(0x100B, {1}), ew::rationals(0x100C, {{9020, 10}})},
         "\t, MF(P=902)",
         "\t, sRGB"},
        {"unknown mode",
         {ew::shorts(0x100B, {2}), ew::rationals(0x100C, {{9020, 10}})},
         "\t, U",
         "\t, sRGB"},
        {"auto white balance", {ew::shorts(0x1015, {1, 0})}, "\t", "\tAuto WB, sRGB"},
        {"preset", {ew::shorts(0x1015, {2, 3})}, "\t", "\tPreset 3700K, sRGB"},
        {"preset out of range", {ew::shorts(0x1015, {2, 9})}, "\t", "\tPreset , sRGB"},
        {"white balance unknown", {ew::shorts(0x1015, {5, 0})}, "\t", "\t, sRGB"},
        {"sharpness and contrast",
         {ew::shorts(0x100F, {2}), ew::shorts(0x1029, {0})},
         "\t",
         "\t, Shp Soft, Ctr High, sRGB"},
        {"out of range",
         {ew::shorts(0x100F, {3}), ew::shorts(0x1029, {3})},
         "\t",
         "\t, Shp Unknown, Ctr Unknown, sRGB"},
    };
    for (const auto& c : cases) {
        const std::string text =
            describe(with_note("OLYMPUS OPTICAL CO.,LTD", olympus_old_note(c.note), exif));
        EXPECT_EQ(line(text, 2), c.line_d) << c.name;
        EXPECT_EQ(line(text, 3), c.line_e) << c.name;
    }
}

TEST(ExifDesc, RicohCamerasShowThePentaxFocusMode) {
    const std::vector<ew::entry_t> exif = {program(3), iso(100)};
    EXPECT_EQ(line(describe(with_note(
                       "RICOH IMAGING COMPANY, LTD.",
                       pentax_note({ew::shorts(0x000D, {16}), ew::shorts(0x0010, {42})}), exif)),
                   2),
              "\tA, AF-S (Focus-priority)(P=42), iso100");
    EXPECT_EQ(line(describe(with_note("RICOH", pentax_note({ew::shorts(0x000D, {999})}), exif)), 2),
              "\tA, Unknown, iso100");
    // The same maker note under another make says nothing of focus.
    EXPECT_EQ(line(describe(with_note("PENTAX", pentax_note({ew::shorts(0x000D, {16})}), exif)), 2),
              "\tA, iso100");
}

TEST(ExifDesc, MotorolaBlocksDescribeTheSame) {
    auto block = [](ew::order_t order) {
        ew::ifd_t settings, main;
        settings.add(ew::shorts(0x0301, {0, 0x11}));
        settings.add(ew::longs(0x0804, {1, 4}));
        main.add(ew::subdirectory(0x2020, settings, ew::IFD));
        block_t b = with_note("OM Digital Solutions", ew::om_system(order, main),
                              {fnumber(28, 10), exposure(10, 2500), bias(-2, 6), flash(0x19)});
        b.order = order;
        return b;
    };
    const std::string intel = describe(block(ew::order_t::intel), true);
    EXPECT_EQ(intel,
              "\tOM Digital Solutions, X1\n\t<br>, f/2.8, 1/250sec, -1/3 EV\n"
              "\t<br>, S-AF/MF, Flash, Auto\n\t<br>, \n\t<br>LiveComp 4 frames\n");
    EXPECT_EQ(describe(block(ew::order_t::motorola), true), intel);
}

TEST(ExifDescFile, WritesTheDescriptionOfAFileInTheAlbum) {
    const block_t b = shot({date("2024:05:06 07:08:09"), fnumber(28, 10), exposure(10, 2500)});
    const std::string file = write_photo(tiff_of(b));
    const std::string folder = file.substr(0, file.rfind('/'));
    const std::string album = folder.substr(0, folder.rfind('/'));
    const std::string name = folder.substr(folder.rfind('/') + 1);
    std::ostringstream out;
    ASSERT_TRUE(writeexif(out, snapfolio::path_t(album, "", ""), name, "photo.jpg", true));
    EXPECT_EQ(out.str(), describe(b, true));
}

TEST(ExifDescFile, WithoutExifNothingIsWritten) {
    std::ostringstream out;
    const std::string file = write_photo("");
    EXPECT_FALSE(
        writeexif(out, snapfolio::path_t(), file.substr(0, file.rfind('/')), "photo.jpg", true));
    EXPECT_EQ(out.str(), "");
    // A file that does not exist, and one whose EXIF parse fails.
    EXPECT_FALSE(writeexif(out, snapfolio::path_t(), "/nonexistent", "photo.jpg", true));
    ew::tiff_t broken;
    broken.magic = 43;
    const std::string bad = write_photo(ew::write_tiff(broken));
    EXPECT_NE(testenv::stderr_of([&] {
                  EXPECT_FALSE(writeexif(out, snapfolio::path_t(), bad.substr(0, bad.rfind('/')),
                                         "photo.jpg", true));
              }),
              "");
    EXPECT_EQ(out.str(), "");
}

TEST(ExifDescInit, MeteringNamesComeFromTheCatalogue) {
    std::string loaded;
    testenv::stderr_of(
        [&] { loaded = glimlib::init_message(testenv::bin_dir() + "/", "snapfolio"); });
    if (loaded.empty()) GTEST_SKIP() << "no snapfolio catalogue beside the programs";
    snapfolio::initexif();
    EXPECT_STREQ(snapfolio::meteringmode[2], glimlib::getmsg(snapfolio::msg_metering_center));
    EXPECT_STREQ(snapfolio::meteringmode[3], glimlib::getmsg(snapfolio::msg_metering_spot));
    EXPECT_EQ(line(describe(shot({metering(2)})), 1),
              std::string("\t, ") + snapfolio::meteringmode[2]);
}
