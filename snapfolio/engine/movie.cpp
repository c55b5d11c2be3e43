#include "snapfolio/engine/movie.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "libutils/error.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "libutils/shellquote.h"
#include "libutils/text.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/levels.h"
#include "snapfolio/engine/shellrun.h"

namespace snapfolio {

namespace {

// The line with leading blanks removed begins with word. The report's own
// lines are indented; a file name or a metadata value that holds "Duration"
// or "Stream ... Video" sits elsewhere on its line and is not taken for them.
bool begins_with_word(const std::string& line, const char* word) {
    size_t i = line.find_first_not_of(" \t");
    return i != std::string::npos &&
           line.compare(i, std::char_traits<char>::length(word), word) == 0;
}

bool is_video_line(const std::string& line) {
    if (!begins_with_word(line, "Stream")) return false;
    size_t s = line.find("Stream");
    return line.find("Video", s + 6) != std::string::npos;
}

std::string dims_of(const libgr::direction2ul_t& size) {
    return std::to_string(size.x) + "x" + std::to_string(size.y);
}

// "  Duration: 00:01:23.45, start: ..." -> "00:01:23.45": the first
// blank-separated piece that ends with ",".
std::string duration_of(const std::string& line) {
    std::vector<std::string> pieces;
    libutils::separate_token(pieces, line, " ");
    for (const std::string& p : pieces)
        if (!p.empty() && p.back() == ',') return p.substr(0, p.size() - 1);
    return std::string();
}

// "Stream #0:0(und): Video: h264 (High), yuv420p(tv, bt709), 1920x1080, ..."
// -> 1920 by 1080. Parenthesised parts may hold commas of their own, so only
// the text outside parentheses is searched for the second comma; the size is
// the first word after it.
libgr::direction2ul_t size_of(const std::string& line) {
    std::vector<std::string> pieces;
    libutils::separate_token(pieces, line, "()");
    int commas = 0;
    std::string rest;
    for (size_t i = 0; i < pieces.size() && commas < 2; i += 2) {
        const std::string& p = pieces[i];
        for (size_t k = 0; k < p.size(); ++k) {
            if (p[k] == ',' && ++commas == 2) {
                rest = p.substr(k + 1);
                break;
            }
        }
    }
    if (commas < 2) return libgr::datum2ul;
    std::vector<std::string> words;
    libutils::separate_token(words, rest, " ");
    for (const std::string& word : words) {
        if (word.empty()) continue;
        std::vector<std::string> parts;
        libutils::separate_token(parts, word, "x");
        if (parts.size() < 2) return libgr::datum2ul;
        unsigned long long w = std::strtoull(parts[0].c_str(), nullptr, 0);
        unsigned long long h = std::strtoull(parts[1].c_str(), nullptr, 0);
        if (w > UINT32_MAX || h > UINT32_MAX) return libgr::datum2ul;
        return libgr::direction2ul_t((uint32_t)w, (uint32_t)h);
    }
    return libgr::datum2ul;
}

}  // namespace

bool ffreport_t::feed(const std::string& line) {
    if (m_done) return true;
    if (begins_with_word(line, "Duration")) {
        m_duration = line;
    } else if (is_video_line(line)) {
        m_video = line;
        m_done = true;
    }
    return m_done;
}

std::string ffreport_t::duration() const {
    return duration_of(m_duration);
}

void ffreport_t::result(libgr::direction2ul_t& size, std::string& info) const {
    size = libgr::datum2ul;
    info.clear();
    if (!m_done) return;
    info = duration_of(m_duration);
    size = size_of(m_video);
}

void ffparse_report(const std::string& report, libgr::direction2ul_t& size, std::string& info) {
    ffreport_t r;
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line) && !r.feed(line)) {
    }
    r.result(size, info);
}

std::string ffidentify_command(const std::string& file) {
    return "ffmpeg -i " + libutils::dquote(file) + " 2>&1";
}

