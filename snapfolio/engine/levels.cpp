#include "snapfolio/engine/levels.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <memory>

#include "libgr/image/rotate.h"
#include "libgr/image/scaledown.h"
#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/transform.h"
#include "libutils/atomicfile.h"
#include "libutils/error.h"
#include "libutils/file.h"
#include "snapfolio/engine/global.h"
#include "snapfolio/engine/import.h"
#include "snapfolio/engine/movie.h"
#include "snapfolio/engine/rotatejpeg.h"

namespace snapfolio {

namespace {

using markers_t = std::vector<libgr::jpeginfo_t::marker_t>;

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

bool halve(libgr::image2d_t& picture) {
    libgr::image2d_t half;
    if (!libgr::scaledown(half, picture)) return false;
    picture = half;
    return true;
}

// Decodes the full size; a picture that libjpeg had to make up blocks for
// (cut-off or corrupt data) is refused: its levels would look whole.
bool decode(libgr::image2d_t& picture, libgr::jpeginfo_t& decoded, libgr::jpegdata_t& data) {
    decoded.max_pixels = max_pixels();
    return decoded.decompress(picture, data) && decoded.warnings == 0;
}

// What became of one photo: levels made (or up to date), left out because
// the photo itself cannot be read (reported, the album goes on), or a
// failure that ends the operation (a file that cannot be written).
enum class photo_t { done, left_out, failed };

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

// The files of one photo's ladder. Written at once, or, when the whole
// ladder is turned, held back: each file is first complete under a temporary
// name beside its target, and only then are all renamed into place. A
// folder that cannot be written or a full disk then leaves the old ladder
// whole, never a mix of turned and unturned levels.
class ladder_files_t {
    bool m_staged;
    std::vector<std::unique_ptr<libutils::atomic_ofstream>> m_files;

  public:
    explicit ladder_files_t(bool staged) : m_staged(staged) {}

    // False (errno set) when the bytes cannot be written; the held-back
    // files are then dropped by the destructor.
    bool put(const std::string& target, const libutils::bytevector& bytes) {
        // A directory in the way would only fail the rename at the end.
        struct stat st;
        if (::lstat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return false;
        }
        auto file = std::make_unique<libutils::atomic_ofstream>();
        if (!file->open(target)) return false;
        file->write(reinterpret_cast<const char*>(bytes.begin()), std::streamsize(bytes.size()));
        file->flush();
        if (!*file) {
            if (errno == 0) errno = EIO;
            return false;
        }
        if (!m_staged) return file->commit();
        m_files.push_back(std::move(file));
        return true;
    }

