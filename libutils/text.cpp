#include "libutils/text.h"

#include <climits>
#include <cstring>
#include <cwchar>

namespace libutils {

int stringcmp(const char* a, const char* b) {
    return std::strncmp(a, b, std::strlen(b));
}

void chop(std::string& s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == '\n')) s.pop_back();
}

void chop2(std::string& s) {
    while (!s.empty() && std::strchr(" \t\r\n", s.back()) != nullptr) s.pop_back();
}

void chop(char* s) {
    size_t n = std::strlen(s);
    while (n > 0 && (s[n - 1] == '\r' || s[n - 1] == '\n')) s[--n] = '\0';
}

void chop2(char* s) {
    size_t n = std::strlen(s);
    while (n > 0 && std::strchr(" \t\r\n", s[n - 1]) != nullptr) s[--n] = '\0';
}

bool separate_first_token(std::pair<std::string, std::string>& pair, const std::string& text,
                          char c) {
    size_t p = text.find(c);
    if (p == std::string::npos) return false;
    pair.first = text.substr(0, p);
    pair.second = text.substr(p + 1);
    return true;
}

std::wstring str2wstr(const std::string& s) {
    std::wstring w;
    w.reserve(s.size());
    std::mbstate_t st{};
    const char* p = s.data();
    size_t left = s.size();
    while (left > 0) {
        wchar_t wc;
        size_t n = std::mbrtowc(&wc, p, left, &st);
        if (n == (size_t)-1 || n == (size_t)-2) {
            st = std::mbstate_t{};
            wc = (wchar_t)(0xDC00 + (unsigned char)*p);
            n = 1;
        } else if (n == 0) {  // an embedded NUL
            wc = L'\0';
            n = 1;
        }
        w.push_back(wc);
        p += n;
        left -= n;
    }
    return w;
}

std::string wstr2str(const std::wstring& w) {
    std::string s;
    s.reserve(w.size() * 4);
    std::mbstate_t st{};
    char buf[MB_LEN_MAX];
    for (wchar_t wc : w) {
        if (wc >= 0xDC80 && wc <= 0xDCFF) {
            s.push_back((char)(wc - 0xDC00));
            continue;
        }
        size_t n = std::wcrtomb(buf, wc, &st);
        if (n == (size_t)-1) {
            st = std::mbstate_t{};
            s.push_back('?');
            continue;
        }
        s.append(buf, n);
    }
    return s;
}

std::ostream& operator<<(std::ostream& os, const _putn& v) {
    return os.write(v.p, (std::streamsize)v.n);
}

std::ostream& operator<<(std::ostream& os, const _putcn& v) {
    for (size_t i = 0; i < v.n; ++i) os.put(v.c);
    return os;
}

std::ostream& operator<<(std::ostream& os, const _putspace& v) {
    return os << _putcn{' ', v.n};
}

}  // namespace libutils
