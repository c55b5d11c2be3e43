// snapfolio-cli make CAMERA_DIR ALBUM_DIR [FILE[:DEGREES]]...: what the
// make-album dialog does on OK, without windows. The album folder is made
// when missing (its parent is the book); the named files, or every photo
// and movie of the camera folder, are imported with their turns; the
// album's levels and pages are made; then the book's page is rewritten.
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "libutils/error.h"
#include "libutils/file.h"
#include "snapfolio/cli/albumargs.h"
#include "snapfolio/cli/commands.h"
#include "snapfolio/cli/progress.h"
#include "snapfolio/cli/run.h"
#include "snapfolio/engine/bookpage.h"
#include "snapfolio/engine/chain.h"
#include "snapfolio/engine/comment.h"

namespace snapfolio {

namespace {

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

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
    if (exists(camera + "/" + arg) || colon == std::string::npos || colon + 1 == arg.size() ||
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

// The album folder, made when missing (not its parents: they are books).
bool album_folder(const cli_context_t& c, const std::string& arg, path_t& album) {
    if (::mkdir(arg.c_str(), 0755) != 0 && errno != EEXIST)
        return libutils::fail(c.err, arg, ": mkdir error, ", std::strerror(errno));
    return folder_path(album, arg, c.err);
}

}  // namespace

int command_make(const cli_context_t& c, const std::vector<std::string>& args) {
    if (args.size() < 2)
        return usage_error(c.err, "make", "needs a camera folder and an album folder", "help make");
    const std::string& camera = args[0];
    struct stat st;
    if (::stat(camera.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
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
        if (!exists(camera + "/" + f.name))
            named_files_exist = libutils::fail(c.err, camera + "/" + f.name, ": no such file.");
    if (!named_files_exist) return exit_failed;

    path_t album;
    if (!album_folder(c, args[1], album)) return exit_failed;
    // The dialog insists on a title; here the folder's name stands in for a
    // missing one, so that the book page lists the album.
    std::string title, head, last;
    loadcomment(album.str("txt"), title, head, last);
    if (title.empty() && !savecommenttxt(album, album.name, head, last, c.err)) return exit_failed;

    bool ok;
    {
        progress_printer_t printer;
        progress_signals_t signals;
        printer.connect(signals);
        ok = makealbumwithrotate(camera, files, album, signals, c.err);
    }
    if (!ok) return exit_failed;
    if (!makehtmlbook(path_t("", "", album.dir), c.err)) {
        libutils::report(c.err, "makehtmlbook() fail.");
        return exit_failed;
    }
    return exit_ok;
}

}  // namespace snapfolio
