// Drawing checked by reading the framebuffer back, in-process, in a hidden
// GLFW window (skipped without a display): pictures drawn 1:1 come back
// byte for byte, and textures hold their tile in the lower-left corner.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <string>

#include "glimlib/option.h"
#include "glimlib/prefetch.h"
#include "glimlib/viewscene.h"
#include "glimvue/glextload.h"
#include "libgr/gl/glformat.h"
#include "libgr/gl/glsupport.h"
#include "libgr/gl/mipmap.h"
#include "libgr/gl/texture.h"
#include "libgr/gl/texturefamily.h"
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
const unsigned char* px(const image2d_t& i, uint32_t x, uint32_t y) {
    return i[y] + 3 * x;
}

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
        {64, 48, 200, 100},    // even in even
        {65, 47, 200, 101},    // odd in even and odd
        {300, 270, 401, 300},  // several tiles, odd window
        {257, 3, 300, 11},     // a one-column partial tile
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

// A large JPEG asked to cover a small window comes in reduced, keeps its
// full size for the view, and once refined is drawn 1:1 byte for byte.
TEST_F(GlWindow, ReducedFirstLookIsReplacedByTheFullPicture) {
    std::string path = testenv::scratch_dir("gl") + "/big.jpg";
    jpegfixture::options_t o;
    o.width = 520, o.height = 260, o.seed = 7;
    ASSERT_TRUE(jpegfixture::write_jpeg(path, o));
    image2d_t decoded;
    libgr::image_jpeg1_t reader;
    ASSERT_TRUE(reader.load(decoded, path.c_str()));
    struct case_t {
        uint32_t cover_w, cover_h;
        bool reduced;
    } cases[] = {{128, 64, true}, {300, 64, false}, {0, 0, false}};
    for (const auto& c : cases) {
        open(600, 300);
        glimlib::ViewScene scene;
        scene.Init("");
        ASSERT_TRUE(scene.addImage(path, "", c.cover_w, c.cover_h));
        EXPECT_EQ(scene.current_reduced(), c.reduced) << c.cover_w;
        EXPECT_EQ(scene.getCurrentImageSize(), libgr::direction2l_t(520, 260));
        scene.make_graph("");
        scene.refine("");
        EXPECT_FALSE(scene.current_reduced());
        scene.Origin();
        scene.Scale(1);
        scene.Reshape(600, 300);
        scene.Display();
        image2d_t shot;
        ASSERT_TRUE(libgr::grReadPixelsRGB(shot, GL_BACK));
        EXPECT_EQ(differences(shot, decoded, 600, 300), 0) << c.cover_w;
    }
    // A file gone before the full load: the first look stays, once.
    glimlib::ViewScene scene;
    scene.Init("");
    ASSERT_TRUE(scene.addImage(path, "", 128, 64));
    ASSERT_EQ(std::remove(path.c_str()), 0);
    testenv::stderr_of([&] { scene.refine(""); });
    EXPECT_FALSE(scene.current_reduced());
    EXPECT_EQ(scene.getCurrentImageSize(), libgr::direction2l_t(520, 260));
}

