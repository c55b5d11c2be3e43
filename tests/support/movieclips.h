// Short clips made with ffmpeg's test sources, like the ones cameras write,
// and helpers to look at what the movie chain made of them.
#pragma once

#include <iostream>
#include <sstream>
#include <string>

namespace movieclips {

enum e_clip_t {
    clip_camera_avi,  // Motion-JPEG 640x480 yuvj422p with PCM sound, as older cameras write
    clip_fullhd_mov,  // H.264 1920x1080 with AAC sound
    clip_hd_mp4,      // H.264 1280x720
    clip_odd_mp4,     // H.264 810x606: its half, 405x303, is odd
    clip_audio_mp4,   // AAC sound only, no video stream
};

// The clip's path. Clips are made once per build tree and reused; empty when
// ffmpeg could not make it.
std::string clip(e_clip_t kind);

// "WIDTHxHEIGHT" of the first video stream (of a movie or a still), as
// ffprobe reports it; empty when there is none.
std::string probe_size(const std::string& file);
// One field of the first video stream (profile, pix_fmt, codec_name).
std::string probe_field(const std::string& file, const std::string& field);

// Makes dir/original/ and copies the clip there under name.
bool put_movie(const std::string& albumdir, e_clip_t kind, const std::string& name);

// The echoed commands with every temporary ffmpeg writes to
// ("<dir>/.<name>.tmpXXXXXX<ext>") named by the file it becomes
// ("<dir>/<name>").
std::string final_names(const std::string& commands);

// What the code under test writes on std::cout and std::cerr (the C++
// streams only: programs it starts keep the process's descriptors).
class capture_t {
    std::ostringstream m_out, m_err;
    std::streambuf* m_oldout;
    std::streambuf* m_olderr;

  public:
    capture_t()
        : m_oldout(std::cout.rdbuf(m_out.rdbuf())), m_olderr(std::cerr.rdbuf(m_err.rdbuf())) {}
    ~capture_t() { release(); }
    void release() {
        if (m_oldout) std::cout.rdbuf(m_oldout);
        if (m_olderr) std::cerr.rdbuf(m_olderr);
        m_oldout = m_olderr = nullptr;
    }
    std::string out() const { return final_names(m_out.str()); }
    std::string err() const { return final_names(m_err.str()); }
};

}  // namespace movieclips

#define SKIP_WITHOUT_FFMPEG()            \
    do {                                 \
        SKIP_WITHOUT_PROGRAM("ffmpeg");  \
        SKIP_WITHOUT_PROGRAM("ffprobe"); \
    } while (0)
