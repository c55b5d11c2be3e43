// The album model: how an album directory is named (path_t), one file chosen
// for import (files_t), and the seven per-album mark lists kept as text files
// in the album's "txt/" directory (best_t, album_t).
//
// Album directory layout: "original/" (the camera files), "size0/" up to
// "size<L+1>/" (the halved copies), "thumb/", "movie0/" and up, "txt/" (marks,
// comments, counters, other imported files), "html/" (zoom pages),
// "index.html" and "list.html". A directory is an album exactly when it has
// "original/"; names beginning with "_" hold books and best-of collections.
#pragma once

#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <utility>

namespace snapfolio {

// The album root, the parent's path below it and the album's own name.
// Pieces are joined with "/", put only between two non-empty pieces, so
// empty pieces vanish without doubled slashes.
struct path_t {
    std::string root;
    std::string dir;
    std::string name;

    path_t() = default;
    path_t(std::string root_, std::string dir_, std::string name_)
        : root(std::move(root_)), dir(std::move(dir_)), name(std::move(name_)) {}

    void submake(std::string& out) const;  // dir/name
    void make(std::string& out) const;     // root/dir/name
    void make(std::string& out, const std::string& a) const;
    void make(std::string& out, const std::string& a, const std::string& b) const;
    // make() as a value: root/dir/name[/a[/b]].
    std::string str(const std::string& a = std::string(),
                    const std::string& b = std::string()) const;
};

// One file chosen for import: its name and the clockwise quarter turns asked
// for (0 for none).
struct files_t {
    std::string name;
    uint64_t rotate = 0;
};

// Photos are .jpg/.jpeg files, movies .avi/.mov/.mpg/.mp4, in any case.
bool is_photo(const std::string& name);
bool is_movie(const std::string& name);

// One mark list: file names, one per line (CR LF), in byte order.
struct best_t {
    std::string file;             // full path of the list's text file, set by load
    std::set<std::string> names;  // the names marked
    bool nonempty = false;        // a load read at least one name
    bool dirty = false;           // changed since the last load or save

    // Reads path/txt/filename; false when it cannot be opened (names empty).
    bool load(const path_t& path, const std::string& filename);
    // Writes the list when dirty; false when clean or when it cannot be
    // written (then it stays dirty, and a line goes to standard error).
    bool save();
    bool save(std::ostream& err);  // the same, the line on err
    bool find(const std::string& name) const { return names.count(name) != 0; }
    void insert(const std::string& name);
    void erase(const std::string& name);
};

// An album's seven mark lists.
struct album_t {
    path_t path;
    best_t best;
    best_t apply;
    best_t submit;
    best_t print;
    best_t upload;
    best_t good;
    best_t fail;
    bool dirty_flag = false;  // comments changed through a dialog

    // Loads all seven lists and adds to good every name of the five mark
    // lists; true only when all seven files could be opened.
    bool load(const path_t& path);
    // Saves best, apply, submit, print and upload where changed; true when
    // anything was written or the album was marked dirty. Good and fail are
    // saved by the dialogs that change them.
    bool save();
    void dirty() { dirty_flag = true; }

    bool is_best(const std::string& name) const { return best.find(name); }
    bool is_apply(const std::string& name) const { return apply.find(name); }
    bool is_submit(const std::string& name) const { return submit.find(name); }
    bool is_print(const std::string& name) const { return print.find(name); }
    bool is_upload(const std::string& name) const { return upload.find(name); }
    bool is_good(const std::string& name) const { return good.find(name); }
    bool is_fail(const std::string& name) const { return fail.find(name); }
    // In best, apply, submit, print or upload (good and fail not consulted).
    bool isfind(const std::string& name) const;
};

}  // namespace snapfolio
