// The progress window, the picture button and the pixbuf conversion, drawn
// for real (offscreen) and compared pixel by pixel.
#include <cairomm/surface.h>
#include <gtest/gtest.h>
#include <gtkmm.h>

#include "gui/gui_env.h"
#include "snapfolio/gui/CairoButton.h"
#include "snapfolio/gui/ProgWin.h"
#include "snapfolio/gui/pixbuf.h"

using namespace snapfolio;

namespace {

// A picture whose pixel (x, y), counted from the bottom row as stored, is
// value(x, y) in every channel of `format`.
libgr::image2d_t picture(libgr::e_image_format_t format, uint32_t w, uint32_t h) {
    libgr::image2d_t img;
    img.desc = libgr::image_desc_t(format, libgr::IMAGE_TYPE_UINT, libgr::IMAGE_BITS_8);
    img.width = w;
    img.height = h;
    EXPECT_TRUE(img.allocate());
    const unsigned n = img.desc.components();
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            for (unsigned c = 0; c < n; ++c) img[y][x * n + c] = (unsigned char)(10 * x + 50 * y + c);
    return img;
}

// Pixel (x, y) of a pixbuf, top row first, as r, g, b.
std::array<int, 3> rgb_at(const Glib::RefPtr<Gdk::Pixbuf>& p, int x, int y) {
    const guint8* q = p->get_pixels() + y * p->get_rowstride() + x * p->get_n_channels();
    return {q[0], q[1], q[2]};
}

TEST(ConvertToPixbuf, TurnsRowsTopDownAndGreyIntoRgb) {
    SKIP_WITHOUT_DISPLAY();
    struct {
        libgr::e_image_format_t format;
        std::array<int, 3> top_left, bottom_right;  // seen on screen
    } cases[] = {
        {libgr::IMAGE_FORMAT_RGB, {100, 101, 102}, {30, 31, 32}},
        {libgr::IMAGE_FORMAT_GRAYSCALE, {100, 100, 100}, {30, 30, 30}},  // grey stays grey
        {libgr::IMAGE_FORMAT_RGBA, {100, 101, 102}, {30, 31, 32}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        auto pixbuf = convert_to_pixbuf(picture(c.format, 4, 3));
        ASSERT_TRUE(pixbuf);
        EXPECT_EQ(4, pixbuf->get_width());
        EXPECT_EQ(3, pixbuf->get_height());
        EXPECT_FALSE(pixbuf->get_has_alpha());
        EXPECT_EQ(c.top_left, rgb_at(pixbuf, 0, 0));      // stored row 2
        EXPECT_EQ(c.bottom_right, rgb_at(pixbuf, 3, 2));  // stored row 0
    }
    EXPECT_FALSE(convert_to_pixbuf(libgr::image2d_t()));
}

// What a widget draws on a transparent surface of its allocated size.
Cairo::RefPtr<Cairo::ImageSurface> draw(Gtk::Widget& w) {
    auto surface =
        Cairo::ImageSurface::create(Cairo::FORMAT_ARGB32, w.get_allocated_width(),
                                    w.get_allocated_height());
    gtk_widget_draw(w.gobj(), Cairo::Context::create(surface)->cobj());
    surface->flush();
    return surface;
}

uint32_t argb_at(const Cairo::RefPtr<Cairo::ImageSurface>& s, int x, int y) {
    return *reinterpret_cast<const uint32_t*>(s->get_data() + y * s->get_stride() + x * 4);
}

TEST(CairoButton, DrawsOnlyTheCentredPicture) {
    SKIP_WITHOUT_DISPLAY();
    Gtk::Window window;
    CairoButton button;
    window.add(button);
    window.set_default_size(40, 30);
    window.show_all();
    guitest::pump(50);

    EXPECT_EQ(0, button.get_scale());
    auto empty = draw(button);
    for (int y = 0; y < empty->get_height(); ++y)
        for (int x = 0; x < empty->get_width(); ++x) ASSERT_EQ(0u, argb_at(empty, x, y));

    button.set(picture(libgr::IMAGE_FORMAT_GRAYSCALE, 4, 3));
    guitest::pump(50);
    EXPECT_EQ(1.0, button.get_scale());  // Xvfb's scale factor is 1
    int w = button.get_allocated_width(), h = button.get_allocated_height();
    ASSERT_GE(w, 4);
    ASSERT_GE(h, 3);
    auto shot = draw(button);
    const int x0 = (w - 4) / 2, y0 = (h - 3) / 2;
    EXPECT_EQ(0xFF646464u, argb_at(shot, x0, y0));          // grey 100 at the top left
    EXPECT_EQ(0xFF1E1E1Eu, argb_at(shot, x0 + 3, y0 + 2));  // grey 30 at the bottom right
    if (x0 > 0) {
        EXPECT_EQ(0u, argb_at(shot, x0 - 1, y0));  // no frame around it
    }
}

TEST(ProgWin, BarsFollowTheirSignalsAndStayWithinZeroToOne) {
    SKIP_WITHOUT_DISPLAY();
    Gtk::Window parent;
    ProgWin win(parent);
    EXPECT_EQ("progress window", win.get_title());
    EXPECT_TRUE(win.get_modal());
    win.setProgress1(1.5);
    EXPECT_EQ(1.0, win.get_fraction(1));
    win.setProgress1(0);
    EXPECT_EQ(0.0, win.get_fraction(1));

    progress_signal_t* stages[] = {&win.signals.copy, &win.signals.shrink,
                                   &win.signals.html, &win.signals.zoom,
                                   &win.signals.best_index, &win.signals.best_list};
    for (int k = 0; k < 6; ++k) stages[k]->emit(0.125 * (k + 1));
    for (int k = 1; k <= 6; ++k) EXPECT_DOUBLE_EQ(0.125 * k, win.get_fraction(k)) << "bar " << k;

    win.signals.directory.emit("/albums/2024");
    EXPECT_EQ("/albums/2024", win.get_title());
    win.clear();
    EXPECT_EQ("progress window", win.get_title());
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(0.0, win.get_fraction(k));
}

// A tick of the engine, between two moves of a bar, lets the window answer.
TEST(ProgWin, ATickProcessesThePendingEvents) {
    SKIP_WITHOUT_DISPLAY();
    Gtk::Window parent;
    ProgWin win(parent);
    bool answered = false;
    Glib::signal_idle().connect_once([&] { answered = true; });
    win.signals.tick.emit();
    EXPECT_TRUE(answered);
}

// The main window closed while an operation reports progress: the next move
// of a bar ends the program, with status 0.
TEST(ProgWinDeathTest, ClosingTheMainWindowDuringARunEndsTheProgram) {
    SKIP_WITHOUT_DISPLAY();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Gtk::Window main_window;
            ProgWin win(main_window);
            main_window.show();
            Glib::signal_idle().connect_once([&] {
                win.show();
                main_window.hide();  // the main loop is asked to quit
                for (int i = 1; i <= 10; ++i) win.signals.shrink.emit(i / 10.0);
                std::exit(3);  // not reached
            });
            // The program's main loop, as Gtk::Main::run(main_window) runs it.
            main_window.signal_hide().connect([] { gtk_main_quit(); });
            gtk_main();
            std::exit(4);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
