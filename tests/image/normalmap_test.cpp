// Normal maps: the slopes of a height map and the cube of directions, the
// latter checked with OpenGL's face selection rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "libgr/image/normalmap.h"
#include "libgr/image/vecmath.h"
#include "support/testenv.h"

using namespace libgr;

TEST(NormalMap, SlopesBecomeSignedNormalsWrappingAtTheEdges) {
    image2d_t src;
    src.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_8);
    src.width = 4;
    src.height = 2;
    ASSERT_TRUE(src.allocate());
    for (uint32_t y = 0; y < 2; ++y) {
        const unsigned char row[4] = {0, 255, 0, 0};
        std::memcpy(src[y], row, 4);
    }
    image2d_t dst;
    ASSERT_TRUE(heightmap2normalmap(dst, src, 1.0f));
    EXPECT_TRUE(dst.desc == image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8));
    const signed char want[4][3] = {{90, 0, 90}, {-90, 0, 90}, {0, 0, 127}, {0, 0, 127}};
    for (uint32_t y = 0; y < 2; ++y)
        for (uint32_t x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c)
                EXPECT_EQ((signed char)dst[y][3 * x + c], want[x][c]) << x << "," << y << " " << c;
}

TEST(NormalMap, RgbIsSharedAndOtherLayoutsAreRefused) {
    image2d_t rgb, grey16, dst;
    rgb.desc = image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8);
    rgb.width = rgb.height = 2;
    ASSERT_TRUE(rgb.allocate());
    EXPECT_TRUE(heightmap2normalmap(dst, rgb, 0));
    EXPECT_EQ(dst.begin(), rgb.begin());
    grey16.desc = image_desc_t(IMAGE_FORMAT_GRAYSCALE, IMAGE_TYPE_UINT, IMAGE_BITS_16);
    rgb.compressed = true;
    EXPECT_EQ(
        testenv::stderr_of([&] {
            EXPECT_FALSE(heightmap2normalmap(dst, grey16, 0));
            EXPECT_FALSE(heightmap2normalmap(dst, rgb, 0));
        }),
        "normalmap(): image type not supported.\nnormalmap(): compressed format not supported.\n");
}

namespace {

// OpenGL's cube-map lookup: the face by the major axis, then (s, t).
void gl_lookup(const direction3_t& d, int& face, float& s, float& t) {
    float ax = std::fabs(d.x), ay = std::fabs(d.y), az = std::fabs(d.z), sc, tc, ma;
    if (ax >= ay && ax >= az) {
        face = d.x > 0 ? 0 : 1;
        sc = d.x > 0 ? -d.z : d.z;
        tc = -d.y;
        ma = ax;
    } else if (ay >= az) {
        face = d.y > 0 ? 2 : 3;
        sc = d.x;
        tc = d.y > 0 ? d.z : -d.z;
        ma = ay;
    } else {
        face = d.z > 0 ? 4 : 5;
        sc = d.z > 0 ? d.x : -d.x;
        tc = -d.y;
        ma = az;
    }
    s = (sc / ma + 1) / 2;
    t = (tc / ma + 1) / 2;
}

}  // namespace

TEST(NormalCubeMap, EveryTexelHoldsTheDirectionOpenGlLooksItUpBy) {
    image2d_t faces[6];
    ASSERT_TRUE(makenormalcubemap(faces));
    for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(faces[f].width, 256u);
        EXPECT_EQ(faces[f].height, 256u);
        EXPECT_TRUE(faces[f].desc == image_desc_t(IMAGE_FORMAT_RGB, IMAGE_TYPE_SINT, IMAGE_BITS_8));
    }
    const direction3_t dirs[] = {{1, 0, 0},        {-1, 0, 0},        {0, 1, 0},
                                 {0, -1, 0},       {0, 0, 1},         {0, 0, -1},
                                 {1, 0.5f, 0.2f},  {-1, -0.7f, 0.3f}, {0.3f, 1, -0.6f},
                                 {0.3f, -1, 0.6f}, {0.4f, -0.8f, 1},  {-0.9f, 0.2f, -1}};
    for (const direction3_t& d : dirs) {
        int face;
        float s, t;
        gl_lookup(d, face, s, t);
        uint32_t col = std::min(255u, uint32_t(s * 256)), row = std::min(255u, uint32_t(t * 256));
        const signed char* texel = reinterpret_cast<const signed char*>(faces[face][row] + 3 * col);
        direction3_t n = Normalize(d);
        EXPECT_NEAR(texel[0], n.x * 127, 2.5) << face << " " << d.x << "," << d.y << "," << d.z;
        EXPECT_NEAR(texel[1], n.y * 127, 2.5) << face << " " << d.x << "," << d.y << "," << d.z;
        EXPECT_NEAR(texel[2], n.z * 127, 2.5) << face << " " << d.x << "," << d.y << "," << d.z;
    }
}
