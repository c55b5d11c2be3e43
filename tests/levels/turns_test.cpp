// Lossless turns end to end: the full size against jpegtran, every smaller
// level against an independently turned and halved djpeg decode, the
// thumbnail against jpegtran of the camera's EXIF thumbnail, and
// rotateallsize.
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "albumtest.h"
#include "libgr/image/rotate.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "snapfolio/engine/levels.h"
#include "snapfolio/engine/rotatejpeg.h"

using albumtest::AlbumTest;
using snapfolio::files_t;

namespace {

struct expectation_t {
    std::string name;
    int orientation = 0;  // 0: no tag
    uint64_t rotate = 0;
    bool exif_thumbnail = false;
    std::string thumbnail;  // the camera's EXIF thumbnail bytes when there is one
};

// The quarter turns the photo is stored with: the user's and the camera's.
int effective(const expectation_t& e) {
    int r = int(e.rotate);
    if (e.orientation == 6) r += 1;
    if (e.orientation == 3) r += 2;
    if (e.orientation == 8) r += 3;
    return r & 3;
}

class TurnTest : public AlbumTest {
  protected:
    // Checks every file of one photo's ladder.
    void check_photo(const expectation_t& e, double tolerance) {
        SCOPED_TRACE(e.name + " orientation " + std::to_string(e.orientation) + " turn " +
                     std::to_string(e.rotate));
        const int r = effective(e);
        const bool turned = e.rotate != 0 || r != 0;
        std::string original = level("original", e.name);
        std::string size0 = level("size0", e.name);
        if (turned) {
            EXPECT_FALSE(albumtest::is_symlink(size0));
            std::string want = albumtest::jpegtran(r, original);
            ASSERT_FALSE(want.empty());
            EXPECT_TRUE(testenv::read_file(size0) == want) << "size0 is not jpegtran's turn";
        } else {
            EXPECT_EQ(albumtest::link_of(size0), "../original/" + e.name);
        }

        albumtest::jpeg_header_t oh = albumtest::header_of_file(original);
        // The original decoded and turned here. A picture that is not whole
        // MCUs turns as jpegtran turns it, which is checked above: then the
        // full size itself is the reference.
        albumtest::pixels_t upright = oh.whole_mcus() || r == 0
                                          ? albumtest::turn(albumtest::djpeg(original), r)
                                          : albumtest::djpeg(size0);
        ASSERT_GT(upright.width, 0);
        uint64_t L = 0;
        for (int w = oh.width, h = oh.height; uint64_t(w) > snapfolio::g_global.shrink_width ||
                                              uint64_t(h) > snapfolio::g_global.shrink_height;
             w /= 2, h /= 2)
            ++L;
        std::vector<std::string> names = snapfolio::levelnames(L);
        for (uint64_t i = 1; i <= L + 1; ++i) {
            SCOPED_TRACE(names[i]);
            upright = albumtest::halve(upright);
            std::string file = level(names[i], e.name);
            albumtest::jpeg_header_t h = albumtest::header_of_file(file);
            ASSERT_TRUE(h.ok);
            EXPECT_EQ(h.width, upright.width);
            EXPECT_EQ(h.height, upright.height);
            // Only the largest rung that fits is compared pixel by pixel
            // (and the smallest, cheaply); the rest are halvings of it.
            if (i == L || i == L + 1) {
                EXPECT_LT(albumtest::mean_difference(albumtest::djpeg(file), upright), tolerance);
            }
            // A turned photo's levels carry libjpeg's JFIF header and nothing
            // else; an unturned photo's carry the original's EXIF segment.
            EXPECT_EQ(h.app_count(0xE1), turned ? 0 : oh.app_count(0xE1));
            if (turned) {
                EXPECT_EQ(h.metadata_count(), 1);
                EXPECT_EQ(h.app_count(0xE0), 1);
            }
        }
        std::string thumb = level("thumb", e.name);
        if (e.exif_thumbnail) {
            std::string want = e.thumbnail;
            if (r != 0) {
                std::string t = testenv::scratch_dir("exifthumb") + "/t.jpg";
                testenv::write_file(t, e.thumbnail);
                want = albumtest::jpegtran(r, t);
            }
            EXPECT_TRUE(testenv::read_file(thumb) == want) << "thumbnail is not the EXIF one";
        } else {
            upright = albumtest::halve(upright);
            albumtest::jpeg_header_t h = albumtest::header_of_file(thumb);
            EXPECT_EQ(h.width, upright.width);
            EXPECT_EQ(h.height, upright.height);
            EXPECT_LT(albumtest::mean_difference(albumtest::djpeg(thumb), upright), tolerance);
            EXPECT_EQ(h.app_count(0xE1), 0);
        }
    }
};

// IFD0:Orientation and IFD1 thumbnail as exiftool read them, not this
// project's parser.
int exiftool_orientation(const std::string& file) {
    std::string json = testenv::read_file(file + ".exiftool.json");
    const std::string key = "\"IFD0:Orientation\": ";
    size_t at = json.find(key);
    return at == std::string::npos ? 0 : std::atoi(json.c_str() + at + key.size());
}

std::string exiftool_thumbnail(const std::string& file) {
    std::string out;
    testenv::run("exiftool -b -ThumbnailImage " + testenv::shell_quote(file) + " 2>/dev/null",
                 &out);
    return out;
}

}  // namespace

