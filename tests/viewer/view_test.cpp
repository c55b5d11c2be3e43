// View maths, tiling and input translation. The scene is driven without a
// window: GL calls without a current context do nothing under libglvnd, and
// everything checked here is arithmetic.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>

#include <cmath>
#include <string>

#include "glimlib/viewscene.h"
#include "glimvue/gems/glfwymgr4.h"
#include "libgr/image/matrixops.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

using namespace glimlib;
using libgr::matrix3w_t;

namespace {

std::string jpeg(int w, int h, const std::string& name = "p.jpg") {
    std::string path = testenv::scratch_dir("view") + "/" + name;
    jpegfixture::options_t o;
    o.width = w, o.height = h;
    EXPECT_TRUE(jpegfixture::write_jpeg(path, o));
    return path;
}

}  // namespace

TEST(ViewScene, ViewOperationsUndoThemselves) {
    ViewScene s;
    ASSERT_TRUE(s.addImage(jpeg(64, 48), ""));
    s.Move({3, 4, 0});
    s.Rotate(30);
    const matrix3w_t m = s.getMatrix();
    s.Zoom(1);
    s.Zoom(-1);
    EXPECT_TRUE(libgr::nearly_equal(s.getMatrix(), m));
    s.Scale(3);
    s.clrZoom();
    EXPECT_TRUE(libgr::nearly_equal(s.getMatrix(), m));
    s.Scale(2);
    s.clrRotate();  // keeps the move and the scale, drops the turn
    matrix3w_t want = libgr::gl_multiply(libgr::translation_matrix(3, 4, 0),
                                         libgr::scale_matrix(2, 2, 2));
    EXPECT_TRUE(libgr::nearly_equal(s.getMatrix(), want, 1e-4f));
    s.Origin();
    s.Move({3, 4, 0});
    s.clrMove();
    EXPECT_NEAR(s.getMatrix()[3].x, 0, 1e-4);
    EXPECT_NEAR(s.getMatrix()[3].y, 0, 1e-4);
    EXPECT_FALSE(s.toggleSmooth());
    EXPECT_TRUE(s.toggleSmooth());
}

TEST(ViewScene, OriginKeepsThePicturesOwnQuarterTurn) {
    SKIP_WITHOUT_PROGRAM("exiftool");
    std::string path = jpeg(64, 48);
    ASSERT_EQ(testenv::run("exiftool -q -overwrite_original -n -Orientation=6 " +
                           testenv::shell_quote(path)), 0);
    ViewScene s;
    ASSERT_TRUE(s.addImage(path, ""));
    EXPECT_EQ(s.rightrotatecount(), 1u);
    s.Zoom(2);
    s.Origin();
    libgr::rotation3_t r = libgr::extract_rotation(s.getMatrix());
    EXPECT_NEAR(r.angle * r.z, -90, 1e-3);
    EXPECT_NEAR(libgr::determinant3(s.getMatrix()), 1, 1e-5);
}

TEST(ViewScene, ProjectionOffsetFollowsParity) {
    struct case_t {
        int window_w, window_h, image_w, image_h;
        float ox, oy;
    } cases[] = {
        {801, 600, 64, 48, -0.5f, 0}, {800, 601, 64, 48, 0, -0.5f},
        {800, 600, 64, 48, 0, 0},     {801, 601, 65, 49, 0, 0},
    };
    for (const auto& c : cases) {
        ViewScene s;
        ASSERT_TRUE(s.addImage(jpeg(c.image_w, c.image_h), ""));
        s.Reshape(c.window_w, c.window_h);
        EXPECT_EQ(s.offset_x(), c.ox) << c.window_w << " " << c.image_w;
        EXPECT_EQ(s.offset_y(), c.oy) << c.window_h << " " << c.image_h;
    }
}

TEST(ViewScene, DeletingTheLastOfThreeMakesTheSecondCurrent) {
    ViewScene s;
    for (int w : {10, 20, 30}) ASSERT_TRUE(s.addImage(jpeg(w, 8), ""));
    s.setCurrent(2);
    EXPECT_EQ(s.getCurrentImageSize().x, 30);
    ASSERT_TRUE(s.delImage());
    EXPECT_EQ(s.getCurrentImageSize().x, 20);
    s.setCurrent(0);
    ASSERT_TRUE(s.delImage());
    EXPECT_EQ(s.getCurrentImageSize().x, 20);
    s.setCurrent(5);
    EXPECT_FALSE(s.delImage());
    EXPECT_FALSE(s.addImage("/no/such/file.jpg", ""));
    EXPECT_EQ(s.size(), 1u);
}

