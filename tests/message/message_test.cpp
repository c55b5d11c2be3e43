#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "support/scoped_env.h"
#include "glimlib/message.h"
#include "libutils/path.h"
#include "support/testenv.h"

using namespace glimlib;

namespace {

const char* const not_loaded = "message not loaded.";

class scoped_cwd {
    std::string m_old;

  public:
    explicit scoped_cwd(const std::string& dir) : m_old(libutils::getcwd()) {
        EXPECT_EQ(chdir(dir.c_str()), 0);
    }
    ~scoped_cwd() { (void)!chdir(m_old.c_str()); }
};

std::vector<std::string> table_of(const std::string& bytes) {
    std::vector<char> buffer(bytes.begin(), bytes.end());
    std::vector<const char*> table;
    make_message_table(table, buffer, count_lines(buffer));
    return std::vector<std::string>(table.begin(), table.end());
}

}  // namespace

TEST(MessageTable, LinesEndInLfCrLfOrALoneCrAndOnlyLineFeedsCount) {
    struct case_t {
        const char* name;
        std::string bytes;
        std::vector<std::string> messages;
    } cases[] = {
        {"lf", "zero\none\n", {"zero", "one"}},
        {"crlf", "zero\r\none\r\n", {"zero", "one"}},
        {"no final line end", "zero\none", {"zero"}},
        {"empty file", "", {}},
        {"cr only", "zero\rone\r", {}},
        {"empty lines", "\n\nx\n", {"", "", "x"}},
        // A lone CR ends a line, but the count is of line feeds: the line
        // after the last one counted is not a message.
        {"lone cr", "a\rb\nc\n", {"a", "b"}},
        {"cr cr lf", "a\r\r\nb\n", {"a", ""}},
        {"nul inside", std::string("a\0b\nc\n", 6), {"a", "c"}},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(table_of(c.bytes), c.messages);
    }
}

TEST(MessageTable, MoreEntriesThanLinesReadEmptyInsteadOfRunningOff) {
    std::vector<char> buffer{'a', '\n', 'b'};
    std::vector<const char*> table;
    make_message_table(table, buffer, 3);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_STREQ(table[0], "a");
    EXPECT_STREQ(table[1], "");
    EXPECT_STREQ(table[2], "");
}

TEST(MessageFile, TenLinesGiveNumbersZeroToNine) {
    std::string dir = testenv::scratch_dir();
    std::string text;
    for (int i = 0; i < 10; ++i) text += "message " + std::to_string(i) + "\r\n";
    testenv::write_file(dir + "/ten.msg", text);
    scoped_env lang("LANG", nullptr);
    ASSERT_EQ(init_message(dir + "/", "ten"), dir + "/ten.msg");
    EXPECT_STREQ(getmsg(0), "message 0");
    EXPECT_STREQ(getmsg(9), "message 9");
    EXPECT_STREQ(getmsg(10), not_loaded);
    EXPECT_STREQ(getmsg(0xFFFFFFFFu), not_loaded);
}

TEST(MessageFile, LoadMessageRefusesMissingFilesAndDirectories) {
    std::string dir = testenv::scratch_dir();
    std::vector<char> buffer{'x'};
    EXPECT_FALSE(load_message(buffer, dir + "/missing.msg"));
    EXPECT_FALSE(load_message(buffer, dir));
    EXPECT_EQ(buffer, std::vector<char>{'x'});
    testenv::write_file(dir + "/empty.msg", "");
    EXPECT_TRUE(load_message(buffer, dir + "/empty.msg"));
    EXPECT_TRUE(buffer.empty());
}

// Where init_message looks for a catalogue. Each case writes files into
// three scratch folders, "cwd" (made the current folder when `in_cwd`),
// "prog" (the program's folder given to init_message) and "bin" (on PATH),
// then loads catalogues in turn; every expected text may name those folders
// as {cwd}, {prog} and {bin}.
struct search_step_t {
    const char* remove;  // a file removed before this step, or null
    const char* name;    // the catalogue
    bool with_dir;       // init_message gets "{prog}/"; otherwise "" (search PATH)
    const char* found;   // what init_message returns
    const char* first;   // message 0 afterwards
    const char* err;     // what it writes on standard error
};

struct search_case_t {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;  // path, text
    const char* lang;                                          // null: unset
    bool in_cwd;
    const char* path;  // PATH, or null to keep it
    bool debug;
    std::vector<search_step_t> steps;
};

std::ostream& operator<<(std::ostream& out, const search_case_t& c) {
    return out << c.what;
}

class MessageSearch : public testing::TestWithParam<search_case_t> {};

