// Drawing checked by reading the framebuffer back, in-process, in a hidden
// GLFW window (skipped without a display): pictures drawn 1:1 come back
// byte for byte, and textures hold their tile in the lower-left corner.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <string>

#include "glimlib/option.h"
#include "glimlib/viewscene.h"
#include "glimvue/glextload.h"
#include "libgr/gl/glformat.h"
#include "libgr/gl/mipmap.h"
#include "libgr/gl/texture.h"
#include "libgr/imagefile/imagejpeg.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

using libgr::image2d_t;

namespace {

class GlWindow : public ::testing::Test {
  protected:
    GLFWwindow* m_window = nullptr;

    void SetUp() override {
        if (!getenv("DISPLAY") || !glfwInit()) GTEST_SKIP() << "no display: GL checks skipped";
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        open(64, 64);
    }
    void TearDown() override {
        if (m_window) glfwDestroyWindow(m_window);
        glfwTerminate();
    }
    // A fresh window of that size: the GL drawable of a resized window
    // follows only after the window system has answered.
    void open(int w, int h) {
        if (m_window) glfwDestroyWindow(m_window);
        m_window = glfwCreateWindow(w, h, "gl_test", nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        glfwMakeContextCurrent(m_window);
        ASSERT_TRUE(glimvue2::load_gl_extensions());
    }
};

// Pixel (x, y) of an 8-bit RGB picture, rows bottom-up.
const unsigned char* px(const image2d_t& i, uint32_t x, uint32_t y) { return i[y] + 3 * x; }

// How many pixels of `picture` differ from the framebuffer area it covers.
int differences(const image2d_t& shot, const image2d_t& picture, int window_w, int window_h) {
    int x0 = (window_w - int(picture.width) + 1) / 2, y0 = (window_h - int(picture.height) + 1) / 2;
    int bad = 0;
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x)
            if (std::memcmp(px(shot, x0 + x, y0 + y), px(picture, x, y), 3) != 0) ++bad;
    return bad;
}

}  // namespace

TEST_F(GlWindow, PictureDrawnOneToOneReadsBackByteIdentical) {
    struct case_t {
        int w, h, window_w, window_h;
    } cases[] = {
        {64, 48, 200, 100},   // even in even
        {65, 47, 200, 101},   // odd in even and odd
        {300, 270, 401, 300}, // several tiles, odd window
        {257, 3, 300, 11},    // a one-column partial tile
    };
    for (const auto& c : cases) {
        std::string path = testenv::scratch_dir("gl") + "/p.jpg";
        jpegfixture::options_t o;
        o.width = c.w, o.height = c.h, o.seed = unsigned(c.w);
        ASSERT_TRUE(jpegfixture::write_jpeg(path, o));
        image2d_t decoded;
        libgr::image_jpeg1_t reader;
        ASSERT_TRUE(reader.load(decoded, path.c_str()));

        open(c.window_w, c.window_h);
        glimlib::ViewScene scene;
        scene.Init("");
        ASSERT_TRUE(scene.addImage(path, ""));
        scene.make_graph("");
        scene.Origin();
        scene.Scale(1);
        scene.Reshape(c.window_w, c.window_h);
        scene.Display();
        image2d_t shot;
        ASSERT_TRUE(libgr::grReadPixelsRGB(shot, GL_BACK));
        ASSERT_EQ(int(shot.width), c.window_w);
        EXPECT_EQ(differences(shot, decoded, c.window_w, c.window_h), 0)
            << c.w << "x" << c.h << " in " << c.window_w << "x" << c.window_h;

        // A turn and its removal give back the unturned picture.
        scene.Rotate(5);
        scene.clrRotate();
        scene.Display();
        ASSERT_TRUE(libgr::grReadPixelsRGB(shot, GL_BACK));
        EXPECT_EQ(differences(shot, decoded, c.window_w, c.window_h), 0) << "after / and -";
    }
}

