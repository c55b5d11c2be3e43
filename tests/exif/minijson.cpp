#include "minijson.h"

#include <cstdlib>

namespace minijson {

const value_t* value_t::find(const std::string& key) const {
    for (const auto& m : members)
        if (m.first == key) return &m.second;
    return nullptr;
}

std::string value_t::as_text() const {
    switch (kind) {
        case number:
        case string:
            return text;
        case boolean:
            return num ? "true" : "false";
        case array: {
            std::string s;
            for (const value_t& v : items) s += (s.empty() ? "" : " ") + v.as_text();
            return s;
        }
        default:
            return std::string();
    }
}

namespace {

struct reader_t {
    const std::string& s;
    size_t p = 0;

    void blank() {
        while (p < s.size() && (s[p] == ' ' || s[p] == '\n' || s[p] == '\r' || s[p] == '\t')) ++p;
    }
    bool literal(const char* word) {
        size_t n = std::char_traits<char>::length(word);
        if (s.compare(p, n, word) != 0) return false;
        p += n;
        return true;
    }
    static void utf8(std::string& out, unsigned c) {
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6);
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | c >> 12);
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | c >> 18);
            out += char(0x80 | (c >> 12 & 0x3F));
            out += char(0x80 | (c >> 6 & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    bool hex4(unsigned& c) {
        if (p + 4 > s.size()) return false;
        c = unsigned(std::strtoul(s.substr(p, 4).c_str(), nullptr, 16));
        p += 4;
        return true;
    }
    bool string(std::string& out) {
        if (p >= s.size() || s[p] != '"') return false;
        ++p;
        while (p < s.size() && s[p] != '"') {
            char c = s[p++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (p >= s.size()) return false;
            char e = s[p++];
            switch (e) {
                case 'n':
                    out += '\n';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'u': {
                    unsigned c1;
                    if (!hex4(c1)) return false;
                    if (c1 >= 0xD800 && c1 < 0xDC00 && s.compare(p, 2, "\\u") == 0) {
                        p += 2;
                        unsigned c2;
                        if (!hex4(c2)) return false;
                        c1 = 0x10000 + ((c1 - 0xD800) << 10) + (c2 - 0xDC00);
                    }
                    utf8(out, c1);
                    break;
                }
                default:
                    out += e;
                    break;
            }
        }
        if (p >= s.size()) return false;
        ++p;
        return true;
    }
    bool value(value_t& v) {
        blank();
        if (p >= s.size()) return false;
        char c = s[p];
        if (c == '{') {
            v.kind = value_t::object;
            ++p;
            blank();
            if (p < s.size() && s[p] == '}') return ++p, true;
            for (;;) {
                blank();
                std::string key;
                if (!string(key)) return false;
                blank();
                if (p >= s.size() || s[p++] != ':') return false;
                value_t member;
                if (!value(member)) return false;
                v.members.emplace_back(key, std::move(member));
                blank();
                if (p < s.size() && s[p] == ',') {
                    ++p;
                    continue;
                }
                return p < s.size() && s[p++] == '}';
            }
        }
        if (c == '[') {
            v.kind = value_t::array;
            ++p;
            blank();
            if (p < s.size() && s[p] == ']') return ++p, true;
            for (;;) {
                value_t item;
                if (!value(item)) return false;
                v.items.push_back(std::move(item));
                blank();
                if (p < s.size() && s[p] == ',') {
                    ++p;
                    continue;
                }
                return p < s.size() && s[p++] == ']';
            }
        }
        if (c == '"') {
            v.kind = value_t::string;
            return string(v.text);
        }
        if (literal("true")) return v.kind = value_t::boolean, v.num = 1, true;
        if (literal("false")) return v.kind = value_t::boolean, true;
        if (literal("null")) return true;
        size_t start = p;
        while (p < s.size() && std::string("+-0123456789.eE").find(s[p]) != std::string::npos) ++p;
        if (p == start) return false;
        v.kind = value_t::number;
        v.text = s.substr(start, p - start);
        v.num = std::strtod(v.text.c_str(), nullptr);
        return true;
    }
};

}  // namespace

bool parse(const std::string& text, value_t& out, std::string* error) {
    reader_t r{text};
    out = value_t();
    bool ok = r.value(out);
    r.blank();
    if (ok && r.p == text.size()) return true;
    if (error) *error = "JSON error near byte " + std::to_string(r.p);
    return false;
}

}  // namespace minijson
