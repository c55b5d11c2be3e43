// Taking paths apart and putting them together. Only "/" separates
// directories; "\" is a character of a name like any other. Searches run on wide
// characters, so a separator byte inside a multibyte character never counts.
#pragma once

#include <cstddef>
#include <string>

namespace libutils {

struct splitpath_t {
    char drive[1024];
    char dir[1024];
    char name[1024];
    char ext[1024];
};

const char* baseptr(const char* path);
std::string basename(const std::string& path);   // a/b/c.d.jpg -> c.d
std::string basename2(const std::string& path);  // a/b/c.jpg -> c.jpg
std::string dirname(const std::string& path);    // a/b/c.jpg -> a/b/
size_t basename(char* dst, const char* path, size_t n);
size_t dirname(char* dst, const char* path, size_t n);

int extcasecmp(const char* path, size_t len, const char* ext);
int extcasecmp(const std::string& path, const char* ext);

std::string delimconvert(const std::string& path);
std::string deliminvert(const std::string& path);

void splitpath(const char* path, char* drive, char* dir, char* name, char* ext);
char* concatpath(char* dst, const char* drive, const char* dir, const char* name, const char* ext);
void split(splitpath_t& sp, const char* path);
char* concat(char* dst, const splitpath_t& sp);

std::string searchpath(const std::string& name, const char* origin = nullptr);
std::string getcwd();
std::string realpath(const std::string& path);
int mkdir(const std::string& path);

}  // namespace libutils
