// The book dialogs on album roots built on disk: listing, renaming and
// moving entries into sub-books (pages rebuilt), removing them (asked
// twice, links removed as links), names that would leave the book, names
// that a shell would run, and the menu window's edit loop.
#include <gtest/gtest.h>
#include <gtkmm.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <sstream>

#include "glimlib/message.h"
#include "gui/gui_env.h"
#include "snapfolio/engine/entryops.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/gui/EditBookDialog.h"
#include "snapfolio/gui/MakeBookDialog.h"
#include "snapfolio/gui/MenuWindow.h"
#include "snapfolio/gui/ViewBookDialog.h"
#include "support/saved_global.h"
#include "support/scoped_env.h"
#include "support/testenv.h"

using namespace snapfolio;
using guitest::answer;
using guitest::dialog_script_t;

namespace {

const char hostile[] = "it's \"$(touch x)\" `touch y` $HOME";

struct BookDialogTest : testing::Test {
    std::string scratch = testenv::scratch_dir("book");
    std::string root = scratch + "/album";
    std::string program_dir = testenv::bin_dir() + "/";
    std::string program_name = "snapfolio";
    std::unique_ptr<Gtk::Window> parent_window;  // made once GTK is set up
    std::unique_ptr<EditBookDialog> dialog;
    std::string old_cwd;
    testenv::saved_global_t global{testenv::saved_global_t::defaults};

    void SetUp() override {
        SKIP_WITHOUT_DISPLAY();
        parent_window = std::make_unique<Gtk::Window>();
        g_global.album = root;
        glimlib::init_message(program_dir, "snapfolio");
        // A name that a shell would run leaves its files here.
        char cwd[4096];
        old_cwd = getcwd(cwd, sizeof cwd) ? cwd : "/";
        ASSERT_EQ(0, chdir(scratch.c_str()));
    }
    void TearDown() override {
        dialog.reset();
        parent_window.reset();
        if (!old_cwd.empty()) {
            EXPECT_EQ(0, chdir(old_cwd.c_str()));
        }
    }
    void open(const std::string& book = "") {
        dialog.reset();
        testenv::stderr_of([&] {
            dialog = std::make_unique<EditBookDialog>(*parent_window, path_t("", root, book),
                                                      program_dir, program_name);
        });
    }
    EditBookDialog::item_t* row(const std::string& name) {
        for (const auto& item : dialog->get_items())
            if (item->name == name) return item.get();
        return nullptr;
    }
    std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const auto& item : dialog->get_items()) out.push_back(item->name);
        return out;
    }
    // Saves with OK (the title must be set, or an error box asks for it).
    std::string save() {
        return testenv::stderr_of([&] { dialog->response(Gtk::RESPONSE_OK); });
    }
    bool nothing_ran() {
        return !testenv::exists(scratch + "/x") && !testenv::exists(scratch + "/y");
    }
};

TEST_F(BookDialogTest, ListsEntriesWithNamedControls) {
    guitest::make_root(root, "Root", "", "",
                       {{"20240101", true, true, "New year", "fireworks\r\n", "12\r\n"},
                        {"Travel", false, true, "Travels", "", ""},
                        {"_Best", false, true, "Best", "", "3\r\n"}});
    open();
    EXPECT_EQ(names(), (std::vector<std::string>{"_Best", "Travel", "20240101"}));
    EXPECT_EQ("Root", dialog->get_title_entry().get_text());
    struct {
        const char* name;
        const char* button;
        const char* count;
    } rows[] = {{"_Best", "List", "3"}, {"Travel", "Edit", ""}, {"20240101", "List", "12"}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        auto* item = row(r.name);
        ASSERT_TRUE(item);
        EXPECT_EQ(r.button, item->main_button.get_label());
        EXPECT_EQ(r.count, item->count_label.get_text());
        EXPECT_EQ(std::string(r.name) + " " + r.button,
                  item->main_button.get_accessible()->get_name());
        EXPECT_EQ(std::string(r.name) + " Remove",
                  item->remove_button.get_accessible()->get_name());
    }
    EXPECT_EQ("fireworks", row("20240101")->comment_label.get_text());
}

