// The album dialogs in-process, on albums made by the real chain: quality
// and mark rules, what OK, Apply and Cancel write, when the best-of pages
// are made again, read-only collections, accessible names, the scroll
// position kept across Apply.
#include <gtest/gtest.h>
#include <gtkmm.h>

#include <functional>
#include <sstream>

#include "gui/gui_env.h"
#include "levels/albumtest.h"
#include "snapfolio/engine/chain.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/curate.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/gui/CollectionDialog.h"
#include "snapfolio/gui/EditAlbumDialog.h"
#include "snapfolio/gui/ViewAlbumDialog.h"
#include "snapfolio/gui/albumdialogs.h"
#include "snapfolio/gui/textconv.h"
#include "support/testenv.h"

using namespace snapfolio;

namespace {

// Answers every error box that opens while it lives, keeping its text.
struct error_boxes_t {
    std::vector<std::string> texts;
    sigc::connection timer;
    error_boxes_t() {
        timer = Glib::signal_timeout().connect(
            [this] {
                for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
                    auto* box = dynamic_cast<Gtk::MessageDialog*>(w);
                    if (!box || !box->get_visible()) continue;
                    texts.push_back(box->property_text().get_value());
                    box->response(Gtk::RESPONSE_OK);
                }
                return true;
            },
            20);
    }
    ~error_boxes_t() { timer.disconnect(); }
};

// A book holding one album "trip" of three photos, made by the real chain;
// a window to be the dialogs' parent.
class AlbumDialogTest : public albumtest::AlbumTest {
  protected:
    std::unique_ptr<Gtk::Window> window;
    Gtk::Window* parent_ = nullptr;
    Gtk::Window& parent() { return *parent_; }
    void SetUp() override {
        SKIP_WITHOUT_DISPLAY();
        AlbumTest::SetUp();
        window = std::make_unique<Gtk::Window>();
        parent_ = window.get();
        glimlib::init_message(testenv::bin_dir() + "/", "snapfolio");
        limit(50, 50);
        g_global.album = root;
        std::vector<files_t> files;
        for (int i = 0; i < 3; ++i) {
            std::string name = "P" + std::to_string(i) + ".JPG";
            put(name, albumtest::photo(120, 80, 1, i != 1, unsigned(i + 1)));
            files.push_back({name, 0});
        }
        albumtest::run_t r = albumtest::make_album(camera, files, album);
        ASSERT_TRUE(r.ok) << r.err << r.log;
        std::ostringstream err;
        ASSERT_TRUE(savecommenttxt(album, "Trip", "", "", err));
        album = path_t("", root, "trip");  // as the windows name it
    }
    void marks(const char* list, const std::string& names) {
        testenv::write_file(album.str("txt", list), names);
    }
    // An album "many" of a dozen pictures, all good and best, shown one a
    // row: the grid scrolls, and more than a screenful is made later.
    path_t make_many() {
        g_global.horizontal_items = 1;
        std::vector<files_t> files;
        std::string names;
        for (int i = 0; i < 12; ++i) {
            std::string name = "M" + std::to_string(10 + i) + ".JPG";
            put(name, albumtest::photo(120, 80, 1, true, unsigned(i + 7)));
            files.push_back({name, 0});
            names += name + "\r\n";
        }
        const path_t many("", root, "many");
        ::mkdir(many.str().c_str(), 0755);
        EXPECT_TRUE(albumtest::make_album(camera, files, many).ok);
        testenv::write_file(many.str("txt", "good.txt"), names);
        testenv::write_file(many.str("txt", "best.txt"), names);
        return many;
    }
};

int64_t mtime(const std::string& path) {
    return albumtest::mtime_ns(path);
}

}  // namespace

