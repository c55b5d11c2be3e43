// The photo frame: its ring around the picture, each type drawn and read
// back from the framebuffer, and the GL state it leaves behind.
#include <gtest/gtest.h>

#include <GLFW/glfw3.h>
#include <GL/glext.h>

#include <set>

#include "glimlib/option.h"
#include "glimlib/viewframe.h"
#include "glimlib/viewscene.h"
#include "glimvue/glextload.h"
#include "libgr/gl/glformat.h"
#include "libgr/gl/glsupport.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"

using glimlib::g_option;
using libgr::image2d_t;

TEST(Frame, RingAroundThePicture) {
    glimlib::ViewFrame frame;
    frame.setSize(libgr::direction2l_t(400, 300), 32);
    float v[8][2];
    frame.corners(v);
    // Outer bottom left and top right; inner: the picture's corners.
    const float want[4][3] = {{0, -232, -182}, {4, 232, 182}, {1, -200, -150}, {5, 200, 150}};
    for (const auto& w : want) {
        EXPECT_EQ(v[int(w[0])][0], w[1]);
        EXPECT_EQ(v[int(w[0])][1], w[2]);
    }

    g_option.debug = true;
    const std::string out = testenv::stdout_of([&] {
        frame.setFrameType(2);
        frame.setFrameType(2);
    });
    g_option.debug = false;
    EXPECT_EQ(out, "frametype: 2\n");
}

namespace {

// The state any frame type may touch, as one comparable list.
std::vector<double> gl_state() {
    std::vector<double> out;
    for (GLenum cap : {GL_LIGHTING, GL_BLEND, GL_TEXTURE_2D, GL_NORMALIZE, GL_RESCALE_NORMAL,
                       GL_VERTEX_PROGRAM_ARB, GL_FRAGMENT_PROGRAM_ARB, GL_TEXTURE_CUBE_MAP,
                       GL_TEXTURE_GEN_S, GL_VERTEX_ARRAY, GL_TEXTURE_COORD_ARRAY})
        out.push_back(glIsEnabled(cap));
    GLint i[3];
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &i[0]);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &i[1]);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &i[2]);
    out.insert(out.end(), i, i + 3);
    return out;
}

class FrameWindow : public ::testing::Test {
  protected:
    GLFWwindow* m_window = nullptr;
    std::string m_picture;
    image2d_t m_shot;
    const int m_w = 200, m_h = 160;

    void SetUp() override {
        if (!getenv("DISPLAY") || !glfwInit()) GTEST_SKIP() << "no display: GL checks skipped";
        glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
        m_window = glfwCreateWindow(m_w, m_h, "frame_test", nullptr, nullptr);
        ASSERT_NE(m_window, nullptr);
        glfwMakeContextCurrent(m_window);
        ASSERT_TRUE(glimvue2::load_gl_extensions());
        m_picture = testenv::scratch_dir("frame") + "/p.jpg";
        jpegfixture::options_t o;
        o.width = 100, o.height = 60;
        ASSERT_TRUE(jpegfixture::write_jpeg(m_picture, o));
    }
    void TearDown() override {
        if (m_window) glfwDestroyWindow(m_window);
        glfwTerminate();
    }
    // Draws the picture with a frame of that type and width 20 at scale 1.
    void draw(int type, std::vector<double>* before = nullptr, std::vector<double>* after = nullptr) {
        g_option.frametype = type;
        g_option.framewidth = 20;
        std::string data = testenv::bin_dir() + "/";
        glimlib::ViewScene scene;
        scene.Init(data);
        ASSERT_TRUE(scene.addImage(m_picture, data));
        scene.make_graph(data);
        scene.Reshape(m_w, m_h);
        scene.Display();
        ASSERT_TRUE(libgr::grReadPixelsRGB(m_shot, GL_BACK));
        // The frame alone, as the scene draws it (before the picture).
        if (before) *before = gl_state();
        scene.current()->viewframe.Draw();
        if (after) *after = gl_state();
        scene.free_graph();
    }
    // The band's pixel `d` pixels out from the middle of the picture's left edge.
    const unsigned char* band(int d) const {
        return m_shot[m_h / 2] + 3 * (m_w / 2 - 50 - d);
    }
};

}  // namespace

TEST_F(FrameWindow, TypeZeroDrawsNothingAndChangesNoState) {
    std::vector<double> before, after;
    draw(0, &before, &after);
    EXPECT_EQ(before, after);
    for (int d : {1, 10, 20}) EXPECT_EQ(band(d)[0], 46) << d;  // the clear colour, gray18
}

TEST_F(FrameWindow, TypeOneIsAPlainUnlitBand) {
    g_option.framecolor = libgr::color3aub_t{255, 0, 0, 255};
    draw(1);
    for (int d : {1, 10, 20}) {
        const unsigned char* p = band(d);
        EXPECT_TRUE(p[0] == 255 && p[1] == 0 && p[2] == 0) << d << ": " << int(p[0]) << "," << int(p[1]) << "," << int(p[2]);
    }
    EXPECT_EQ(band(21)[0], 46);  // just outside the band
    g_option.framecolor = libgr::color3aub_t{255, 255, 255, 255};
}

// The moulding (through the GPU programs on this machine) and the flower
// band are textured, take their files from beside the programs, and leave
// the state as they found it.
TEST_F(FrameWindow, TexturedTypesDrawTheirBandAndRestoreTheState) {
    for (int type : {2, 3, 4}) {
        std::vector<double> before, after;
        EXPECT_EQ(testenv::stderr_of([&] { draw(type, &before, &after); }), "") << type;
        EXPECT_EQ(before, after) << type;
        std::set<int> shades;
        for (int d = 1; d <= 20; ++d) shades.insert(band(d)[0] << 16 | band(d)[1] << 8 | band(d)[2]);
        EXPECT_GT(shades.size(), 4u) << type << ": a textured band has many shades";
        EXPECT_EQ(shades.count(46 << 16 | 46 << 8 | 46), 0u) << type;
    }
}