TEST_F(BookDialogTest, MovingIntoASubBookMakesItAndRebuildsBothBooks) {
    guitest::make_root(root, "Root", "", "",
                       {{"20240101", true, true, "New year", "", ""},
                        {"20240202", true, true, "Snow", "", ""},
                        {"20230303", true, true, "Spring", "", ""}});
    open();
    row("20240101")->name_entry.set_text("2024/newyear");
    row("20240202")->name_entry.set_text("2024/snow");
    std::string err = save();
    EXPECT_TRUE(testenv::exists(root + "/2024/newyear/original")) << err;
    EXPECT_TRUE(testenv::exists(root + "/2024/snow/original"));
    EXPECT_FALSE(testenv::exists(root + "/20240101"));
    // The new book has a title, so that it is listed; its page and the
    // root's were written.
    EXPECT_EQ("2024\r\n2024\r\n", testenv::read_file(root + "/2024/txt/head.txt"));
    std::string sub_page = testenv::read_file(root + "/2024/index.html");
    EXPECT_NE(sub_page.find("New year"), std::string::npos);
    EXPECT_NE(sub_page.find("Snow"), std::string::npos);
    EXPECT_TRUE(testenv::exists(root + "/2024/_Best/index.html"));
    std::string root_page = testenv::read_file(root + "/index.html");
    EXPECT_NE(root_page.find("2024/"), std::string::npos);
    EXPECT_EQ(root_page.find("New year"), std::string::npos);
    EXPECT_EQ(names(), (std::vector<std::string>{"_Best", "2024", "20230303"}));
}

TEST_F(BookDialogTest, NamesLeavingTheBookAreRefused) {
    guitest::make_root(root, "Root", "", "", {{"keep", true, true, "Keep", "", ""}});
    for (const char* bad : {"../outside", "/tmp/elsewhere", "a/../../b", "a//b", "."}) {
        SCOPED_TRACE(bad);
        open();
        row("keep")->name_entry.set_text(bad);
        dialog_script_t script({answer("Error", Gtk::RESPONSE_OK)});
        save();
        EXPECT_EQ(1u, script.done());
        EXPECT_TRUE(testenv::exists(root + "/keep/original"));
    }
    EXPECT_FALSE(testenv::exists(scratch + "/outside"));
}

TEST_F(BookDialogTest, HostileNamesAreRenamedMovedAndRemovedWithoutRunningAnything) {
    guitest::make_root(root, "Root", "", "", {{hostile, true, true, "Odd", "", ""}});
    open();
    row(hostile)->name_entry.set_text(std::string(hostile) + " 2");
    save();
    ASSERT_TRUE(testenv::exists(root + "/" + hostile + " 2/original"));
    row(std::string(hostile) + " 2")->name_entry.set_text(std::string("$(touch x)/") + hostile);
    save();
    const std::string moved = root + "/$(touch x)/" + hostile;
    ASSERT_TRUE(testenv::exists(moved + "/original"));

    open("$(touch x)");
    ASSERT_TRUE(row(hostile));
    size_t index = 0;
    // Cancel at the second question removes nothing; OK twice removes it.
    {
        dialog_script_t script({answer("Remove (1/2)", Gtk::RESPONSE_OK),
                                answer("Remove (2/2)", Gtk::RESPONSE_CANCEL)});
        dialog->button_remove(index);
        EXPECT_EQ(2u, script.done());
    }
    EXPECT_TRUE(testenv::exists(moved));
    {
        dialog_script_t script({answer("Remove (1/2)", Gtk::RESPONSE_OK),
                                answer("Remove (2/2)", Gtk::RESPONSE_OK)});
        testenv::stderr_of([&] { dialog->button_remove(index); });
    }
    EXPECT_FALSE(testenv::exists(moved));
    EXPECT_TRUE(testenv::exists(root + "/$(touch x)/txt"));  // the book itself stays
    EXPECT_EQ(names(), std::vector<std::string>{"_Best"});
    EXPECT_TRUE(nothing_ran());
}

// Removal walks the entry itself: links in it, and a link that is the
// entry, go as links; what they point to stays.
TEST_F(BookDialogTest, LinksAreRemovedAsLinksOnly) {
    guitest::make_root(root, "Root", "", "",
                       {{"stay", true, true, "Stay", "", ""}, {"go", true, true, "Go", "", ""}});
    const std::string outside = scratch + "/outside";
    guitest::make_root(outside, "Outside", "", "", {{"photos", true, true, "P", "", ""}});
    ASSERT_EQ(0, symlink(outside.c_str(), (root + "/go/original/outside").c_str()));
    ASSERT_EQ(0, symlink((outside + "/txt/head.txt").c_str(), (root + "/go/head").c_str()));
    ASSERT_EQ(0, symlink(outside.c_str(), (root + "/link").c_str()));
    open();
    ASSERT_EQ(names(), (std::vector<std::string>{"stay", "go"}));
    dialog_script_t script({answer("Remove (1/2)", Gtk::RESPONSE_OK),
                            answer("Remove (2/2)", Gtk::RESPONSE_OK)});
    dialog->button_remove(1);
    EXPECT_FALSE(testenv::exists(root + "/go"));
    std::ostringstream err;
    EXPECT_TRUE(remove_tree(root + "/link", err)) << err.str();
    EXPECT_FALSE(testenv::exists(root + "/link"));
    EXPECT_TRUE(testenv::exists(outside + "/photos/original"));
    EXPECT_EQ("Outside\r\nOutside\r\n", testenv::read_file(outside + "/txt/head.txt"));
    EXPECT_TRUE(testenv::exists(root + "/stay/original"));
    EXPECT_EQ(names(), std::vector<std::string>{"stay"});
}

