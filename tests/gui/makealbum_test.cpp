// The make-album dialog on camera folders made here: the grid, the turns
// the angle fields give, the order in which OK checks its fields, and the
// size of a clip's thumbnail.
#include <gtest/gtest.h>
#include <gtkmm.h>
#include <sys/stat.h>

#include <memory>

#include "glimlib/message.h"
#include "gui/gui_env.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/gui/MakeAlbumDialog.h"
#include "support/jpegfixture.h"
#include "support/saved_global.h"
#include "support/testenv.h"

using namespace snapfolio;

namespace {

struct MakeAlbumTest : testing::Test {
    std::string camera = testenv::scratch_dir("camera");
    std::string book = testenv::scratch_dir("book");
    std::unique_ptr<Gtk::Dialog> parent;
    testenv::saved_global_t global{testenv::saved_global_t::defaults};

    void SetUp() override {
        SKIP_WITHOUT_DISPLAY();
        parent = std::make_unique<Gtk::Dialog>();
        glimlib::init_message(testenv::bin_dir() + "/", "snapfolio");
    }
    void photos(int n) {
        for (int i = 0; i < n; ++i) {
            jpegfixture::options_t o;
            o.seed = unsigned(i + 1);
            char name[32];
            std::snprintf(name, sizeof name, "P%07d.JPG", i);
            ASSERT_TRUE(jpegfixture::write_jpeg(camera + "/" + name, o));
        }
    }
    std::unique_ptr<MakeAlbumDialog> open() {
        auto d = std::make_unique<MakeAlbumDialog>(*parent, camera, book, "snapfolio-test");
        EXPECT_TRUE(d->leave_from());
        return d;
    }
};

TEST_F(MakeAlbumTest, GridPlacesEachFileInThreeRowsOfItsColumn) {
    photos(10);
    g_global.horizontal_items = 4;
    auto d = open();
    ASSERT_EQ(10u, d->get_items().size());
    Gtk::Grid& grid = d->get_table();
    for (size_t i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const auto& item = *d->get_items()[i];
        const int column = int(i % 4), row = int(3 * (i / 4));
        EXPECT_EQ(&item.select_button, grid.get_child_at(column, row));
        EXPECT_EQ(&item.name_label, grid.get_child_at(column, row + 1));
        EXPECT_EQ(&item.rotate_box, grid.get_child_at(column, row + 2));
        EXPECT_EQ(item.name + " Rotate", item.is_rotate_check.get_accessible()->get_name());
        EXPECT_FALSE(item.select_button.get_active());  // nothing picked at first
    }
    // File 5: column 1, rows 3 to 5; nine table rows, four columns.
    EXPECT_EQ(&d->get_items()[5]->rotate_box, grid.get_child_at(1, 5));
    EXPECT_EQ(nullptr, grid.get_child_at(0, 9));
    EXPECT_EQ(nullptr, grid.get_child_at(4, 0));
    EXPECT_EQ("P0000005.JPG", d->get_items()[5]->select_button.get_accessible()->get_name());
    d->button_invert();
    EXPECT_EQ(10u, d->selected_files().size());
}

TEST_F(MakeAlbumTest, AnglesBecomeQuarterTurnsAndPickingResetsThem) {
    photos(1);
    auto d = open();
    auto& item = *d->get_items()[0];
    EXPECT_FALSE(item.is_rotate_check.get_sensitive());
    item.select_button.clicked();
    EXPECT_TRUE(item.is_rotate_check.get_sensitive());
    EXPECT_FALSE(item.angle_spin.get_sensitive());  // editable after the check only
    item.is_rotate_check.clicked();
    EXPECT_TRUE(item.angle_spin.get_sensitive());

    struct {
        double degrees;
        uint64_t turns;
        const char* message;
    } cases[] = {{0, 0, ""},   {90, 1, ""},   {180, 2, ""},
                 {270, 3, ""}, {45, 0, "P0000000.JPG: 45: not 90/180/270.\n"},
                 {91.5, 0, "P0000000.JPG: 91: not 90/180/270.\n"}};
    const auto shown = [&] {
        return std::make_pair(item.image.get_pixbuf()->get_width(),
                              item.image.get_pixbuf()->get_height());
    };
    const auto unturned = shown();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        decltype(d->selected_files()) files;
        std::string err = testenv::stderr_of([&] {
            item.angle_spin.set_value(c.degrees);
            files = d->selected_files();
        });
        ASSERT_EQ(1u, files.size());
        EXPECT_EQ(c.turns, files[0].rotate);
        // Shown turned (a message comes from the button and one from here).
        EXPECT_EQ(*c.message ? std::string(c.message) + c.message : "", err);
        auto size = shown();
        if (c.turns % 2) std::swap(size.first, size.second);
        EXPECT_EQ(unturned, size);
    }
    item.angle_spin.set_value(90);
    item.select_button.clicked();  // released: the angle goes back to 0
    item.select_button.clicked();
    EXPECT_EQ(0, item.angle_spin.get_value());
}