TEST(ViewObject, TilesCoverThePictureInPowerOfTwoSquares) {
    struct case_t {
        uint32_t w, h, columns, rows, last_w, last_h;
        float ex, ey;
    } cases[] = {
        {1000, 700, 4, 3, 232, 188, 3.90625f, 2.734375f},
        {200, 100, 1, 1, 200, 100, 0.78125f, 0.390625f},
        {256, 256, 1, 1, 256, 256, 1, 1},
        {512, 256, 2, 1, 256, 256, 2, 1},
    };
    for (const auto& c : cases) {
        libgr::image2d_t image;
        image.width = c.w, image.height = c.h;
        ASSERT_TRUE(image.allocate());
        multi_square_image_t t;
        ASSERT_TRUE(rectangle_to_squares(t, image, 256, true));
        EXPECT_EQ(t.columns, c.columns) << c.w;
        EXPECT_EQ(t.rows, c.rows) << c.w;
        EXPECT_EQ(t.extent_x, c.ex) << c.w;
        EXPECT_EQ(t.extent_y, c.ey) << c.w;
        const libgr::image2d_t& last = t.images.back();
        EXPECT_EQ(last.width, c.last_w) << c.w;
        EXPECT_EQ(last.height, c.last_h) << c.w;
        EXPECT_EQ(last.begin(), image.begin()) << "tiles share the picture's pixels";
        multi_texture_object_t tex;
        ASSERT_TRUE(squares_to_texobjs(tex, t));
        EXPECT_EQ(tex.sources.size(), size_t(c.columns) * c.rows);
    }
    ViewObject upper, gif;
    std::string dir = testenv::scratch_dir("ext");
    std::string path = jpeg(8, 8);
    ASSERT_EQ(std::rename(path.c_str(), (dir + "/PHOTO.JPEG").c_str()), 0);
    EXPECT_TRUE(upper.setImage(dir + "/PHOTO.JPEG"));
    testenv::write_file(dir + "/photo.gif", "GIF89a");
    EXPECT_FALSE(gif.setImage(dir + "/photo.gif"));
}

TEST(WindowManager, KeysButtonsAndWheelTranslate) {
    struct case_t {
        int key, scancode, mods;
        bool special;
        int code;
    } cases[] = {
        {GLFW_KEY_A, 38, GLFW_MOD_SHIFT, false, 'A'},
        {GLFW_KEY_A, 38, 0, false, 'a'},
        {GLFW_KEY_A, 38, 0x10, false, 'A'},  // Caps Lock
        {GLFW_KEY_A, 38, GLFW_MOD_SHIFT | 0x10, false, 'a'},
        {GLFW_KEY_A, 38, GLFW_MOD_CONTROL, false, 1},
        {GLFW_KEY_1, 10, GLFW_MOD_SHIFT, false, '1'},
        {GLFW_KEY_ESCAPE, 9, 0, false, 27},
        {GLFW_KEY_KP_ENTER, 104, 0, false, 13},
        {GLFW_KEY_BACKSPACE, 22, GLFW_MOD_SHIFT, false, 8},
        {GLFW_KEY_KP_MULTIPLY, 63, 0, false, '*'},
        {GLFW_KEY_KP_8, 80, 0, true, 265},
        {GLFW_KEY_KP_0, 90, 0, true, 260},
        {GLFW_KEY_KP_5, 84, 0, true, 255},
        {GLFW_KEY_UNKNOWN, 92, 0, true, 349},
        {GLFW_KEY_UNKNOWN, 93, 0, true, 350},
        {GLFW_KEY_UNKNOWN, 7, 0, true, -1},
        {GLFW_KEY_PAGE_UP, 112, 0, true, 266},
        {GLFW_KEY_F5, 71, 0, true, 294},
    };
    for (const auto& c : cases) {
        gems::key_code_t k = gems::translate_key(c.key, c.scancode, c.mods);
        EXPECT_EQ(k.special, c.special) << c.key;
        EXPECT_EQ(k.code, c.code) << c.key << " mods " << c.mods;
    }
    EXPECT_EQ(gems::translate_button(GLFW_MOUSE_BUTTON_RIGHT), 2);
    EXPECT_EQ(gems::translate_button(GLFW_MOUSE_BUTTON_MIDDLE), 1);
    EXPECT_EQ(gems::translate_button(GLFW_MOUSE_BUTTON_LEFT), 0);
    EXPECT_EQ(gems::translate_button(3), 3);
    EXPECT_EQ(gems::wheel_direction(1.0), -1);
    EXPECT_EQ(gems::wheel_direction(-2.0), 1);
}
