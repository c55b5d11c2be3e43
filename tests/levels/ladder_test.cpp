// The ladder of an unturned photo: how many levels, their sizes, the link at
// full size, the segments the smaller levels carry, the thumbnail.
#include <cstdio>

#include "albumtest.h"
#include "libgr/image/scaledown.h"
#include "libutils/path.h"
#include "snapfolio/engine/ladderfiles.h"
#include "snapfolio/engine/levels.h"
#include "support/testenv.h"

using albumtest::AlbumTest;
using snapfolio::files_t;

namespace {

std::string com_segment(const std::string& text) {
    std::string seg = "\xFF\xFE";
    seg += char((text.size() + 2) >> 8);
    seg += char((text.size() + 2) & 0xFF);
    return seg + text;
}

uint64_t level_of(const std::string& file) {
    uint64_t l = 0;
    testenv::stderr_of([&] { l = snapfolio::getshrinklevel(file); });
    return l;
}

}  // namespace

TEST_F(AlbumTest, ShrinkLevelFollowsTheLimit) {
    struct {
        int width, height;
        uint64_t limit_w, limit_h, level;
    } const cases[] = {
        {4000, 3000, 1024, 1024, 2},  // 1000 x 750 fits
        {1024, 1024, 1024, 1024, 0}, {1025, 16, 1024, 1024, 1}, {16, 2049, 1024, 1024, 1},
        {800, 600, 800, 600, 0},     {801, 600, 800, 600, 1},   {3201, 601, 800, 600, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        limit(c.limit_w, c.limit_h);
        std::string f = put("P.JPG", albumtest::jpeg(c.width, c.height));
        EXPECT_EQ(level_of(f), c.level);
    }
}

TEST_F(AlbumTest, ShrinkLevelOfAnUnreadableFileIsZeroWithALine) {
    std::string png = put("P.jpg", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR");
    std::string lines = testenv::stderr_of([&] {
        EXPECT_EQ(snapfolio::getshrinklevel(png), 0u);
        EXPECT_EQ(snapfolio::getshrinklevel(camera + "/none.jpg"), 0u);
    });
    EXPECT_NE(lines.find(png + ": getshrinklevel() analyze_markers fail.\n"), std::string::npos);
    EXPECT_NE(lines.find(camera + "/none.jpg: getshrinklevel() jpegdata load fail.\n"),
              std::string::npos);
}

TEST_F(AlbumTest, EveryPhotoGetsItsLadderOfHalves) {
    struct {
        const char* name;
        int width, height;
        uint64_t limit;
        uint64_t level;
    } const cases[] = {
        {"big.JPG", 4000, 3000, 1024, 2},  // size0 .. size3, thumb 500 x 375
        {"square.jpg", 1024, 1024, 1024, 0},
        {"odd.jpg", 333, 251, 100, 2},  // 166x125, 83x62, 41x31, thumb 20x15
        {"tall.jpeg", 31, 257, 100, 2},
    };
    std::vector<files_t> files;
    for (const auto& c : cases) {
        put(c.name, albumtest::jpeg(c.width, c.height));
        files.push_back({c.name, 0});
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        limit(c.limit, c.limit);
        // An album per limit: the pages of an album need every photo's
        // ladder to match the limit in force.
        album.name = std::string("trip-") + c.name;
        ::mkdir(album.str().c_str(), 0755);
        albumtest::run_t r = albumtest::make_album(camera, {{c.name, 0}}, album);
        ASSERT_TRUE(r.ok) << r.err << r.log;
        EXPECT_EQ(level_of(level("original", c.name)), c.level);
        std::string size0 = level("size0", c.name);
        EXPECT_TRUE(albumtest::is_symlink(size0));
        EXPECT_EQ(albumtest::link_of(size0), std::string("../original/") + c.name);
        int w = c.width, h = c.height;
        std::vector<std::string> names = snapfolio::levelnames(c.level);
        ASSERT_EQ(names.size(), c.level + 3);
        for (uint64_t i = 0; i < names.size(); ++i) {
            SCOPED_TRACE(names[i]);
            albumtest::jpeg_header_t hd = albumtest::header_of_file(level(names[i], c.name));
            ASSERT_TRUE(hd.ok);
            EXPECT_EQ(hd.width, w);
            EXPECT_EQ(hd.height, h);
            w /= 2;
            h /= 2;
        }
        EXPECT_EQ(names.back(), "thumb");
        EXPECT_FALSE(testenv::exists(level("size" + std::to_string(c.level + 2), c.name)));
    }
}

TEST_F(AlbumTest, SmallerLevelsOfAnUnturnedPhotoCarryTheOriginalsSegments) {
    limit(64, 64);
    std::string thumb = albumtest::jpeg(32, 16, 9);
    std::string segments = albumtest::exif_segment(1, thumb) + com_segment("a comment") +
                           std::string("\xFF\xED\x00\x07Photo", 9);
    std::string bytes = albumtest::jpeg(256, 192, 3, segments);
    put("S.JPG", bytes);
    albumtest::run_t r = albumtest::make_album(camera, {{"S.JPG", 0}}, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    albumtest::jpeg_header_t original = albumtest::header_of(bytes);
    for (const char* dir : {"size1", "size2", "size3"}) {
        SCOPED_TRACE(dir);
        albumtest::jpeg_header_t h = albumtest::header_of_file(level(dir, "S.JPG"));
        ASSERT_TRUE(h.ok);
        // libjpeg's own JFIF header, then every segment of the original as
        // it came (its JFIF header included), in order.
        ASSERT_GE(h.segments.size(), 1u);
        EXPECT_EQ(h.segments[0].code, 0xE0u);
        std::vector<albumtest::segment_t> carried;
        for (const auto& s : h.segments)
            if ((s.code >= 0xE0 && s.code <= 0xEF) || s.code == 0xFE) carried.push_back(s);
        carried.erase(carried.begin());
        std::vector<albumtest::segment_t> want;
        for (const auto& s : original.segments)
            if ((s.code >= 0xE0 && s.code <= 0xEF) || s.code == 0xFE) want.push_back(s);
        ASSERT_EQ(carried.size(), want.size());
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(carried[i].code, want[i].code);
            EXPECT_EQ(carried[i].payload, want[i].payload);
        }
    }
    // The camera's thumbnail, byte for byte.
    EXPECT_EQ(testenv::read_file(level("thumb", "S.JPG")), thumb);
}

// The ladder is made row by row as the photo decodes; every rung must be
// byte for byte what halving the whole decoded picture and encoding it gives,
// when the album is made and when an update makes it again from a rung on.
TEST_F(AlbumTest, RungsMadeRowByRowAreTheWholePictureHalvedAndEncoded) {
    limit(100, 100);
    const struct {
        const char* name;
        int width, height, components;
    } cases[] = {
        {"even.JPG", 402, 302, 3}, {"odd.JPG", 333, 251, 3}, {"grey.JPG", 130, 97, 1},
        {"cmyk.JPG", 205, 163, 4}, {"tall.JPG", 31, 257, 3},
    };
    std::vector<files_t> files;
    for (const auto& c : cases) {
        put(c.name, albumtest::jpeg(c.width, c.height, 7, com_segment("kept"), c.components));
        files.push_back({c.name, 0});
    }
    auto expect_whole_picture_rungs = [&] {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.name);
            libgr::jpegdata_t data;
            libgr::jpeginfo_t info;
            libgr::image2d_t picture, half;
            ASSERT_TRUE(data.load(level("original", c.name).c_str()));
            ASSERT_TRUE(info.decompress(picture, data));
            const std::vector<std::string> names =
                snapfolio::levelnames(level_of(level("original", c.name)));
            for (size_t i = 1; i < names.size(); ++i) {
                SCOPED_TRACE(names[i]);
                ASSERT_TRUE(libgr::scaledown(half, picture));
                picture = half;
                const std::string file = level(names[i], c.name);
                const bool thumb = i + 1 == names.size();
                libgr::jpegdata_t want;
                ASSERT_TRUE(snapfolio::encodejpeg(want, file, picture,
                                                  thumb ? snapfolio::markers_t() : info.markers));
                EXPECT_TRUE(testenv::read_file(file) ==
                            std::string(reinterpret_cast<const char*>(want.begin()), want.size()));
            }
        }
    };
    albumtest::run_t r = albumtest::make_album(camera, files, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    expect_whole_picture_rungs();
    // An update makes the ladder again from the first missing rung on.
    for (const char* gone : {"size2/odd.JPG", "size1/grey.JPG", "thumb/tall.JPG"})
        ASSERT_EQ(std::remove(album.str(gone).c_str()), 0) << gone;
    r = albumtest::update_album(files, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    expect_whole_picture_rungs();
}

TEST_F(AlbumTest, LevelsAreTheDecodedOriginalHalvedAgainAndAgain) {
    SKIP_WITHOUT_PROGRAM("djpeg");
    limit(100, 100);
    put("G.JPG", albumtest::jpeg(402, 302, 5));
    put("Y.JPG", albumtest::jpeg(130, 97, 6, "", 1));  // grey
    albumtest::run_t r = albumtest::make_album(camera, {{"G.JPG", 0}, {"Y.JPG", 0}}, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    for (const char* name : {"G.JPG", "Y.JPG"}) {
        SCOPED_TRACE(name);
        albumtest::pixels_t want = albumtest::djpeg(level("original", name));
        std::vector<std::string> names = snapfolio::levelnames(level_of(level("original", name)));
        for (size_t i = 1; i < names.size(); ++i) {
            SCOPED_TRACE(names[i]);
            want = albumtest::halve(want);
            // Quality 100: only the encoder's rounding is left.
            EXPECT_LT(albumtest::mean_difference(albumtest::djpeg(level(names[i], name)), want),
                      1.0);
        }
    }
}
