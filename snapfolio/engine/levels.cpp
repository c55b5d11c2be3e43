#include "snapfolio/engine/levels.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>

#include "libgr/image/rotate.h"
#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/transform.h"
#include "libutils/atomicfile.h"
#include "libutils/error.h"
#include "libutils/file.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/import.h"
#include "snapfolio/engine/rotatejpeg.h"
#include "snapfolio/engine/rungs.h"
#include "snapfolio/engine/thumbchoice.h"

namespace snapfolio {

namespace {

// An imported original, mapped, with what its header and EXIF segment say.
// Not copyable: data.name points into file.
struct original_t {
    std::string file;
    libgr::jpegdata_t data;
    libgr::jpeginfo_t info;
    libgr::app1_marker_t app1;
    libutils::bytevector thumbnail;  // the EXIF thumbnail; empty when none
    bool has_orientation = false;
    int orientation = 0;

    original_t() = default;
    original_t(const original_t&) = delete;
    original_t& operator=(const original_t&) = delete;
};

enum class open_result_t { ok, load_failed, analyze_failed, too_large };

// The pixel limit of the settings, in pixels.
uint64_t max_pixels() {
    return g_global.pixel_limit * 1000000;
}

open_result_t open_original(original_t& o, const std::string& file) {
    o.file = file;
    if (!o.data.load(o.file.c_str())) return open_result_t::load_failed;
    if (!o.info.analyze_markers(o.data)) return open_result_t::analyze_failed;
    // The header's claim is checked before anything of that size exists: a
    // few bytes may claim 65000 x 65000 pixels.
    if (o.info.width * o.info.height > max_pixels()) return open_result_t::too_large;
    libutils::bytevector app1 = o.info.get_marker(libgr::MARKER_APP1);
    if (!app1.empty()) {
        o.app1.set_app1_buffer(app1);
        bool parsed = o.app1.parse();
        if (parsed && !o.app1.tiff_header.thumbnail_buffer.empty())
            o.thumbnail = o.app1.tiff_header.thumbnail_buffer;
        // A maker note that does not parse leaves the standard fields read:
        // the orientation still counts.
        const auto& orientation = o.app1.tiff_header.tag_0th.Orientation;
        if (!orientation.empty()) {
            o.has_orientation = true;
            o.orientation = orientation[0];
        }
    }
    return open_result_t::ok;
}

// The user's turn together with the one the EXIF orientation asks for.
uint64_t effective_turn(uint64_t rotate, const original_t& o) {
    if (!o.has_orientation) return rotate;
    return uint64_t(libgr::mixorientandrightrotatecount(int(rotate), o.orientation));
}

// "../original/" and the name: relative, so the album can be moved.
std::string link_text(const std::string& name) {
    return path_t("", "..", "").str("original", name);
}

// Whether size0 already is the full size of an unturned photo: the link to
// its original, a hard link to it, or a copy of it (same size, same time).
bool is_full_size_of(const std::string& size0, const std::string& name, const original_t& o) {
    struct stat ls, st, os;
    if (::lstat(size0.c_str(), &ls) != 0 || ::stat(o.file.c_str(), &os) != 0) return false;
    if (S_ISLNK(ls.st_mode)) {
        std::string want = link_text(name);
        std::vector<char> buf(want.size() + 2);
        ssize_t n = ::readlink(size0.c_str(), buf.data(), buf.size());
        return n == ssize_t(want.size()) && std::memcmp(buf.data(), want.data(), want.size()) == 0;
    }
    if (!S_ISREG(ls.st_mode) || ::stat(size0.c_str(), &st) != 0) return false;
    if (st.st_dev == os.st_dev && st.st_ino == os.st_ino) return true;
    return st.st_size == os.st_size && st.st_mtim.tv_sec == os.st_mtim.tv_sec &&
           st.st_mtim.tv_nsec == os.st_mtim.tv_nsec;
}

// A full size that is a symbolic link other than the album's own link to
// its original: made again, never read or written through.
bool is_foreign_link(const std::string& size0, const std::string& name) {
    struct stat st;
    if (::lstat(size0.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return false;
    const std::string want = link_text(name);
    std::vector<char> buf(want.size() + 2);
    const ssize_t n = ::readlink(size0.c_str(), buf.data(), buf.size());
    return n != ssize_t(want.size()) || std::memcmp(buf.data(), want.data(), want.size()) != 0;
}

// Decodes the full size down the ladder; a picture that libjpeg had to make
// up blocks for (cut-off or corrupt data) is refused: its levels would look
// whole. Nothing is written before the decode has ended.
bool decode(ladder_stream_t& ladder, libgr::jpeginfo_t& decoded, libgr::jpegdata_t& data) {
    decoded.max_pixels = max_pixels();
    return decoded.decompress_rows(ladder, data) && decoded.warnings == 0;
}

// Between two pieces of one photo's work, on the caller's thread.
void tick(tick_signal_t* t) {
    if (t) t->emit();
}

photo_t left_out(const original_t& o, std::ostream& err, const std::string& reason) {
    libutils::report(err, o.file, ": left out of the album, ", reason, ".");
    return photo_t::left_out;
}

// Whether a level file must be written again: missing or older than its
// original, or a symbolic link (the album's own files are never written
// through a link, and a link's target may look up to date).
bool must_write(const std::string& original, const std::string& level) {
    struct stat st;
    if (::lstat(level.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return true;
    return libutils::need_update(original, level);
}

uint64_t shrink_level_of(const libgr::jpeginfo_t& info) {
    return shrink_level(info.width, info.height);
}

// Opens the original of name, or writes name, ": ", who and what failed,
// and leaves the photo out.
photo_t open_reporting(original_t& o, const path_t& path, const std::string& name,
                       const char* who, std::ostream& err) {
    switch (open_original(o, path.str("original", name))) {
        case open_result_t::ok:
            return photo_t::done;
        case open_result_t::load_failed:
            libutils::report(err, name, ": ", who, " jpegdata load fail.");
            return left_out(o, err, "it cannot be read");
        case open_result_t::analyze_failed:
            libutils::report(err, name, ": ", who, " analyze_markers fail.");
            return left_out(o, err, "not a JPEG picture that can be decoded");
        case open_result_t::too_large:
            return left_out(o, err,
                            std::to_string(o.info.width) + "x" + std::to_string(o.info.height) +
                                " pixels claimed, more than the limit of " +
                                std::to_string(g_global.pixel_limit) + " megapixels");
    }
    return photo_t::failed;
}

// "." name ".tmp" and six letters or digits, as the atomic writers and
// copyfile_replacing name them.
bool is_plain_temporary(const std::string& f) {
    if (f.size() < 12 || f[0] != '.' || f.compare(f.size() - 10, 4, ".tmp") != 0) return false;
    for (size_t i = f.size() - 6; i < f.size(); ++i)
        if (!std::isalnum((unsigned char)f[i])) return false;
    return true;
}

// A plain temporary, or one followed by the extension that tells ffmpeg
// the format of what it writes.
bool is_temporary(const std::string& f) {
    if (is_plain_temporary(f)) return true;
    for (const char* ext : {".mp4", ".jpg"})
        if (f.size() > 4 && f.compare(f.size() - 4, 4, ext) == 0 &&
            is_plain_temporary(f.substr(0, f.size() - 4)))
            return true;
    return false;
}

bool has_number_after(const std::string& d, const char* prefix) {
    const size_t n = std::strlen(prefix);
    if (d.size() <= n || d.compare(0, n, prefix) != 0) return false;
    for (size_t i = n; i < d.size(); ++i)
        if (!std::isdigit((unsigned char)d[i])) return false;
    return true;
}

// The folders the chains write files into.
bool is_written_dir(const std::string& d) {
    return d == "original" || d == "thumb" || d == "html" || d == "txt" ||
           has_number_after(d, "size") || has_number_after(d, "movie");
}

bool make_level_dirs(const path_t& path, const std::vector<std::string>& names, std::ostream& err) {
    for (const std::string& n : names)
        if (!make_directory(path.str(n), err)) return false;
    return true;
}

}  // namespace

uint64_t halvings_to_fit(uint64_t width, uint64_t height, uint64_t max_width, uint64_t max_height) {
    uint64_t count = 0;
    while (width > max_width || height > max_height) {
        width /= 2;
        height /= 2;
        ++count;
    }
    return count;
}

uint64_t shrink_level(uint64_t width, uint64_t height) {
    return halvings_to_fit(width, height, g_global.shrink_width, g_global.shrink_height);
}

uint64_t getshrinklevel(const std::string& file) {
    libgr::jpegdata_t data;
    if (!data.load(file.c_str())) {
        libutils::report(std::cerr, file, ": getshrinklevel() jpegdata load fail.");
        return 0;
    }
    libgr::jpeginfo_t info;
    if (!info.analyze_markers(data)) {
        libutils::report(std::cerr, file, ": getshrinklevel() analyze_markers fail.");
        return 0;
    }
    return shrink_level_of(info);
}

uint64_t getshrinklevel(const std::string& albumdir, const std::string& name) {
    return getshrinklevel(albumdir + "/original/" + name);
}

uint64_t getshrinklevel(const path_t& path, const std::string& name) {
    return getshrinklevel(path.str("original", name));
}

std::vector<std::string> levelnames(uint64_t level) {
    std::vector<std::string> names;
    for (uint64_t i = 0; i <= level + 1; ++i) names.push_back("size" + std::to_string(i));
    names.push_back("thumb");
    return names;
}

bool savejpeg(const std::string& file, const libgr::image2d_t& image, const markers_t& markers) {
    libgr::jpegdata_t out;
    if (!encodejpeg(out, file, image, markers)) return false;
    if (!out.save(file.c_str()))
        return libutils::fail(std::cerr, file, ": svjdata save() fail, ", std::strerror(errno));
    return true;
}

void remove_stale_temporaries(const path_t& path) {
    std::vector<std::string> dirs, files;
    if (!libutils::getdirs(dirs, path.str())) return;
    dirs.push_back("");  // the album's own pages
    for (const std::string& d : dirs) {
        if ((!d.empty() && !is_written_dir(d)) || !libutils::getfiles(files, path.str(d))) continue;
        for (const std::string& f : files)
            if (is_temporary(f)) ::unlink(path.str(d, f).c_str());
    }
}

namespace {

// The levels of a photo made anew from an original already opened.
photo_t make_opened(original_t& o, const path_t& path, const std::vector<std::string>& names,
                    const std::string& name, uint64_t level, uint64_t rotate, std::ostream& err,
                    tick_signal_t* ticks) {
    const uint64_t turn = effective_turn(rotate, o);
    const bool turned = rotate != 0 || turn != 0;

    // The full size. When it is the same as before (the same link, or the
    // same turned bytes), smaller levels newer than the original are kept;
    // when it changed they are all made again, so the ladder never mixes two
    // turns of the photo.
    std::string size0 = path.str(names[0], name);
    libgr::jpegdata_t turned_data;
    bool size0_changed = false;
    if (turned) {
        if (!turnjpeg(o.data, turn, size0, turned_data, &size0_changed)) {
            libutils::report(err, name, ": shrinkone() rotatejpeg fail.");
            // Nothing turned: the photo's data is damaged; else the write
            // failed.
            if (turned_data.empty()) return left_out(o, err, "it cannot be turned losslessly");
            return photo_t::failed;
        }
        turned_data.name = size0.c_str();
    } else if (!is_full_size_of(size0, name, o)) {
        size0_changed = true;
        if (!copyjpeg(o.file, size0, link_text(name))) {
            libutils::report(err, name, ": shrinkone() copyjpeg fail.");
            return photo_t::failed;
        }
    }

    rungs_t r{path, names, name, level, 0, std::vector<bool>(level + 3, false)};
    bool any = false;
    for (uint64_t i = 1; i <= level + 2; ++i) {
        r.write[i] = size0_changed || must_write(o.file, path.str(names[i], name));
        any = any || r.write[i];
    }
    if (!any) return photo_t::done;  // nothing to write: no need to decode either
    tick(ticks);

    libgr::jpegdata_t& full = turned ? turned_data : o.data;
    libgr::jpeginfo_t decoded;
    // A turned photo's levels carry no segments: its EXIF orientation would
    // turn the upright pixels once more.
    ladder_stream_t ladder(r, turned ? nullptr : &decoded.markers, ticks);
    if (!decode(ladder, decoded, full)) {
        libutils::report(err, turned ? size0 : o.file, ": shrinkone() decompress fail.");
        return left_out(o, err, "its picture data are damaged or cut off");
    }
    tick(ticks);
    ladder_files_t files(false);
    if (!ladder.finish(files, ticks, err)) return photo_t::failed;
    if (r.write[level + 2] && !write_thumbnail(files, path.str(names[level + 2], name),
                                               o.thumbnail, int(turn), ladder.smallest(), err))
        return photo_t::failed;
    return photo_t::done;
}

// The rung from which a photo's ladder must be made again without a turn
// asked for: a missing level, or a smaller one that is a link (never written
// through); names.size() when none.
uint64_t first_missing(const path_t& path, const std::vector<std::string>& names,
                       const std::string& name) {
    for (uint64_t k = 0; k < names.size(); ++k) {
        struct stat st;
        const std::string file = path.str(names[k], name);
        if (k == 0 ? ::stat(file.c_str(), &st) != 0 || is_foreign_link(file, name)
                   : ::lstat(file.c_str(), &st) != 0 || S_ISLNK(st.st_mode))
            return k;
    }
    return names.size();
}

// The levels of a photo brought up to date from rung start on, from an
// original already opened.
photo_t update_opened(original_t& o, const std::vector<std::string>& names, const path_t& path,
                      const std::string& name, uint64_t level, uint64_t start, uint64_t rotate,
                      std::ostream& err, tick_signal_t* ticks) {
    const uint64_t turn = effective_turn(rotate, o);

    // The full size. A turn asked for now is made again from the original.
    // Without one, a missing or stale full size is made as the album was
    // (turned when the orientation asks for it), and an existing one is
    // what the levels are made from, whatever turn it was made with: the
    // turns asked for when the album was made are not kept anywhere.
    //
    // A turn asked for now rewrites every level: they are all held back and
    // put in place together at the end.
    ladder_files_t files(rotate != 0);
    std::string size0 = path.str(names[0], name);
    libgr::jpegdata_t turned_data;
    bool have_turned = false;
    bool turned_file = false;  // size0 is a turned copy, not the original
    int stored_turn = -1;      // the turn size0 was made with; -1: not known
    const bool size0_stale = is_foreign_link(size0, name) || libutils::need_update(o.file, size0);
    if (rotate != 0) {
        if (!libgr::transform(turn, turned_data, o.data)) {
            libutils::report(err, name, ": rotatejpeg() fail.");
            return left_out(o, err, "it cannot be turned losslessly");
        }
        if (!files.put(size0, turned_data)) {
            libutils::report(err, size0, ": write error, ", std::strerror(errno));
            libutils::report(err, name, ": rotatejpeg() fail.");
            return photo_t::failed;
        }
        turned_data.name = size0.c_str();
        have_turned = turned_file = true;
        stored_turn = int(turn);
    } else if (turn != 0 && size0_stale) {
        if (!turnjpeg(o.data, turn, size0, turned_data, nullptr)) {
            libutils::report(err, name, ": rotatejpeg() fail.");
            if (turned_data.empty()) return left_out(o, err, "it cannot be turned losslessly");
            return photo_t::failed;
        }
        turned_data.name = size0.c_str();
        have_turned = turned_file = true;
        stored_turn = int(turn);
    } else if (size0_stale) {
        if (!copyjpeg(o.file, size0, link_text(name))) {
            libutils::report(err, name, ": copyjpeg() fail.");
            return photo_t::failed;
        }
        stored_turn = 0;
    } else {
        turned_file = !is_full_size_of(size0, name, o);
        if (!turned_file) stored_turn = 0;
    }

    rungs_t r{path, names, name, level, start, std::vector<bool>(level + 3, false)};
    bool any = false;
    for (size_t i = 0; i < names.size(); ++i) {
        r.write[i] = rotate != 0 || (i == 0 ? size0_stale : must_write(o.file, path.str(names[i], name)));
        any = any || r.write[i];
    }
    if (!any) return photo_t::done;

    tick(ticks);
    libgr::jpegdata_t loaded;
    if (!have_turned && !loaded.load(size0.c_str())) {
        libutils::report(err, size0, ": shrinkoneupdate() jpegdata load fail.");
        return left_out(o, err, "its full size cannot be read");
    }
    libgr::jpegdata_t& full = have_turned ? turned_data : loaded;
    libgr::jpeginfo_t decoded;
    // As when the album was made: a turned photo's levels carry no segments
    // (not even the JFIF header of the turned full size, which would follow
    // libjpeg's own as a second one).
    ladder_stream_t ladder(r, turned_file ? nullptr : &decoded.markers, ticks);
    if (!decode(ladder, decoded, full)) {
        libutils::report(err, name, ": shrinkoneupdate() decompress fail.");
        return left_out(o, err, "its picture data are damaged or cut off");
    }
    tick(ticks);
    if (!ladder.finish(files, ticks, err)) return photo_t::failed;
    // The thumbnail, like the levels, only when asked to turn or stale: an
    // existing one already has the turn it was made with.
    if (!r.write[level + 2]) return photo_t::done;
    // The camera's thumbnail fits a full size turned by its orientation (as
    // this album makes it); any other turn is not known here, and the
    // thumbnail is then made from the picture.
    if (stored_turn < 0 && !o.thumbnail.empty()) stored_turn = full_size_turn(o.data, turn, size0);
    return write_thumbnail(files, path.str(names[level + 2], name), o.thumbnail, stored_turn,
                           ladder.smallest(), err) &&
                   files.commit(err)
               ? photo_t::done
               : photo_t::failed;
}

}  // namespace

photo_t make_photo_levels(const path_t& path, const files_t& entry, std::ostream& err,
                          tick_signal_t* ticks) {
    // The original is opened once: its header gives the level.
    original_t o;
    photo_t r = open_reporting(o, path, entry.name, "shrinkone() original", err);
    if (r != photo_t::done) return r;
    const uint64_t level = shrink_level_of(o.info);
    const std::vector<std::string> names = levelnames(level);
    if (!make_level_dirs(path, names, err)) return photo_t::failed;
    return make_opened(o, path, names, entry.name, level, entry.rotate, err, ticks);
}

photo_t update_photo_levels(const path_t& path, const files_t& entry, std::ostream& err,
                            tick_signal_t* ticks) {
    // The original is opened once: its header gives the level. One that
    // cannot be read counts as level 0, and is left out below only when a
    // level of it has to be made.
    original_t o;
    const bool opened = open_original(o, path.str("original", entry.name)) == open_result_t::ok;
    const uint64_t level = opened ? shrink_level_of(o.info) : 0;
    const std::vector<std::string> names = levelnames(level);
    if (!make_level_dirs(path, names, err)) return photo_t::failed;
    const uint64_t start = entry.rotate != 0 ? 0 : first_missing(path, names, entry.name);
    if (start == names.size()) return photo_t::done;
    // Opened again only to report why it cannot be.
    if (!opened) {
        const photo_t r = open_reporting(o, path, entry.name, "shrinkoneupdate()", err);
        if (r != photo_t::done) return r;
    }
    return update_opened(o, names, path, entry.name, level, start, entry.rotate, err, ticks);
}

}  // namespace snapfolio
