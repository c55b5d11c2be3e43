// The message catalogue: window texts and page headings looked up by number
// in a per-locale text file, one message per line (message n is line n,
// counting from 0). Texts are bytes in the locale's own encoding; nothing is
// converted here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace glimlib {

// A message number: the line number in the catalogue file.
typedef uint32_t e_message_t;

// When set, init_message traces where it looks for the catalogue. The
// viewer's option system binds its debug option to it; off by default.
extern bool g_message_debug;

// The environment's LANG, or "" when it is not set.
std::string get_locale_name();

// Takes the locale from the environment, then loads and indexes the
// catalogue stem[.LANG].msg from the current directory, `dir` (or, when dir
// is empty, along PATH) and /usr/site/share/glimlib/, first with the locale
// in the name and then without it. Returns the path loaded, or "" (with one
// line on standard error) when none could be; the table is then unchanged.
std::string init_message(const std::string& dir, const std::string& stem);

// Reads the whole regular file at path into buffer; false (buffer
// unchanged) when it cannot be read.
bool load_message(std::vector<char>& buffer, const std::string& path);

// The number of line-feed bytes in buffer.
size_t count_lines(const std::vector<char>& buffer);

// Cuts buffer into `count` NUL-terminated lines in place (line ends LF, CR LF
// or a lone CR become NUL bytes) and points table[i] at line i.
void make_message_table(std::vector<const char*>& table, std::vector<char>& buffer, size_t count);

// Message `number`, or "message not loaded." when there is no such line.
const char* getmsg(e_message_t number);

// a + " - " + b: window titles are built this way.
std::string make_title(const std::string& a, const std::string& b);
void make_title2(std::string& out, const std::string& a, const std::string& b);

}  // namespace glimlib
