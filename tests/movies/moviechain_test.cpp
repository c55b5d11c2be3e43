#include <gtest/gtest.h>

#include <sstream>

#include "libgr/image/image.h"
#include "support/movieclips.h"
#include "support/saved_global.h"
#include "snapfolio/engine/chain.h"
#include "snapfolio/engine/loaders.h"
#include "support/testenv.h"

using namespace snapfolio;

// Importing a clip with photos runs the movie chain inside the size step,
// and the dialogs' still picker then finds the level that suits a screen.
TEST(MovieChain, AlbumChainConvertsMoviesAndThePickerFindsTheirStills) {
    SKIP_WITHOUT_FFMPEG();
    testenv::saved_global_t keep;
    std::string clip = movieclips::clip(movieclips::clip_hd_mp4);
    ASSERT_FALSE(clip.empty());
    std::string camera = testenv::scratch_dir("camera"), root = testenv::scratch_dir("root");
    ASSERT_EQ(testenv::run("cp " + testenv::shell_quote(clip) + " " + camera + "/MVI_0001.MP4"), 0);
    path_t album(root, "", "2026-05-01");
    ASSERT_EQ(testenv::run("mkdir " + album.str()), 0);
    sigc::signal<void, double> copy, shrink, html, zoom;
    std::ostringstream err;
    {
        movieclips::capture_t quiet;
        ASSERT_TRUE(makealbumwithrotate(camera, {files_t{"MVI_0001.MP4", 0}}, album, copy, shrink,
                                        html, zoom, err))
            << err.str();
    }
    // 1280x720: one halving fits the default limit, so levels 0 to 2.
    EXPECT_EQ(movieclips::probe_size(album.str("movie0", "MVI_0001.mp4")), "1280x720");
    EXPECT_EQ(movieclips::probe_size(album.str("movie2", "MVI_0001.jpg")), "320x180");

    libgr::image2d_t still;
    std::string info;
    {
        movieclips::capture_t quiet;
        ASSERT_TRUE(load_scaled_ffthumbnail(still, album, "MVI_0001.MP4", 1, info));
    }
    EXPECT_EQ(still.width, 320u);  // show level 1 on a normal screen: the smallest level
    EXPECT_FALSE(info.empty());
    g_global.show_level = 0;  // would be "thumb", which movies have not got
    {
        movieclips::capture_t quiet;
        ASSERT_TRUE(load_scaled_ffthumbnail(still, album, "MVI_0001.MP4", 1, info));
    }
    EXPECT_EQ(still.width, 320u);
    g_global.show_level = 1;  // a double-density screen: one level larger
    {
        movieclips::capture_t quiet;
        ASSERT_TRUE(load_scaled_ffthumbnail(still, album, "MVI_0001.MP4", 2, info));
    }
    EXPECT_EQ(still.width, 640u);
}
