// The album program's settings: one process-wide record, filled with
// defaults at start, overwritten from the hidden settings file in the home
// directory, edited by the option dialog and written back.
#pragma once

#include <cstdint>
#include <iostream>
#include <string>

namespace snapfolio {

struct global_t {
    std::string from;              // camera folder offered for import
    std::string album;             // album root
    uint64_t shrink_width = 1024;  // largest size level that fits these
    uint64_t shrink_height = 1024;
    uint64_t jpeg_compress = 100;    // libjpeg quality of every encoded JPEG
    uint64_t horizontal_items = 4;   // thumbnails per row in the dialogs
    uint64_t show_level = 1;         // preview images: levels below the thumbnail
    uint64_t view_size = 1;          // size level the viewer is opened on
    bool html_header_check = false;  // whether html_header is written to the file
    std::string html_header;         // line in the head of every page
    std::string html_address;        // footer of every page
    std::string hwaccel;             // ffmpeg input options
    std::string ffmpeg;              // ffmpeg output options
    std::string movie;               // movie player command
    uint64_t play_size_x = 1920;     // largest movie size for playing
    uint64_t play_size_y = 1080;
    bool movie_thumbnail_retina = true;
    std::string glimvue3;  // viewer command: program and options
    // Largest photo in megapixels that is decoded; a bigger one (or a file
    // whose header claims a bigger size) is left out of the album.
    uint64_t pixel_limit = 200;
    // Workers that make the size levels of an album at once; 0: one per
    // core. 1 works on one photo after the other on the calling thread.
    uint64_t jobs = 0;

    // Defaults; the album root and the page header's character set come from
    // HOME and LANG as they are now.
    global_t();
};

extern global_t g_global;

// The most workers the jobs setting and --jobs accept.
const uint64_t max_jobs = 256;

// OSTYPE as it was at start, or null. Windows are iconified before being
// presented again only where it is set and does not begin with "Win".
extern const char* ostype;
bool iconify_before_present();

// The character set the pages declare for a locale name: shift_jis, euc-jp
// or UTF-8.
const char* charset_of_locale(const std::string& locale);

// $HOME/.<name>; dir is not used.
std::string inifile(const std::string& dir, const std::string& name);

// Reads the settings file into g_global key by key; false (g_global
// unchanged) when it cannot be opened. Unknown keys, and numbers out of their
// key's range (the old value is kept), are reported on standard error, one
// line each, with bytes that are not printable shown as \xNN.
bool loadini(const std::string& dir, const std::string& name);

// Replaces the settings file with every setting of g_global. The old file
// stays whole until the new one is complete. False, with one line on err,
// when it cannot be written.
bool saveini(const std::string& dir, const std::string& name, std::ostream& err);
bool saveini(const std::string& dir, const std::string& name);

// key=value, CR LF.
template <class T>
void writeiniline(std::ostream& out, const char* key, const T& value);
template <>
void writeiniline<bool>(std::ostream& out, const char* key, const bool& value);  // "1" or "0"

}  // namespace snapfolio
