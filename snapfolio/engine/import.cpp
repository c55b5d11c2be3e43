#include "snapfolio/engine/import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <vector>

#include "libutils/error.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "snapfolio/engine/workpool.h"

namespace snapfolio {

link_calls_t& link_calls() {
    static link_calls_t calls = {::symlink, ::link};
    return calls;
}

namespace {

// Removes whatever entry is at path (lstat, so a dangling link goes too).
void remove_entry(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) ::unlink(path.c_str());
}

}  // namespace

bool make_directory(const std::string& dir, std::ostream& err) {
    if (libutils::mkdir(dir) == 0) return true;
    int e = errno;
    struct stat st;
    if (::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return true;
    return libutils::fail(err, dir, ": mkdir error, ", std::strerror(e));
}

bool copyfile_replacing(const std::string& src, const std::string& dst) {
    // The same naming as the other rewritten files, so that a run killed
    // halfway leaves a temporary the next run recognises and removes.
    std::string temp = libutils::dirname(dst) + "." + libutils::basename2(dst) + ".tmpXXXXXX";
    int fd = ::mkstemp(&temp[0]);
    if (fd < 0) {
        return libutils::fail(std::cerr, dst, ": ", std::strerror(errno));
    }
    // mkstemp makes the file private; an album is meant to be published.
    const mode_t mask = mode_t(libutils::current_umask());
    ::fchmod(fd, 0666 & ~mask);
    ::close(fd);
    bool ok = libutils::filecopy(src, temp);
    if (ok) {
        // filecopy keeps whole seconds; keep the nanoseconds too, so that the
        // copy is exactly as old as its source.
        struct stat st;
        if (::stat(src.c_str(), &st) == 0) {
            struct timespec times[2] = {st.st_atim, st.st_mtim};
            ::utimensat(AT_FDCWD, temp.c_str(), times, 0);
        }
        if (::rename(temp.c_str(), dst.c_str()) != 0) {
            libutils::report(std::cerr, dst, ": ", std::strerror(errno));
            ok = false;
        }
    }
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

bool copyfiles(const std::string& srcdir, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress) {
    return copyfiles(srcdir, files, path, progress, std::cerr);
}

namespace {

// One file of the card into the album: photos and movies into "original",
// anything else into "txt".
bool copy_one(const std::string& srcdir, const std::string& name, const path_t& path,
              std::ostream& err) {
    const std::string source = srcdir + "/" + name;
    const bool media = is_photo(name) || is_movie(name);
    const std::string target = path.str(media ? "original" : "txt", name);
    // The copy goes to a temporary and is renamed over the target, which
    // replaces an earlier import and never destroys the source, even when
    // it is the target itself.
    // A name is one directory entry: anything else could reach outside
    // the album.
    const bool plain =
        !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
    if (!plain || (!media && !make_directory(path.str("txt"), err)) ||
        !copyfile_replacing(source, target)) {
        return libutils::fail(err, target, ": file copy fail.");
    }
    return true;
}

}  // namespace

bool copyfiles(const std::string& srcdir, const std::vector<files_t>& files, const path_t& path,
               sigc::signal<void, double>& progress, std::ostream& err) {
    if (!make_directory(path.str("original"), err)) return false;
    // The files are copied by the workers; what each copy says, and the
    // progress, reach the caller in the files' order.
    const size_t n = files.size();
    std::vector<char> copied(n, 0);
    auto work = [&](size_t i, std::ostream& out, bool) {
        copied[i] = copy_one(srcdir, files[i].name, path, out);
    };
    auto finish = [&](size_t i) {
        if (!copied[i]) return false;
        progress.emit(double(i + 1) / double(n));
        return true;
    };
    return run_reporting_in_order(n, err, work, finish, [] {});
}

bool symlinkone(const std::string& target_of_link, const std::string& link) {
    remove_entry(link);
    if (link_calls().symlink(target_of_link.c_str(), link.c_str()) == 0) return true;
    return libutils::fail(std::cerr, target_of_link, " to ", link, ": symlink failed.");
}

bool hardlinkone(const std::string& existing, const std::string& link) {
    remove_entry(link);
    if (link_calls().link(existing.c_str(), link.c_str()) == 0) return true;
    return libutils::fail(std::cerr, existing, " to ", link, ": hard link fail.");
}

bool copyjpeg(const std::string& source, const std::string& target, const std::string& link_text) {
    if (symlinkone(link_text, target)) return true;
    if (hardlinkone(source, target)) return true;
    return copyfile_replacing(source, target);
}

}  // namespace snapfolio
