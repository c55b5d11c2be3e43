#include "snapfolio/engine/curate.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "libutils/error.h"
#include "libutils/path.h"
#include "snapfolio/engine/albumpage.h"
#include "snapfolio/engine/bookbest.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/filestat.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/moviepage.h"

namespace snapfolio {

namespace {

// Saves one list when it changed; `written` tells whether it was, `failed`
// collects a list that could not be (reported on err by best_t::save).
void save_list(best_t& list, bool& written, bool& failed, std::ostream& err) {
    if (!list.dirty) return;
    if (list.save(err))
        written = true;
    else
        failed = true;
}

// album_t::save with every failure on err: true when anything was written
// or the album's comments changed.
bool save_marks(album_t& album, bool& failed, std::ostream& err) {
    bool written = album.dirty_flag;
    album.dirty_flag = false;
    for (best_t* list : {&album.best, &album.apply, &album.submit, &album.print, &album.upload})
        save_list(*list, written, failed, err);
    return written;
}

std::string without_trailing_slashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// Whether dir lies inside the album root (the root itself is not).
bool below_root(const std::string& dir) {
    const std::string root = without_trailing_slashes(g_global.album) + "/";
    return dir.size() > root.size() && dir.compare(0, root.size(), root) == 0;
}

}  // namespace

uint64_t quarter_turns(const std::string& name, int angle, std::ostream& err) {
    switch (angle) {
        case 0: return 0;
        case 90: return 1;
        case 180: return 2;
        case 270: return 3;
    }
    libutils::report(err, name, ": ", angle, ": not 90/180/270.");
    return 0;
}

bool save_album_marks(album_t& marks, best_t& good, best_t& fail, bool& best_changed,
                      std::ostream& err) {
    bool written = false, failed = false;
    for (best_t* list : {&marks.best, &marks.apply, &marks.submit, &marks.print, &marks.upload})
        save_list(*list, written, failed, err);
    save_list(good, written, failed, err);
    if (written) {
        // The book's good pictures changed: its collection must exist for
        // the pages that list them.
        std::string best_dir = path_t("", marks.path.root, marks.path.dir).str("_Best");
        libutils::mkdir(best_dir);
        if (::mkdir((best_dir + "/txt").c_str(), 0755) != 0 && errno != EEXIST) {
            libutils::report(err, best_dir, "/txt: mkdir error, ", std::strerror(errno));
            failed = true;
        }
        best_changed = true;
    }
    bool fail_written = false;
    save_list(fail, fail_written, failed, err);
    return !failed;
}

bool save_all_comment(const std::string& albumdir, const std::vector<comment_edit_t>& comments,
                      const best_t& good, bool& best_changed, std::ostream& err) {
    bool ok = true;
    for (const comment_edit_t& c : comments) {
        if (c.text == c.loaded) continue;
        if (!savephotocomment(c.text, albumdir, c.name, err)) {
            ok = libutils::fail(err, c.name, ": save comment fail.");
            continue;
        }
        if (good.find(c.name)) best_changed = true;
    }
    return ok;
}

bool set_secret(const path_t& path, bool secret, std::ostream& err) {
    const std::string file = path.str("txt", "secret.txt");
    if (!secret) {
        if (::unlink(file.c_str()) == 0 || errno == ENOENT) return true;
        return libutils::fail(err, file, ": remove error, ", std::strerror(errno));
    }
    if (::access(file.c_str(), F_OK) == 0) return true;
    libutils::mkdir(path.str("txt"));
    std::ofstream out(file, std::ios::binary);
    if (out) return true;
    return libutils::fail(err, file, ": write open error, ", std::strerror(errno));
}

bool rebuild_best_of(const path_t& album, sigc::signal<void, double>& index_progress,
                     sigc::signal<void, double>& list_progress) {
    const std::string book = without_trailing_slashes(path_t("", album.root, album.dir).str());
    bool ok = makebesthtml(path_t("", book, "_Best"), index_progress, list_progress);
    ok = makebestbookhtml(path_t("", book, "_BestBook"), index_progress, list_progress) && ok;
    // Books further up list this album's best pictures in their own
    // book-wide collections.
    for (std::string dir = book; below_root(dir);) {
        dir = without_trailing_slashes(libutils::dirname(dir));
        if (is_dir(dir + "/_BestBook"))
            ok = makebestbookhtml(path_t("", dir, "_BestBook"), index_progress, list_progress) &&
                 ok;
    }
    return ok;
}

bool collection_albums(std::vector<album_t>& albums, const path_t& entry, bool book_wide) {
    albums.clear();
    const std::string bookdir = without_trailing_slashes(entry.dir);
    std::vector<std::string> dirs;
    if (!book_entries(dirs, bookdir, book_wide)) return false;
    if (book_wide) {
        hierar_albums(path_t("", bookdir, ""), dirs, albums);
    } else {
        for (const std::string& d : dirs) {
            albums.emplace_back();
            albums.back().load(path_t("", bookdir, d));
        }
    }
    return true;
}

bool save_collection(std::vector<album_t>& albums, const std::vector<comment_edit_t>& comments,
                     const path_t& entry, bool book_wide, progress_signals_t& progress,
                     std::ostream& err) {
    bool ok = true;
    for (const comment_edit_t& c : comments) {
        if (c.text == c.loaded || c.album >= albums.size()) continue;
        album_t& album = albums[c.album];
        album.dirty();
        if (!savephotocomment(c.text, album.path.str(), c.name, err))
            ok = libutils::fail(err, c.name, ": save comment fail.");
    }
    for (album_t& album : albums) {
        bool failed = false;
        if (save_marks(album, failed, err)) {
            const std::string dir = album.path.str();
            if (!makehtml(album.path, progress.html, err))
                ok = libutils::fail(err, dir, ": makehtml() fail.");
            if (!makehtmlzoom(album.path, progress.zoom) ||
                !makehtmlffzoom(album.path, progress.zoom))
                ok = libutils::fail(err, dir, ": makehtmlzoom() fail.");
        }
        if (failed) ok = false;
    }
    const bool pages = book_wide
                           ? makebestbookhtml(entry, progress.best_index, progress.best_list)
                           : makebesthtml(entry, progress.best_index, progress.best_list);
    if (!pages) ok = libutils::fail(err, entry.str(), ": makebesthtml() fail.");
    return ok;
}

}  // namespace snapfolio
