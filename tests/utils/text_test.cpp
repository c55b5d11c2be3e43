#include <gtest/gtest.h>

#include <list>
#include <sstream>

#include "libutils/text.h"

using namespace libutils;

TEST(Text, ChopKeepsBlanksChop2RemovesThem) {
    std::string a = "abc \t\r\n", b = a;
    chop(a);
    EXPECT_EQ(a, "abc \t");
    chop2(b);
    EXPECT_EQ(b, "abc");
    std::string with_nul("abc\0\0", 5);
    chop2(with_nul);
    EXPECT_EQ(with_nul, "abc");
    std::string only = "\r\n\r\n";
    chop(only);
    EXPECT_EQ(only, "");
}

TEST(Text, SeparateTokenKeepsInnerEmptiesDropsTrailing) {
    auto split = [](const std::string& s) {
        std::list<std::string> l;
        separate_token(l, s, ":");
        return std::vector<std::string>(l.begin(), l.end());
    };
    EXPECT_EQ(split("a::b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(split(":a"), (std::vector<std::string>{"", "a"}));
    EXPECT_EQ(split("a:"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(split(""), (std::vector<std::string>{}));
    std::vector<std::string> v{"keep"};
    separate_token(v, "x,y;z", ",;");
    EXPECT_EQ(v, (std::vector<std::string>{"keep", "x", "y", "z"}));
}

TEST(Text, SeparateFirstTokenSplitsAtFirstOnly) {
    std::pair<std::string, std::string> p{"old", "old"};
    EXPECT_TRUE(separate_first_token(p, "album=/a=b", '='));
    EXPECT_EQ(p.first, "album");
    EXPECT_EQ(p.second, "/a=b");
    EXPECT_FALSE(separate_first_token(p, "no equals", '='));
    EXPECT_EQ(p.first, "album");  // untouched
}

TEST(Text, JoinCopyCatAndPointerArrays) {
    std::list<std::string> l{"a", "b", "c"};
    std::string out = "junk";
    concatenate_token(out, l, ", ");
    EXPECT_EQ(out, "a, b, c");
    concatenate_token(out, std::list<std::string>{}, ", ");
    EXPECT_EQ(out, "");
    std::vector<std::string> v{"x"};
    cat(v, l);
    EXPECT_EQ(v, (std::vector<std::string>{"x", "a", "b", "c"}));
    copy(v, l);
    EXPECT_EQ(v, (std::vector<std::string>{"a", "b", "c"}));
    std::vector<const char*> ptrs;
    makecharptrarray(ptrs, l);
    ASSERT_EQ(ptrs.size(), 3u);
    EXPECT_STREQ(ptrs[1], "b");
    EXPECT_EQ(stringcmp("IMG_0001", "IMG"), 0);
    EXPECT_NE(stringcmp("IM", "IMG"), 0);
}

TEST(Text, StreamHelpersAndKeepflag) {
    std::ostringstream os;
    os << _putn{"abcdef", 3} << putcn('-', 2) << putspace(3) << "|";
    EXPECT_EQ(os.str(), "abc--   |");
    std::ostringstream hex;
    {
        keepflag k(hex);
        hex << std::hex << 255;
    }
    hex << " " << 255;
    EXPECT_EQ(hex.str(), "ff 255");
}

TEST(Text, WideConversionRoundTripsEvenInvalidBytes) {
    std::string s = "abc\xff\xfe/d";
    EXPECT_EQ(wstr2str(str2wstr(s)), s);
    EXPECT_EQ(str2wstr("ab").size(), 2u);
}