// Every orientation that asks for a turn, with every turn of the user's.
TEST_F(TurnTest, GeneratedPhotosAreStoredUprightByTheirTurnAndOrientation) {
    SKIP_WITHOUT_PROGRAM("jpegtran");
    SKIP_WITHOUT_PROGRAM("djpeg");
    limit(20, 20);  // 64x48: size0, 32x24, 16x12, 8x6; thumbnail 4x3
    std::vector<files_t> files;
    std::vector<expectation_t> expected;
    unsigned seed = 1;
    for (int orientation : {0, 1, 3, 6, 8, 2}) {
        for (uint64_t rotate = 0; rotate < 4; ++rotate, ++seed) {
            expectation_t e;
            e.name = "o" + std::to_string(orientation) + "_r" + std::to_string(rotate) + ".JPG";
            e.orientation = orientation;
            e.rotate = rotate;
            e.exif_thumbnail = seed % 2 == 0;
            if (e.exif_thumbnail) e.thumbnail = albumtest::jpeg(32, 16, seed + 100);
            put(e.name, albumtest::jpeg(64, 48, seed,
                                        orientation || e.exif_thumbnail
                                            ? albumtest::exif_segment(orientation, e.thumbnail)
                                            : std::string()));
            files.push_back({e.name, rotate});
            expected.push_back(e);
        }
    }
    albumtest::run_t r = albumtest::make_album(camera, files, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    for (const expectation_t& e : expected) check_photo(e, 3.0);
}

TEST_F(TurnTest, CameraPhotosAreStoredUprightByTheirTurnAndOrientation) {
    SKIP_WITHOUT_CAMERA_FILES();
    SKIP_WITHOUT_PROGRAM("jpegtran");
    SKIP_WITHOUT_PROGRAM("djpeg");
    SKIP_WITHOUT_PROGRAM("exiftool");
    const char* picks[] = {"Landscape_1.jpg",
                           "Landscape_3.jpg",
                           "Landscape_6.jpg",
                           "Landscape_8.jpg",
                           "apple_iPhone13Pro_IMG_8568.JPG",
                           "Samsung_GT-I9000_Galaxy_S.jpg",
                           "canon_PowerShotS70_IMG_4204.JPG",
                           "nikon_D3100_DSC_0008.JPG",
                           "olympus_D-450Z_P3110001.JPG"};
    std::vector<expectation_t> expected;
    std::vector<files_t> files;
    uint64_t rotate = 0;
    for (const char* name : picks) {
        std::string source = testenv::camera_dir() + "/" + name;
        if (!testenv::exists(source)) continue;
        ASSERT_EQ(testenv::run("cp -p " + testenv::shell_quote(source) + " " +
                               testenv::shell_quote(camera)),
                  0);
        expectation_t e;
        e.name = name;
        e.orientation = exiftool_orientation(source);
        // Half of them with a turn of the user's as well.
        e.rotate = rotate++ % 2 ? rotate % 4 : 0;
        e.thumbnail = exiftool_thumbnail(source);
        e.exif_thumbnail = !e.thumbnail.empty();
        expected.push_back(e);
        files.push_back({name, e.rotate});
    }
    ASSERT_GE(expected.size(), 5u);
    albumtest::run_t r = albumtest::make_album(camera, files, album);
    ASSERT_TRUE(r.ok) << r.err << r.log;
    // The orientation test pictures are not whole MCUs wide: the last
    // partial column is turned as jpegtran turns it (transposed, not
    // mirrored), a strip of up to 15 pixels that differs from a true turn.
    for (const expectation_t& e : expected) check_photo(e, 4.0);
}

TEST_F(AlbumTest, TurningTwiceByAHalfTurnGivesBackTheSameLevels) {
    SKIP_WITHOUT_PROGRAM("djpeg");
    limit(40, 40);
    put("T.JPG", albumtest::photo(160, 96, 1, true, 4));   // turned by the user
    put("U.JPG", albumtest::photo(160, 96, 1, false, 5));  // unturned
    albumtest::run_t r = albumtest::make_album(camera, {{"T.JPG", 1}, {"U.JPG", 0}}, album);
    ASSERT_TRUE(r.ok) << r.err;
    std::string original = testenv::read_file(level("original", "U.JPG"));
    int64_t original_time = albumtest::mtime_ns(level("original", "U.JPG"));
    auto before = albumtest::snapshot(album.str());
    std::vector<std::pair<std::string, albumtest::pixels_t>> pixels;
    for (const auto& f : before)
        if (f.first.compare(0, 6, "./size") == 0 || f.first.compare(0, 7, "./thumb") == 0)
            pixels.emplace_back(f.first, albumtest::djpeg(album.str() + "/" + f.first));
    ASSERT_EQ(pixels.size(), 10u);  // size0 .. size3 and the thumbnail of each

    bool turned = true;
    std::string lines = testenv::stderr_of([&] {
        for (const char* name : {"T.JPG", "U.JPG"})
            turned = snapfolio::rotateallsize(album.str(), name, 2) && turned;
    });
    ASSERT_TRUE(turned);
    EXPECT_EQ(lines, "");
    // Each stored level, the smallest included, is now upside down (pixel
    // for pixel where the level is whole MCUs).
    for (const auto& p : pixels) {
        SCOPED_TRACE(p.first);
        std::string file = album.str() + "/" + p.first;
        albumtest::jpeg_header_t h = albumtest::header_of_file(file);
        EXPECT_EQ(h.width, p.second.width);
        EXPECT_EQ(h.height, p.second.height);
        if (h.whole_mcus()) {
            EXPECT_LT(
                albumtest::mean_difference(albumtest::djpeg(file), albumtest::turn(p.second, 2)),
                0.5);
        }
    }
    for (const char* name : {"T.JPG", "U.JPG"})
        ASSERT_TRUE(snapfolio::rotateallsize(album.str(), name, 2));
    auto after = albumtest::snapshot(album.str());
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        SCOPED_TRACE(after[i].first);
        EXPECT_EQ(after[i].first, before[i].first);
        if (after[i].first.find("T.JPG") != std::string::npos ||
            after[i].first.compare(0, 10, "./original") == 0 ||
            after[i].first.compare(0, 7, "./thumb") == 0) {
            // Files without segments turn back to the very same bytes.
            EXPECT_TRUE(after[i].second == before[i].second);
        }
    }
    // The unturned photo's files lose their segments to the turn (and its
    // full size is a real file now), but not a pixel.
    for (const auto& p : pixels) {
        SCOPED_TRACE(p.first);
        albumtest::pixels_t now = albumtest::djpeg(album.str() + "/" + p.first);
        EXPECT_TRUE(now.px == p.second.px);
    }
    EXPECT_FALSE(albumtest::is_symlink(level("size0", "U.JPG")));
    EXPECT_EQ(testenv::read_file(level("original", "U.JPG")), original);
    EXPECT_EQ(albumtest::mtime_ns(level("original", "U.JPG")), original_time);
}

