// The diagnostics of one item worked on by a worker of the album chains:
// every line, with the stream it was meant for, kept until the caller's
// thread writes them out in the album's order, so that lines are never
// interleaved and never out of order whatever the number of workers.
#pragma once

#include <ostream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "libutils/error.h"

namespace snapfolio {

class job_log_t {
    using lines_t = std::vector<std::pair<std::ostream*, std::string>>;

    // Collects what is written into whole lines for one target stream.
    class line_buf_t : public std::streambuf {
        lines_t& m_lines;
        std::ostream* m_target;
        std::string m_pending;

      protected:
        int_type overflow(int_type c) override;

      public:
        line_buf_t(lines_t& lines, std::ostream* target) : m_lines(lines), m_target(target) {}
        void close();
    };

    lines_t m_lines;
    line_buf_t m_err_buf, m_cerr_buf;
    std::ostream m_err, m_cerr;

  public:
    // err: the stream the chain was given.
    explicit job_log_t(std::ostream& err);
    job_log_t(const job_log_t&) = delete;
    job_log_t& operator=(const job_log_t&) = delete;

    // What the item's work writes to instead of the chain's stream.
    std::ostream& err() { return m_err; }
    // While it lives, the thread's std::cerr lines go to this log.
    struct capture_t {
        libutils::redirect_cerr_t redirect;
        explicit capture_t(job_log_t& log) : redirect(log.m_cerr) {}
    };

    // Writes every line to the stream it was meant for, in the order
    // written; on the caller's thread.
    void replay();
};

}  // namespace snapfolio
