#include "support/movieclips.h"

#include <unistd.h>

#include <cstdio>

#include "libutils/file.h"
#include "support/testenv.h"

namespace movieclips {

namespace {

struct recipe_t {
    const char* file;
    const char* args;  // ffmpeg's arguments before the output name
};

// One second at 10 frames a second keeps every conversion short.
const recipe_t s_recipes[] = {
    {"camera.avi",
     "-f lavfi -i testsrc=size=640x480:rate=10 -f lavfi -i sine -t 1 -c:v mjpeg -q:v 3 "
     "-pix_fmt yuvj422p -c:a pcm_s16le"},
    {"fullhd.mov",
     "-f lavfi -i testsrc2=size=1920x1080:rate=10 -f lavfi -i sine=sample_rate=48000 -t 1 "
     "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac"},
    {"hd.mp4",
     "-f lavfi -i testsrc2=size=1280x720:rate=10 -t 1 -c:v libx264 -preset ultrafast "
     "-pix_fmt yuv420p"},
    {"odd.mp4",
     "-f lavfi -i testsrc2=size=810x606:rate=10 -t 1 -c:v libx264 -preset ultrafast "
     "-pix_fmt yuv420p"},
    {"audio.mp4", "-f lavfi -i sine -t 1 -c:a aac"},
};

}  // namespace

std::string clip(e_clip_t kind) {
    const recipe_t& r = s_recipes[kind];
    std::string dir = testenv::binary_dir() + "/testclips";
    ::mkdir(dir.c_str(), 0755);
    std::string file = dir + "/" + r.file;
    if (testenv::exists(file)) return file;
    // Made under a name of this process, then renamed: test processes run
    // side by side and must never see half a clip.
    std::string temp = dir + "/tmp" + std::to_string(::getpid()) + "-" + r.file;
    std::string command = std::string("ffmpeg -nostdin -v error -y ") + r.args + " " +
                          testenv::shell_quote(temp) + " </dev/null";
    if (testenv::run(command) != 0 || std::rename(temp.c_str(), file.c_str()) != 0) {
        std::remove(temp.c_str());
        return std::string();
    }
    return file;
}

std::string probe_field(const std::string& file, const std::string& field) {
    std::string out;
    testenv::run("ffprobe -v error -select_streams v:0 -show_entries stream=" + field +
                     " -of csv=p=0 " + testenv::shell_quote(file) + " </dev/null",
                 &out);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

std::string probe_size(const std::string& file) {
    std::string wh = probe_field(file, "width,height");
    size_t comma = wh.find(',');
    if (comma == std::string::npos) return std::string();
    return wh.substr(0, comma) + "x" + wh.substr(comma + 1);
}

bool put_movie(const std::string& albumdir, e_clip_t kind, const std::string& name) {
    std::string source = clip(kind);
    if (source.empty()) return false;
    ::mkdir(albumdir.c_str(), 0755);
    ::mkdir((albumdir + "/original").c_str(), 0755);
    return testenv::write_file(albumdir + "/original/" + name, testenv::read_file(source));
}

std::string final_names(const std::string& commands) {
    std::string s = commands;
    for (size_t at = 0; (at = s.find(".tmp", at)) != std::string::npos;) {
        const size_t dot = s.rfind("/.", at);
        const size_t end = at + 10;
        if (dot == std::string::npos || end > s.size() || s.find('"', dot) < at) {
            at += 4;
            continue;
        }
        // "/.<name>.tmpXXXXXX" and the extension after it: "/<name>".
        const size_t ext_end = s.find('"', end);
        s.replace(dot, (ext_end == std::string::npos ? s.size() : ext_end) - dot,
                  "/" + s.substr(dot + 2, at - dot - 2));
        at = dot + 1;
    }
    return s;
}

}  // namespace movieclips
