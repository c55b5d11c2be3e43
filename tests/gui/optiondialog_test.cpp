#include <gtest/gtest.h>
#include <gtkmm.h>
#include <sys/stat.h>

#include "glimlib/message.h"
#include "gui/gui_env.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/gui/GlobalOptionDialog.h"
#include "support/saved_global.h"
#include "support/scoped_env.h"
#include "support/testenv.h"

using namespace snapfolio;

namespace {

struct option_fixture : testing::Test {
    std::string home = testenv::scratch_dir("home");
    scoped_env home_env{"HOME", home};
    scoped_env lang_env{"LANG", "C.UTF-8"};
    std::unique_ptr<Gtk::Window> parent;
    testenv::saved_global_t global{testenv::saved_global_t::defaults};

    void SetUp() override {
        SKIP_WITHOUT_DISPLAY();
        testenv::stderr_of([] { glimlib::init_message(testenv::bin_dir() + "/", "snapfolio"); });
        parent = std::make_unique<Gtk::Window>();
    }
    std::unique_ptr<GlobalOptionDialog> dialog() {
        return std::make_unique<GlobalOptionDialog>(*parent, testenv::bin_dir() + "/", "snapfolio");
    }
    std::string settings() const { return testenv::read_file(home + "/.snapfolio"); }
};

// Answers the first error box that shows, noting its title and text.
struct error_box_watch {
    std::string title, text;
    sigc::connection poll;
    error_box_watch() {
        poll = Glib::signal_timeout().connect(
            [this] {
                for (Gtk::Window* w : Gtk::Window::list_toplevels()) {
                    auto* box = dynamic_cast<Gtk::MessageDialog*>(w);
                    if (!box || !box->get_visible()) continue;
                    title = box->get_title();
                    text = box->property_text().get_value();
                    box->response(Gtk::RESPONSE_OK);
                    return false;
                }
                return true;
            },
            20);
    }
    ~error_box_watch() { poll.disconnect(); }
};

}  // namespace

using OptionDialog = option_fixture;

TEST_F(OptionDialog, ShowsTheSettings) {
    g_global.from = "/media/card";
    g_global.shrink_height = 768;
    g_global.movie_thumbnail_retina = false;
    auto d = dialog();
    EXPECT_EQ(d->get_title(), "Settings");
    auto& f = d->fields();
    EXPECT_EQ(f.from.get_text(), "/media/card");
    EXPECT_EQ(f.album.get_text(), home + "/album");
    EXPECT_EQ(f.shrink_height.get_value_as_int(), 768);
    EXPECT_EQ(f.jpeg_compress.get_value_as_int(), 100);
    EXPECT_FALSE(f.movie_thumbnail_retina.get_active());
    EXPECT_EQ(
        f.glimvue3.get_text(),
        "glimvue3 -resizetype 2 -window_ratio_of_image 0.5 -image_ratio_of_window 2 -g +0+32");
}