void ffidentify(const std::string& file, libgr::direction2ul_t& size, std::string& info) {
    size = libgr::datum2ul;
    info.clear();
    std::string command = ffidentify_command(file);
    std::cout << command << std::endl;
    shell_reader_t pipe;
    if (!pipe.open(command)) return;
    ffreport_t report;
    std::string line;
    while (pipe.getline(line))
        if (report.feed(line)) break;
    pipe.close();
    report.result(size, info);
}

uint64_t ffshrinklevel(const libgr::direction2ul_t& size) {
    if (size == libgr::datum2ul) return 0;
    return shrink_level(size.x, size.y);
}

uint64_t getffshrinklevel(const path_t& path, const std::string& dir, const std::string& name,
                          libgr::direction2ul_t& size, std::string& info) {
    ffidentify(path.str(dir, name), size, info);
    return ffshrinklevel(size);
}

uint64_t getffshrinklevel(const std::string& albumdir, const std::string& dir,
                          const std::string& name, libgr::direction2ul_t& size, std::string& info) {
    ffidentify(albumdir + "/" + dir + "/" + name, size, info);
    return ffshrinklevel(size);
}

std::vector<std::string> movielevelnames(uint64_t level) {
    std::vector<std::string> names;
    for (uint64_t j = 0; j <= level + 1; ++j) names.push_back("movie" + std::to_string(j));
    return names;
}

std::string replace_extension(const std::string& name, const std::string& ext) {
    size_t slash = name.find_last_of('/');
    size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + ext;
    return name.substr(0, dot) + ext;
}

std::string ffconvert_command(const std::string& source, const std::string& target,
                              const libgr::direction2ul_t& size) {
    const std::string opts = g_global.ffmpeg.empty() ? "-c:v libx264 -crf 23" : g_global.ffmpeg;
    const std::string& hw = g_global.hwaccel;
    const bool sized = size != libgr::datum2ul;
    const std::string dims = dims_of(size);
    // With a hardware decoder the decoder scales (-resize); without one the
    // output size option does.
    std::string command = "ffmpeg -y " + hw;
    if (sized) command += " -resize " + dims;
    command += " -i " + libutils::dquote(source);
    if (sized) {
        if (hw.empty()) command += " -s " + dims;
        command += " " + opts;
    }
    command += " " + libutils::dquote(target);
    return command;
}

std::string ffthumbnail_command(const std::string& movie, const std::string& jpg,
                                const libgr::direction2ul_t& size) {
    std::string command =
        "ffmpeg -y -i " + libutils::dquote(movie) + " -f image2 -update true -frames:v 1 ";
    if (size != libgr::datum2ul) command += "-s " + dims_of(size) + " ";
    return command + libutils::dquote(jpg);
}

bool ffreadable(const std::string& file) {
    shell_reader_t pipe;
    if (!pipe.open(ffidentify_command(file))) return false;
    ffreport_t report;
    std::string line;
    // The whole report: a file without video has its Duration line only.
    while (pipe.getline(line)) report.feed(line);
    pipe.close();
    const std::string d = report.duration();
    return !d.empty() && d != "N/A";
}

