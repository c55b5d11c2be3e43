#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "snapfolio/engine/global.h"
#include "snapfolio/engine/htmlpage.h"

#include "support/saved_global.h"

using namespace snapfolio;

namespace {

using testenv::saved_global_t;

}  // namespace

TEST(HtmlPage, HeadCarriesHeaderAndTitleOnlyWhenSet) {
    saved_global_t keep;
    g_global.html_header = "<meta charset=\"UTF-8\">";
    std::ostringstream a;
    std::string title = "Trip";
    write_head(a, &title);
    EXPECT_EQ(
        a.str(),
        "<HTML>\n<HEAD>\n\t<meta charset=\"UTF-8\">\n\t<title>Trip</title>\n</HEAD>\n\n<BODY>\n");
    g_global.html_header.clear();
    std::ostringstream b;
    write_head(b, nullptr);
    EXPECT_EQ(b.str(), "<HTML>\n<HEAD>\n</HEAD>\n\n<BODY>\n");
}

TEST(HtmlPage, FootHasAddressAndGenerationTime) {
    saved_global_t keep;
    g_global.html_address = "(C) me";
    std::ostringstream a;
    write_foot(a);
    // Only the generation time line varies: "HTML Generated: <date> (<zone>)".
    const std::string head = "<hr>\n\t<address>(C) me</address>\n<!-- hhmts start -->\n";
    const std::string tail = "<!-- hhmts end -->\n</BODY>\n</HTML>\n";
    const std::string page = a.str();
    ASSERT_GT(page.size(), head.size() + tail.size()) << page;
    EXPECT_EQ(page.substr(0, head.size()), head);
    EXPECT_EQ(page.substr(page.size() - tail.size()), tail);
    std::string line = page.substr(head.size(), page.size() - head.size() - tail.size());
    EXPECT_EQ(line.rfind("HTML Generated: ", 0), 0u) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
    EXPECT_EQ(line.substr(line.size() - 2), ")\n") << line;
    EXPECT_NE(line.find(" ("), std::string::npos) << line;
    g_global.html_address.clear();
    std::ostringstream b;
    write_foot(b);
    EXPECT_EQ(b.str().find("address"), std::string::npos);
}

TEST(HtmlPage, LinkTargetsEncodeOnlyWhatWouldBreakThem) {
    EXPECT_EQ(url("size0/IMG_0001.JPG"), "size0/IMG_0001.JPG");
    EXPECT_EQ(url("../2024-05_trip/html/P1_2.html"), "../2024-05_trip/html/P1_2.html");
    EXPECT_EQ(url("a b#c?d%e,f.jpg"), "a%20b%23c%3Fd%25e%2Cf.jpg");
    EXPECT_EQ(url("q\"uote&<x>.jpg"), "q%22uote%26%3Cx%3E.jpg");
    EXPECT_EQ(url("\xe6\x97\x85.jpg"), "%E6%97%85.jpg");
}