TEST_F(OptionDialog, OkWritesACompleteSettingsFileAndMakesTheAlbumFolder) {
    auto d = dialog();
    auto& f = d->fields();
    f.from.set_text("/media/カメラ");
    f.album.set_text(home + "/albums");
    f.shrink_width.set_value(800);
    f.shrink_height.set_value(600);
    f.jpeg_compress.set_value(150);  // beyond the range: 100
    f.horizontal_items.set_value(5);
    f.show_level.set_value(2);
    f.view_size.set_value(3);
    f.html_header_check.set_active(true);
    f.html_header.set_text("<meta charset=\"UTF-8\">");
    f.html_address.set_text("(C) me");
    f.hwaccel.set_text("-hwaccel vaapi");
    f.ffmpeg.set_text("-c:v libx265");
    f.movie.set_text("mpv");
    f.play_size_x.set_value(1280);
    f.play_size_y.set_value(720);
    f.movie_thumbnail_retina.set_active(false);
    f.glimvue3.set_text("glimvue3 -g +0+0");
    d->response(Gtk::RESPONSE_OK);
    EXPECT_TRUE(d->saved());
    EXPECT_EQ(settings(),
              "from=/media/カメラ\r\n"
              "album=" +
                  home +
                  "/albums\r\n"
                  "shrink_size=800,600\r\n"
                  "jpeg_compress=100\r\n"
                  "horizontal_items=5\r\n"
                  "show_level=2\r\n"
                  "view_size=3\r\n"
                  "html_header_check=1\r\n"
                  "html_header=<meta charset=\"UTF-8\">\r\n"
                  "html_address=(C) me\r\n"
                  "hwaccel=-hwaccel vaapi\r\n"
                  "ffmpeg=-c:v libx265\r\n"
                  "movie=mpv\r\n"
                  "play_size_x=1280\r\n"
                  "play_size_y=720\r\n"
                  "movie_thumbnail_retina=0\r\n"
                  "glimvue3=glimvue3 -g +0+0\r\n");
    struct stat st;
    EXPECT_EQ(stat((home + "/albums").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(g_global.view_size, 3u);
}

TEST_F(OptionDialog, CancelWritesNothingAndKeepsTheSettings) {
    auto d = dialog();
    d->fields().from.set_text("/elsewhere");
    d->fields().view_size.set_value(9);
    d->response(Gtk::RESPONSE_CANCEL);
    d->response(Gtk::RESPONSE_DELETE_EVENT);
    EXPECT_FALSE(testenv::exists(home + "/.snapfolio"));
    EXPECT_EQ(g_global.from, "/mnt/DCIM");
    EXPECT_EQ(g_global.view_size, 1u);
    EXPECT_FALSE(testenv::exists(home + "/album"));
}

TEST_F(OptionDialog, HeaderEntryIsEditableOnlyWithItsCheckButIsAlwaysKept) {
    auto d = dialog();
    auto& f = d->fields();
    EXPECT_FALSE(f.html_header_check.get_active());
    EXPECT_FALSE(f.html_header.get_editable());
    EXPECT_FALSE(f.html_header.get_can_focus());
    f.html_header_check.set_active(true);
    EXPECT_TRUE(f.html_header.get_editable());
    EXPECT_TRUE(f.html_header.get_can_focus());
    f.html_header.set_text("<meta kept>");
    f.html_header_check.set_active(false);
    d->response(Gtk::RESPONSE_OK);
    EXPECT_EQ(g_global.html_header, "<meta kept>");
    EXPECT_EQ(settings().find("html_header="), std::string::npos);
}

TEST_F(OptionDialog, UnwritableSettingsFileShowsAnErrorBox) {
    std::string plain = home + "/not-a-folder";
    testenv::write_file(plain, "x");
    scoped_env bad_home("HOME", plain);
    auto d = dialog();
    error_box_watch watch;
    d->response(Gtk::RESPONSE_OK);
    EXPECT_FALSE(d->saved());
    EXPECT_EQ(watch.title, "Error");
    EXPECT_EQ(watch.text,
              "Saving failed.\n" + plain + "/.snapfolio: open error, Not a directory\n");
}

TEST_F(OptionDialog, CancelAfterAFailedSaveRestoresTheSettings) {
    std::string plain = home + "/not-a-folder";
    testenv::write_file(plain, "x");
    scoped_env bad_home("HOME", plain);
    g_global.from = "/camera/before";
    auto d = dialog();
    d->fields().from.set_text("/camera/edited");
    {
        error_box_watch watch;
        d->response(Gtk::RESPONSE_OK);
        EXPECT_FALSE(d->saved());
    }
    EXPECT_EQ(g_global.from, "/camera/edited");  // in force while the dialog is open
    d->response(Gtk::RESPONSE_CANCEL);
    EXPECT_EQ(g_global.from, "/camera/before");
}
