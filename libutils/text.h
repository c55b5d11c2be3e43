// Cutting, splitting and joining text, and small stream helpers.
#pragma once

#include <cstddef>
#include <list>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace libutils {

// strncmp(a, b, strlen(b)): 0 when a begins with b.
int stringcmp(const char* a, const char* b);
inline int stringcmp(const std::string& a, const char* b) {
    return stringcmp(a.c_str(), b);
}

void chop(std::string& s);   // trailing CR and LF
void chop2(std::string& s);  // trailing blanks, tabs, CR, LF and NUL bytes
void chop(char* s);
void chop2(char* s);

template <class L>
void copy(std::vector<std::string>& v, const L& list) {
    v.assign(list.begin(), list.end());
}
template <class L>
void cat(std::vector<std::string>& v, const L& list) {
    v.insert(v.end(), list.begin(), list.end());
}

// Appends the tokens of text split at any byte of delims; inner empty tokens
// stay, a trailing empty one is dropped.
template <class L>
void separate_token(L& list, const std::string& text, const char* delims);

bool separate_first_token(std::pair<std::string, std::string>& pair, const std::string& text,
                          char c);

template <class L>
void concatenate_token(std::string& out, const L& list, const std::string& delim) {
    out.clear();
    bool first = true;
    for (const auto& s : list) {
        if (!first) out += delim;
        out += s;
        first = false;
    }
}

template <class L>
void makecharptrarray(std::vector<const char*>& v, const L& list) {
    v.clear();
    for (const auto& s : list) v.push_back(s.c_str());
}

// Multibyte <-> wide text in the current locale. Bytes that are not valid in
// the locale survive a round trip (they travel as U+DC80..U+DCFF).
std::wstring str2wstr(const std::string& s);
std::string wstr2str(const std::wstring& w);

// Stream insertion records.
struct _putn {
    const char* p;
    size_t n;
};
struct _putcn {
    char c;
    size_t n;
};
struct _putspace {
    size_t n;
};
inline _putcn putcn(char c, size_t n) {
    return _putcn{c, n};
}
inline _putspace putspace(size_t n) {
    return _putspace{n};
}
std::ostream& operator<<(std::ostream& os, const _putn& v);
std::ostream& operator<<(std::ostream& os, const _putcn& v);
std::ostream& operator<<(std::ostream& os, const _putspace& v);

// Puts a stream's format flags back when it goes out of scope.
class keepflag {
    std::ostream& m_os;
    std::ios_base::fmtflags m_flags;

  public:
    explicit keepflag(std::ostream& os) : m_os(os), m_flags(os.flags()) {}
    ~keepflag() { m_os.flags(m_flags); }
    keepflag(const keepflag&) = delete;
    keepflag& operator=(const keepflag&) = delete;
};

template <class L>
void separate_token(L& list, const std::string& text, const char* delims) {
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\0' &&
            std::char_traits<char>::find(delims, std::char_traits<char>::length(delims), text[i])) {
            list.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size()) list.push_back(text.substr(start));
}

}  // namespace libutils
