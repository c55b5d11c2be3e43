#include "snapfolio/engine/bookpage.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "libutils/error.h"
#include "libutils/file.h"
#include "libutils/path.h"
#include "libutils/text.h"
#include "snapfolio/engine/albumentry.h"
#include "snapfolio/engine/bookwalk.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/filestat.h"
#include "snapfolio/engine/htmlpage.h"
#include "snapfolio/engine/message.h"

namespace snapfolio {

namespace {

// One row: the directory, its counts, its pages, its title and the first
// line of its head text. False when the entry has no title (not listed).
bool write_row(std::ostream& out, const std::string& dir, const std::string& d) {
    const std::string sub = dir + "/" + d;
    if (is_secret(sub)) return false;
    const std::string count = read_count(sub);
    const bool has_list = is_exist(sub + "/list.html");
    std::ifstream head(sub + "/txt/head.txt", std::ios::binary);
    if (!head) return false;
    std::string title, repeated, first;
    std::getline(head, title);
    libutils::chop(title);
    std::getline(head, repeated);
    const bool has_first = static_cast<bool>(std::getline(head, first));
    libutils::chop(first);

    out << "\t<tr><td>" << html_text(d) << "<td>" << html_text(count) << "<td>";
    if (has_list)
        out << "<a href=\"" << url(d + "/list.html") << "\">" << getmsg(msg_list) << "</a> ";
    out << "<td><a href=\"" << url(d + "/index.html") << "\">" << title << "</a>";
    if (has_first) out << "<td>" << first;
    out << '\n';
    return true;
}

}  // namespace

bool makehtmlbook(const path_t& path, std::ostream& err) {
    const std::string dir = path.str();
    std::vector<std::string> subs;
    if (!libutils::getdirs(subs, dir)) {
        return libutils::fail(err, dir, ": getdirs() fail.");
    }
    std::reverse(subs.begin(), subs.end());
    std::string title, head, last;
    loadcommenttxt(path, title, head, last);

    libutils::atomic_ofstream out;
    if (!open_page(out, dir + "/index.html", err, ": write open error, ", true)) return false;
    write_head(out, &title);
    out << "\t<CENTER><h1>" << title << "</h1></CENTER>\n";
    writephotocomment(out, text_lines(head), 0);
    out << "\n<p><table>\n";
    out << "\t<tr><th>" << getmsg(msg_folder) << "<th>" << getmsg(msg_pictures) << "<th>"
        << getmsg(msg_list) << "<th>" << getmsg(msg_title) << "<th>" << getmsg(msg_comment) << '\n';
    for (const std::string& d : subs) write_row(out, dir, d);
    out << "</table>\n";
    writephotocomment(out, text_lines(last), 0);
    out << "<p><center><a href=\"../index.html\">UP</a></center>\n";
    write_foot(out);
    return commit_page(out, err);
}

bool makehtmlbooks_above(const std::string& dir, const std::string& root, std::ostream& err) {
    std::string book = libutils::realpath(dir);
    const std::string top = libutils::realpath(root);
    const bool inside = book == top || (book.size() > top.size() && top.size() > 1 &&
                                        book.compare(0, top.size(), top) == 0 &&
                                        book[top.size()] == '/');
    for (;;) {
        if (!makehtmlbook(path_t("", "", book), err)) return false;
        if (!inside || book == top) return true;
        book.erase(book.rfind('/'));
    }
}

}  // namespace snapfolio