namespace {

// Whether target must be made again from source: missing, older, or a
// symbolic link (never written through).
bool must_make(const std::string& source, const std::string& target) {
    struct stat st;
    if (::lstat(target.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return true;
    return libutils::need_update(source, target);
}

// A still that ffmpeg finished: a JPEG stream from its start to its end
// marker (a full disk cuts the end off).
bool is_whole_jpeg(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return bytes.size() >= 4 && bytes.compare(0, 2, "\xFF\xD8") == 0 &&
           bytes.compare(bytes.size() - 2, 2, "\xFF\xD9") == 0;
}

// Runs the ffmpeg command that make_command builds for a file name, on a
// temporary beside target (named like the other temporaries of the album,
// with target's extension last so that ffmpeg picks the format), checks the
// result and renames it into place. A run killed, a full disk or a failed
// check never leaves a target that would pass for up to date; the failure
// is named with the system's error text when there is one, and a leftover
// temporary is removed by the next run of the chains.
template <class M, class C>
bool run_maker(const std::string& target, std::ostream& echo, M make_command, C check) {
    const size_t dot = target.rfind('.');
    const std::string ext = dot == std::string::npos ? std::string() : target.substr(dot);
    std::string temp = libutils::dirname(target) + "." + libutils::basename2(target) +
                       ".tmpXXXXXX" + ext;
    const int fd = ::mkstemps(&temp[0], int(ext.size()));
    if (fd < 0) return libutils::fail(std::cerr, target, ": ", std::strerror(errno));
    // mkstemps makes the file private; an album is meant to be published.
    const mode_t mask = mode_t(libutils::current_umask());
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    const std::string command = make_command(temp);
    echo << command << std::endl;
    bool ok = shell_succeeded(shell_system(command));
    if (ok && !check(temp)) {
        ok = false;
        libutils::report(std::cerr, temp, ": ffmpeg's output is not complete.");
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        libutils::report(std::cerr, target, ": ", std::strerror(errno));
    }
    if (!ok) {
        ::unlink(temp.c_str());
        // An older target stays stale: the next run makes it again.
        ::unlink(target.c_str());
    }
    return ok;
}

}  // namespace

bool ffconvertone(const std::string& source, const std::string& target,
                  const libgr::direction2ul_t& size) {
    if (!must_make(source, target)) return true;
    return run_maker(
        target, std::cout,
        [&](const std::string& temp) { return ffconvert_command(source, temp, size); },
        ffreadable);
}

bool ffsavethumbnail(const std::string& movie, const std::string& jpg,
                     const libgr::direction2ul_t& size) {
    if (!must_make(movie, jpg)) return true;
    return run_maker(
        jpg, std::cerr,
        [&](const std::string& temp) { return ffthumbnail_command(movie, temp, size); },
        is_whole_jpeg);
}

bool ffshrinkone(const path_t& path, const std::vector<std::string>& names, const std::string& mp4,
                 uint64_t level, const libgr::direction2ul_t& size) {
    if (names.size() < level + 2) {
        return libutils::fail(std::cerr, mp4, ": ffshrinkone() too few level names.");
    }
    const std::string jpg = replace_extension(mp4, ".jpg");
    std::string source = path.str(names[0], mp4);
    libgr::direction2ul_t s = size;
    for (uint64_t i = 1; i <= level + 1; ++i) {
        // Half the size, each side made even (the H.264 encoder's 4:2:0
        // needs even sides).
        s.x = (s.x / 2) & ~1u;
        s.y = (s.y / 2) & ~1u;
        std::string target = path.str(names[i], mp4);
        if (!ffconvertone(source, target, s)) return false;
        if (!ffsavethumbnail(target, path.str(names[i], jpg), libgr::datum2ul)) {
            return libutils::fail(std::cerr, target, ": movie thumbnail save failed.");
        }
        source = target;
    }
    return true;
}

bool ffmovie(const path_t& path, const std::string& name, std::ostream& err) {
    libgr::direction2ul_t size;
    std::string info;
    uint64_t level = getffshrinklevel(path, "original", name, size, info);
    std::vector<std::string> names = movielevelnames(level);
    for (const std::string& n : names) libutils::mkdir(path.str(n));

    const std::string mp4 = replace_extension(name, ".mp4");
    const std::string jpg = replace_extension(name, ".jpg");
    const std::string movie0 = path.str(names[0], mp4);
    if (!ffconvertone(path.str("original", name), movie0, size)) {
        return libutils::fail(err, movie0, ": ffconvertone() fail.");
    }
    if (!ffsavethumbnail(movie0, path.str(names[0], jpg), libgr::datum2ul)) {
        return libutils::fail(err, movie0, ": movie thumbnail save failed.");
    }
    if (!ffshrinkone(path, names, mp4, level, size)) {
        return libutils::fail(err, movie0, ": ffshrinkone() fail.");
    }
    return true;
}

}  // namespace snapfolio
