#include "snapfolio/engine/chain.h"

#include "libutils/error.h"
#include "snapfolio/engine/albumpage.h"
#include "snapfolio/engine/import.h"
#include "snapfolio/engine/levels.h"
#include "snapfolio/engine/moviepage.h"

namespace snapfolio {

namespace {

// The pages, after the levels: index and list pages, then the photo and
// movie zoom pages.
bool makepages(const path_t& path, sigc::signal<void, double>& html_progress,
               sigc::signal<void, double>& zoom_progress, std::ostream& err) {
    if (!makehtml(path, html_progress, err)) return libutils::fail(err, "makehtml() fail.");
    if (!makehtmlzoom(path, zoom_progress)) return libutils::fail(err, "makehtmlzoom() fail.");
    if (!makehtmlffzoom(path, zoom_progress)) return libutils::fail(err, "makehtmlffzoom() fail.");
    return true;
}

// Photos left out were named one by one; the album is complete without
// them, and the chain says so by failing.
bool none_left_out(const path_t& path, size_t left_out, std::ostream& err) {
    if (left_out == 0) return true;
    return libutils::fail(err, path.str(), ": ", left_out,
                          left_out == 1 ? " photo" : " photos", " left out.");
}

bool has_album_name(const path_t& path, std::ostream& err) {
    if (!path.name.empty()) return true;
    return libutils::fail(err, path.str(), ": album directory is empty.");
}

bool make_chain(const std::string& srcdir, const std::vector<files_t>& files, const path_t& path,
                sigc::signal<void, double>& copy_progress,
                sigc::signal<void, double>& shrink_progress,
                sigc::signal<void, double>& html_progress,
                sigc::signal<void, double>& zoom_progress, std::ostream& err,
                tick_signal_t* ticks) {
    if (!has_album_name(path, err)) return false;
    if (!copyfiles(srcdir, files, path, copy_progress, err))
        return libutils::fail(err, "copyfiles() fail.");
    size_t left_out = 0;
    if (!shrink(path, files, shrink_progress, err, &left_out, ticks))
        return libutils::fail(err, "shrink() fail.");
    return makepages(path, html_progress, zoom_progress, err) &&
           none_left_out(path, left_out, err);
}

bool update_chain(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& shrink_progress,
                  sigc::signal<void, double>& html_progress,
                  sigc::signal<void, double>& zoom_progress, std::ostream& err,
                  tick_signal_t* ticks) {
    if (!has_album_name(path, err)) return false;
    size_t left_out = 0;
    if (!shrinkupdate(path, files, shrink_progress, err, &left_out, ticks))
        return libutils::fail(err, "shrinkupdate() fail.");
    return makepages(path, html_progress, zoom_progress, err) &&
           none_left_out(path, left_out, err);
}

}  // namespace

bool makealbumwithrotate(const std::string& srcdir, const std::vector<files_t>& files,
                         const path_t& path, sigc::signal<void, double>& copy_progress,
                         sigc::signal<void, double>& shrink_progress,
                         sigc::signal<void, double>& html_progress,
                         sigc::signal<void, double>& zoom_progress, std::ostream& err) {
    return make_chain(srcdir, files, path, copy_progress, shrink_progress, html_progress,
                      zoom_progress, err, nullptr);
}

bool updatealbum(const path_t& path, const std::vector<files_t>& files,
                 sigc::signal<void, double>& copy_progress,
                 sigc::signal<void, double>& shrink_progress,
                 sigc::signal<void, double>& html_progress,
                 sigc::signal<void, double>& zoom_progress, std::ostream& err) {
    (void)copy_progress;
    return update_chain(path, files, shrink_progress, html_progress, zoom_progress, err, nullptr);
}

bool makealbumwithrotate(const std::string& srcdir, const std::vector<files_t>& files,
                         const path_t& path, progress_signals_t& progress, std::ostream& err) {
    return make_chain(srcdir, files, path, progress.copy, progress.shrink, progress.html,
                      progress.zoom, err, &progress.tick);
}

bool updatealbum(const path_t& path, const std::vector<files_t>& files,
                 progress_signals_t& progress, std::ostream& err) {
    return update_chain(path, files, progress.shrink, progress.html, progress.zoom, err,
                        &progress.tick);
}

}  // namespace snapfolio