    // Renames the held-back files into place.
    bool commit(std::ostream& err) {
        bool ok = true;
        for (auto& file : m_files)
            if (!file->commit())
                ok = libutils::fail(err, file->target(), ": write error, ", std::strerror(errno));
        m_files.clear();
        return ok;
    }
};

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

namespace {

// savejpeg's encoding, into memory.
bool encodejpeg(libgr::jpegdata_t& out, const std::string& file, const libgr::image2d_t& image,
                const markers_t& markers) {
    libgr::jpeginfo_t info;
    info.markers = markers;
    out.name = file.c_str();
    int quality = int(uint32_t(g_global.jpeg_compress));
    if (info.compress(out, image, quality, true)) return true;
    return libutils::fail(std::cerr, file, ": svjinfo compress() fail.");
}

}  // namespace

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

// The thumbnail: the EXIF thumbnail's bytes, turned like the photo, or the
// picture as it is now (halved L+2 times) when there is none, it cannot be
// turned, or the photo's turn is not known (turn -1).
// A level encoded from the picture, as savejpeg writes it.
bool write_level(ladder_files_t& files, const std::string& out, const libgr::image2d_t& picture,
                 const markers_t& markers, std::ostream& err) {
    libgr::jpegdata_t encoded;
    if (!encodejpeg(encoded, out, picture, markers)) return libutils::fail(err, out, ": savejpeg fail.");
    if (files.put(out, encoded)) return true;
    libutils::report(err, out, ": write error, ", std::strerror(errno));
    return libutils::fail(err, out, ": savejpeg fail.");
}

// The thumbnail: the EXIF thumbnail's bytes, turned like the photo, or the
// picture as it is now (halved L+2 times) when there is none, it cannot be
// turned, or the photo's turn is not known (turn -1).
bool write_thumbnail(ladder_files_t& files, const std::string& out, const original_t& o, int turn,
                     const libgr::image2d_t& picture, std::ostream& err) {
    if (!o.thumbnail.empty() && turn >= 0) {
        if (turn == 0) {
            if (files.put(out, o.thumbnail)) return true;
            return libutils::fail(err, out, ": thumbnail save fail, ", std::strerror(errno));
        }
        // Turned in memory and written once: a run killed in between never
        // leaves a thumbnail that looks done but lies on its side.
        libgr::jpegdata_t exif, turned;
        exif.setvector(o.thumbnail, out.c_str());
        if (libgr::transform(turn, turned, exif)) {
            if (files.put(out, turned)) return true;
            return libutils::fail(err, out, ": thumbnail save fail, ", std::strerror(errno));
        }
        // A thumbnail that does not turn cleanly gives way to the picture.
    }
    return write_level(files, out, picture, markers_t(), err);
}

bool write_thumbnail(const std::string& out, const original_t& o, int turn,
                     const libgr::image2d_t& picture, std::ostream& err) {
    ladder_files_t files(false);
    return write_thumbnail(files, out, o, turn, picture, err);
}

// shrinkone of an original already opened.
photo_t shrinkone_opened(original_t& o, const path_t& path, const std::vector<std::string>& names,
                         const std::string& name, uint64_t level, uint64_t rotate,
                         std::ostream& err, tick_signal_t* ticks = nullptr) {
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

    std::vector<bool> stale(level + 3, false);
    bool any = false;
    for (uint64_t i = 1; i <= level + 2; ++i) {
        stale[i] = size0_changed || must_write(o.file, path.str(names[i], name));
        any = any || stale[i];
    }
    if (!any) return photo_t::done;  // nothing to write: no need to decode either
    tick(ticks);

    libgr::jpegdata_t& full = turned ? turned_data : o.data;
    libgr::jpeginfo_t decoded;
    libgr::image2d_t picture;
    if (!decode(picture, decoded, full)) {
        libutils::report(err, turned ? size0 : o.file, ": shrinkone() decompress fail.");
        return left_out(o, err, "its picture data are damaged or cut off");
    }
    // A turned photo's levels carry no segments: its EXIF orientation would
    // turn the upright pixels once more.
    const markers_t markers = turned ? markers_t() : decoded.markers;
    tick(ticks);
    if (!halve(picture)) {
        libutils::report(err, name, ": scaledown() fail.");
        return photo_t::failed;
    }
    for (uint64_t i = 1; i <= level + 1; ++i) {
        std::string out = path.str(names[i], name);
        if (stale[i] && !savejpeg(out, picture, markers)) {
            libutils::report(err, out, ": savejpeg fail.");
            return photo_t::failed;
        }
        tick(ticks);
        if (!halve(picture)) {
            libutils::report(err, out, ": scaledown() fail.");
            return photo_t::failed;
        }
    }
    if (stale[level + 2] &&
        !write_thumbnail(path.str(names[level + 2], name), o, int(turn), picture, err))
        return photo_t::failed;
    return photo_t::done;
}

// What shrink and shrinkupdate do with the outcome of one photo: a photo
// left out is counted and the album goes on.
bool carry_on(photo_t r, size_t& left_out_count) {
    if (r == photo_t::left_out) ++left_out_count;
    return r != photo_t::failed;
}

// The end of shrink and shrinkupdate: the count of photos left out goes to
// the caller that asks for it; one that does not gets false.
bool finish(size_t left_out_count, size_t* left_out_out) {
    if (left_out_out) {
        *left_out_out = left_out_count;
        return true;
    }
    return left_out_count == 0;
}

}  // namespace

bool shrinkone(const path_t& path, const std::vector<std::string>& names, const std::string& name,
               uint64_t level, uint64_t rotate, std::ostream& err) {
    original_t o;
    return open_reporting(o, path, name, "shrinkone() original", err) == photo_t::done &&
           shrinkone_opened(o, path, names, name, level, rotate, err) == photo_t::done;
}

bool shrink(const path_t& path, const std::vector<files_t>& files,
            sigc::signal<void, double>& progress, std::ostream& err, size_t* left_out_out,
            tick_signal_t* ticks) {
    remove_stale_temporaries(path);
    if (!make_directory(path.str("thumb"), err)) return false;
    size_t left_out_count = 0;
    const size_t n = files.size();
    for (size_t i = 0; i < n; ++i) {
        const files_t& entry = files[i];
        if (is_photo(entry.name)) {
            // The original is opened once: its header gives the level.
            original_t o;
            photo_t r = open_reporting(o, path, entry.name, "shrinkone() original", err);
            if (r == photo_t::done) {
                const uint64_t level = shrink_level_of(o.info);
                const std::vector<std::string> names = levelnames(level);
                r = make_level_dirs(path, names, err)
                        ? shrinkone_opened(o, path, names, entry.name, level, entry.rotate, err,
                                           ticks)
                        : photo_t::failed;
            }
            if (!carry_on(r, left_out_count)) return libutils::fail(err, "shinkone() fail.");
        } else if (is_movie(entry.name)) {
            if (!ffmovie(path, entry.name, err)) return false;
        }
        progress.emit(double(i + 1) / double(n));
    }
    return finish(left_out_count, left_out_out);
}

namespace {
photo_t shrinkoneupdate_opened(original_t& o, const std::vector<std::string>& names,
                               const path_t& path, const std::string& name, uint64_t level,
                               uint64_t start, uint64_t rotate, std::ostream& err,
                               tick_signal_t* ticks = nullptr);
}  // namespace

bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress, std::ostream& err,
                  size_t* left_out_out, tick_signal_t* ticks) {
    remove_stale_temporaries(path);
    size_t left_out_count = 0;
    const size_t n = files.size();
    for (size_t i = 0; i < n; ++i) {
        const files_t& entry = files[i];
        if (is_photo(entry.name)) {
            // The original is opened once: its header gives the level. One
            // that cannot be read counts as level 0, and is left out below
            // only when a level of it has to be made.
            original_t o;
            bool opened = open_original(o, path.str("original", entry.name)) == open_result_t::ok;
            uint64_t level = opened ? shrink_level_of(o.info) : 0;
            std::vector<std::string> names = levelnames(level);
            if (!make_level_dirs(path, names, err)) return false;
            uint64_t start = names.size();  // none to make
            if (entry.rotate != 0) {
                start = 0;
            } else {
                // A missing level, or a smaller one that is a link (never
                // written through, so made again).
                for (uint64_t k = 0; k < names.size() && start == names.size(); ++k) {
                    struct stat st;
                    const std::string file = path.str(names[k], entry.name);
                    if (k == 0 ? ::stat(file.c_str(), &st) != 0 || is_foreign_link(file, entry.name)
                               : ::lstat(file.c_str(), &st) != 0 || S_ISLNK(st.st_mode))
                        start = k;
                }
            }
            photo_t r = photo_t::done;
            if (start < names.size()) {
                // Opened again only to report why it cannot be.
                if (!opened) r = open_reporting(o, path, entry.name, "shrinkoneupdate()", err);
                if (r == photo_t::done)
                    r = shrinkoneupdate_opened(o, names, path, entry.name, level, start,
                                               entry.rotate, err, ticks);
            }
            if (!carry_on(r, left_out_count)) return false;
        } else if (is_movie(entry.name)) {
            // Conversions and stills skip every target newer than its source.
            if (!ffmovie(path, entry.name, err)) return false;
        }
        progress.emit(double(i + 1) / double(n));
    }
    return finish(left_out_count, left_out_out);
}

