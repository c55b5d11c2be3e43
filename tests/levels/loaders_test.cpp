// Pictures for the dialogs: which file each loader reads, which way up the
// result is, and what it refuses.
#include "snapfolio/engine/loaders.h"
#include "albumtest.h"
#include "libgr/image/image.h"
#include "support/testenv.h"

using albumtest::AlbumTest;

namespace {

// A loaded picture as top-down rows of 3 or 1 bytes, for comparing with
// djpeg.
albumtest::pixels_t rows_of(const libgr::image2d_t& image) {
    albumtest::pixels_t p;
    p.width = int(image.width);
    p.height = int(image.height);
    p.channels = image.desc.format == libgr::IMAGE_FORMAT_GRAYSCALE ? 1 : 3;
    for (int y = p.height - 1; y >= 0; --y) {
        const unsigned char* row = image[uint64_t(y)];
        p.px.insert(p.px.end(), row, row + size_t(p.width) * p.channels);
    }
    return p;
}

using testenv::stderr_of;

}  // namespace

TEST_F(AlbumTest, LoadersRefuseOtherExtensionsSilently) {
    // JPEG bytes under other names: refused by name, without a word.
    std::string bytes = albumtest::jpeg(16, 16);
    for (const char* name : {".png", "x.png", "x.PNG", "x.jpgx", "x"}) {
        SCOPED_TRACE(name);
        std::string f = put(name, bytes);
        libgr::image2d_t image;
        std::string lines = stderr_of([&] {
            EXPECT_FALSE(snapfolio::load_thumbnail(image, f));
            EXPECT_FALSE(snapfolio::load_jpeg(image, f));
        });
        EXPECT_EQ(lines, "");
    }
    libgr::image2d_t image;
    std::string lines =
        stderr_of([&] { EXPECT_FALSE(snapfolio::load_jpeg(image, camera + "/missing.JPG")); });
    EXPECT_EQ(lines, camera + "/missing.JPG: load_jpeg() jpegdata load fail.\n");
}

TEST_F(AlbumTest, LoadJpegTurnsThePictureAsItsOrientationAsks) {
    SKIP_WITHOUT_PROGRAM("djpeg");
    for (int orientation : {1, 3, 6, 8, 2}) {
        SCOPED_TRACE(orientation);
        std::string f = put("O.JPG", albumtest::photo(64, 48, orientation, true, 3));
        libgr::image2d_t image;
        ASSERT_TRUE(snapfolio::load_jpeg(image, f));
        int turn = orientation == 6 ? 1 : orientation == 3 ? 2 : orientation == 8 ? 3 : 0;
        EXPECT_LT(
            albumtest::mean_difference(rows_of(image), albumtest::turn(albumtest::djpeg(f), turn)),
            0.01);
    }
}

