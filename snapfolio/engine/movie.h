// Movies: every movie of an album is converted by the external ffmpeg into
// an H.264 ".mp4" ladder of sizes, "movie0" at full size and each further
// "movie<j>" half the one before (sides rounded down to even numbers), each
// level with a still of its first frame (".jpg"). The program decodes no
// video itself: it reads ffmpeg's report for the size and duration and runs
// its command lines through the shell.
//
// Commands are echoed before they run (conversion and identification on
// standard output, stills on standard error) so that they can be repeated by
// hand. File names are quoted for the shell, so any name is passed through
// as it is. A conversion or still whose target is newer than its source is
// not made again, so an interrupted album operation resumes where it stopped;
// ffmpeg writes to a temporary name that is renamed into place once checked,
// so a target that exists is complete.
#pragma once

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "libgr/image/vecmath.h"
#include "snapfolio/engine/album.h"

namespace snapfolio {

// Reads ffmpeg's report on one input ("ffmpeg -i file"), fed line by line:
// the last "Duration" line and the first stream line of a video stream.
class ffreport_t {
    std::string m_duration;
    std::string m_video;
    bool m_done = false;

  public:
    // Takes one line (without its line feed); true once the video line was
    // seen, when the rest of the report is not needed.
    bool feed(const std::string& line);
    bool done() const { return m_done; }
    // The video size ((0, 0) without a video line or with an unreadable one)
    // and the duration text ("00:01:23.45"; empty without a video line).
    void result(libgr::direction2ul_t& size, std::string& info) const;
    // The duration of the last "Duration" line fed, with or without a video
    // line ("N/A" when ffmpeg could not tell).
    std::string duration() const;
};

// A whole report as text, for reports captured earlier.
void ffparse_report(const std::string& report, libgr::direction2ul_t& size, std::string& info);

// Runs ffmpeg -i on file and reads its report; size (0, 0) and an empty info
// when ffmpeg reports no video stream or cannot be run.
void ffidentify(const std::string& file, libgr::direction2ul_t& size, std::string& info);

// How often width and height must be halved together to fit the settings'
// shrink limit; 0 for (0, 0).
uint64_t ffshrinklevel(const libgr::direction2ul_t& size);

// M of path/dir/name (or albumdir/dir/name), with its size and duration.
uint64_t getffshrinklevel(const path_t& path, const std::string& dir, const std::string& name,
                          libgr::direction2ul_t& size, std::string& info);
uint64_t getffshrinklevel(const std::string& albumdir, const std::string& dir,
                          const std::string& name, libgr::direction2ul_t& size, std::string& info);

// "movie0" .. "movie<M+1>".
std::vector<std::string> movielevelnames(uint64_t level);

// name with its extension replaced by ext (".mp4", ".jpg"); ext is appended
// when name has none.
std::string replace_extension(const std::string& name, const std::string& ext);

// The command lines, as echoed and run.
std::string ffidentify_command(const std::string& file);
std::string ffconvert_command(const std::string& source, const std::string& target,
                              const libgr::direction2ul_t& size);
std::string ffthumbnail_command(const std::string& movie, const std::string& jpg,
                                const libgr::direction2ul_t& size);

// Whether ffmpeg reads a duration from file: a converted movie whose end
// was cut off (a killed run, a full disk) has none.
bool ffreadable(const std::string& file);

// Converts source to target at size ((0, 0): ffmpeg's own choice of size
// and codec) unless target is up to date. ffmpeg writes a temporary beside
// target, which is renamed into place only when ffmpeg succeeded and the
// result has a readable duration; false otherwise, and an older target is
// removed so that the next run makes it again. A target that is a symbolic
// link is replaced, never written through.
bool ffconvertone(const std::string& source, const std::string& target,
                  const libgr::direction2ul_t& size);

// The first frame of movie as a JPEG still (at size, or the movie's own size
// for (0, 0)) unless jpg is up to date; written and checked (a whole JPEG
// stream) like the conversions.
bool ffsavethumbnail(const std::string& movie, const std::string& jpg,
                     const libgr::direction2ul_t& size);

// Levels 1 up to M+1 of the movie mp4, each from the level before, each with
// its still; size is level 0's.
bool ffshrinkone(const path_t& path, const std::vector<std::string>& names, const std::string& mp4,
                 uint64_t level, const libgr::direction2ul_t& size);

// Every level of the imported movie original/name, with stills: what making
// and updating an album do for each movie. Diagnostics on err.
bool ffmovie(const path_t& path, const std::string& name, std::ostream& err);

}  // namespace snapfolio
