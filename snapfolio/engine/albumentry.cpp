#include "snapfolio/engine/albumentry.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "libgr/jpeg/jpegdata.h"
#include "libgr/jpeg/jpeginfo.h"
#include "libutils/error.h"
#include "libutils/path.h"
#include "libutils/text.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/exifdesc.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/htmlpage.h"
#include "snapfolio/engine/levels.h"
#include "snapfolio/engine/movie.h"
#include "snapfolio/engine/moviepage.h"

namespace snapfolio {

namespace {

const char* const frame_begin = "<table align=left border=5><td>";
const char* const frame_end = "</table>";

// Whether the picture is framed on the detailed page and bordered on the
// compact one.
bool is_framed(const album_t& album, const std::string& name, const entry_style_t& style) {
    return style.collection ? album.isfind(name) : album.is_good(name);
}

void write_comment(std::ostream& out, const path_t& path, const std::string& name) {
    std::vector<std::string> lines;
    loadphotocommentlines(lines, path, name);
    for (std::string& line : lines) libutils::chop(line);
    writephotocomment(out, lines, 1);
}

std::string level_file(const std::string& level, const std::string& name) {
    return level + "/" + name;
}

std::string movie_level(uint64_t level) {
    return "movie" + std::to_string(level);
}

// A size halved `shift` times, as the pages give it to the video element.
uint64_t shifted(uint32_t side, uint64_t shift) {
    return shift < 64 ? uint64_t(side) >> shift : 0;
}

bool report_errno(std::ostream& err, const std::string& file, int e) {
    return libutils::fail(err, file, ": ", std::strerror(e));
}

}  // namespace

std::vector<std::string> photo_zoompages(const std::string& name, uint64_t level) {
    const std::string base = libutils::basename(name);
    std::vector<std::string> pages;
    for (uint64_t k = 1; k <= level; ++k) pages.push_back(base + "_" + std::to_string(k) + ".html");
    return pages;
}

bool writelink(std::ostream& out, const path_t& path, const std::string& prefix,
               const std::vector<std::string>& names, const std::vector<std::string>& zoompages,
               const std::string& name, std::ostream& err) {
    const uint64_t level = getshrinklevel(path, name);
    if (names.size() < level || zoompages.size() + 1 < level) {
        return libutils::fail(err, name, ": writelink() too few level or page names.");
    }
    for (uint64_t j = 0; j < level; ++j) {
        const std::string file = path.str(names[j], name);
        libgr::jpegdata_t data;
        if (!data.load(file.c_str())) return report_errno(err, file, errno);
        libgr::jpeginfo_t info;
        if (!info.analyze_markers(data)) {
            return libutils::fail(err, file, ": jpeg analyze_markers() failed.");
        }
        struct stat st;
        if (::stat(file.c_str(), &st) != 0) return report_errno(err, file, errno);
        const uint64_t kib = (uint64_t(st.st_size) + 1023) / 1024;
        const std::string target = j == 0 ? level_file(names[0], name) : "html/" + zoompages[j - 1];
        out << "\t<br><a href=\"" << url(prefix + target) << "\">" << info.width << 'x'
            << info.height << " (" << kib << "k)</a>\n";
    }
    return true;
}

bool write_movie_entry(std::ostream& out, const album_t& album, const std::string& name,
                       const entry_style_t& style) {
    const path_t& path = album.path;
    libgr::direction2ul_t size;
    std::string info;
    const uint64_t level = getffshrinklevel(path, "original", name, size, info);
    const std::string mp4 = replace_extension(name, ".mp4");
    std::vector<std::string> pages1, pages2;
    movie_zoompages(name, level, pages1, pages2);

    out << "\t<li>" << html_text(style.prefix + name);
    write_marks(out, album, name, false);
    out << '\n';
    if (!writefflink(out, path, style.prefix, movielevelnames(level), pages1, pages2, name, info))
        return false;

    const bool framed = is_framed(album, name, style);
    out << "\t<br>\n\t";
    if (framed) out << frame_begin;
    out << "<video controls";
    uint64_t source = level;
    if (!g_global.movie_thumbnail_retina) {
        source = level;
    } else if (level == 0) {
        out << " width=\"" << size.x / 2 << "px\""
            << " height=\"" << size.y / 2 << "px\"";
        source = 0;
    } else {
        out << " width=\"" << shifted(size.x, level) << "px\""
            << " height=\"" << shifted(size.y, level) << "px\"";
        source = level - 1;
    }
    out << " src=\"" << url(style.prefix + level_file(movie_level(source), mp4)) << "\">\n";
    out << "\t</video>";
    if (framed) out << frame_end;
    out << '\n';

    write_comment(out, path, name);
    out << "\t<br clear=all>\n\t" << html_text(info) << "\n\t<p>\n";
    return true;
}

bool write_photo_entry(std::ostream& out, const album_t& album, const std::string& name,
                       const entry_style_t& style, std::ostream& err) {
    const path_t& path = album.path;
    const uint64_t level = getshrinklevel(path, name);
    const std::vector<std::string> names = levelnames(level);
    const std::vector<std::string> pages = photo_zoompages(name, level);
    const std::string& p = style.prefix;

    out << "\t<li>" << html_text(p + name);
    write_marks(out, album, name, !style.collection);
    out << '\n';
    if (!writelink(out, path, p, names, pages, name, err)) return false;

    const bool framed = is_framed(album, name, style);
    out << "\t<br>";
    if (framed) out << frame_begin;
    if (level > 0) {
        // The next larger size: its zoom page, or the full size itself.
        const std::string target =
            level > 1 ? "html/" + pages[level - 2] : level_file(names[0], name);
        out << "<a href=\"" << url(p + target) << "\">";
    }
    out << "<IMG SRC=\"" << url(p + level_file(names[level], name));
    if (level > 0)
        out << "\" SRCSET=\"" << url(p + level_file(names[level], name)) << " 1x,"
            << url(p + level_file(names[level - 1], name)) << " 2x";
    out << "\" ALIGN=\"left\">";
    if (level > 0) out << "</a>";
    if (framed) out << frame_end;
    out << '\n';

    write_comment(out, path, name);
    out << "\t<br clear=all>\n";
    writeexif(out, path, "original", name, true);
    if (!style.collection) out << "\t<p>\n\n";
    return true;
}

uint64_t play_halvings(uint64_t width, uint64_t height) {
    return halvings_to_fit(width, height, g_global.play_size_x, g_global.play_size_y);
}

std::string movie_play_target(const std::string& name, uint64_t level, uint64_t halvings,
                              bool retina) {
    const std::string full = level_file("movie0", replace_extension(name, ".mp4"));
    // Zoom pages exist for levels 1 .. M only ("_1_") and for the halves of
    // levels 0 .. M-1 ("_2_"): a movie that needs more halvings than its
    // levels give is linked to its smallest page, and one that plays at full
    // size to its converted file.
    const uint64_t k = std::min(halvings, level);
    if (k == 0) return full;
    const std::string base = libutils::basename(name);
    if (retina) return "html/" + base + "_2_" + std::to_string(k - 1) + ".html";
    return "html/" + base + "_1_" + std::to_string(k) + ".html";
}

void write_movie_line(std::ostream& out, const album_t& album, const std::string& name,
                      const entry_style_t& style) {
    libgr::direction2ul_t size;
    std::string info;
    const uint64_t level = getffshrinklevel(album.path, "original", name, size, info);
    const std::string jpg = replace_extension(name, ".jpg");
    const std::string& p = style.prefix;
    const std::string target = movie_play_target(name, level, play_halvings(size.x, size.y),
                                                 g_global.movie_thumbnail_retina);
    // The plain source is the smallest still the movie chain makes, the one
    // the source set gives for normal screens.
    const std::string still = url(p + level_file(movie_level(level + 1), jpg));
    out << "<a href=\"" << url(p + target) << "\"><IMG SRC=\"" << still << "\" SRCSET=\"" << still
        << " 1x," << url(p + level_file(movie_level(level), jpg)) << " 2x\"";
    if (is_framed(album, name, style)) out << " border=2";
    out << "></a>\n";
}

void write_photo_line(std::ostream& out, const album_t& album, const std::string& name,
                      const entry_style_t& style) {
    const uint64_t level = getshrinklevel(album.path, name);
    const std::vector<std::string> names = levelnames(level);
    const std::string& p = style.prefix;
    const std::string target =
        level > 0 ? "html/" + photo_zoompages(name, level)[level - 1] : level_file(names[0], name);
    out << "<a href=\"" << url(p + target) << "\"><IMG SRC=\""
        << url(p + level_file(names[level + 2], name)) << "\" SRCSET=\""
        << url(p + level_file(names[level + 1], name)) << " 1x,"
        << url(p + level_file(names[level], name)) << " 2x\"";
    if (is_framed(album, name, style)) out << " border=2";
    out << "></a>\n";
}

std::string count_line(size_t movies, size_t photos) {
    return (movies > 0 ? std::to_string(movies) : std::string()) + "+" + std::to_string(photos);
}

std::string read_count(const std::string& dir) {
    std::ifstream in(dir + "/txt/count.txt", std::ios::binary);
    std::string line;
    if (!in || !std::getline(in, line)) return std::string();
    libutils::chop2(line);
    return line;
}

}  // namespace snapfolio
