#include "snapfolio/engine/joblog.h"

#include <iostream>

namespace snapfolio {

job_log_t::line_buf_t::int_type job_log_t::line_buf_t::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    m_pending += traits_type::to_char_type(c);
    if (c == '\n') {
        m_lines.emplace_back(m_target, std::move(m_pending));
        m_pending.clear();
    }
    return c;
}

void job_log_t::line_buf_t::close() {
    if (m_pending.empty()) return;
    m_lines.emplace_back(m_target, std::move(m_pending));
    m_pending.clear();
}

job_log_t::job_log_t(std::ostream& err)
    : m_err_buf(m_lines, &err),
      m_cerr_buf(m_lines, &std::cerr),
      m_err(&m_err_buf),
      m_cerr(&m_cerr_buf) {}

void job_log_t::replay() {
    m_err_buf.close();
    m_cerr_buf.close();
    for (auto& line : m_lines) *line.first << line.second << std::flush;
    m_lines.clear();
}

}  // namespace snapfolio
