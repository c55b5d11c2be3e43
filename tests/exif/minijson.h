// A small JSON reader for exiftool's -j output: objects, arrays, strings,
// numbers (kept with their text), true/false/null.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace minijson {

struct value_t {
    enum kind_t { null, boolean, number, string, array, object } kind = null;
    std::string text;  // the string, or a number as written
    double num = 0;
    std::vector<value_t> items;
    std::vector<std::pair<std::string, value_t>> members;  // in file order

    const value_t* find(const std::string& key) const;
    // Numbers and strings as text; arrays joined by blanks.
    std::string as_text() const;
};

// False (with the position in `error`) when the text is not JSON.
bool parse(const std::string& text, value_t& out, std::string* error = nullptr);

}  // namespace minijson