TEST_F(GlWindow, FixedSizeTextureHoldsTheTileInItsLowerLeftCorner) {
    image2d_t tile;
    tile.width = 300, tile.height = 200;
    ASSERT_TRUE(tile.allocate());
    for (uint32_t y = 0; y < 200; ++y)
        for (uint32_t x = 0; x < 300; ++x) {
            unsigned char* p = tile[y] + 3 * x;
            p[0] = (unsigned char)x, p[1] = (unsigned char)y, p[2] = (unsigned char)(x ^ y);
        }
    struct case_t {
        uint32_t fixed, side;
    } cases[] = {{300, 512}, {256, 512}, {0, 300}};
    for (const auto& c : cases) {
        libgr::grTexture2D source;
        source.setImage(tile, c.fixed);
        libgr::grTextureObject object;
        ASSERT_TRUE(object.Preload(&source));
        image2d_t back;
        ASSERT_TRUE(object.GetTextureImage(0, back));
        EXPECT_EQ(back.width, c.side);
        EXPECT_EQ(back.height, c.fixed ? c.side : 200u);
        int bad = 0;
        for (uint32_t y = 0; y < 200; ++y)
            for (uint32_t x = 0; x < 300; ++x)
                if (std::memcmp(px(back, x, y), px(tile, x, y), 3) != 0) ++bad;
        EXPECT_EQ(bad, 0) << c.fixed;
    }
    libgr::grTextureObject never;
    EXPECT_EQ(never.texid(), libgr::GR_NO_NAME);
    libgr::gl_loading_format_t f;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(libgr::grConvertImageFormatToGlFormat(
        f, libgr::image_desc_t(libgr::IMAGE_FORMAT_RG, libgr::IMAGE_TYPE_FLOAT,
                               libgr::IMAGE_BITS_64)));
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Not supported image format!"),
              std::string::npos);
}

TEST(Mipmap, HalvingRoundsAndKeepsOddEdges) {
    struct case_t {
        uint32_t w, h;
        std::vector<unsigned char> in, out;  // grey, rows bottom-up
    } cases[] = {
        {2, 2, {1, 2, 2, 2}, {2}},               // (7 + 2) / 4 rounds to 2
        {3, 1, {0, 10, 255}, {5, 255}},          // odd last column averaged with itself
        {1, 3, {8, 9, 200}, {9, 200}},           // odd last row likewise
        {1, 1, {77}, {77}},
    };
    for (const auto& c : cases) {
        image2d_t src, dst;
        src.desc = libgr::image_desc_t(libgr::IMAGE_FORMAT_GRAYSCALE, libgr::IMAGE_TYPE_UINT,
                                       libgr::IMAGE_BITS_8);
        src.width = c.w, src.height = c.h;
        ASSERT_TRUE(src.allocate());
        for (uint32_t y = 0; y < c.h; ++y)
            for (uint32_t x = 0; x < c.w; ++x) src[y][x] = c.in[y * c.w + x];
        ASSERT_TRUE(libgr::mipmap_halve(dst, src));
        std::vector<unsigned char> got;
        for (uint32_t y = 0; y < dst.height; ++y)
            for (uint32_t x = 0; x < dst.width; ++x) got.push_back(dst[y][x]);
        EXPECT_EQ(got, c.out) << c.w << "x" << c.h;
    }
    image2d_t wide, out;
    wide.desc = libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT,
                                    libgr::IMAGE_BITS_16);
    EXPECT_FALSE(libgr::mipmap_halve(out, wide));
}

// Every level of a mipmapped tile texture down to 1 x 1 holds the tile's
// colour in its lower-left part: minified pictures keep their edges.
TEST_F(GlWindow, MipmappedTileKeepsItsColourAtEveryLevel) {
    image2d_t tile;
    tile.width = 300, tile.height = 37;
    ASSERT_TRUE(tile.allocate());
    for (uint32_t y = 0; y < tile.height; ++y)
        for (uint32_t x = 0; x < tile.width; ++x) {
            unsigned char* p = tile[y] + 3 * x;
            p[0] = 200, p[1] = 30, p[2] = 90;
        }
    libgr::grTexture2D source;
    source.setBuildMipmap(true);
    source.setImage(tile, 300);
    libgr::grTextureObject object;
    ASSERT_TRUE(object.Preload(&source));
    for (GLint level = 0; level <= 9; ++level) {
        image2d_t back;
        ASSERT_TRUE(object.GetTextureImage(level, back));
        ASSERT_EQ(back.width, 512u >> level) << level;
        uint32_t w = (300 + (1u << level) - 1) >> level, h = (37 + (1u << level) - 1) >> level;
        int bad = 0;
        for (uint32_t y = 0; y < h; ++y)
            for (uint32_t x = 0; x < w; ++x)
                if (std::memcmp(px(back, x, y), tile[0], 3) != 0) ++bad;
        EXPECT_EQ(bad, 0) << "level " << level;
    }
}
