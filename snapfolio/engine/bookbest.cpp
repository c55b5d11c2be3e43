#include "snapfolio/engine/bookbest.h"

#include <sys/stat.h>

#include <iostream>
#include <string>
#include <vector>

#include "libutils/error.h"
#include "libutils/path.h"
#include "snapfolio/engine/albumentry.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/filestat.h"
#include "snapfolio/engine/htmlpage.h"
#include "snapfolio/engine/message.h"

namespace snapfolio {

namespace {

// One source album and the names it contributes, in byte order.
struct source_t {
    album_t album;
    entry_style_t style;
    std::vector<std::string> names;
};

std::string without_trailing_slashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// The marked pictures of each album. A mark whose picture is no longer in
// the album is passed over: its entry would only hold broken links.
std::vector<source_t> sources_of(std::vector<album_t>& albums, bool best_only) {
    std::vector<source_t> sources;
    for (album_t& a : albums) {
        source_t s;
        s.album = a;
        std::string below;
        a.path.submake(below);
        s.style.prefix = "../" + below + "/";
        s.style.collection = true;
        for (const std::string& name : (best_only ? a.best : a.good).names)
            if ((is_photo(name) || is_movie(name)) && is_exist(a.path.str("original", name)))
                s.names.push_back(name);
        sources.push_back(std::move(s));
    }
    return sources;
}

bool make_collection(const std::string& bookdir_, const char* dirname, bool book_wide,
                     sigc::signal<void, double>& index_progress,
                     sigc::signal<void, double>& list_progress) {
    const std::string bookdir = without_trailing_slashes(bookdir_);
    std::vector<std::string> dirs;
    if (!book_entries(dirs, bookdir, book_wide)) {
        return libutils::fail(std::cerr, bookdir, ": getdirs() fail.");
    }
    // Albums are named relative to the book: their submake() is the path
    // the collection's links take from the directory beside them.
    const path_t book(bookdir, "", "");
    std::vector<album_t> albums;
    if (book_wide) {
        hierar_albums(book, dirs, albums);
    } else {
        for (const std::string& d : dirs) {
            albums.emplace_back();
            albums.back().load(path_t(bookdir, "", d));
        }
    }
    const std::vector<source_t> sources = sources_of(albums, book_wide);

    const path_t collection(bookdir, "", dirname);
    libutils::mkdir(collection.str());
    std::string title, head, last;
    loadcomment(collection.str("txt"), title, head, last);
    if (title.empty()) {
        // The title is the owner's markup from now on: the book's name goes
        // in as text.
        title = html_text(libutils::basename2(bookdir)) + " " + getmsg(msg_best_pictures);
        savecommenttxt(collection, title, head, last, std::cerr);
    }
    const std::vector<std::string> head_lines = text_lines(head), last_lines = text_lines(last);
    auto top = [&](std::ostream& out) {
        write_head(out, &title);
        out << "\t<CENTER><h1>" << title << "</h1></CENTER>\n";
        writephotocomment(out, head_lines, 0);
    };
    auto bottom = [&](std::ostream& out) {
        writephotocomment(out, last_lines, 0);
        out << "<p><center><a href=\"../index.html\">UP</a></center>\n";
        write_foot(out);
    };
    const char* const open_error = ": open error, ";
    const double n = double(sources.size());

    libutils::atomic_ofstream index;
    if (!open_page(index, collection.str("index.html"), std::cerr, open_error, true)) return false;
    top(index);
    index << "<p>\n";
    size_t movies = 0, photos = 0;
    for (size_t i = 0; i < sources.size(); ++i) {
        const source_t& s = sources[i];
        for (const std::string& name : s.names) {
            if (is_movie(name)) {
                if (!write_movie_entry(index, s.album, name, s.style)) return false;
                ++movies;
            } else {
                if (!write_photo_entry(index, s.album, name, s.style, std::cerr)) return false;
                ++photos;
            }
        }
        index_progress.emit(double(i + 1) / n);
    }
    bottom(index);
    if (!commit_page(index, std::cerr)) return false;

    libutils::atomic_ofstream list;
    if (!open_page(list, collection.str("list.html"), std::cerr, open_error, true)) return false;
    top(list);
    list << "<br>\n\n";
    for (size_t i = 0; i < sources.size(); ++i) {
        const source_t& s = sources[i];
        for (const std::string& name : s.names) {
            if (is_movie(name))
                write_movie_line(list, s.album, name, s.style);
            else
                write_photo_line(list, s.album, name, s.style);
        }
        // Albums are told apart on the compact page by a bar before the
        // next album's first picture.
        list << " | ";
        list_progress.emit(double(i + 1) / n);
    }
    bottom(list);
    if (!commit_page(list, std::cerr)) return false;

    libutils::mkdir(collection.str("txt"));
    return write_text_file(collection.str("txt", "count.txt"), count_line(movies, photos) + "\n",
                           std::cerr, open_error);
}

}  // namespace

bool makebesthtml(const path_t& path, sigc::signal<void, double>& index_progress,
                  sigc::signal<void, double>& list_progress) {
    return make_collection(path.dir, "_Best", false, index_progress, list_progress);
}

bool makebestbookhtml(const path_t& path, sigc::signal<void, double>& index_progress,
                      sigc::signal<void, double>& list_progress) {
    return make_collection(path.dir, "_BestBook", true, index_progress, list_progress);
}

}  // namespace snapfolio
