// The description of real camera files, line by line. Each expectation was
// worked out by hand from exiftool's numeric reading of the file
// (FILE.exiftool.json beside it): e.g. ExposureTime 0.00625 is 1/160,
// FNumber 11 is "f/11.0", ExposureCompensation 0.7 is +7/10, Flash 25 is
// fired in auto mode, MeteringMode 5 is "[ESP]".
#include <gtest/gtest.h>

#include <sstream>

#include "describe.h"
#include "libgr/jpeg/jpegdata.h"
#include "libgr/jpeg/jpeginfo2.h"
#include "snapfolio/engine/exifdesc.h"
#include "support/testenv.h"

namespace ew = exifwriter;

namespace {

struct camera_case_t {
    const char* file;
    const char* text;  // with br
};

const camera_case_t camera_cases[] = {
    // OLYMPUS, older maker note: focus mode 0, WBMode 1 0, Sharpness 0,
    // Contrast 1; the Exif picture settings are not shown for OLYMPUS.
    {"Olympus_E-20.jpg",
     "\t2001:12:08 14:07:01\n"
     "\t<br>OLYMPUS OPTICAL CO.,LTD, E-20,E-20N,E-20P\n"
     "\t<br>f=31mm, f/3.2, 1/160sec, [ESP], +7/10 EV\n"
     "\t<br>P, AF, iso80\n"
     "\t<br>Auto WB, Shp Normal, Ctr Normal, sRGB\n"},
    // OLYMPUS, older maker note without the decoded tags.
    {"olympus_C-5050Z_PB180006.JPG",
     "\t2020:11:18 17:56:11\n"
     "\t<br>OLYMPUS OPTICAL CO.,LTD, C5050Z\n"
     "\t<br>f=7.1mm, f/5.6, 1/30sec, [ESP]\n"
     "\t<br>P, iso100, Flash, Auto\n"
     "\t<br>, sRGB\n"},
    // OLYMPUS, newer maker note: one focus value (0, Single AF) and the
    // focus step count 331.
    {"Olympus_S760.jpg",
     "\t2007:07:28 20:38:32\n"
     "\t<br>OLYMPUS IMAGING CORP., u760,S760\n"
     "\t<br>f=6.5mm, f/3.4, 1/30sec, [ESP], +7/10 EV\n"
     "\t<br>C, Single AF(P=331), iso200, Flash, Auto\n"
     "\t<br>, sRGB\n"},
    // Two focus values, 0 65: the masks S-AF (1) and Imager AF (64).
    {"olympus_E-P3_42_IndexError.jpg",
     "\t2014:08:23 13:05:43\n"
     "\t<br>OLYMPUS IMAGING CORP., E-P3\n"
     "\t<br>f=15mm, f/3.6, 1/30sec, [ESP]\n"
     "\t<br>C, S-AF/Imager AF(P=336), iso1600\n"
     "\t<br>, sRGB\n"},
    // OM Digital Solutions: focus 10 16 (MF), WhiteBalance2 18 (5300K),
    // StackedImage 0 0 (no live composite line).
    {"om-system_OM-1_spliced.jpg",
     "\t2022:03:05 14:05:59\n"
     "\t<br>OM Digital Solutions, OM-1\n"
     "\t<br>OLYMPUS M.12-100mm F4.0\n"
     "\t<br>f=12mm, f/5.6, 1/250sec, [ESP]\n"
     "\t<br>M, MF(P=21919), iso200\n"
     "\t<br>5300K, Shp Normal, Sat Normal, Ctr Normal, sRGB\n"},
    // RICOH make; its PENTAX maker note sits in IFD0's DNGPrivateData (the
    // sidecar came from a raw file), not in the Exif MakerNote, so no focus
    // mode (see RealPentaxMakerNoteUnderTheRicohMake). No ColorSpace.
    {"pentax_K-30_makeRICOH_spliced.jpg",
     "\t2012:07:31 08:56:59\n"
     "\t<br>RICOH, PENTAX K-30\n"
     "\t<br>f=31mm(46mm), f/11.0, 1/60sec, [ESP]\n"
     "\t<br>l, iso100\n"
     "\t<br>Auto WB, Shp Hard, Sat Normal, Ctr High, \n"},
    {"nikon_D90_DSC_0010.JPG",
     "\t2021:06:25 10:35:42\n"
     "\t<br>NIKON CORPORATION, NIKON D90\n"
     "\t<br>f=50mm(75mm), f/1.8, 1/125sec, [ESP]\n"
     "\t<br>S\n"
     "\t<br>Manual WB, Shp Normal, Sat Normal, Ctr Normal, sRGB\n"},
    {"canon_EOS5DMkIII__K6A7942.JPG",
     "\t2023:09:01 17:19:48\n"
     "\t<br>Canon, Canon EOS 5D Mark III\n"
     "\t<br>EF28-135mm f/3.5-5.6 IS USM\n"
     "\t<br>f=135mm, f/5.6, 1/160sec, [ESP]\n"
     "\t<br>P, iso320\n"
     "\t<br>Auto WB, Uncalibrated\n"},
};

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

// Without "<br>": the same lines, each beginning with a tab only.
std::string without_br(std::string text) {
    for (size_t p; (p = text.find("<br>")) != std::string::npos;) text.erase(p, 4);
    return text;
}

// The value of a tag of IFD0 in little-endian TIFF data, or "".
std::string ifd0_value_le(const std::string& tiff, uint16_t tag) {
    auto u16 = [&](size_t p) {
        return p + 2 <= tiff.size()
                   ? unsigned((unsigned char)tiff[p]) | unsigned((unsigned char)tiff[p + 1]) << 8
                   : 0u;
    };
    auto u32 = [&](size_t p) { return u16(p) | uint32_t(u16(p + 2)) << 16; };
    if (tiff.compare(0, 2, "II") != 0) return std::string();
    const uint32_t ifd = u32(4);
    for (unsigned i = 0, n = u16(ifd); i < n; ++i) {
        const size_t e = ifd + 2 + 12 * i;
        if (u16(e) != tag) continue;
        const uint32_t count = u32(e + 4), offset = u32(e + 8);
        if (offset + uint64_t(count) > tiff.size()) return std::string();
        return tiff.substr(offset, count);
    }
    return std::string();
}

}  // namespace

