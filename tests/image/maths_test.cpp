// Colour and vector maths and the byte conversions.
#include <gtest/gtest.h>

#include "libgr/image/color.h"
#include "libgr/image/vecmath.h"
#include "libutils/byteconv.h"

using namespace libgr;

TEST(Maths, CompareHasATolerance) {
    EXPECT_TRUE(compare(1.0f, 1.00001f));
    EXPECT_FALSE(compare(1.0f, 1.0001f));
    EXPECT_TRUE(compare(2.0f, 2.00001f, 2.000015f));
    EXPECT_FALSE(compare(2.0f, 2.0f, 2.1f));
    EXPECT_TRUE(direction3_t(0.5f, 0.5f, 0.500001f) == 0.5f);
}

TEST(Maths, RoundingToQuotients) {
    EXPECT_FLOAT_EQ(round_to_quotient(7.9f, 2), 6);
    EXPECT_FLOAT_EQ(round_to_quotient(-7.9f, 2), -6);
    EXPECT_FLOAT_EQ(roundup_to_quotient(6.5f, 2), 8);
    EXPECT_FLOAT_EQ(roundup_to_quotient(6, 2), 6);
    direction3_t d = roundup_to_quotient(direction3_t(1.5f, 4, 9.1f), direction3_t(1, 2, 3));
    EXPECT_FLOAT_EQ(d.x, 2);
    EXPECT_FLOAT_EQ(d.y, 4);
    EXPECT_FLOAT_EQ(d.z, 12);
    position3_t p = round_to_quotient(position3_t(5, -5, 0.5f), 4);
    EXPECT_FLOAT_EQ(p.x, 4);
    EXPECT_FLOAT_EQ(p.y, -4);
    EXPECT_FLOAT_EQ(p.z, 0);
}

TEST(Maths, VectorOperations) {
    direction3_t zero = Normalize(direction3_t(0, 0, 0));
    EXPECT_EQ(zero.x, 0);
    EXPECT_EQ(zero.z, 0);
    direction3_t n = Normalize(direction3_t(3, 0, 4));
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_FLOAT_EQ(n.z, 0.8f);
    EXPECT_FLOAT_EQ(Length(direction3_t(3, 0, 4)), 5);
    direction3_t c = CrossProduct(direction3_t(1, 0, 0), direction3_t(0, 1, 0));
    EXPECT_FLOAT_EQ(c.z, 1);
    direction3_t c3 =
        CrossProductWithNormalize(position3_t(1, 1, 1), position3_t(3, 1, 1), position3_t(1, 5, 1));
    EXPECT_FLOAT_EQ(c3.z, 1);
    EXPECT_FLOAT_EQ(ScalarTriProduct(position3_t(0, 0, 0), position3_t(2, 0, 0),
                                     position3_t(0, 3, 0), position3_t(0, 0, 4)),
                    24);
    EXPECT_FLOAT_EQ(
        ScalarTriProduct(direction3_t(1, 0, 0), direction3_t(0, 1, 0), direction3_t(0, 0, 2)), 2);
    EXPECT_FLOAT_EQ(DotProduct(direction3_t(1, 2, 3), direction3_t(4, 5, 6)), 32);
    EXPECT_FLOAT_EQ(Total(direction3_t(1, 2, 3)), 6);
    position3_t pos = SpecializeToPos(vector3w_t(2, 4, 6, 2));
    EXPECT_FLOAT_EQ(pos.y, 2);
    EXPECT_FLOAT_EQ(SpecializeToPos(vector3w_t(2, 4, 6, 0)).z, 6);
    EXPECT_FLOAT_EQ(SpecializeToDir(vector3w_t(0, 3, 4, 9)).y, 0.6f);
}

TEST(Maths, MatrixAppliesToRowVectorsWithTranslationLast) {
    matrix3w_t m;
    m[3] = vector3w_t(10, 20, 30, 1);
    direction3_t v = direction3_t(1, 2, 3) * m;
    EXPECT_FLOAT_EQ(v.x, 11);
    EXPECT_FLOAT_EQ(v.z, 33);
    EXPECT_FLOAT_EQ(m.data()[12], 10);  // glLoadMatrixf's translation
    matrix3w_t twice = m * m;
    EXPECT_FLOAT_EQ(twice[3][1], 40);
}

