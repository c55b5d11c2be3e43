#include <gtest/gtest.h>
#include <gtkmm.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>

#include "gui/gui_env.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/gui/MenuWindow.h"
#include "support/saved_global.h"
#include "support/scoped_env.h"
#include "support/testenv.h"

using namespace snapfolio;
using guitest::entry_t;

namespace {

// A menu window on `root`, started as the built program would be (so the
// catalogue beside it is found), with a settings file in a fresh home.
struct menu_fixture : testing::Test {
    std::string root = testenv::scratch_dir("root") + "/album";
    std::unique_ptr<scoped_env> home;
    std::unique_ptr<guitest::args_t> args;
    std::unique_ptr<MenuWindow> window;
    testenv::saved_global_t global{testenv::saved_global_t::defaults};

    void SetUp() override { SKIP_WITHOUT_DISPLAY(); }
    void open(const std::string& program = testenv::bin_dir() + "/snapfolio") {
        window.reset();
        home.reset();  // the previous HOME comes back before the new one is set
        home = std::make_unique<scoped_env>("HOME", guitest::make_home(root));
        args =
            std::make_unique<guitest::args_t>(std::vector<std::string>{program, "/camera", root});
        // Entries without texts are reported.
        testenv::stderr_of(
            [&] { window = std::make_unique<MenuWindow>(args->argc(), args->argv.data()); });
        guitest::pump();
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& item : window->get_items()) out.push_back(item->name);
        return out;
    }
    MenuWindow::item_t& item(size_t i) const { return *window->get_items().at(i); }
    std::string label_at(int column, int row) {
        auto* label = dynamic_cast<Gtk::Label*>(window->get_table().get_child_at(column, row));
        return label ? std::string(label->get_text()) : std::string("(none)");
    }
};

// Waits up to five seconds for a file that a background command writes.
std::string wait_for_file(const std::string& path) {
    for (int i = 0; i < 500 && !testenv::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // let it finish writing
    return testenv::read_file(path);
}

// A directory of stand-in programs that write their arguments, one a line,
// to $RECORD.
std::string recorder_bin(const std::vector<std::string>& programs) {
    std::string bin = testenv::scratch_dir("bin");
    for (const std::string& p : programs) {
        testenv::write_file(bin + "/" + p,
                            "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$RECORD.tmp\"\n"
                            "mv \"$RECORD.tmp\" \"$RECORD\"\n");
        chmod((bin + "/" + p).c_str(), 0755);
    }
    return bin;
}

}  // namespace

using MenuWindowTest = menu_fixture;

TEST_F(MenuWindowTest, ListsEntriesInDescendingOrderWithTheirTexts) {
    guitest::make_root(
        root, "Root title", "above the list\r\nsecond line\r\n", "below\r\n",
        {
            {"20231231", true, true, "Old year", "", ""},
            {"20240101", true, true, "New year", "fireworks\r\nand more\r\n", "12 \t\r\n"},
            {"Zed", false, true, "A book", "", ""},
            {"_Best", false, true, "Best of", "", "3\r\n"},
            {"_BestBook", false, true, "Best book", "", ""},
            {"book", false, true, "Another book", "\r\nnot first\r\n", "7\r\n"},
            {"notxt", true, false, "", "", ""},
        });
    open();
    // "txt" and the directory without texts are not rows; byte order,
    // descending: lower case, "_", upper case, digits.
    EXPECT_EQ(names(), (std::vector<std::string>{"book", "_BestBook", "_Best", "Zed", "20240101",
                                                 "20231231"}));
    EXPECT_EQ(window->get_title_label().get_text(), "Root title");
    EXPECT_EQ(window->get_begin_view().get_buffer()->get_text(),
              "above the list\r\nsecond line\r\n");
    EXPECT_EQ(window->get_last_view().get_buffer()->get_text(), "below\r\n");

    struct {
        const char* button;
        bool viewer;
        const char* count;
        const char* title;
        const char* comment;
    } rows[] = {
        {"View", false, "", "Another book", ""},  // a book: no viewer, no count
        {"List", true, "", "Best book", ""},     {"List", true, "3", "Best of", ""},
        {"View", false, "", "A book", ""},       {"List", true, "12", "New year", "fireworks"},
        {"List", true, "", "Old year", ""},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(item(i).name);
        int r = (int)i;
        EXPECT_EQ(label_at(0, r), item(i).name);
        auto* main = dynamic_cast<Gtk::Button*>(window->get_table().get_child_at(2, r));
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(main->get_label(), rows[i].button);
        auto* viewer = dynamic_cast<Gtk::Button*>(window->get_table().get_child_at(3, r));
        EXPECT_EQ(viewer != nullptr, rows[i].viewer);
        if (viewer) {
            EXPECT_EQ(viewer->get_label(), "Viewer");
        }
        EXPECT_EQ(label_at(4, r), rows[i].count);
        EXPECT_EQ(label_at(5, r), rows[i].title);
        EXPECT_EQ(label_at(6, r), rows[i].comment);
        EXPECT_EQ(window->get_table().get_child_at(1, r), nullptr);
    }
    EXPECT_TRUE(item(4).has_original);
    EXPECT_FALSE(item(1).has_original);
    EXPECT_EQ(item(4).path, root + "/20240101");
}

