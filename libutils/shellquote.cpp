#include "libutils/shellquote.h"

namespace libutils {

std::string dquote(const std::string& text) {
    std::string q;
    q.reserve(text.size() + 2);
    q.push_back('"');
    for (char c : text) {
        if (c == '"' || c == '$' || c == '`' || c == '\\') q.push_back('\\');
        q.push_back(c);
    }
    q.push_back('"');
    return q;
}

}  // namespace libutils
