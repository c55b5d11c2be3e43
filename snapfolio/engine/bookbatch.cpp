#include "snapfolio/engine/bookbatch.h"

#include <vector>

#include "libutils/error.h"
#include "libutils/file.h"
#include "snapfolio/engine/bookbest.h"
#include "snapfolio/engine/bookpage.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/chain.h"

namespace snapfolio {

namespace {

bool is_collection(const std::string& name) {
    return name == "_Best" || name == "_BestBook";
}

}  // namespace

bool updatealbumoriginals(const path_t& path, progress_signals_t& progress, std::ostream& err) {
    std::vector<std::string> names;
    if (!libutils::getfiles(names, path.str("original")))
        return libutils::fail(err, path.str("original"), ": getfiles() fail.");
    std::vector<files_t> files;
    for (const std::string& name : names) files.push_back(files_t{name, 0});
    if (!updatealbum(path, files, progress, err))
        return libutils::fail(err, path.str(), ": updatealbum() fail.");
    return true;
}

bool batchupdate(const path_t& path, progress_signals_t& progress, std::ostream& err) {
    if (path.name.empty()) return true;
    const std::string dir = path.str();
    progress.directory.emit(dir);

    if (path.name == "_Best") {
        if (makebesthtml(path, progress.best_index, progress.best_list)) return true;
        return libutils::fail(err, dir, ": makebesthtml() fail.");
    }
    if (path.name == "_BestBook") {
        if (makebestbookhtml(path, progress.best_index, progress.best_list)) return true;
        return libutils::fail(err, dir, ": makebestbookhtml() fail.");
    }
    if (is_album_dir(dir)) return updatealbumoriginals(path, progress, err);
    // "txt" holds texts; other names beginning with "_" are private
    // directories: none of them gets a book page written into it.
    if (path.name == "txt" || path.name[0] == '_') return true;

    std::vector<std::string> subs;
    if (!libutils::getdirs(subs, dir)) return libutils::fail(err, dir, ": getdirs() fail.");
    bool ok = true;
    // The collections show pictures of the albums and books beside them:
    // those come first.
    for (int pass = 0; pass < 2; ++pass)
        for (const std::string& d : subs)
            if (is_collection(d) == (pass == 1))
                ok = batchupdate(path_t("", dir, d), progress, err) && ok;
    return makehtmlbook(path, err) && ok;
}

}  // namespace snapfolio
