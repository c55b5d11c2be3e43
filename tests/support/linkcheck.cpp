#include "support/linkcheck.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "support/testenv.h"

namespace linkcheck {

namespace {

bool is_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string lower(std::string s) {
    for (char& c : s) c = char(std::tolower((unsigned char)c));
    return s;
}

// The quoted values of an attribute, wherever it stands in a tag.
std::vector<std::string> attribute_values(const std::string& html, const std::string& name) {
    std::vector<std::string> values;
    const std::string text = lower(html);
    size_t at = 0;
    while ((at = text.find(name, at)) != std::string::npos) {
        const bool word_start = at > 0 && (is_space(text[at - 1]) || text[at - 1] == '"');
        size_t p = at + name.size();
        at = p;
        if (!word_start) continue;
        while (p < text.size() && is_space(text[p])) ++p;
        if (p >= text.size() || text[p] != '=') continue;
        ++p;
        while (p < text.size() && is_space(text[p])) ++p;
        if (p >= text.size() || (text[p] != '"' && text[p] != '\'')) continue;
        const char quote = text[p];
        const size_t end = text.find(quote, p + 1);
        if (end == std::string::npos) break;
        values.push_back(html.substr(p + 1, end - p - 1));
        at = end + 1;
    }
    return values;
}

// The URLs of a srcset value: comma-separated candidates, each a URL and
// optional descriptors after white space.
std::vector<std::string> srcset_urls(const std::string& value) {
    std::vector<std::string> urls;
    size_t p = 0;
    while (p < value.size()) {
        while (p < value.size() && (is_space(value[p]) || value[p] == ',')) ++p;
        size_t start = p;
        while (p < value.size() && !is_space(value[p])) ++p;
        std::string url = value.substr(start, p - start);
        // A URL that runs into the next candidate without a descriptor.
        while (!url.empty() && url.back() == ',') url.pop_back();
        if (!url.empty()) urls.push_back(url);
        while (p < value.size() && value[p] != ',') ++p;
    }
    return urls;
}

bool has_scheme(const std::string& url) {
    size_t i = 0;
    while (i < url.size() &&
           (std::isalnum((unsigned char)url[i]) || url[i] == '+' || url[i] == '-' || url[i] == '.'))
        ++i;
    return i > 0 && i < url.size() && url[i] == ':' && std::isalpha((unsigned char)url[0]);
}

int hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = char(std::tolower((unsigned char)c));
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The file a relative URL names: fragment and query cut off, escapes
// decoded (a "%" without two hex digits stays as it is).
std::string url_path(const std::string& url) {
    std::string path = url.substr(0, url.find_first_of("#?"));
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '%' && i + 2 < path.size() && hex(path[i + 1]) >= 0 &&
            hex(path[i + 2]) >= 0) {
            out += char(hex(path[i + 1]) * 16 + hex(path[i + 2]));
            i += 2;
        } else {
            out += path[i];
        }
    }
    return out;
}

// dir + "/" + rel with "." and ".." taken out.
std::string resolve(const std::string& dir, const std::string& rel) {
    std::vector<std::string> parts;
    std::string whole = rel.empty() || rel[0] != '/' ? dir + "/" + rel : rel;
    std::istringstream in(whole);
    std::string piece;
    while (std::getline(in, piece, '/')) {
        if (piece.empty() || piece == ".") continue;
        if (piece == "..") {
            if (!parts.empty()) parts.pop_back();
        } else {
            parts.push_back(piece);
        }
    }
    std::string out;
    for (const std::string& p : parts) out += "/" + p;
    return out.empty() ? "/" : out;
}

std::string folder_of(const std::string& file) {
    return file.substr(0, file.rfind('/'));
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

std::vector<link_t> links_of(const std::string& page) {
    const std::string html = testenv::read_file(page);
    std::vector<std::string> targets;
    for (const char* name : {"href", "src"})
        for (const std::string& v : attribute_values(html, name)) targets.push_back(v);
    for (const std::string& v : attribute_values(html, "srcset"))
        for (const std::string& u : srcset_urls(v)) targets.push_back(u);
    std::vector<link_t> links;
    const std::string dir = folder_of(page);
    for (const std::string& t : targets) {
        if (has_scheme(t)) continue;
        links.push_back(link_t{page, t, resolve(dir, url_path(t))});
    }
    return links;
}

std::vector<std::string> pages_below(const std::string& top) {
    std::string out;
    testenv::run("find " + testenv::shell_quote(top) + " -name '*.html' ! -name '.*' -type f",
                 &out);
    std::vector<std::string> pages;
    std::istringstream in(out);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) pages.push_back(line);
    std::sort(pages.begin(), pages.end());
    return pages;
}

std::vector<link_t> broken_links(const std::string& top) {
    const std::string root = resolve(top, "");
    std::vector<link_t> broken;
    for (const std::string& page : pages_below(top))
        for (const link_t& l : links_of(page)) {
            const bool inside = l.file.compare(0, root.size() + 1, root + "/") == 0;
            if (inside && !exists(l.file)) broken.push_back(l);
        }
    return broken;
}

size_t count_links(const std::string& top) {
    size_t n = 0;
    for (const std::string& page : pages_below(top)) n += links_of(page).size();
    return n;
}

std::string describe(const std::vector<link_t>& links) {
    std::string out;
    for (const link_t& l : links) out += l.page + ": " + l.target + " -> " + l.file + "\n";
    return out;
}

}  // namespace linkcheck