TEST_F(AlbumTest, LoadThumbnailTakesTheExifThumbnailUprightOrHalvesThePicture) {
    SKIP_WITHOUT_PROGRAM("djpeg");
    std::string thumb = albumtest::jpeg(32, 16, 42);
    std::string t = put("thumb.jpg", thumb);
    std::string f = put("T.JPG", albumtest::jpeg(64, 48, 1, albumtest::exif_segment(6, thumb)));
    libgr::image2d_t image;
    ASSERT_TRUE(snapfolio::load_thumbnail(image, f));
    EXPECT_LT(albumtest::mean_difference(rows_of(image), albumtest::turn(albumtest::djpeg(t), 1)),
              0.01);

    // No thumbnail: the whole picture, halved while larger than a quarter of
    // the shrink limit (256 x 256 by default), not turned.
    struct {
        int width, height, want_w, want_h;
        int orientation;
    } const cases[] = {{1000, 600, 250, 150, 6}, {256, 256, 256, 256, 0}, {257, 40, 128, 20, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        std::string g = put("G.JPG", albumtest::photo(c.width, c.height, c.orientation, false));
        ASSERT_TRUE(snapfolio::load_thumbnail(image, g));
        EXPECT_EQ(int(image.width), c.want_w);
        EXPECT_EQ(int(image.height), c.want_h);
    }
}

// show_level levels up from the thumbnail, one more on a double-density
// screen; past the top of the ladder, the full size.
TEST_F(AlbumTest, LoadScaledThumbnailPicksTheLevelForTheScreen) {
    limit(100, 100);
    put("S.JPG", albumtest::jpeg(400, 300, 2));  // L = 2: 400, 200, 100, 50, thumb 25
    put("Y.JPG", albumtest::jpeg(400, 300, 3, "", 1));
    albumtest::run_t r = albumtest::make_album(camera, {{"S.JPG", 0}, {"Y.JPG", 0}}, album);
    ASSERT_TRUE(r.ok) << r.err;
    struct {
        uint64_t show_level;
        int scale;
        int width;
    } const cases[] = {
        {1, 1, 50},                                           // level L+1
        {1, 2, 100},                                          // level L
        {0, 1, 25},                                           // the thumbnail
        {0, 0, 25},                                           // nothing below the thumbnail
        {2, 2, 200},  {3, 2, 400}, {4, 1, 400}, {5, 1, 400},  // show_level larger than L+2: level 0
        {60, 4, 400},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("show_level " + std::to_string(c.show_level) + " scale " +
                     std::to_string(c.scale));
        snapfolio::g_global.show_level = c.show_level;
        for (const char* name : {"S.JPG", "Y.JPG"}) {
            libgr::image2d_t image;
            ASSERT_TRUE(snapfolio::load_scaled_thumbnail(image, album, name, c.scale));
            EXPECT_EQ(int(image.width), c.width);
            // Grey pictures come out as RGB.
            EXPECT_EQ(image.desc.format, libgr::IMAGE_FORMAT_RGB);
        }
    }
    // A level that is gone gives way to the thumbnail.
    snapfolio::g_global.show_level = 1;
    ASSERT_EQ(::unlink(level("size3", "S.JPG").c_str()), 0);
    libgr::image2d_t image;
    bool ok = false;
    stderr_of([&] { ok = snapfolio::load_scaled_thumbnail(image, album, "S.JPG", 1); });
    ASSERT_TRUE(ok);
    EXPECT_EQ(int(image.width), 25);
}

TEST_F(AlbumTest, ExifThumbnailOrThumbDirFallsBackToTheFullSizeThenTheOriginal) {
    limit(100, 100);
    put("F.JPG", albumtest::jpeg(400, 300, 2));
    ASSERT_TRUE(albumtest::make_album(camera, {{"F.JPG", 0}}, album).ok);
    limit(1024, 1024);  // decoded thumbnails then fit 256 x 256
    libgr::image2d_t image;
    ASSERT_TRUE(snapfolio::load_exifthumbnail_or_thumbdir(image, album, "F.JPG"));
    EXPECT_EQ(image.width, 25u);  // thumb/
    ::unlink(level("thumb", "F.JPG").c_str());
    ASSERT_TRUE(snapfolio::load_exifthumbnail_or_thumbdir(image, album, "F.JPG"));
    EXPECT_EQ(image.width, 200u);  // size0 halved to fit 256
    ::unlink(level("size0", "F.JPG").c_str());
    ASSERT_TRUE(snapfolio::load_exifthumbnail_or_thumbdir(image, album, "F.JPG"));
    EXPECT_EQ(image.width, 200u);
    ::unlink(level("original", "F.JPG").c_str());
    testenv::stderr_of(
        [&] { EXPECT_FALSE(snapfolio::load_exifthumbnail_or_thumbdir(image, album, "F.JPG")); });
}

TEST(IsExist, EmptyNamesAndOneTrailingSlash) {
    std::string dir = testenv::scratch_dir("exist");
    testenv::write_file(dir + "/f", "x");
    struct {
        std::string path;
        bool exists;
    } const cases[] = {
        {"", false},        {dir, true},         {dir + "/", true},   {dir + "//", true},
        {dir + "/f", true}, {dir + "/f/", true}, {dir + "/g", false}, {"/", false},
    };
    for (const auto& c : cases) EXPECT_EQ(snapfolio::is_exist(c.path), c.exists) << c.path;
}