TEST_F(AlbumDialogTest, QualityAndMarksFollowTheRules) {
    marks("good.txt", "P0.JPG\r\n");
    marks("fail.txt", "P0.JPG\r\nP1.JPG\r\n");
    EditAlbumDialog dialog(parent(), album, "");
    auto& items = dialog.get_items();
    ASSERT_EQ(items.size(), 3u);
    // In both lists: good.
    EXPECT_TRUE(items[0]->good_radio.get_active());
    EXPECT_TRUE(items[1]->fail_radio.get_active());
    EXPECT_TRUE(items[2]->subtle_radio.get_active());

    // Print on a fail picture makes it good; fail releases every mark.
    PictureCell& p1 = *items[1];
    p1.mark_checks[mark_print].set_active(true);
    p1.mark_checks[mark_best].set_active(true);
    EXPECT_TRUE(p1.good_radio.get_active());
    EXPECT_TRUE(dialog.get_good().find("P1.JPG"));
    EXPECT_TRUE(dialog.get_marks().print.find("P1.JPG"));
    p1.fail_radio.set_active(true);
    for (Gtk::CheckButton& c : p1.mark_checks) EXPECT_FALSE(c.get_active());
    EXPECT_FALSE(dialog.get_marks().print.find("P1.JPG"));
    EXPECT_FALSE(dialog.get_marks().best.find("P1.JPG"));
    EXPECT_FALSE(dialog.get_good().find("P1.JPG"));
    EXPECT_TRUE(dialog.get_fail().find("P1.JPG"));
    // Subtle releases the marks too.
    PictureCell& p2 = *items[2];
    p2.mark_checks[mark_upload].set_active(true);
    p2.subtle_radio.set_active(true);
    EXPECT_FALSE(p2.mark_checks[mark_upload].get_active());
    EXPECT_FALSE(dialog.get_marks().upload.find("P2.JPG"));

    // Turns: only with the check ticked; a bad angle counts as none.
    p2.is_rotate_check.set_active(true);
    EXPECT_TRUE(p2.angle_spin.get_sensitive());
    p2.angle_spin.set_value(270);
    items[0]->angle_spin.set_value(90);  // check not ticked
    std::vector<files_t> files = dialog.selected_files();
    ASSERT_EQ(files.size(), 3u);
    EXPECT_EQ(files[0].rotate, 0u);
    EXPECT_EQ(files[2].rotate, 3u);

    // Every control of a cell says whose it is.
    EXPECT_EQ(p2.mark_checks[mark_print].get_accessible()->get_name(),
              "P2.JPG " + p2.mark_checks[mark_print].get_label());
    EXPECT_EQ(p2.picture.get_accessible()->get_name(), "P2.JPG");
    EXPECT_EQ(p2.is_rotate_check.get_accessible()->get_name(),
              "P2.JPG " + p2.is_rotate_check.get_label());
}

TEST_F(AlbumDialogTest, CancelAndClosingWriteNothing) {
    auto before = albumtest::snapshot(root);
    for (int response : {Gtk::RESPONSE_CANCEL, Gtk::RESPONSE_DELETE_EVENT}) {
        EditAlbumDialog dialog(parent(), album, "");
        auto& items = dialog.get_items();
        items[0]->mark_checks[mark_best].set_active(true);
        items[1]->fail_radio.set_active(true);
        items[2]->comment_view.get_buffer()->set_text("nie");
        items[2]->is_rotate_check.set_active(true);
        items[2]->angle_spin.set_value(90);
        dialog.get_secret_check().set_active(true);
        dialog.response(response);
        guitest::pump();
    }
    EXPECT_EQ(albumtest::differences(before, albumtest::snapshot(root)), "");
}

TEST_F(AlbumDialogTest, OnlyAChangedGoodPictureRebuildsTheBestOfPages) {
    marks("good.txt", "P0.JPG\r\n");
    {
        // A first save makes the collections.
        EditAlbumDialog dialog(parent(), album, "");
        dialog.get_items()[0]->mark_checks[mark_best].set_active(true);
        dialog.response(Gtk::RESPONSE_OK);
    }
    const std::string best = root + "/_Best/index.html", book = root + "/_BestBook/index.html";
    ASSERT_TRUE(testenv::exists(best));
    ASSERT_TRUE(testenv::exists(book));
    EXPECT_EQ(testenv::read_file(album.str("txt", "best.txt")), "P0.JPG\r\n");
    const struct {
        size_t cell;
        bool rebuilt;
    } cases[] = {{2, false}, {0, true}};
    for (const auto& c : cases) {
        albumtest::age(best);
        int64_t was = mtime(best);
        EditAlbumDialog dialog(parent(), album, "");
        dialog.get_items()[c.cell]->comment_view.get_buffer()->set_text("Grüße aus Zürich");
        dialog.response(Gtk::RESPONSE_APPLY);
        EXPECT_EQ(mtime(best) != was, c.rebuilt) << c.cell;
        EXPECT_EQ(testenv::read_file(album.str("txt", "P" + std::to_string(c.cell) + ".txt")),
                  "Grüße aus Zürich\r\n");
    }
}

