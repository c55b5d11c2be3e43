// snapfolio-cli make CAMERA_DIR ALBUM_DIR [FILE[:DEGREES]]...: what the
// make-album dialog does on OK, without windows. The album folder is made
// when missing, and so are the books above it (as mkdir -p would, each
// with its name as title); the title, texts and secret flag the dialog asks
// for come from --title, --begin, --last and --secret; the named files, or
// every photo and movie of the camera folder, are imported with their
// turns; the album's levels and pages are made; then the pages of the books
// above it are rewritten.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "libutils/error.h"
#include "libutils/file.h"
#include "snapfolio/cli/albumargs.h"
#include "snapfolio/cli/commands.h"
#include "snapfolio/cli/options.h"
#include "snapfolio/cli/progress.h"
#include "snapfolio/cli/run.h"
#include "snapfolio/engine/bookpage.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/chain.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/entryops.h"
#include "snapfolio/engine/filestat.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/htmlpage.h"

namespace snapfolio {

namespace {

// Degrees clockwise as quarter turns; any other angle is reported and taken
// as no turn, as the dialogs do.
uint64_t quarter_turns(const cli_context_t& c, const std::string& name,
                       const std::string& degrees) {
    const long angle = std::strtol(degrees.c_str(), nullptr, 10);
    switch (angle) {
        case 0:
            return 0;
        case 90:
            return 1;
        case 180:
            return 2;
        case 270:
            return 3;
        default:
            libutils::report(c.err, name, ": ", degrees, ": not 90/180/270.");
            return 0;
    }
}

bool is_angle(const std::string& text) {
    size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size() || text.size() - i > 9) return false;
    for (; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// FILE or FILE:DEGREES. A name that is itself a file of the camera folder
// is taken whole, so names holding ":" still work.
files_t file_argument(const cli_context_t& c, const std::string& camera, const std::string& arg) {
    const size_t colon = arg.rfind(':');
    if (is_exist(camera + "/" + arg) || colon == std::string::npos || colon + 1 == arg.size() ||
        !is_angle(arg.substr(colon + 1)))
        return files_t{arg, 0};
    const std::string name = arg.substr(0, colon);
    return files_t{name, quarter_turns(c, name, arg.substr(colon + 1))};
}

// Every photo and movie of the camera folder, unturned.
bool all_pictures(const cli_context_t& c, const std::string& camera, std::vector<files_t>& files) {
    std::vector<std::string> names;
    if (!libutils::getfiles(names, camera))
        return libutils::fail(c.err, camera, ": open error, ", std::strerror(errno));
    for (const std::string& name : names)
        if (is_photo(name) || is_movie(name)) files.push_back(files_t{name, 0});
    if (files.empty()) return libutils::fail(c.err, camera, ": no photo or movie to import.");
    return true;
}

// The deepest existing folder above path ("." for a relative name without
// one), and the missing books between it and path's parent.
void existing_above(const std::string& path, std::string& base, std::string& missing) {
    std::string parent = path;
    while (parent.size() > 1 && parent.back() == '/') parent.pop_back();
    size_t slash = parent.rfind('/');
    parent = slash == std::string::npos ? "." : slash == 0 ? "/" : parent.substr(0, slash);
    missing.clear();
    while (!is_exist(parent) && parent != "." && parent != "/") {
        slash = parent.rfind('/');
        const std::string leaf = slash == std::string::npos ? parent : parent.substr(slash + 1);
        missing = missing.empty() ? leaf : leaf + "/" + missing;
        parent = slash == std::string::npos ? "." : slash == 0 ? "/" : parent.substr(0, slash);
    }
    base = parent;
}

// The album folder, made when missing, with the books above it; `books`
// gets the folders whose pages list the album, innermost first.
bool album_folder(const cli_context_t& c, const std::string& arg, path_t& album,
                  std::vector<std::string>& books) {
    std::string base, missing;
    existing_above(arg, base, missing);
    if (!missing.empty() && !make_books(base, missing, c.err)) return false;
    if (::mkdir(arg.c_str(), 0755) != 0 && errno != EEXIST)
        return libutils::fail(c.err, arg, ": mkdir error, ", std::strerror(errno));
    if (!folder_path(album, arg, c.err)) return false;
    books.push_back(album.dir);
    for (size_t n = missing.empty() ? 0 : std::count(missing.begin(), missing.end(), '/') + 1;
         n > 0; --n)
        books.push_back(books.back().substr(0, books.back().rfind('/')));
    return true;
}

// Title and texts from the options, else as the album has them; a missing
// title is the folder's name, so that the book page lists the album. The
// secret flag is the album's own (or, for a new album, its book's), or set
// by --secret, as the dialog offers it.
bool album_texts(const cli_context_t& c, const path_t& album, bool new_album) {
    const cli_options_t& o = *c.options;
    std::string title, head, last;
    loadcomment(album.str("txt"), title, head, last);
    const bool given = o.title || o.begin || o.last;
    if (o.title) title = *o.title;
    if (o.begin) head = *o.begin;
    if (o.last) last = *o.last;
    const bool untitled = title.empty();
    // Titles are the owner's markup: the folder's name goes in as text.
    if (untitled) title = html_text(album.name);
    if ((given || untitled) && !savecommenttxt(album, title, head, last, c.err)) return false;
    const bool secret = o.secret || is_secret(new_album ? album.dir : album.str());
    return set_secret(album.str(), secret, c.err);
}

}  // namespace

int command_make(const cli_context_t& c, const std::vector<std::string>& args) {
    if (args.size() < 2)
        return usage_error(c.err, "make", "needs a camera folder and an album folder", "help make");
    const std::string& camera = args[0];
    if (!is_dir(camera)) {
        libutils::report(c.err, camera, ": not a folder.");
        return exit_failed;
    }
    std::vector<files_t> files;
    if (args.size() == 2) {
        if (!all_pictures(c, camera, files)) return exit_failed;
    } else {
        for (size_t i = 2; i < args.size(); ++i) files.push_back(file_argument(c, camera, args[i]));
    }
    bool named_files_exist = true;
    for (const files_t& f : files)
        if (!is_exist(camera + "/" + f.name))
            named_files_exist = libutils::fail(c.err, camera + "/" + f.name, ": no such file.");
    if (!named_files_exist) return exit_failed;

    path_t album;
    std::vector<std::string> books;
    const bool new_album = !is_exist(args[1]);
    if (!album_folder(c, args[1], album, books)) return exit_failed;
    if (!album_texts(c, album, new_album)) return exit_failed;

    bool ok;
    {
        progress_printer_t printer;
        progress_signals_t signals;
        printer.connect(signals);
        ok = makealbumwithrotate(camera, files, album, signals, c.err);
    }
    // The book pages, also after a failed chain (an album with a photo left
    // out is complete otherwise): the books made now, then the lowest of
    // them and every book above it up to the album root, so that no "UP"
    // link of a new book leads to a page that does not exist.
    bool pages = true;
    for (size_t i = 0; pages && i + 1 < books.size(); ++i)
        pages = makehtmlbook(path_t("", "", books[i]), c.err);
    if (!pages || !makehtmlbooks_above(books.back(), g_global.album, c.err)) {
        libutils::report(c.err, "makehtmlbook() fail.");
        return exit_failed;
    }
    if (!ok) return exit_failed;
    return exit_ok;
}

}  // namespace snapfolio
