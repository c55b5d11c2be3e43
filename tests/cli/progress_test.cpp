// The progress printer: plain lines for logs, lines redrawn in place for
// terminals, fed through the engine's stage signals.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "snapfolio/cli/progress.h"

using snapfolio::progress_printer_t;
using snapfolio::progress_signals_t;

namespace {

// Emits i / n for i = 1..n, as the engine does after each item.
void run_stage(sigc::signal<void, double>& s, int n) {
    for (int i = 1; i <= n; ++i) s.emit(double(i) / n);
}

}  // namespace

TEST(CliProgress, PlainLinesAtTheStartEachTenPercentAndTheEnd) {
    std::ostringstream out;
    progress_signals_t s;
    {
        progress_printer_t p(out, false);
        p.connect(s);
        run_stage(s.copy, 7);
        run_stage(s.shrink, 100);
        run_stage(s.html, 1);
    }
    EXPECT_EQ(out.str(),
              "copy:   0%\ncopy:  14%\ncopy:  28%\ncopy:  42%\ncopy:  57%\ncopy:  71%\n"
              "copy:  85%\ncopy: 100%\n"
              "shrink:   0%\nshrink:  10%\nshrink:  20%\nshrink:  30%\nshrink:  40%\n"
              "shrink:  50%\nshrink:  60%\nshrink:  70%\nshrink:  80%\nshrink:  90%\n"
              "shrink: 100%\n"
              "html:   0%\nhtml: 100%\n");
}

TEST(CliProgress, TerminalLinesAreRedrawnInPlace) {
    std::ostringstream out;
    progress_signals_t s;
    {
        progress_printer_t p(out, true);
        p.connect(s);
        run_stage(s.copy, 3);
        s.shrink.emit(0.5);
        s.shrink.emit(0.501);  // same percent: no redraw
        run_stage(s.zoom, 2);
        run_stage(s.zoom, 2);  // a second pass of the same stage: a new line
        s.html.emit(0.25);     // a chain that stops early: the line is ended
    }
    EXPECT_EQ(out.str(),
              "\rcopy:  33%\rcopy:  66%\rcopy: 100%\n"
              "\rshrink:  50%\n"
              "\rzoom:  50%\rzoom: 100%\n"
              "\rzoom:  50%\rzoom: 100%\n"
              "\rhtml:  25%\n");
}

TEST(CliProgress, OutOfRangeValuesAreClamped) {
    std::ostringstream out;
    progress_printer_t p(out, false);
    p.show("copy", -1);
    p.show("copy", 0.0 / 0.0);
    p.show("copy", 7);
    EXPECT_EQ(out.str(), "copy:   0%\ncopy: 100%\n");
}

TEST(CliProgress, SignalsOutliveThePrinter) {
    std::ostringstream out;
    progress_signals_t s;
    {
        auto p = std::make_unique<progress_printer_t>(out, false);
        p->connect(s.copy, "copy");
    }
    s.copy.emit(0.5);  // must not reach the destroyed printer
    EXPECT_EQ(out.str(), "");
}