TEST_P(MessageSearch, FindsTheCatalogueWhereExpected) {
    const search_case_t& c = GetParam();
    const std::string cwd = testenv::scratch_dir("cwd"), prog = testenv::scratch_dir("prog"),
                      bin = testenv::scratch_dir("bin");
    auto fill = [&](std::string text) {
        for (auto& [key, dir] : {std::pair<std::string, std::string>{"{cwd}", cwd},
                                 {"{prog}", prog},
                                 {"{bin}", bin}})
            for (size_t at; (at = text.find(key)) != std::string::npos;)
                text.replace(at, key.size(), dir);
        return text;
    };
    for (const auto& [path, text] : c.files) testenv::write_file(fill(path), text);
    scoped_env lang("LANG", c.lang);
    scoped_env path("PATH", c.path ? fill(c.path).c_str() : getenv("PATH"));
    std::unique_ptr<scoped_cwd> here(c.in_cwd ? new scoped_cwd(cwd) : nullptr);
    for (const search_step_t& step : c.steps) {
        SCOPED_TRACE(step.name);
        if (step.remove) unlink(fill(step.remove).c_str());
        std::string found;
        g_message_debug = c.debug;
        std::string err = testenv::stderr_of(
            [&] { found = init_message(step.with_dir ? prog + "/" : "", step.name); });
        g_message_debug = false;
        EXPECT_EQ(found, fill(step.found));
        EXPECT_EQ(err, fill(step.err));
        if (step.first) {
            EXPECT_STREQ(getmsg(0), step.first);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MessageSearch,
    testing::Values(
        search_case_t{"CurrentDirectoryComesBeforeTheProgramDirectory",
                      {{"{cwd}/order.msg", "from cwd\n"},
                       {"{prog}/order.msg", "from program dir\n"}},
                      nullptr,
                      true,
                      nullptr,
                      false,
                      {{nullptr, "order", true, "order.msg", "from cwd", ""},
                       {"{cwd}/order.msg", "order", true, "{prog}/order.msg", "from program dir",
                        ""}}},
        search_case_t{"LocaleFileAnywhereBeatsTheLocaleFreeFile",
                      {{"{cwd}/loc.msg", "plain\n"}, {"{prog}/loc.xx_XX.UTF-8.msg", "localised\n"}},
                      "xx_XX.UTF-8",
                      true,
                      nullptr,
                      false,
                      {{nullptr, "loc", true, "{prog}/loc.xx_XX.UTF-8.msg", "localised", ""}}},
        search_case_t{"SecondPassFindsTheLocaleFreeFile",
                      {{"{prog}/fallback.msg", "english\n"}},
                      "zz_ZZ.UTF-8",
                      false,
                      nullptr,
                      false,
                      {{nullptr, "fallback", true, "{prog}/fallback.msg", "english", ""}}},
        search_case_t{"WithoutADirectoryThePathIsSearched",
                      {{"{bin}/onpath.msg", "found on PATH\n"}},
                      "",
                      false,
                      "/nonexistent:{bin}",
                      false,
                      {{nullptr, "onpath", false, "{bin}/onpath.msg", "found on PATH", ""}}},
        search_case_t{
            "NothingFoundReportsTheLastPathAndKeepsTheTable",
            {{"{prog}/kept.msg", "still here\n"}},
            nullptr,
            false,
            nullptr,
            false,
            {{nullptr, "kept", true, "{prog}/kept.msg", "still here", ""},
             {nullptr, "no-such-catalogue", true, "", "still here",
              "/usr/site/share/glimlib/no-such-catalogue.msg: can't load message file.\n"}}},
        search_case_t{"DebugFlagTracesTheSearch",
                      {{"{prog}/traced.msg", "x\n"}},
                      nullptr,
                      false,
                      nullptr,
                      true,
                      {{nullptr, "traced", true, "{prog}/traced.msg", nullptr,
                        "init_message() entering, locale.\npath: {prog}/traced.msg\n"
                        "init_message() leaving.\n"}}}),
    [](const testing::TestParamInfo<search_case_t>& info) { return info.param.what; });

TEST(MessageTitle, JoinsWithASpacedDash) {
    EXPECT_EQ(make_title("snapfolio", "Albums"), "snapfolio - Albums");
    std::string out = "old";
    make_title2(out, "a", "");
    EXPECT_EQ(out, "a - ");
}

// The catalogues shipped with the programs, as copied beside them.
TEST(ShippedCatalogues, EveryNumberOfBothProgramsHasAText) {
    struct case_t {
        const char* stem;
        const char* lang;
        unsigned count;
    } cases[] = {
        {"snapfolio", nullptr, 66},
        {"snapfolio", "ja_JP.UTF-8", 66},
        {"glimvue3", nullptr, 2},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(std::string(c.stem) + " " + (c.lang ? c.lang : "(no LANG)"));
        std::string file = testenv::bin_dir() + "/" + c.stem +
                           (c.lang ? std::string(".") + c.lang : std::string()) + ".msg";
        std::string bytes = testenv::read_file(file);
        ASSERT_FALSE(bytes.empty()) << file;
        EXPECT_EQ(bytes.back(), '\n');
        EXPECT_EQ(bytes.find('\r'), std::string::npos);  // one style of line end

        scoped_env lang("LANG", c.lang);
        ASSERT_EQ(init_message(testenv::bin_dir() + "/", c.stem), file);
        for (unsigned i = 0; i < c.count; ++i) {
            EXPECT_STRNE(getmsg(i), not_loaded) << i;
            EXPECT_GT(std::string(getmsg(i)).size(), 0u) << i;
        }
        EXPECT_STREQ(getmsg(c.count), not_loaded);
        EXPECT_STREQ(getmsg(0), c.stem);  // message 0 is the program's name
    }
}

TEST(ShippedCatalogues, JapaneseTextsAreValidUtf8AndTranslated) {
    std::string en = testenv::read_file(testenv::bin_dir() + "/snapfolio.msg");
    std::string ja = testenv::read_file(testenv::bin_dir() + "/snapfolio.ja_JP.UTF-8.msg");
    ASSERT_FALSE(ja.empty());
    // Well-formed UTF-8: lead bytes announce exactly the continuation bytes
    // that follow.
    for (size_t i = 0; i < ja.size();) {
        unsigned char c = ja[i];
        size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 9;
        ASSERT_NE(n, 9u) << "bad lead byte at " << i;
        ASSERT_LE(i + n, ja.size() - 1);
        for (size_t k = 1; k <= n; ++k) ASSERT_EQ((unsigned char)ja[i + k] >> 6, 2u) << i;
        i += n + 1;
    }
    EXPECT_NE(en, ja);
}
