#include "snapfolio/engine/moviepage.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <iostream>

#include "libutils/atomicfile.h"
#include "libutils/error.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "snapfolio/engine/htmlpage.h"
#include "snapfolio/engine/movie.h"

namespace snapfolio {

namespace {

// The file's size in KiB rounded up; false, with its path and the system's
// error text on standard error, when it cannot be examined.
bool kib_of(const std::string& file, uint64_t& kib) {
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) {
        return libutils::fail(std::cerr, file, ": ", std::strerror(errno));
    }
    kib = ((uint64_t)st.st_size + 1023) / 1024;
    return true;
}

void write_size_text(std::ostream& out, const libgr::direction2ul_t& size, uint64_t kib) {
    out << size.x << 'x' << size.y << " (" << kib << "k)";
}

}  // namespace

void movie_zoompages(const std::string& name, uint64_t level, std::vector<std::string>& pages1,
                     std::vector<std::string>& pages2) {
    const std::string base = libutils::basename(name);
    pages1.clear();
    pages2.clear();
    for (uint64_t k = 1; k <= level; ++k)
        pages1.push_back(base + "_1_" + std::to_string(k) + ".html");
    for (uint64_t k = 0; k < level; ++k)
        pages2.push_back(base + "_2_" + std::to_string(k) + ".html");
}

bool writefflink(std::ostream& out, const path_t& path, const std::string& prefix,
                 const std::vector<std::string>& names, const std::vector<std::string>& pages1,
                 const std::vector<std::string>& pages2, const std::string& name,
                 std::string& info) {
    libgr::direction2ul_t size;
    uint64_t level = getffshrinklevel(path, "original", name, size, info);
    if (names.size() < level || pages1.size() + 1 < level || pages2.size() < level) {
        return libutils::fail(std::cerr, name, ": writefflink() too few level or page names.");
    }
    uint64_t kib = 0;
    if (!kib_of(path.str("original", name), kib)) return false;
    out << "\t<br><a href=\"" << url(prefix + "original/" + name) << "\">";
    write_size_text(out, size, kib);
    out << "</a>\n";

    const std::string mp4 = replace_extension(name, ".mp4");
    for (uint64_t j = 0; j < level; ++j) {
        const std::string file = path.str(names[j], mp4);
        libgr::direction2ul_t levelsize;
        std::string levelinfo;
        ffidentify(file, levelsize, levelinfo);
        if (!kib_of(file, kib)) return false;
        const std::string target = j > 0 ? "html/" + pages1[j - 1] : names[j] + "/" + mp4;
        out << "\t<br><a href=\"" << url(prefix + target) << "\">";
        write_size_text(out, levelsize, kib);
        out << "</a> <a href=\"" << url(prefix + "html/" + pages2[j]) << "\">Retina";
        write_size_text(out, levelsize, kib);
        out << "</a>\n";
    }
    return true;
}

namespace {

// Replaces one zoom page with what write() puts into it.
template <class F>
bool write_page(const std::string& file, F write) {
    libutils::atomic_ofstream out;
    if (!out.open(file)) {
        return libutils::fail(std::cerr, file, ": write open error.");
    }
    write(out);
    if (!out.commit()) {
        return libutils::fail(std::cerr, file, ": write error, ", std::strerror(errno));
    }
    return true;
}

}  // namespace

bool makehtmlffzoom(const path_t& path, sigc::signal<void, double>& progress) {
    libutils::mkdir(path.str("html"));
    std::vector<std::string> files;
    if (!libutils::getfiles(files, path.str("original"))) return true;
    album_t album;
    album.load(path);

    const size_t n = files.size();
    for (size_t i = 0; i < n; ++i) {
        const std::string& name = files[i];
        if (!is_movie(name)) continue;
        libgr::direction2ul_t size;
        std::string info;
        const uint64_t level = getffshrinklevel(path, "original", name, size, info);
        const std::string mp4 = replace_extension(name, ".mp4");
        std::vector<std::string> pages1, pages2;
        movie_zoompages(name, level, pages1, pages2);

        auto entry = [&](std::ostream& out) {
            write_head(out, nullptr);
            out << "\t<li>" << html_text(mp4);
            if (album.is_good(name)) write_marks(out, album, name, false);
            out << "\n\t<br clear=all>\n";
        };
        for (uint64_t k = 1; k <= level; ++k) {
            const std::string src = url("../movie" + std::to_string(k) + "/" + mp4);
            bool ok = write_page(path.str("html", pages1[k - 1]), [&](std::ostream& out) {
                entry(out);
                out << "\t<video controls>\n";
                out << "\t<source src=\"" << src << "\">\n";
                out << "\t</video>\t<p>\n";
                write_foot(out);
            });
            if (!ok) return false;

            const std::string src2 = url("../movie" + std::to_string(k - 1) + "/" + mp4);
            ok = write_page(path.str("html", pages2[k - 1]), [&](std::ostream& out) {
                entry(out);
                out << "\t<video controls  width=\"" << ((uint64_t)size.x >> k) << "px\" height=\""
                    << ((uint64_t)size.y >> k) << "px\" src=\"" << src2 << "\">\n";
                out << "\t</video>\n";
                write_foot(out);
            });
            if (!ok) return false;
        }
        progress.emit((double)(i + 1) / (double)n);
    }
    return true;
}

}  // namespace snapfolio
