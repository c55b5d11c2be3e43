// Progress of the album chains on a text stream: one line per stage
// ("copy", "shrink", "html", "zoom"). On a terminal the line is redrawn in
// place with "\r" as the stage advances; otherwise (a log, a pipe) plain
// lines are written at 0 %, at each further step of 10 % and at 100 %.
//
// The engine reports progress through sigc::signal<void, double> values
// (i / n after the i-th of n items); the printer connects to one signal per
// stage and is disconnected automatically when it goes.
#pragma once

#include <sigc++/sigc++.h>

#include <ostream>
#include <string>

#include "snapfolio/engine/progress.h"

namespace snapfolio {

class progress_printer_t : public sigc::trackable {
  public:
    progress_printer_t(std::ostream& out, bool terminal);
    // Standard output, redrawn in place when it is a terminal.
    progress_printer_t();
    ~progress_printer_t();
    progress_printer_t(const progress_printer_t&) = delete;
    progress_printer_t& operator=(const progress_printer_t&) = delete;

    // Shows the signal's values on the line of `stage`.
    void connect(sigc::signal<void, double>& signal, const std::string& stage);
    // The four chain stages under their own names.
    void connect(progress_signals_t& signals);

    // One value of a stage: the fraction done, 0 to 1.
    void show(const std::string& stage, double fraction);
    // Ends a line left open on a terminal (a chain that stopped early).
    void finish();

  private:
    void on_value(double fraction, std::string stage);
    void begin(const std::string& stage);
    void draw(int percent);

    std::ostream& m_out;
    bool m_terminal;
    std::string m_stage;  // the stage of the current line; empty before the first
    int m_percent = -1;   // last percent shown on it
    bool m_open = false;  // a terminal line waits for its end of line
    bool m_done = false;  // the current stage reached 100 %
};

}  // namespace snapfolio
