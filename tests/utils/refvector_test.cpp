#include <gtest/gtest.h>

#include <cstring>

#include "libutils/byteorder.h"
#include "libutils/refvector.h"
#include "support/testenv.h"

using libutils::bytevector;

namespace {

bytevector filled(const char* text) {
    bytevector v;
    size_t n = std::strlen(text);
    EXPECT_TRUE(v.resize(n));
    std::memcpy(v.begin(), text, n);
    return v;
}

std::string str(const bytevector& v) {
    return std::string(reinterpret_cast<const char*>(v.begin()), v.size());
}

}  // namespace

TEST(Refvector, LoadMapsWholeFileAndMissingFileLeavesHandleEmpty) {
    std::string dir = testenv::scratch_dir();
    testenv::write_file(dir + "/f", "hello mapped world");
    bytevector v;
    ASSERT_TRUE(v.load(0, (dir + "/f").c_str(), libutils::prot_read, 0, false));
    EXPECT_EQ(str(v), "hello mapped world");

    EXPECT_FALSE(v.load(0, (dir + "/missing").c_str(), libutils::prot_read, 0, false));
    EXPECT_FALSE(v.is_allocated());
    EXPECT_TRUE(v.empty());
    EXPECT_EQ(v.size(), 0u);
}

TEST(Refvector, EmptyFileLoadsAsEmptyBuffer) {
    std::string dir = testenv::scratch_dir();
    testenv::write_file(dir + "/empty", "");
    bytevector v;
    ASSERT_TRUE(v.load(0, (dir + "/empty").c_str(), libutils::prot_read, 0, false));
    EXPECT_TRUE(v.empty());
    EXPECT_EQ(v.size(), 0u);
}

TEST(Refvector, WindowSizeFollowsOffsetAndLength) {
    bytevector v = filled("0123456789");
    v.offset = 3;
    EXPECT_EQ(v.size(), 7u);  // length -1: to the end
    v.length = 4;
    EXPECT_EQ(str(v), "3456");
    v.length = 100;  // more than remains
    EXPECT_EQ(v.size(), 7u);
    v.length = 0;
    EXPECT_TRUE(v.empty());
}

TEST(Refvector, SetwindowNestsAndStopsAtSourceEnd) {
    bytevector all = filled("0123456789");
    bytevector a, b, c;
    a.setwindow(all, 2, 6);  // 234567
    EXPECT_EQ(str(a), "234567");
    b.setwindow(a, 1, 3);  // 345
    EXPECT_EQ(str(b), "345");
    // A window of a window never reaches past its source's window.
    c.setwindow(a, 4, bytevector::npos);
    EXPECT_EQ(str(c), "67");
    c.setwindow(a, 4, 100);
    EXPECT_EQ(str(c), "67");
    // An offset beyond the end: a window at the end with size 0.
    c.setwindow(a, 50, 5);
    EXPECT_EQ(c.size(), 0u);
    EXPECT_EQ(c.begin(), a.end());
}

TEST(Refvector, SetwindowOfItselfStaysInsideTheOldWindow) {
    bytevector all = filled("0123456789");
    struct case_t {
        uint64_t off, len;
        const char* expected;
    } cases[] = {{2, 100, "45"}, {1, 2, "34"}, {0, bytevector::npos, "2345"}, {9, 1, ""}};
    for (const case_t& c : cases) {
        bytevector w;
        w.setwindow(all, 2, 4);  // 2345
        w.setwindow(w, c.off, c.len);
        EXPECT_EQ(str(w), c.expected) << c.off << ", " << c.len;
    }
    // A window to the end of the buffer stays open-ended.
    bytevector& w = all;
    w.setwindow(w, 7, bytevector::npos);
    EXPECT_EQ(str(w), "789");
    EXPECT_EQ(w.length, bytevector::npos);
}

