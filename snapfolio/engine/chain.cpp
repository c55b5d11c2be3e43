#include "snapfolio/engine/chain.h"

#include "libutils/error.h"
#include "snapfolio/engine/import.h"
#include "snapfolio/engine/levels.h"

namespace snapfolio {

namespace {

bool fail(std::ostream& err, const char* text) {
    libutils::error();
    err << text << std::endl;
    return false;
}

bool has_album_name(const path_t& path, std::ostream& err) {
    if (!path.name.empty()) return true;
    libutils::error();
    err << path.str() << ": album directory is empty." << std::endl;
    return false;
}

}  // namespace

bool makealbumwithrotate(const std::string& srcdir, const std::vector<files_t>& files,
                         const path_t& path, sigc::signal<void, double>& copy_progress,
                         sigc::signal<void, double>& shrink_progress,
                         sigc::signal<void, double>& html_progress,
                         sigc::signal<void, double>& zoom_progress, std::ostream& err) {
    if (!has_album_name(path, err)) return false;
    if (!copyfiles(srcdir, files, path, copy_progress, err)) return fail(err, "copyfiles() fail.");
    if (!shrink(path, files, shrink_progress, err)) return fail(err, "shrink() fail.");
    // PAGES: makehtml (html_progress), makehtmlzoom and makehtmlffzoom
    // (zoom_progress) go here, each ending the chain when it fails.
    (void)html_progress;
    (void)zoom_progress;
    return true;
}

bool updatealbum(const path_t& path, const std::vector<files_t>& files,
                 sigc::signal<void, double>& copy_progress,
                 sigc::signal<void, double>& shrink_progress,
                 sigc::signal<void, double>& html_progress,
                 sigc::signal<void, double>& zoom_progress, std::ostream& err) {
    (void)copy_progress;
    if (!has_album_name(path, err)) return false;
    if (!shrinkupdate(path, files, shrink_progress, err)) return fail(err, "shrinkupdate() fail.");
    // PAGES: makehtml (html_progress), makehtmlzoom and makehtmlffzoom
    // (zoom_progress) go here, as in makealbumwithrotate.
    (void)html_progress;
    (void)zoom_progress;
    return true;
}

}  // namespace snapfolio
