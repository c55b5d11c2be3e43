// snapfolio-cli exif FILE...: the decoded EXIF fields of each photo, then
// its description lines exactly as the album pages hold them. All files go
// to one stream, as on an index page: an F-number leaves the stream in fixed
// notation, and the next picture's focal length is written that way too.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "libutils/error.h"
#include "libutils/path.h"
#include "snapfolio/cli/commands.h"
#include "snapfolio/cli/exifdump.h"
#include "snapfolio/cli/run.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/exifdesc.h"

namespace snapfolio {

namespace {

// The album path of a file given on the command line: its folder as the
// root (without a trailing "/" except for "/" itself) and nothing else, so
// that make(dir = "", name) names the file again.
path_t folder_of(const std::string& file) {
    std::string dir = libutils::dirname(file);
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return path_t(dir, "", "");
}

// `printed` says whether an earlier file was printed; a blank line separates
// the files.
bool describe_file(const cli_context_t& c, const std::string& file, bool& printed) {
    struct stat st;
    if (::stat(file.c_str(), &st) != 0)
        return libutils::fail(c.err, file, ": open error, ", std::strerror(errno), ".");
    if (!S_ISREG(st.st_mode)) return libutils::fail(c.err, file, ": not a regular file.");
    libgr::app1_marker_t app1;
    if (!readexif(app1, file)) {
        // The scanner and the parser have said what was wrong with a file
        // they refused; a file without an EXIF segment gets its line here.
        const bool has_exif = !app1.app1_buffer.empty() && app1.is_exif();
        return libutils::fail(c.err, file, ": ",
                              has_exif ? "EXIF data could not be read." : "no EXIF data.");
    }

    if (printed) c.out << '\n';
    printed = true;
    c.out << file << ":\n";
    dump_exif(c.out, app1.tiff_header);
    c.out << "description:\n";
    if (!writeexif(c.out, folder_of(file), "", libutils::basename2(file), true))
        return libutils::fail(c.err, file, ": EXIF data could not be read.");
    return true;
}

}  // namespace

int command_exif(const cli_context_t& c, const std::vector<std::string>& files) {
    if (files.empty()) return usage_error(c.err, "exif", "no file given", "help exif");
    int status = exit_ok;
    bool printed = false;
    for (const std::string& file : files)
        if (!describe_file(c, file, printed)) status = exit_failed;
    c.out.flush();
    return status;
}

}  // namespace snapfolio
