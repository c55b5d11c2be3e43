#include "snapfolio/cli/progress.h"

#include <unistd.h>

#include <cmath>
#include <iomanip>
#include <iostream>

namespace snapfolio {

namespace {

// Whole percent, never rounded up: 99.9 % is not yet done.
int percent_of(double fraction) {
    if (!(fraction > 0)) return 0;  // also NaN
    if (fraction >= 1) return 100;
    return int(std::floor(fraction * 100 + 1e-9));
}

}  // namespace

progress_printer_t::progress_printer_t(std::ostream& out, bool terminal)
    : m_out(out), m_terminal(terminal) {}

progress_printer_t::progress_printer_t() : progress_printer_t(std::cout, ::isatty(1) == 1) {}

progress_printer_t::~progress_printer_t() {
    finish();
}

void progress_printer_t::connect(sigc::signal<void, double>& signal, const std::string& stage) {
    // Through mem_fun, so that the connection ends with the printer.
    signal.connect(sigc::bind(sigc::mem_fun(*this, &progress_printer_t::on_value), stage));
}

void progress_printer_t::connect(progress_signals_t& s) {
    connect(s.copy, "copy");
    connect(s.shrink, "shrink");
    connect(s.html, "html");
    connect(s.zoom, "zoom");
}

void progress_printer_t::begin(const std::string& stage) {
    finish();
    m_stage = stage;
    m_percent = -1;
    m_done = false;
    // A plain log shows where each stage starts.
    if (!m_terminal) draw(0);
}

void progress_printer_t::draw(int percent) {
    if (m_terminal) {
        m_out << '\r' << m_stage << ": " << std::setw(3) << percent << '%';
        m_open = true;
        if (percent == 100) finish();
    } else {
        m_out << m_stage << ": " << std::setw(3) << percent << "%\n";
    }
    m_out.flush();
    m_percent = percent;
    m_done = percent == 100;
}

void progress_printer_t::show(const std::string& stage, double fraction) {
    const int percent = percent_of(fraction);
    // A new stage, or the same stage run again (its values start over).
    if (stage != m_stage || m_done || percent < m_percent) begin(stage);
    if (m_terminal) {
        if (percent != m_percent) draw(percent);
    } else if (percent / 10 > m_percent / 10) {
        draw(percent);
    }
}

void progress_printer_t::on_value(double fraction, std::string stage) {
    show(stage, fraction);
}

void progress_printer_t::finish() {
    if (!m_open) return;
    m_out << '\n';
    m_out.flush();
    m_open = false;
}

}  // namespace snapfolio