TEST(Refvector, SharedBlockLivesUntilLastHolderClears) {
    bytevector a = filled("shared");
    bytevector b = a;
    EXPECT_EQ(a.use_count(), 2u);
    a.clear();
    EXPECT_FALSE(a.is_allocated());
    EXPECT_EQ(a.offset, 0u);
    EXPECT_EQ(a.length, bytevector::npos);
    EXPECT_EQ(str(b), "shared");
    EXPECT_EQ(b.use_count(), 1u);
}

TEST(Refvector, ResizeDetachesFromOtherHolders) {
    bytevector a = filled("abcdef");
    a.offset = 2;
    a.length = 3;  // "cde"
    bytevector b = a;
    ASSERT_TRUE(a.resize(5));
    EXPECT_EQ(a.offset, 0u);
    EXPECT_EQ(a.length, bytevector::npos);
    EXPECT_EQ(a.size(), 5u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(a.begin()), 3), "cde");
    a.begin()[0] = 'X';
    EXPECT_EQ(str(b), "cde");  // the other holder keeps the old contents
    EXPECT_EQ(b.use_count(), 1u);
}

TEST(Refvector, LoadWithKeepCopiesOldContents) {
    std::string dir = testenv::scratch_dir();
    testenv::write_file(dir + "/f", "0123456789");
    libutils::refvector2<unsigned char, libutils::alloc_new> v;
    ASSERT_TRUE(v.load(0, (dir + "/f").c_str(), libutils::prot_read, 0, false));
    EXPECT_EQ(v.size(), 10u);
    EXPECT_EQ(std::memcmp(v.begin(), "0123456789", 10), 0);
    ASSERT_TRUE(v.load(4, nullptr, libutils::prot_readwrite, 0, true));
    EXPECT_EQ(v.size(), 4u);
    EXPECT_EQ(std::memcmp(v.begin(), "0123", 4), 0);
}

TEST(Refvector, ArrayVectorResizeKeepsPrefixAndZeroReleases) {
    libutils::refvector<unsigned short> v;
    ASSERT_TRUE(v.resize(3));
    *v[0] = 1, *v[1] = 2, *v[2] = 3;
    libutils::refvector<unsigned short> w = v;
    ASSERT_TRUE(v.resize(5));
    EXPECT_EQ(*v[2], 3);
    EXPECT_EQ(*v[4], 0);
    EXPECT_EQ(w.size(), 3u);
    ASSERT_TRUE(v.resize(0));
    EXPECT_FALSE(v.is_allocated());
}

TEST(Refvector, SmartPointersOwnAndShare) {
    libutils::ptr_t<std::string> p;
    EXPECT_TRUE(!p);
    p = new std::string("x");
    EXPECT_FALSE(!p);
    p.free();
    EXPECT_TRUE(!p);

    libutils::refobject<std::string> a;
    EXPECT_FALSE(a);
    ASSERT_TRUE(a.newobject());
    *a.operator->() = "obj";
    libutils::refobject<std::string> b = a;
    EXPECT_EQ(a.use_count(), 2u);
    a.relobject();
    EXPECT_EQ(*b.operator->(), "obj");
    EXPECT_EQ(b.use_count(), 1u);
}

TEST(ByteOrder, ConvertsFromEachOrder) {
    EXPECT_EQ(libutils::mtohs(0x1234), 0x3412);
    EXPECT_EQ(libutils::itohl(0x12345678u), 0x12345678u);
    EXPECT_EQ(libutils::mtohl(0x12345678u), 0x78563412u);
    EXPECT_EQ(libutils::mtohll(0x0102030405060708ull), 0x0807060504030201ull);
    const unsigned char bytes[] = {0x00, 0x4D, 0x4D, 0x00, 0x2A, 0x01};
    libutils::motorola_byteorder mm;
    libutils::intel_byteorder ii;
    EXPECT_EQ(mm.tohs(libutils::get_short(bytes + 3)), 0x002A);  // unaligned read
    EXPECT_EQ(ii.tohs(libutils::get_short(bytes + 3)), 0x2A00);
    EXPECT_EQ(mm.tohl(libutils::get_long(bytes + 1)), 0x4D4D002Au);
}
