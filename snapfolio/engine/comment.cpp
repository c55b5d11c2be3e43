#include "snapfolio/engine/comment.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "libutils/atomicfile.h"
#include "libutils/error.h"
#include "libutils/path.h"
#include "libutils/text.h"
#include "snapfolio/engine/filestat.h"

namespace snapfolio {

namespace {

// Reads the first of the two names that opens; false when neither does.
bool read_either(const std::string& a, const std::string& b, std::string& bytes,
                 std::string& opened) {
    for (const std::string* p : {&a, &b}) {
        std::ifstream in(*p, std::ios::binary);
        if (!in) continue;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        opened = *p;
        return true;
    }
    return false;
}

// The text up to the next line feed (not included), moving pos past it.
std::string next_line(const std::string& bytes, size_t& pos) {
    size_t lf = bytes.find('\n', pos);
    size_t end = lf == std::string::npos ? bytes.size() : lf;
    std::string line = bytes.substr(pos, end - pos);
    pos = lf == std::string::npos ? bytes.size() : lf + 1;
    return line;
}

// Every line of text (split at line feeds) without its CR, ended by CR LF.
void write_lines(std::ostream& out, const std::string& text) {
    std::vector<std::string> lines;
    libutils::separate_token(lines, text, "\n");
    for (std::string& line : lines) {
        libutils::chop(line);
        out << line << "\r\n";
    }
}

// Writes one comment file through a temporary file, so that a failure keeps
// the old text. Failures: one line on err.
bool write_comment_file(const std::string& path, const std::string& first_lines,
                        const std::string& text, std::ostream& err, const char* open_error) {
    libutils::atomic_ofstream out;
    if (!out.open(path)) {
        int e = errno;
        return libutils::fail(err, path, open_error, std::strerror(e));
    }
    out << first_lines;
    write_lines(out, text);
    if (!out.commit()) return libutils::fail(err, path, ": file write error, ", std::strerror(errno));
    return true;
}

}  // namespace

void loadcomment(const std::string& txtdir, std::string& title, std::string& head,
                 std::string& last) {
    std::string bytes, opened;
    if (read_either(txtdir + "/head.txt", txtdir + "/HEAD.TXT", bytes, opened)) {
        size_t pos = 0;
        std::string line1 = next_line(bytes, pos);
        std::string line2 = next_line(bytes, pos);
        head = bytes.substr(pos);
        if (line1 != line2) {
            libutils::report(std::cerr, opened, ": title different.\n", line1, "\n", line2);
        }
        if (!line1.empty()) {
            libutils::chop(line1);
            title = line1;
        }
    }
    if (read_either(txtdir + "/last.txt", txtdir + "/LAST.TXT", bytes, opened)) last = bytes;
}

bool loadcommenttxt(const path_t& path, std::string& title, std::string& head, std::string& last) {
    std::string txtdir = path.str("txt");
    struct stat st;
    if (::stat(txtdir.c_str(), &st) != 0) {
        int e = errno;
        return libutils::fail(std::cerr, txtdir, ": stat fail, ", std::strerror(e));
    }
    loadcomment(txtdir, title, head, last);
    return true;
}

bool savecommenttxt(const path_t& path, const std::string& title, const std::string& head,
                    const std::string& last, std::ostream& err) {
    std::string txtdir = path.str("txt");
    libutils::mkdir(txtdir);
    std::string titles = title + "\r\n" + title + "\r\n";
    return write_comment_file(txtdir + "/head.txt", titles, head, err, ": file open fail, ") &&
           write_comment_file(txtdir + "/last.txt", std::string(), last, err, ": file open fail, ");
}

bool loadphotocomment(std::string& text, const path_t& path, const std::string& name) {
    std::string base = libutils::basename(name);
    std::string file = path.str("txt", base + ".txt");
    if (!is_exist(file)) {
        file = path.str("txt", base + ".TXT");
        if (!is_exist(file)) return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        int e = errno;
        return libutils::fail(std::cerr, file, ": comment text load fail, ", std::strerror(e));
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool loadphotocommentlines(std::vector<std::string>& lines, const path_t& path,
                           const std::string& name) {
    std::string text;
    if (!loadphotocomment(text, path, name)) return false;
    libutils::separate_token(lines, text, "\n");
    return true;
}

bool savephotocomment(const std::string& text, const std::string& albumdir,
                      const std::string& name) {
    return savephotocomment(text, albumdir, name, std::cerr);
}

bool savephotocomment(const std::string& text, const std::string& albumdir,
                      const std::string& name, std::ostream& err) {
    std::string base = albumdir + "/txt/" + libutils::basename(name);
    std::string file = base + ".txt";
    if (text.empty()) {
        // Removing the file is how a comment is deleted. A comment read from
        // the upper-case name (".TXT") would come back when only ".txt" went.
        for (const std::string& f : {file, base + ".TXT"}) {
            if (::unlink(f.c_str()) != 0 && errno != ENOENT) {
                return libutils::fail(err, f, ": remove error, ", std::strerror(errno));
            }
        }
        return true;
    }
    return write_comment_file(file, std::string(), text, err, ": write open error, ");
}

void writephotocomment(std::ostream& out, const std::vector<std::string>& lines, int indent) {
    bool after_empty = false;
    for (const std::string& line : lines) {
        if (line.empty()) {
            out << libutils::putcn('\t', indent) << "<p>";
            after_empty = true;
        } else if (after_empty) {
            out << line << '\n';
            after_empty = false;
        } else {
            out << libutils::putcn('\t', indent) << "<br>" << line << '\n';
        }
    }
}

}  // namespace snapfolio