namespace {

// shrinkoneupdate of an original already opened.
photo_t shrinkoneupdate_opened(original_t& o, const std::vector<std::string>& names,
                               const path_t& path, const std::string& name, uint64_t level,
                               uint64_t start, uint64_t rotate, std::ostream& err,
                               tick_signal_t* ticks) {
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

    if (rotate == 0) {
        bool any = false;
        for (size_t i = 0; i < names.size(); ++i)
            any = any || (i == 0 ? size0_stale : must_write(o.file, path.str(names[i], name)));
        if (!any) return photo_t::done;
    }

    tick(ticks);
    libgr::jpegdata_t loaded;
    if (!have_turned && !loaded.load(size0.c_str())) {
        libutils::report(err, size0, ": shrinkoneupdate() jpegdata load fail.");
        return left_out(o, err, "its full size cannot be read");
    }
    libgr::jpegdata_t& full = have_turned ? turned_data : loaded;
    libgr::jpeginfo_t decoded;
    libgr::image2d_t picture;
    if (!decode(picture, decoded, full)) {
        libutils::report(err, name, ": shrinkoneupdate() decompress fail.");
        return left_out(o, err, "its picture data are damaged or cut off");
    }
    // As when the album was made: a turned photo's levels carry no segments
    // (not even the JFIF header of the turned full size, which would follow
    // libjpeg's own as a second one).
    const markers_t markers = turned_file ? markers_t() : decoded.markers;
    tick(ticks);
    for (uint64_t i = 0; i < start; ++i) {
        if (!halve(picture)) {
            libutils::report(err, name, ": scaledown() fail.");
            return photo_t::failed;
        }
    }
    for (uint64_t i = start; i <= level + 1; ++i) {
        std::string out = path.str(names[i], name);
        // Level 0 was made above, losslessly: it is never encoded again.
        if (i > 0 && (rotate != 0 || must_write(o.file, out))) {
            if (!make_directory(path.str(names[i]), err) ||
                !write_level(files, out, picture, markers, err))
                return photo_t::failed;
            tick(ticks);
        }
        if (!halve(picture)) {
            libutils::report(err, out, ": scaledown() fail.");
            return photo_t::failed;
        }
    }
    // The thumbnail, like the levels, only when asked to turn or stale: an
    // existing one already has the turn it was made with.
    std::string thumb = path.str(names[level + 2], name);
    if (rotate == 0 && !must_write(o.file, thumb)) return photo_t::done;
    if (stored_turn < 0 && !o.thumbnail.empty()) {
        // The camera's thumbnail fits a full size turned by its orientation
        // (as this album makes it); any other turn is not known here, and
        // the thumbnail is then made from the picture.
        libgr::jpegdata_t expected;
        stored_turn = libgr::transform(turn, expected, o.data) && file_holds(size0, expected)
                          ? int(turn)
                          : -1;
    }
    return write_thumbnail(files, thumb, o, stored_turn, picture, err) && files.commit(err)
               ? photo_t::done
               : photo_t::failed;
}

}  // namespace

bool shrinkoneupdate(const std::vector<std::string>& names, const path_t& path,
                     const files_t& entry, uint64_t level, uint64_t start, uint64_t rotate,
                     std::ostream& err) {
    original_t o;
    return open_reporting(o, path, entry.name, "shrinkoneupdate()", err) == photo_t::done &&
           shrinkoneupdate_opened(o, names, path, entry.name, level, start, rotate, err) ==
               photo_t::done;
}

}  // namespace snapfolio