TEST_F(AlbumDialogTest, ATurnThatFailsIsShownAndLeavesTheLadderWhole) {
    std::string blocked = album.str("size1", "P2.JPG");
    ASSERT_EQ(::unlink(blocked.c_str()), 0);
    ASSERT_EQ(::mkdir(blocked.c_str(), 0755), 0);
    testenv::write_file(blocked + "/keep", "x");
    auto before = albumtest::snapshot(album.str());
    error_boxes_t boxes;
    {
        EditAlbumDialog dialog(parent(), album, "");
        dialog.get_items()[2]->is_rotate_check.set_active(true);
        dialog.get_items()[2]->angle_spin.set_value(90);
        testenv::stderr_of([&] { dialog.response(Gtk::RESPONSE_OK); });
    }
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(blocked + ": write error, Is a directory"), std::string::npos)
        << boxes.texts[0];
    EXPECT_EQ(albumtest::differences(before, albumtest::snapshot(album.str())), "");
}

TEST_F(AlbumDialogTest, ReadOnlyDialogsNeitherReactNorWrite) {
    marks("good.txt", "P0.JPG\r\nP2.JPG\r\n");
    marks("best.txt", "P2.JPG\r\n");
    // Folders that are never albums, even with pictures marked in them.
    for (const char* d : {"/txt/original", "/_Old/original", "/_Old/txt"})
        testenv::run("mkdir -p " + testenv::shell_quote(root + d));
    testenv::write_file(root + "/_Old/txt/good.txt", "P0.JPG\r\n");
    auto before = albumtest::snapshot(root);

    GoodAlbumDialog good(parent(), path_t("", root, "_Best"), "", false);
    BestBookDialog best(parent(), path_t("", root, "_BestBook"), "", false);
    ViewAlbumDialog view(parent(), album, "");
    EXPECT_EQ(good.get_items().size(), 2u);
    EXPECT_EQ(best.get_items().size(), 1u);
    EXPECT_EQ(good.get_items()[1]->name_label.get_text(), "../trip/P2.JPG");
    for (CollectionDialog* d : {(CollectionDialog*)&good, (CollectionDialog*)&best}) {
        EXPECT_EQ(d->get_widget_for_response(Gtk::RESPONSE_APPLY), nullptr);
        for (auto& cell : d->get_items())
            for (Gtk::CheckButton& c : cell->mark_checks) {
                EXPECT_FALSE(c.get_sensitive());
                EXPECT_FALSE(c.get_can_focus());
                c.set_active(!c.get_active());
            }
        d->response(Gtk::RESPONSE_OK);
    }
    EXPECT_TRUE(view.get_items()[2]->mark_checks[mark_best].get_active());
    EXPECT_FALSE(view.get_items()[2]->good_radio.get_sensitive());
    EXPECT_EQ(view.get_widget_for_response(Gtk::RESPONSE_APPLY), nullptr);
    view.response(Gtk::RESPONSE_OK);
    EXPECT_EQ(albumtest::differences(before, albumtest::snapshot(root)), "");
}

TEST_F(AlbumDialogTest, AnEditableCollectionWritesTheChangedAlbumAndItsPages) {
    marks("good.txt", "P0.JPG\r\nP2.JPG\r\n");
    marks("best.txt", "P2.JPG\r\n");
    BestBookDialog dialog(parent(), path_t("", root, "_BestBook"), "", true);
    ASSERT_EQ(dialog.get_items().size(), 1u);
    ASSERT_NE(dialog.get_widget_for_response(Gtk::RESPONSE_APPLY), nullptr);
    dialog.get_title_entry().set_text("Best");
    dialog.get_items()[0]->mark_checks[mark_best].set_active(false);
    error_boxes_t boxes;
    dialog.response(Gtk::RESPONSE_OK);
    EXPECT_EQ(boxes.texts, std::vector<std::string>());
    EXPECT_EQ(testenv::read_file(album.str("txt", "best.txt")), "");
    // Made again, the collection no longer shows the picture.
    BestBookDialog again(parent(), path_t("", root, "_BestBook"), "", true);
    EXPECT_EQ(again.get_items().size(), 0u);
    EXPECT_EQ(testenv::read_file(root + "/_BestBook/index.html").find("P2.JPG"),
              std::string::npos);
}