TEST(Maths, EasingCurves) {
    EXPECT_FLOAT_EQ(fade(0), 1);
    EXPECT_NEAR(fade(1), 0, 1e-6);
    EXPECT_NEAR(slope(0), 0, 1e-6);
    EXPECT_NEAR(slope(0.5f), 0.5f, 1e-6);
    EXPECT_FLOAT_EQ(cosine_slope(1), 1);
    EXPECT_NEAR(sine_slope(0), 0, 1e-6);
    EXPECT_NEAR(sine_slope(1), 1, 1e-6);
}

TEST(Maths, PixelPairs) {
    direction2ul_t size(640, 480);
    size /= 2;
    EXPECT_FALSE(size != direction2ul_t(320, 240));
    EXPECT_TRUE(size != 320u);
    EXPECT_FALSE(datum2ul != 0u);
    direction2l_t a(-3, 4);
    a += direction2l_t(1, 1);
    a /= 2;
    EXPECT_EQ(a.x, -1);
    EXPECT_EQ(a.y, 2);
}

TEST(Colour, YCbCrOfWhiteAndBack) {
    ycbcr_t w = ycbcr(color3_t(1, 1, 1));
    EXPECT_NEAR(w.y, 1, 1e-5);
    EXPECT_NEAR(w.cb, 0, 1e-5);
    EXPECT_NEAR(w.cr, 0, 1e-5);
    color3_t c = color3(ycbcr_t(1, 0, 0));
    EXPECT_FLOAT_EQ(c.r, 1);
    EXPECT_FLOAT_EQ(c.g, 1);
    EXPECT_FLOAT_EQ(c.b, 1);
    ycbcrub_t b = ycbcrub(ycbcr_t(0.5f, 0, 0));
    EXPECT_EQ(b.y, 128);
    EXPECT_EQ(b.cb, 0x80);
    EXPECT_EQ(b.cr, 0x80);
    ycbcr_t back = ycbcr(b);
    EXPECT_NEAR(back.y, 0.502f, 0.001f);
    EXPECT_EQ(back.cb, 0);
}

TEST(Colour, ByteRoundTripsStayInRange) {
    for (int r = 0; r < 256; r += 15)
        for (int g = 0; g < 256; g += 17)
            for (int b = 0; b < 256; b += 51) {
                color3ub_t c;
                c.r = (unsigned char)r;
                c.g = (unsigned char)g;
                c.b = (unsigned char)b;
                color3ub_t back = color3ub(ycbcrub(c));
                EXPECT_NEAR(back.r, r, 3) << r << " " << g << " " << b;
                EXPECT_NEAR(back.g, g, 3) << r << " " << g << " " << b;
                EXPECT_NEAR(back.b, b, 3) << r << " " << g << " " << b;
            }
    color3ub_t grey;
    grey.r = grey.g = grey.b = 200;
    EXPECT_EQ(monochrome(grey), 200);
    color3ub_t red;
    red.r = 255;
    EXPECT_EQ(monochrome(red), 76);
}

TEST(ByteConv, FloatsAndBytes) {
    EXPECT_EQ(libutils::f2uc(1.0f), 255);
    EXPECT_EQ(libutils::f2uc(0.5f), 128);
    EXPECT_EQ(libutils::f2uc(0.0f), 0);
    EXPECT_EQ(libutils::f2sc(1.0f), 127);
    EXPECT_EQ(libutils::f2sc(-1.0f), -127);
    EXPECT_EQ(libutils::f2sc(-0.004f), -1);
    EXPECT_EQ(libutils::f2sc(0.003f), 0);
    EXPECT_NEAR(libutils::uc2f(255), 1.0f, 1e-6);
    EXPECT_NEAR(libutils::sc2f(-127), -1.0f, 1e-6);
}
