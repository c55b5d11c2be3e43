// A link checker for generated pages, written apart from the page writers:
// it reads href, src and srcset attributes the way a browser takes them
// (fragment and query cut off, srcset split into candidates, percent
// escapes decoded), resolves them against the page's folder and looks for
// the files on disk.
#pragma once

#include <string>
#include <vector>

namespace linkcheck {

struct link_t {
    std::string page;    // the page holding it
    std::string target;  // as written in the attribute (one srcset candidate)
    std::string file;    // where it leads on disk
};

// Every link target of one page, with external ones (a scheme such as
// mailto: or http:) left out.
std::vector<link_t> links_of(const std::string& page);

// Every .html file below top (temporaries, whose names begin with ".",
// left out), sorted.
std::vector<std::string> pages_below(const std::string& top);

// The links of the pages below top that lead to no file. Links that leave
// top (the "UP" link of the topmost page) are not followed.
std::vector<link_t> broken_links(const std::string& top);

// How many links the pages below top hold in all (so that a test can see
// the checker found some).
size_t count_links(const std::string& top);

// "page: target -> file" lines, for a failure message.
std::string describe(const std::vector<link_t>& links);

}  // namespace linkcheck