TEST(ExifDescCamera, DescriptionsOfRealFilesLineByLine) {
    SKIP_WITHOUT_CAMERA_FILES();
    const snapfolio::path_t path(testenv::camera_dir(), "", "");
    for (const camera_case_t& c : camera_cases) {
        SCOPED_TRACE(c.file);
        std::ostringstream out;
        ASSERT_TRUE(snapfolio::writeexif(out, path, "", c.file, true));
        const auto got = lines_of(out.str()), want = lines_of(c.text);
        ASSERT_EQ(got.size(), want.size()) << out.str();
        for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(got[i], want[i]) << "line " << i;
        EXPECT_EQ(out.str(), c.text);

        std::ostringstream plain;
        ASSERT_TRUE(snapfolio::writeexif(plain, path, "", c.file, false));
        EXPECT_EQ(plain.str(), without_br(c.text));
    }
}

TEST(ExifDescCamera, FilesWithoutExifGetNoDescription) {
    SKIP_WITHOUT_CAMERA_FILES();
    const snapfolio::path_t path(testenv::camera_dir(), "", "");
    // An arithmetic-coded file with no APP1, and a metadata sidecar that is
    // not a JPEG stream.
    for (const char* file : {"testimgari.jpg", "om-system_OM-1_test_issue_2126.exv"}) {
        std::ostringstream out;
        testenv::stderr_of(
            [&] { EXPECT_FALSE(snapfolio::writeexif(out, path, "", file, true)) << file; });
        EXPECT_EQ(out.str(), "") << file;
    }
}

// The K-30's real PENTAX maker note (self-relative, read in the TIFF data's
// byte order), moved into the Exif MakerNote of a block whose make is RICOH:
// exiftool reads its FocusMode as 18 and finds no FocusPosition.
TEST(ExifDescCamera, RealPentaxMakerNoteUnderTheRicohMake) {
    SKIP_WITHOUT_CAMERA_FILES();
    const std::string file = testenv::camera_dir() + "/pentax_K-30_makeRICOH_spliced.jpg";
    libgr::jpegdata2_t jpeg;
    ASSERT_TRUE(jpeg.load(file.c_str()));
    libgr::jpeginfo2_t info;
    ASSERT_TRUE(info.analyze(jpeg));
    const libutils::bytevector app1 = info.get_marker(libgr::marker_APP1);
    ASSERT_GT(app1.size(), 6u);
    const std::string tiff(reinterpret_cast<const char*>(app1.begin()) + 6, app1.size() - 6);
    const std::string note = ifd0_value_le(tiff, 0xC634);
    ASSERT_EQ(note.compare(0, 8, std::string("PENTAX \0", 8)), 0);

    exifdesctest::block_t b;
    b.make = "RICOH";
    b.model = "PENTAX K-30";
    b.exif = {ew::shorts(0x8822, {8}), ew::shorts(0x8827, {100}),
              ew::bytes(0x927C, ew::UNDEFINED, note)};
    EXPECT_EQ(exifdesctest::describe(b, true),
              "\tRICOH, PENTAX K-30\n\t<br>\n\t<br>l, AF-A (Focus-priority), iso100\n\t<br>, \n");
}

// jpegtran -progressive writes a first scan with successive approximation;
// the description and the EXIF thumbnail do not depend on the scan type.
TEST(ExifDescCamera, ProgressiveCopiesAreDescribedLikeTheirOriginals) {
    SKIP_WITHOUT_CAMERA_FILES();
    SKIP_WITHOUT_PROGRAM("jpegtran");
    const std::string dir = testenv::scratch_dir("progressive");
    for (const char* file : {"Olympus_E-20.jpg", "olympus_C-5050Z_PB180006.JPG"}) {
        SCOPED_TRACE(file);
        ASSERT_EQ(testenv::run("jpegtran -progressive -copy all " +
                               testenv::shell_quote(testenv::camera_dir() + "/" + file) + " > " +
                               testenv::shell_quote(dir + "/" + file)),
                  0);
        std::ostringstream original, progressive;
        ASSERT_TRUE(snapfolio::writeexif(original, snapfolio::path_t(testenv::camera_dir(), "", ""),
                                         "", file, true));
        ASSERT_TRUE(snapfolio::writeexif(progressive, snapfolio::path_t(dir, "", ""), "", file, true));
        EXPECT_EQ(progressive.str(), original.str());
    }
}