TEST_F(BookDialogTest, MenuEditLoopMakesTheDialogAgainUntilItEnds) {
    guitest::make_root(root, "", "", "", {{"2023", true, true, "old", "", ""}});
    std::unique_ptr<scoped_env> home =
        std::make_unique<scoped_env>("HOME", guitest::make_home(root));
    guitest::args_t args({testenv::bin_dir() + "/snapfolio"});
    std::unique_ptr<MenuWindow> window;
    testenv::stderr_of(
        [&] { window = std::make_unique<MenuWindow>(args.argc(), args.argv.data()); });
    guitest::make_root(root, "", "", "", {{"2024", true, true, "new", "", ""}});
    // OK with an empty title asks for one and opens the dialog again; apply
    // makes it again; cancel ends the loop.
    dialog_script_t script({answer("Edit", Gtk::RESPONSE_OK), answer("Error", Gtk::RESPONSE_OK),
                            {"Edit",
                             [](Gtk::Dialog& d) {
                                 static_cast<EditBookDialog&>(d).get_title_entry().set_text("T");
                                 d.response(Gtk::RESPONSE_APPLY);
                             }},
                            answer("Edit", Gtk::RESPONSE_CANCEL)});
    window->on_btn_clicked_edit();
    EXPECT_EQ(4u, script.done()) << script.seen;
    EXPECT_EQ("T\r\nT\r\n", testenv::read_file(root + "/txt/head.txt"));
    // Saving wrote the root's best-of collection beside the albums.
    ASSERT_EQ(3u, window->get_items().size());
    EXPECT_EQ("2024", window->get_items()[1]->name);
}

TEST_F(BookDialogTest, NewBookIsMadeWithItsTextsAndListedByItsParent) {
    guitest::make_root(root, "Root", "", "", {});
    MakeBookDialog make(*parent_window, path_t("", root, ""));
    make.get_dir_entry().set_text("../outside");
    dialog_script_t script({answer("Error", Gtk::RESPONSE_OK)});
    make.response(Gtk::RESPONSE_OK);
    EXPECT_FALSE(make.made());
    EXPECT_FALSE(testenv::exists(scratch + "/outside"));
    make.get_dir_entry().set_text("2025");
    make.get_title_entry().set_text("Next year");
    make.get_secret_check().set_active(true);
    testenv::stderr_of([&] { make.response(Gtk::RESPONSE_OK); });
    EXPECT_TRUE(make.made());
    EXPECT_EQ("Next year\r\nNext year\r\n", testenv::read_file(root + "/2025/txt/head.txt"));
    EXPECT_TRUE(testenv::exists(root + "/2025/txt/secret.txt"));
    EXPECT_TRUE(testenv::exists(root + "/2025/index.html"));
    // Secret: the parent's page, written again, leaves it out.
    EXPECT_TRUE(testenv::exists(root + "/index.html"));
    EXPECT_EQ(testenv::read_file(root + "/index.html").find("2025/"), std::string::npos);
}

TEST_F(BookDialogTest, ViewBookListsLikeTheMenuWindow) {
    guitest::make_root(root, "Root", "", "", {{"Travel", false, true, "Travels", "", ""}});
    guitest::make_root(root + "/Travel", "Travels", "far away\r\n", "",
                       {{"_Best", true, true, "album named _Best", "", "2\r\n"},
                        {"Paris", false, true, "A book", "", ""}});
    ViewBookDialog view(*parent_window, path_t("", root, "Travel"), program_dir);
    EXPECT_EQ("Travels", view.get_title_label().get_text());
    EXPECT_EQ("far away\r\n", view.get_begin_view().get_buffer()->get_text());
    ASSERT_EQ(2u, view.get_items().size());
    const view_row_t& best = *view.get_items()[0];
    EXPECT_EQ("_Best", best.name);
    EXPECT_EQ("List", best.main_button.get_label());
    EXPECT_EQ("2", best.count_label.get_text());
    EXPECT_EQ("_Best Viewer", best.viewer_button.get_accessible()->get_name());
    EXPECT_EQ("View", view.get_items()[1]->main_button.get_label());
    // A nested book opens its own view.
    dialog_script_t script({answer("View", Gtk::RESPONSE_OK)});
    view.button_list(1);
    EXPECT_EQ(1u, script.done());
}

}  // namespace
