#include "snapfolio/engine/entryops.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "libutils/error.h"
#include "snapfolio/engine/album.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/htmlpage.h"

namespace snapfolio {

namespace {

bool exists_nofollow(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

bool make_books(const std::string& book_dir, const std::string& dirs, std::ostream& err) {
    std::string at = book_dir;
    size_t from = 0;
    while (from < dirs.size()) {
        size_t slash = dirs.find('/', from);
        if (slash == std::string::npos) slash = dirs.size();
        const std::string piece = dirs.substr(from, slash - from);
        const std::string dir = at + "/" + piece;
        struct stat st;
        if (::lstat(dir.c_str(), &st) != 0) {
            if (::mkdir(dir.c_str(), 0755) != 0)
                return libutils::fail(err, dir, ": mkdir error, ", std::strerror(errno));
            if (!savecommenttxt(path_t("", at, piece), html_text(piece), "", "", err)) return false;
        } else if (!S_ISDIR(st.st_mode)) {
            return libutils::fail(err, dir, ": not a directory.");
        }
        at = dir;
        from = slash + 1;
    }
    return true;
}

namespace {

// Empties the directory open as fd and closes it; removes nothing through a
// link.
bool remove_below(int fd, const std::string& shown, std::ostream& err) {
    DIR* d = ::fdopendir(fd);
    if (!d) {
        ::close(fd);
        return libutils::fail(err, shown, ": opendir error, ", std::strerror(errno));
    }
    std::vector<std::string> names;
    while (struct dirent* e = ::readdir(d))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.push_back(e->d_name);
    bool ok = true;
    for (const std::string& name : names) {
        const std::string path = shown + "/" + name;
        struct stat st;
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            int sub = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (sub < 0) {
                ok = libutils::fail(err, path, ": open error, ", std::strerror(errno));
                continue;
            }
            ok = remove_below(sub, path, err) && ok;
            if (::unlinkat(fd, name.c_str(), AT_REMOVEDIR) != 0)
                ok = libutils::fail(err, path, ": rmdir error, ", std::strerror(errno));
        } else if (::unlinkat(fd, name.c_str(), 0) != 0) {
            ok = libutils::fail(err, path, ": unlink error, ", std::strerror(errno));
        }
    }
    ::closedir(d);  // closes fd
    return ok;
}

}  // namespace

bool valid_entry_name(const std::string& name) {
    if (name.empty() || name[0] == '/') return false;
    size_t from = 0;
    for (;;) {
        size_t slash = name.find('/', from);
        const std::string piece = name.substr(from, slash - from);
        if (piece.empty() || piece == "." || piece == "..") return false;
        if (slash == std::string::npos) return true;
        from = slash + 1;
    }
}

bool rename_entry(const std::string& book_dir, const std::string& from, const std::string& to,
                  std::ostream& err) {
    const std::string old_path = book_dir + "/" + from;
    const std::string new_path = book_dir + "/" + to;
    if (!valid_entry_name(from) || !valid_entry_name(to))
        return libutils::fail(err, new_path, ": not a name inside the book.");
    if (exists_nofollow(new_path)) return libutils::fail(err, new_path, ": already exists.");
    const size_t slash = to.rfind('/');
    if (slash != std::string::npos && !make_books(book_dir, to.substr(0, slash), err))
        return false;
    if (::rename(old_path.c_str(), new_path.c_str()) != 0)
        return libutils::fail(err, old_path, " to ", new_path, ": rename error, ",
                              std::strerror(errno));
    return true;
}

bool remove_tree(const std::string& path, std::ostream& err) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return libutils::fail(err, path, ": stat error, ", std::strerror(errno));
    if (!S_ISDIR(st.st_mode)) {
        if (::unlink(path.c_str()) == 0) return true;
        return libutils::fail(err, path, ": unlink error, ", std::strerror(errno));
    }
    int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return libutils::fail(err, path, ": open error, ", std::strerror(errno));
    bool ok = remove_below(fd, path, err);
    if (::rmdir(path.c_str()) != 0)
        ok = libutils::fail(err, path, ": rmdir error, ", std::strerror(errno));
    return ok;
}

bool set_secret(const std::string& path, bool secret, std::ostream& err) {
    const std::string file = path + "/txt/secret.txt";
    if (!secret) {
        if (::unlink(file.c_str()) == 0 || errno == ENOENT) return true;
        return libutils::fail(err, file, ": unlink error, ", std::strerror(errno));
    }
    ::mkdir((path + "/txt").c_str(), 0755);
    int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return libutils::fail(err, file, ": open error, ", std::strerror(errno));
    ::close(fd);
    return true;
}

}  // namespace snapfolio
