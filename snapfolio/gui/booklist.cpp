#include "snapfolio/gui/booklist.h"

#include <algorithm>

#include "libutils/file.h"
#include "libutils/text.h"
#include "snapfolio/engine/albumentry.h"
#include "snapfolio/engine/comment.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/gui/textconv.h"

namespace snapfolio {

bool is_best_of(const std::string& name) {
    return name == "_Best" || name == "_BestBook";
}

std::string first_line(const std::string& text) {
    std::vector<std::string> lines;
    libutils::separate_token(lines, text, "\n");
    if (lines.empty()) return std::string();
    libutils::chop(lines.front());
    return lines.front();
}

std::vector<std::string> reversed_dirs(const std::string& book_dir) {
    std::vector<std::string> dirs;
    libutils::getdirs(dirs, book_dir + "/");
    std::reverse(dirs.begin(), dirs.end());
    return dirs;
}

bool list_book(std::vector<book_entry_t>& entries, const std::string& book_dir) {
    entries.clear();
    std::vector<std::string> dirs;
    if (!libutils::getdirs(dirs, book_dir + "/")) return false;
    std::reverse(dirs.begin(), dirs.end());  // newest dated album first
    for (const std::string& name : dirs) {
        if (name == "txt") continue;  // the book's own texts
        path_t path("", book_dir, name);
        book_entry_t e;
        std::string head, last;
        if (!loadcommenttxt(path, e.title, head, last)) continue;
        e.name = name;
        e.has_original = is_dir(path.str("original"));
        e.has_viewer = e.has_original || is_best_of(name);
        if (e.has_viewer) e.count = read_count(path.str());
        e.comment = first_line(head);
        entries.push_back(e);
    }
    return true;
}

std::vector<std::string> viewer_targets(const std::string& book_dir, const std::string& name) {
    const std::string size_dir = "size" + std::to_string(g_global.view_size);
    const std::string target = path_t("", book_dir, name).str(size_dir);
    if (is_dir(target)) return {target};
    const char* marks = name == "_BestBook" ? "best.txt" : "good.txt";
    std::vector<std::string> args;
    for (const std::string& d : reversed_dirs(book_dir)) {
        path_t dir("", book_dir, d);
        args.push_back("-C" + dir.str(size_dir));
        args.push_back("-@" + dir.str("txt", marks));
    }
    return args;
}

view_row_t::view_row_t(const std::string& book_dir, const book_entry_t& entry)
    : has_original(entry.has_original),
      has_viewer(entry.has_viewer),
      path(path_t("", book_dir, entry.name).str()),
      name(entry.name) {
    Glib::ustring shown_name = to_utf8(name);
    name_label.set_text(shown_name);
    name_label.set_width_chars((int)shown_name.length());
    main_button.set_label(msg(has_viewer ? msg_list : msg_view));
    if (has_viewer) {
        viewer_button.set_label(msg(msg_viewer));
        viewer_button.get_accessible()->set_name(shown_name + " " + msg(msg_viewer));
    }
    main_button.get_accessible()->set_name(shown_name + " " + main_button.get_label());
    count_label.set_text(to_utf8(entry.count));
    title_label.set_text(to_utf8(entry.title));
    comment_label.set_text(to_utf8(entry.comment));
}

void view_row_t::attach(Gtk::Grid& table, int row) {
    auto put = [&](Gtk::Widget& w, int column) {
        w.set_hexpand(true);
        w.set_vexpand(true);
        table.attach(w, column, row, 1, 1);
    };
    put(name_label, 0);
    put(main_button, 2);
    if (has_viewer) put(viewer_button, 3);
    put(count_label, 4);
    put(title_label, 5);
    put(comment_label, 6);
}

}  // namespace snapfolio