// OK checks, in this order: a file picked (40), a source folder (27), an
// album name (28), an existing album (41, asked), a title (26).
TEST_F(MakeAlbumTest, OkChecksTheFieldsInOrder) {
    photos(2);
    mkdir((book + "/exists").c_str(), 0755);
    g_global.from = camera;
    std::vector<std::string> texts;
    auto box = [&](int response) {
        return guitest::dialog_script_t::step_t{"Error", [&texts, response](Gtk::Dialog& d) {
                                                    auto& m = dynamic_cast<Gtk::MessageDialog&>(d);
                                                    texts.push_back(m.property_text().get_value());
                                                    d.response(response);
                                                }};
    };
    auto make = [](std::function<void(MakeAlbumDialog&)> edit) {
        return guitest::dialog_script_t::step_t{"New album", [edit](Gtk::Dialog& d) {
                                                    auto& m = dynamic_cast<MakeAlbumDialog&>(d);
                                                    edit(m);
                                                    d.response(Gtk::RESPONSE_OK);
                                                }};
    };
    guitest::dialog_script_t script({
        make([](MakeAlbumDialog& m) { m.leave_from(); }),
        box(Gtk::RESPONSE_OK),
        make([](MakeAlbumDialog& m) {
            m.button_invert();
            m.get_from_entry().set_text("");
        }),
        box(Gtk::RESPONSE_OK),
        make([&](MakeAlbumDialog& m) {
            m.get_from_entry().set_text(camera);
            m.get_to_entry().set_text("");
        }),
        box(Gtk::RESPONSE_OK),
        make([](MakeAlbumDialog& m) { m.get_to_entry().set_text("exists"); }),
        box(Gtk::RESPONSE_NO),
        make([](MakeAlbumDialog& m) { m.get_to_entry().set_text("new"); }),
        box(Gtk::RESPONSE_OK),
        guitest::answer("New album", Gtk::RESPONSE_CANCEL),
    });
    EXPECT_FALSE(make_album_from_dialog(*parent, book, "snapfolio-test"));
    EXPECT_EQ(11u, script.done()) << script.seen;
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Please select at least one file.",
                         "Please choose the folder to import from.",
                         "Please enter a name for the album.",
                         "This album folder already exists. Add the files to it?",
                         "Please enter a title.",
                     }));
    EXPECT_FALSE(testenv::exists(book + "/new"));
}

TEST(ClipThumbnail, HalvedToTheShrinkSizeThenAQuarter) {
    testenv::saved_global_t global(testenv::saved_global_t::defaults);
    g_global.shrink_width = g_global.shrink_height = 1024;
    struct {
        uint32_t w, h, tw, th;
    } cases[] = {{4000, 3000, 250, 187}, {640, 480, 160, 120}, {1920, 1080, 240, 135},
                 {0, 0, 0, 0}};
    for (const auto& c : cases) {
        auto size = clip_thumbnail_size(libgr::direction2ul_t(c.w, c.h));
        EXPECT_EQ(c.tw, size.x) << c.w << "x" << c.h;
        EXPECT_EQ(c.th, size.y) << c.w << "x" << c.h;
    }
}

}  // namespace
