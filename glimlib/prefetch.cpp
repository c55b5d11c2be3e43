#include "glimlib/prefetch.h"

#include <filesystem>

namespace glimlib {

picture_prefetch_t::~picture_prefetch_t() {
    if (m_thread.joinable()) m_thread.join();
}

void picture_prefetch_t::start(const std::string& path, uint32_t cover_w, uint32_t cover_h) {
    if (m_thread.joinable()) return;
    m_path = path;
    m_result = std::make_unique<decoded_picture_t>();
    decoded_picture_t* out = m_result.get();
    m_thread = std::thread(
        [out, path, cover_w, cover_h] { decode_picture(*out, path, cover_w, cover_h); });
}

std::unique_ptr<decoded_picture_t> picture_prefetch_t::take(const std::string& path, uint32_t w,
                                                            uint32_t h) {
    if (!m_result) return nullptr;
    std::error_code ec;
    if (!std::filesystem::equivalent(path, m_path, ec)) return nullptr;
    if (m_thread.joinable()) m_thread.join();
    std::unique_ptr<decoded_picture_t> r = std::move(m_result);
    // A failed decode is not tried again: its messages are out already.
    return !r->ok || r->covers(w, h) ? std::move(r) : nullptr;
}

}  // namespace glimlib