// Once uploaded, a full picture lives only in its textures (its pixels go
// back to the system row of tiles by row of tiles): freeing and making the
// graph again, as a step past the last picture or a reload does, still
// draws it byte for byte. A first look keeps its pixels.
TEST_F(GlWindow, UploadedFullPictureLivesInItsTexturesOnly) {
    std::string path = testenv::scratch_dir("gl") + "/tall.jpg";
    jpegfixture::options_t o;
    o.width = 300, o.height = 700, o.seed = 11;  // three rows of tiles
    ASSERT_TRUE(jpegfixture::write_jpeg(path, o));
    image2d_t decoded;
    libgr::image_jpeg1_t reader;
    ASSERT_TRUE(reader.load(decoded, path.c_str()));
    struct case_t {
        uint32_t cover_w, cover_h;
        bool dropped;
    } cases[] = {{0, 0, true}, {100, 100, false}};
    for (const auto& c : cases) {
        open(320, 720);
        glimlib::ViewScene scene;
        scene.Init("");
        ASSERT_TRUE(scene.addImage(path, "", c.cover_w, c.cover_h));
        scene.make_graph("");
        const glimlib::ViewObject& obj = scene.current()->viewobj;
        EXPECT_EQ(obj.pixels_dropped(), c.dropped) << c.cover_w;
        EXPECT_EQ(obj.image().is_allocated(), !c.dropped) << c.cover_w;
        EXPECT_TRUE(obj.is_resident());
        scene.free_graph();
        scene.make_graph("");
        scene.refine("");
        EXPECT_TRUE(scene.current()->viewobj.pixels_dropped());
        scene.free_graph();
        scene.make_graph("");
        scene.Origin();
        scene.Scale(1);
        scene.Reshape(320, 720);
        scene.Display();
        image2d_t shot;
        ASSERT_TRUE(libgr::grReadPixelsRGB(shot, GL_BACK));
        EXPECT_EQ(differences(shot, decoded, 320, 720), 0) << c.cover_w;
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
    EXPECT_NE(testenv::stderr_of([&] {
                  EXPECT_FALSE(libgr::grConvertImageFormatToGlFormat(
                      f, libgr::image_desc_t(libgr::IMAGE_FORMAT_RG, libgr::IMAGE_TYPE_FLOAT,
                                             libgr::IMAGE_BITS_64)));
              }).find("Not supported image format!"),
              std::string::npos);
}

TEST(Mipmap, HalvingRoundsAndKeepsOddEdges) {
    struct case_t {
        uint32_t w, h;
        std::vector<unsigned char> in, out;  // grey, rows bottom-up
    } cases[] = {
        {2, 2, {1, 2, 2, 2}, {2}},       // (7 + 2) / 4 rounds to 2
        {3, 1, {0, 10, 255}, {5, 255}},  // odd last column averaged with itself
        {1, 3, {8, 9, 200}, {9, 200}},   // odd last row likewise
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
    wide.desc =
        libgr::image_desc_t(libgr::IMAGE_FORMAT_RGB, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_16);
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

namespace {

// Draws the bound texture of `target` on the pixel rectangle (x, y, w, h)
// of a 64 x 64 pixel-unit projection, texture coordinates (s0, t0) to
// (s1, t1) at depth r.
void textured_quad(GLenum target, int x, int y, int w, int h, float s1, float t1, float r = 0) {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 64, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(target);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord3f(0, 0, r), glVertex2i(x, y);
    glTexCoord3f(s1, 0, r), glVertex2i(x + w, y);
    glTexCoord3f(s1, t1, r), glVertex2i(x + w, y + h);
    glTexCoord3f(0, t1, r), glVertex2i(x, y + h);
    glEnd();
    glDisable(target);
}

// Byte i of a made-up RGB pattern.
unsigned char texel_byte(size_t i) {
    return (unsigned char)(37 * i + 11);
}

}  // namespace

// 1-D, rectangle and 3-D textures drawn texel for texel read back as their
// pictures (the 3-D one: its second slice).
TEST_F(GlWindow, OneDimensionalRectangleAndVolumeTexturesDrawTheirTexels) {
    static libgr::image_store_t packed = {false, 1};
    libgr::image1d_t line;
    line.width = 4;
    line.store = &packed;
    ASSERT_TRUE(line.resize(12));
    for (size_t i = 0; i < 12; ++i) line[0][i] = texel_byte(i);
    image2d_t rect;
    rect.width = 3, rect.height = 2;
    ASSERT_TRUE(rect.allocate());
    for (uint32_t y = 0; y < 2; ++y)
        for (size_t i = 0; i < 9; ++i) rect[y][i] = texel_byte(100 + 9 * y + i);
    libgr::image3d_t volume;
    volume.width = volume.height = volume.depth = 2;
    volume.store = &packed;
    ASSERT_TRUE(volume.resize(24));
    for (size_t i = 0; i < 24; ++i) volume.begin()[i] = texel_byte(200 + i);

    const libgr::texparameter1d_t p1 =
        libgr::texparameter1d(GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, 1);
    const libgr::texparameter2d_t p2 =
        libgr::texparameter2d(GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, 1);
    const libgr::texparameter3d_t p3 = libgr::texparameter3d(
        GL_NEAREST, GL_NEAREST, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE, 1);
    libgr::grTexture1D s1;
    s1.setImage(line);
    s1.setTextureParameter(&p1);
    libgr::grTextureRectangle s2;
    s2.setImage(rect);
    s2.setTextureParameter(&p2);
    libgr::grTexture3D s3;
    s3.setImage(volume);
    s3.setTextureParameter(&p3);
    libgr::grTextureObject o1, o2, o3;
    ASSERT_TRUE(o1.Preload(&s1));
    ASSERT_TRUE(o2.Preload(&s2));
    ASSERT_TRUE(o3.Preload(&s3));
    EXPECT_EQ(o1.target(), GLenum(GL_TEXTURE_1D));
    EXPECT_EQ(o2.target(), GLenum(GL_TEXTURE_RECTANGLE));
    EXPECT_EQ(o3.target(), GLenum(GL_TEXTURE_3D));
    EXPECT_EQ(s3.GetInternalFormat(), GLenum(GL_RGB8));

    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    o1.Load();
    textured_quad(GL_TEXTURE_1D, 0, 0, 4, 1, 1, 1);
    o2.Load();
    textured_quad(GL_TEXTURE_RECTANGLE, 10, 0, 3, 2, 3, 2);  // texel coordinates
    o3.Load();
    textured_quad(GL_TEXTURE_3D, 20, 0, 2, 2, 1, 1, 0.75f);
    image2d_t shot;
    ASSERT_TRUE(libgr::grReadPixelsRGB(shot, GL_BACK));
    struct probe_t {
        const char* what;
        uint32_t x, y;
        size_t first;  // texel_byte index of its red
    } probes[] = {
        {"1-D texel 0", 0, 0, 0},           {"1-D texel 3", 3, 0, 9},
        {"rectangle (0, 0)", 10, 0, 100},   {"rectangle (2, 1)", 12, 1, 100 + 9 + 6},
        {"3-D slice 1 (0, 0)", 20, 0, 212}, {"3-D slice 1 (1, 1)", 21, 1, 212 + 6 + 3},
    };
    for (const auto& p : probes) {
        const unsigned char want[3] = {texel_byte(p.first), texel_byte(p.first + 1),
                                       texel_byte(p.first + 2)};
        EXPECT_EQ(std::memcmp(px(shot, p.x, p.y), want, 3), 0) << p.what;
    }
    // The volume cannot come back as one picture.
    image2d_t back;
    EXPECT_FALSE(o3.GetTextureImage(0, back));
}

// The depth buffer reads back as floats: a quad at depth 0.25 over the
// cleared far plane.
TEST_F(GlWindow, DepthBufferReadsBackAsFloats) {
    glViewport(0, 0, 64, 64);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 64, 0, 64, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearDepth(1);
    glClear(GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glRectf(0, 0, 32, 64);  // z 0: window depth 0.5
    glBegin(GL_QUADS);      // z 0.5 in front of it (ortho: window depth 0.25)
    glVertex3f(0, 0, 0.5f), glVertex3f(16, 0, 0.5f), glVertex3f(16, 64, 0.5f),
        glVertex3f(0, 64, 0.5f);
    glEnd();
    glDisable(GL_DEPTH_TEST);
    image2d_t depth;
    ASSERT_TRUE(libgr::grReadPixelsDepth(depth, GL_BACK));
    ASSERT_EQ(depth.width, 64u);
    EXPECT_EQ(depth.desc, libgr::image_desc_t(libgr::IMAGE_FORMAT_DEPTH, libgr::IMAGE_TYPE_FLOAT,
                                              libgr::IMAGE_BITS_32));
    auto at = [&](uint32_t x, uint32_t y) {
        float v;
        std::memcpy(&v, depth[y] + 4 * x, 4);
        return v;
    };
    EXPECT_NEAR(at(8, 30), 0.25f, 1e-4);
    EXPECT_NEAR(at(24, 30), 0.5f, 1e-4);
    EXPECT_NEAR(at(48, 30), 1.0f, 1e-4);
}

// A texture bound as an image unit is what GL reports on that unit; the
// unit is empty again after UnbindImage.
TEST_F(GlWindow, BindImagePutsTheTextureOnAnImageUnit) {
    if (!libgr::g_glsupport.BindImageTexture) GTEST_SKIP() << "no GL 4.2 image units";
    image2d_t tile;
    tile.desc =
        libgr::image_desc_t(libgr::IMAGE_FORMAT_RGBA, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
    tile.width = tile.height = 4;
    ASSERT_TRUE(tile.allocate());
    libgr::grTexture2D source;
    source.setImage(tile);
    libgr::grTextureObject object;
    EXPECT_FALSE(object.BindImage(2, 0, GL_READ_WRITE));  // nothing to bind yet
    ASSERT_TRUE(object.Preload(&source));
    ASSERT_TRUE(object.BindImage(2, 0, GL_READ_WRITE));
    auto get = reinterpret_cast<PFNGLGETINTEGERI_VPROC>(glfwGetProcAddress("glGetIntegeri_v"));
    ASSERT_NE(get, nullptr);
    auto unit = [get](GLenum what) {
        GLint v = -1;
        get(what, 2, &v);
        return v;
    };
    EXPECT_EQ(unit(GL_IMAGE_BINDING_NAME), GLint(object.texid()));
    EXPECT_EQ(unit(GL_IMAGE_BINDING_FORMAT), GLint(GL_RGBA8));
    EXPECT_EQ(unit(GL_IMAGE_BINDING_ACCESS), GLint(GL_READ_WRITE));
    object.UnbindImage(2);
    EXPECT_EQ(unit(GL_IMAGE_BINDING_NAME), 0);
}

// The first file decoded ahead is handed over once, to the same file only,
// and only when its reduction still covers what the window asks for.
TEST(Prefetch, HandsTheDecodedPictureOverOnceToTheSameFile) {
    std::string dir = testenv::scratch_dir("prefetch");
    jpegfixture::options_t o;
    o.width = 520, o.height = 260;
    ASSERT_TRUE(jpegfixture::write_jpeg(dir + "/a.jpg", o));
    struct case_t {
        const char* asked;  // the path the list asks for
        uint32_t w, h;      // the cover it needs
        bool handed;
    } cases[] = {
        {"/a.jpg", 128, 64, true},     {"/./a.jpg", 100, 50, true}, {"/b.jpg", 128, 64, false},
        {"/a.jpg", 300, 64, false},  // the quarter-size decode is too small
    };
    for (const auto& c : cases) {
        glimlib::picture_prefetch_t prefetch;
        prefetch.start(dir + "/a.jpg", 128, 64);
        auto got = prefetch.take(dir + c.asked, c.w, c.h);
        ASSERT_EQ(got != nullptr, c.handed) << c.asked << " " << c.w;
        if (got) {
            EXPECT_TRUE(got->ok && got->reduced);
            EXPECT_EQ(got->image.width, 130u);
            EXPECT_EQ(got->full_size, libgr::direction2l_t(520, 260));
            EXPECT_EQ(prefetch.take(dir + c.asked, c.w, c.h), nullptr) << "only once";
        }
    }
    // A file that does not decode is handed over as failed, not loaded again.
    testenv::write_file(dir + "/bad.jpg", "not a JPEG");
    glimlib::picture_prefetch_t prefetch;
    decltype(prefetch.take(dir + "/bad.jpg", 0, 0)) got;
    testenv::stderr_of([&] {
        prefetch.start(dir + "/bad.jpg", 0, 0);
        got = prefetch.take(dir + "/bad.jpg", 0, 0);
    });
    ASSERT_NE(got, nullptr);
    EXPECT_FALSE(got->ok);
}