TEST_F(MenuWindowTest, TitleAndCommandButtonsComeFromTheCatalogue) {
    guitest::make_root(root, "", "", "", {});
    open();
    EXPECT_EQ(window->get_title(), "snapfolio - Albums");
    EXPECT_EQ(window->get_program_name(), "snapfolio");
    EXPECT_EQ(window->get_message_dir(), testenv::bin_dir() + "/");
    window->show();
    guitest::pump(100);
    // Left to right: browser, settings, books, close.
    std::vector<std::pair<int, std::string>> shown;
    for (Gtk::Widget* w : window->get_button_box().get_children())
        if (auto* b = dynamic_cast<Gtk::Button*>(w))
            shown.push_back({b->get_allocation().get_x(), b->get_label()});
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> labels;
    for (auto& s : shown) labels.push_back(s.second);
    EXPECT_EQ(labels, (std::vector<std::string>{"Open in browser", "Settings", "Edit", "Close"}));
}

TEST_F(MenuWindowTest, JapaneseCatalogueAndTextsShowAsTheyAre) {
    guitest::make_root(root, "家族のアルバム", "", "",
                       {{"20240302", true, true, "雛祭り", "お雛様\r\n", "2\r\n"}});
    scoped_env lang("LANG", "ja_JP.UTF-8");
    open();
    EXPECT_EQ(window->get_title(), "snapfolio - アルバム一覧");
    EXPECT_EQ(window->get_title_label().get_text(), "家族のアルバム");
    EXPECT_EQ(label_at(5, 0), "雛祭り");
    EXPECT_EQ(label_at(6, 0), "お雛様");
    auto* main = dynamic_cast<Gtk::Button*>(window->get_table().get_child_at(2, 0));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->get_label(), "一覧");
}

TEST_F(MenuWindowTest, TextsInAnotherEncodingShowInsteadOfEndingTheProgram) {
    // A Shift-JIS title in a UTF-8 session: not valid UTF-8.
    guitest::make_root(root, "\x89\xc6\x91\xb0", "", "", {{"old", true, true, "caf\xe9", "", ""}});
    open();
    EXPECT_TRUE(window->get_title_label().get_text().validate());
    EXPECT_EQ(label_at(5, 0).substr(0, 3), "caf");
}

TEST_F(MenuWindowTest, MissingRootLeavesAnEmptyList) {
    open();
    EXPECT_TRUE(window->get_items().empty());
    EXPECT_FALSE(window->make_items());
}

TEST_F(MenuWindowTest, LongListScrollsAtSixHundredFortyPixels) {
    std::vector<entry_t> many;
    for (int i = 0; i < 60; ++i)
        many.push_back({"2024" + std::to_string(1000 + i), true, true, "Album", "", "1\r\n"});
    guitest::make_root(root, "Many", "", "", many);
    open();
    window->show();
    guitest::pump(300);
    EXPECT_EQ(window->get_items().size(), 60u);
    EXPECT_EQ(window->get_scrolled().get_allocated_height(), 640);
    EXPECT_GT(window->get_table().get_allocated_height(), 640);

    // A short list is not stretched to that height.
    std::string short_root = testenv::scratch_dir("short") + "/album";
    guitest::make_root(short_root, "Few", "", "", {{"a", true, true, "A", "", ""}});
    root = short_root;
    open();
    window->show();
    guitest::pump(300);
    EXPECT_LT(window->get_scrolled().get_allocated_height(), 200);
}

TEST_F(MenuWindowTest, RowAndBrowserButtonsOpenIndexPagesWithAwkwardNames) {
    const std::string awkward = "it's \"odd\" $HOME `x` ; & name";
    guitest::make_root(root, "", "", "",
                       {{awkward, true, true, "t", "", ""}, {"book", false, true, "b", "", ""}});
    std::string record = testenv::scratch_dir("rec") + "/args";
    scoped_env rec("RECORD", record);
    scoped_env path("PATH", recorder_bin({"xdg-open"}) + ":" + getenv("PATH"));
    open();
    ASSERT_EQ(names(), (std::vector<std::string>{awkward, "book"}));

    for (size_t row : {0, 1}) {
        // An album and a book: their read-only views.
        guitest::dialog_script_t script({guitest::answer("View", Gtk::RESPONSE_OK)});
        item(row).main_button.clicked();
        EXPECT_EQ(1u, script.done());
    }
    window->on_btn_clicked_run_browser();
    EXPECT_EQ(wait_for_file(record), root + "/index.html\n");
}

