#include "snapfolio/engine/htmlpage.h"

#include <cerrno>
#include <cstring>
#include <ctime>

#include "libutils/error.h"
#include "libutils/text.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/message.h"

namespace snapfolio {

void write_head(std::ostream& out, const std::string* title) {
    out << "<HTML>\n<HEAD>\n";
    if (!g_global.html_header.empty()) out << '\t' << g_global.html_header << '\n';
    if (title) out << "\t<title>" << *title << "</title>\n";
    out << "</HEAD>\n\n<BODY>\n";
}

void write_foot(std::ostream& out) {
    out << "<hr>\n";
    if (!g_global.html_address.empty())
        out << "\t<address>" << g_global.html_address << "</address>\n";
    out << "<!-- hhmts start -->\n";
    std::time_t now = std::time(nullptr);
    char buf[100];
    tzset();
    size_t n = std::strftime(buf, sizeof buf, "%c", std::localtime(&now));
    if (n > 0) out << "HTML Generated: " << buf << " (" << tzname[0] << ")\n";
    out << "<!-- hhmts end -->\n</BODY>\n</HTML>\n";
}

bool has_marks(const album_t& album, const std::string& name) {
    return album.isfind(name);
}

void write_marks(std::ostream& out, const album_t& album, const std::string& name, bool fail_text) {
    const struct {
        bool set;
        e_message_local_t text;
    } marks[] = {
        {album.is_best(name), msg_best},     {album.is_apply(name), msg_apply},
        {album.is_submit(name), msg_submit}, {album.is_print(name), msg_print},
        {album.is_upload(name), msg_upload},
    };
    const char* sep = " (";
    for (const auto& m : marks) {
        if (!m.set) continue;
        out << sep << getmsg(m.text);
        sep = ", ";
    }
    if (sep[0] == ',')
        out << ')';
    else if (fail_text && album.is_fail(name))
        out << " (" << getmsg(msg_fail) << ')';
}

std::string html_text(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

std::string url(const std::string& target) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(target.size());
    for (unsigned char c : target) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                     c == '.' || c == '_' || c == '-' || c == '~' || c == '/';
        if (plain) {
            out.push_back((char)c);
        } else {
            out.push_back('%');
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    return out;
}

bool open_page(libutils::atomic_ofstream& out, const std::string& file, std::ostream& err,
               const char* open_error, bool with_errno) {
    if (out.open(file)) return true;
    const int e = errno;
    return libutils::fail(err, file, open_error, with_errno ? std::strerror(e) : "");
}

bool commit_page(libutils::atomic_ofstream& out, std::ostream& err) {
    if (out.commit()) return true;
    const int e = errno;
    return libutils::fail(err, out.target(), ": write error, ", std::strerror(e));
}

bool write_text_file(const std::string& file, const std::string& text, std::ostream& err,
                     const char* open_error) {
    libutils::atomic_ofstream out;
    if (!open_page(out, file, err, open_error, true)) return false;
    out << text;
    return commit_page(out, err);
}

std::vector<std::string> text_lines(const std::string& text) {
    std::vector<std::string> lines;
    libutils::separate_token(lines, text, "\n");
    for (std::string& line : lines) libutils::chop(line);
    return lines;
}

}  // namespace snapfolio
