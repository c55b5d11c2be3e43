#include "snapfolio/cli/albumargs.h"

#include <sys/stat.h>

#include "libutils/error.h"
#include "libutils/path.h"

namespace snapfolio {

bool folder_path(path_t& path, const std::string& arg, std::ostream& err) {
    struct stat st;
    if (::stat(arg.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return libutils::fail(err, arg, ": not a folder.");
    }
    std::string full = libutils::realpath(arg);
    const std::string name = libutils::basename2(full);
    if (name.empty() || full[0] != '/') {
        return libutils::fail(err, arg, ": needs a folder with a name below /.");
    }
    std::string dir = libutils::dirname(full);
    if (dir.size() > 1) dir.pop_back();  // the "/" before the name
    path = path_t("", dir, name);
    return true;
}

void connect_batch(progress_printer_t& printer, progress_signals_t& s, std::ostream& out, bool best) {
    printer.connect(s.shrink, "shrink");
    printer.connect(s.html, "html");
    printer.connect(s.zoom, "zoom");
    if (best) {
        printer.connect(s.best_index, "best index");
        printer.connect(s.best_list, "best list");
    }
    s.directory.connect([&printer, &out](const std::string& dir) {
        printer.finish();
        out << dir << '\n';
        out.flush();
    });
}

}  // namespace snapfolio