TEST_F(MenuWindowTest, ViewerButtonsPassTheSizeDirectoryOrEveryMarkList) {
    guitest::make_root(root, "", "", "",
                       {{"_Best", false, true, "b", "", ""},
                        {"_BestBook", false, true, "bb", "", ""},
                        {"2024", true, true, "a", "", ""},
                        {"nodir", true, false, "", "", ""}});
    mkdir((root + "/2024/size2").c_str(), 0755);
    // The viewer is taken from the program's own directory.
    std::string progdir = recorder_bin({"fake-viewer"});
    symlink((testenv::bin_dir() + "/snapfolio.msg").c_str(), (progdir + "/snapfolio.msg").c_str());
    std::string record = testenv::scratch_dir("rec") + "/args";
    scoped_env rec("RECORD", record);
    open(progdir + "/snapfolio");
    g_global.glimvue3 = "fake-viewer -x";
    g_global.view_size = 2;
    ASSERT_EQ(names(), (std::vector<std::string>{"_BestBook", "_Best", "2024"}));

    item(2).viewer_button.clicked();
    EXPECT_EQ(wait_for_file(record), "-x\n" + root + "/2024/size2\n");
    unlink(record.c_str());

    // Best-of entries: a pair for every directory of the root, "txt" and
    // the best-of directories included, newest first.
    item(0).viewer_button.clicked();
    std::string expected = "-x\n";
    for (const char* d : {"txt", "nodir", "_BestBook", "_Best", "2024"})
        expected +=
            std::string("-C") + root + "/" + d + "/size2\n-@" + root + "/" + d + "/txt/best.txt\n";
    EXPECT_EQ(wait_for_file(record), expected);
    unlink(record.c_str());
    item(1).viewer_button.clicked();
    EXPECT_NE(wait_for_file(record).find("/_Best/txt/good.txt\n"), std::string::npos);
}

// The viewer and the browser run in the background; one that cannot be
// started shows an error box instead of nothing.
TEST_F(MenuWindowTest, AViewerOrBrowserThatCannotStartShowsAnErrorBox) {
    guitest::make_root(root, "", "", "", {{"2024", true, true, "a", "", ""}});
    mkdir((root + "/2024/size1").c_str(), 0755);
    open();
    g_global.glimvue3 = "no-such-viewer -x";
    std::string empty_bin = testenv::scratch_dir("nobin");
    scoped_env path("PATH", empty_bin);
    guitest::dialog_script_t script(
        {guitest::answer("Error", Gtk::RESPONSE_OK), guitest::answer("Error", Gtk::RESPONSE_OK)});
    item(0).viewer_button.clicked();
    window->on_btn_clicked_run_browser();
    EXPECT_EQ(2u, script.done());
}

TEST_F(MenuWindowTest, BooksButtonRebuildsTheList) {
    guitest::make_root(root, "", "", "", {{"2023", true, true, "old", "", ""}});
    open();
    ASSERT_EQ(names(), std::vector<std::string>{"2023"});
    guitest::make_root(root, "", "", "", {{"2024", true, true, "new", "", ""}});
    guitest::dialog_script_t script({guitest::answer("Edit", Gtk::RESPONSE_CANCEL)});
    window->on_btn_clicked_edit();
    EXPECT_EQ(1u, script.done());
    EXPECT_EQ(names(), (std::vector<std::string>{"2024", "2023"}));
    EXPECT_EQ(label_at(5, 0), "new");
}

TEST_F(MenuWindowTest, TheDemoAlbumRootListsAsIntended) {
    // The README's first command shows this root: albums made from the
    // sample photos by the real engine, a book, both best-of collections.
    std::string status;
    ASSERT_EQ(testenv::run("DEMO_HOME=" + testenv::shell_quote(root + ".home") + " sh " +
                               testenv::source_dir() + "/scripts/make-demo-album.sh " +
                               testenv::shell_quote(root) + " " +
                               testenv::shell_quote(testenv::binary_dir()) + " 2>&1",
                           &status),
              0)
        << status;
    open();
    EXPECT_EQ(names(), (std::vector<std::string>{"_BestBook", "_Best", "Travel", "20260601",
                                                 "20260512", "20260428"}));
    bool movie = testenv::have_program("ffmpeg");
    EXPECT_EQ(label_at(4, 4), movie ? "1+2" : "+2");  // count of "Spring walk"
    EXPECT_EQ(label_at(5, 5), "花畑");
    EXPECT_EQ(window->get_table().get_child_at(3, 2), nullptr);  // the book
}