TEST_F(AlbumTest, RotatejpegOverALinkReplacesTheLinkNotTheOriginal) {
    SKIP_WITHOUT_PROGRAM("jpegtran");
    std::string bytes = albumtest::photo(48, 32, 1, true);
    put("L.JPG", bytes);
    albumtest::run_t r = albumtest::make_album(camera, {{"L.JPG", 0}}, album);
    ASSERT_TRUE(r.ok) << r.err;
    std::string size0 = level("size0", "L.JPG");
    ASSERT_TRUE(albumtest::is_symlink(size0));
    ASSERT_TRUE(snapfolio::rotatejpeg(size0, size0, 1));
    EXPECT_FALSE(albumtest::is_symlink(size0));
    EXPECT_TRUE(testenv::read_file(size0) == albumtest::jpegtran(1, level("original", "L.JPG")));
    EXPECT_EQ(testenv::read_file(level("original", "L.JPG")), bytes);
    // No temporary is left beside it.
    std::vector<std::string> names;
    libutils::getfiles(names, album.str("size0"));
    EXPECT_EQ(names, std::vector<std::string>{"L.JPG"});
}

TEST_F(AlbumTest, RotateallsizeTurnsEveryLevelAndTheThumbnail) {
    limit(40, 40);
    put("W.JPG", albumtest::jpeg(160, 96, 8));  // L = 2: size0 .. size3
    albumtest::run_t r = albumtest::make_album(camera, {{"W.JPG", 0}}, album);
    ASSERT_TRUE(r.ok) << r.err;
    ASSERT_TRUE(snapfolio::rotateallsize(album.str(), "W.JPG", 1));
    int w = 160, h = 96;
    for (const std::string& n : snapfolio::levelnames(2)) {
        SCOPED_TRACE(n);
        albumtest::jpeg_header_t hd = albumtest::header_of_file(level(n, "W.JPG"));
        EXPECT_EQ(hd.width, h);
        EXPECT_EQ(hd.height, w);
        w /= 2;
        h /= 2;
    }
}

TEST_F(AlbumTest, RotatejpegReportsWhatFailed) {
    std::string png = put("N.jpg", "\x89PNG\r\n\x1a\n");
    std::string lines = testenv::stderr_of([&] {
        EXPECT_FALSE(snapfolio::rotatejpeg(camera + "/none.jpg", camera + "/out.jpg", 1));
        EXPECT_FALSE(snapfolio::rotatejpeg(png, camera + "/out.jpg", 1));
        EXPECT_FALSE(snapfolio::rotateallsize(album.str(), "none.jpg", 1));
    });
    EXPECT_NE(lines.find(camera + "/none.jpg: rotatejpeg() jpegdata load fail.\n"),
              std::string::npos);
    EXPECT_NE(lines.find(png + ": transform() fail.\n"), std::string::npos);
    EXPECT_NE(lines.find(album.str("size0", "none.jpg") + ": rotate jpeg fail.\n"),
              std::string::npos);
    EXPECT_FALSE(testenv::exists(camera + "/out.jpg"));
}