TEST_F(AlbumDialogTest, EveryEditableDialogKeepsItsScrollPositionAcrossApply) {
    const path_t many = make_many();

    using run_f = std::function<int(Glib::RefPtr<Gtk::Adjustment>&)>;
    const struct {
        const char* dialog;
        run_f run;
    } cases[] = {
        {"edit album", [&](auto& s) { return run_edit_album_dialog(parent(), many, "", s); }},
        {"_Best",
         [&](auto& s) {
             return run_good_album_dialog(parent(), path_t("", root, "_Best"), "", true, s);
         }},
        {"_BestBook",
         [&](auto& s) {
             return run_best_book_dialog(parent(), path_t("", root, "_BestBook"), "", true, s);
         }},
    };
    for (const auto& c : cases) {
        const std::string title = c.dialog[0] == '_' ? msg(msg_best_pictures) : msg(msg_edit);
        double shown = -1, upper = 0;
        auto scrolled = [](Gtk::Dialog& d) {
            // Every cell made and laid out, the old position put back.
            auto& grid = dynamic_cast<AlbumGridDialog&>(d);
            for (int i = 0; i < 500 && grid.filling(); ++i) guitest::pump(10);
            guitest::pump(100);
            return grid.get_scrolled().get_vadjustment();
        };
        guitest::dialog_script_t script({
            {title,
             [&](Gtk::Dialog& d) {
                 auto adjustment = scrolled(d);
                 dynamic_cast<AlbumGridDialog&>(d).get_title_entry().set_text("Many");
                 upper = adjustment->get_upper() - adjustment->get_page_size();
                 adjustment->set_value(300);
                 d.response(Gtk::RESPONSE_APPLY);
             }},
            {title,
             [&](Gtk::Dialog& d) {
                 shown = scrolled(d)->get_value();
                 d.response(Gtk::RESPONSE_CANCEL);
             }},
        });
        error_boxes_t boxes;
        Glib::RefPtr<Gtk::Adjustment> scroll;
        EXPECT_EQ(c.run(scroll), Gtk::RESPONSE_APPLY) << c.dialog;
        EXPECT_EQ(scroll->get_value(), 300) << c.dialog;
        EXPECT_EQ(c.run(scroll), Gtk::RESPONSE_CANCEL) << c.dialog;
        EXPECT_GT(upper, 300) << c.dialog << ": the grid does not scroll";
        EXPECT_EQ(shown, 300) << c.dialog;
        EXPECT_EQ(boxes.texts, std::vector<std::string>()) << c.dialog;
    }
}

TEST_F(AlbumDialogTest, ABigAlbumOpensWithAScreenfulAndFillsTheRestWhileShown) {
    const path_t many = make_many();
    for (int response : {0, int(Gtk::RESPONSE_OK)}) {
        EditAlbumDialog dialog(parent(), many, "");
        EXPECT_TRUE(dialog.filling());
        EXPECT_EQ(dialog.made(), 6u);
        if (response) {
            // OK before the grid is full still acts on every picture.
            dialog.get_title_entry().set_text("Many");
            dialog.response(response);
            EXPECT_EQ(dialog.made(), 12u);
            continue;
        }
        dialog.show();
        for (int i = 0; i < 500 && dialog.filling(); ++i) guitest::pump(10);
        EXPECT_FALSE(dialog.filling());
        ASSERT_EQ(dialog.made(), 12u);
        // Every cell in the window, its columns as wide as the first's.
        for (auto& cell : dialog.get_items()) {
            EXPECT_TRUE(cell->picture.is_ancestor(dialog.get_scrolled())) << cell->name;
            EXPECT_TRUE(cell->marks_box.get_visible()) << cell->name;
            EXPECT_EQ(cell->name_label.get_allocated_width(),
                      dialog.get_items()[0]->name_label.get_allocated_width());
        }
    }
}
