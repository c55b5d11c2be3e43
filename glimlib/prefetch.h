// The first picture decoded on a thread of its own while the window and its
// GL context are made (a tenth of a second and more under a software GL),
// so that the first frame waits for the longer of the two, not their sum.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "glimlib/viewobj.h"

namespace glimlib {

class picture_prefetch_t {
  public:
    picture_prefetch_t() = default;
    picture_prefetch_t(const picture_prefetch_t&) = delete;
    picture_prefetch_t& operator=(const picture_prefetch_t&) = delete;
    ~picture_prefetch_t();  // waits for the decode

    // Starts decoding `path` (see decode_picture for the cover size).
    void start(const std::string& path, uint32_t cover_w, uint32_t cover_h);
    // The picture, once, when `path` names the prefetched file and the
    // decode covers w x h (waits for it); else null, and the caller loads.
    std::unique_ptr<decoded_picture_t> take(const std::string& path, uint32_t w, uint32_t h);

  private:
    std::string m_path;
    std::thread m_thread;
    std::unique_ptr<decoded_picture_t> m_result;
};

}  // namespace glimlib
