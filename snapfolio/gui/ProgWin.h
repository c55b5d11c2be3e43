// The progress window of the long engine runs (import, size levels, pages):
// six bars, one per stage, each moved by a signal handed to the engine.
// The engine runs on the window thread inside a button handler, so every
// move of a bar also processes the pending window events: the windows keep
// being drawn and the progress window answers input during the run.
#pragma once

#include <gtkmm/dialog.h>
#include <gtkmm/progressbar.h>

#include "snapfolio/engine/progress.h"

namespace snapfolio {

class ProgWin : public Gtk::Dialog {
  public:
    // Modal over parent; not shown: callers show() and hide() it around an
    // operation.
    explicit ProgWin(Gtk::Window& parent);

    // Bars 1 to 4 follow the chain's copy, shrink, html and zoom signals,
    // bars 5 and 6 the best-of pages (best_index, best_list); a batch
    // update's directory goes into the title. Each tick processes the
    // pending window events.
    progress_signals_t signals;

    // Bar k (1 to 6) at the smaller of fraction and 1, drawn at once.
    void setProgress(int bar, double fraction);
    void setProgress1(double fraction) { setProgress(1, fraction); }
    void setProgress2(double fraction) { setProgress(2, fraction); }
    void setProgress3(double fraction) { setProgress(3, fraction); }
    void setProgress4(double fraction) { setProgress(4, fraction); }
    void setProgress5(double fraction) { setProgress(5, fraction); }
    void setProgress6(double fraction) { setProgress(6, fraction); }
    double get_fraction(int bar) const;

    // Processes the pending window events without waiting. When the
    // program's main loop has been asked to quit meanwhile (its window was
    // closed during the run), the process ends at once with status 0.
    void Iteration();

    // The default title and all bars at 0.
    void clear();

    static const int bar_count = 6;

  private:
    void show_directory(const std::string& dir);

    Gtk::ProgressBar bars[bar_count];
};

}  // namespace snapfolio
