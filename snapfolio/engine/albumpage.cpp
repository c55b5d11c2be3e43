#include "snapfolio/engine/albumpage.h"

#include <iostream>
#include <string>
#include <vector>

#include "libutils/error.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "libutils/text.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/exifdesc.h"
#include "snapfolio/engine/htmlpage.h"
#include "snapfolio/engine/levels.h"

namespace snapfolio {

namespace {

// What the album's pages are made of.
struct album_texts_t {
    std::string title;
    std::vector<std::string> head, last;
};

album_texts_t load_texts(const path_t& path) {
    album_texts_t t;
    std::string head, last;
    loadcommenttxt(path, t.title, head, last);
    t.head = text_lines(head);
    t.last = text_lines(last);
    return t;
}

// Head with title, the title as a heading, then the head text.
void write_top(std::ostream& out, const album_texts_t& t) {
    write_head(out, &t.title);
    out << "\t<CENTER><h1>" << t.title << "</h1></CENTER>\n";
    writephotocomment(out, t.head, 0);
}

// The last text, the way up to the book, the foot.
void write_bottom(std::ostream& out, const album_texts_t& t) {
    writephotocomment(out, t.last, 0);
    out << "<p><center><a href=\"../index.html\">UP</a></center>\n";
    write_foot(out);
}

const char* const open_error = ": open error, ";

}  // namespace

bool makehtml(const path_t& path, sigc::signal<void, double>& progress, std::ostream& err) {
    album_t album;
    album.load(path);
    const album_texts_t texts = load_texts(path);
    std::vector<std::string> originals, photos;
    libutils::getfiles(originals, path.str("original"));
    libutils::getfiles(photos, path.str("thumb"));
    const entry_style_t style;

    libutils::atomic_ofstream index;
    if (!open_page(index, path.str("index.html"), err, open_error, true)) return false;
    write_top(index, texts);
    index << "<p>\n";
    size_t movies = 0;
    for (const std::string& name : originals) {
        if (!is_movie(name)) continue;
        if (!write_movie_entry(index, album, name, style)) return false;
        ++movies;
    }
    for (size_t i = 0; i < photos.size(); ++i) {
        if (!write_photo_entry(index, album, photos[i], style, err)) return false;
        progress.emit(double(i + 1) / double(photos.size()));
    }
    write_bottom(index, texts);
    if (!commit_page(index, err)) return false;

    libutils::atomic_ofstream list;
    if (!open_page(list, path.str("list.html"), err, open_error, true)) return false;
    write_top(list, texts);
    list << "<br>\n\n";
    for (const std::string& name : originals)
        if (is_movie(name)) write_movie_line(list, album, name, style);
    for (const std::string& name : photos) write_photo_line(list, album, name, style);
    write_bottom(list, texts);
    if (!commit_page(list, err)) return false;

    // The counter lives with the marks; an album made without a title has
    // no "txt" directory yet.
    libutils::mkdir(path.str("txt"));
    return write_text_file(path.str("txt", "count.txt"), count_line(movies, photos.size()) + "\n",
                           err, open_error);
}

bool makehtmlzoom(const path_t& path, sigc::signal<void, double>& progress) {
    libutils::mkdir(path.str("html"));
    std::vector<std::string> photos;
    if (!libutils::getfiles(photos, path.str("thumb"))) return true;
    album_t album;
    album.load(path);

    for (size_t i = 0; i < photos.size(); ++i) {
        const std::string& name = photos[i];
        const uint64_t level = getshrinklevel(path, name);
        const std::vector<std::string> names = levelnames(level);
        const std::vector<std::string> pages = photo_zoompages(name, level);
        std::vector<std::string> comment;
        loadphotocommentlines(comment, path, name);
        for (std::string& line : comment) libutils::chop(line);

        for (uint64_t j = 0; j < level; ++j) {
            libutils::atomic_ofstream out;
            if (!open_page(out, path.str("html", pages[j]), std::cerr, ": write open error.",
                           false))
                return false;
            write_head(out, nullptr);
            out << "\t<li>" << html_text(name);
            if (album.is_good(name)) write_marks(out, album, name, false);
            out << "\n\t<br clear=all>\n";
            // Up to the next larger size: its zoom page, or the full size.
            const std::string target = j > 0 ? pages[j - 1] : "../" + names[0] + "/" + name;
            const std::string here = url("../" + names[j + 1] + "/" + name);
            out << "<a href=\"" << url(target) << "\"><IMG SRC=\"" << here << "\" SRCSET=\"" << here
                << " 1x," << url("../" + names[j] + "/" + name) << " 2x"
                << "\" ALIGN=\"left\"></a>\n";
            writephotocomment(out, comment, 1);
            out << "\t<br clear=all>\n";
            writeexif(out, path, "original", name, true);
            write_foot(out);
            if (!commit_page(out, std::cerr)) return false;
        }
        progress.emit(double(i + 1) / double(photos.size()));
    }
    return true;
}

}  // namespace snapfolio
