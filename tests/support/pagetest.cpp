#include "support/pagetest.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <sstream>

#include "support/scoped_env.h"
#include "glimlib/message.h"
#include "snapfolio/engine/bookpage.h"
#include "snapfolio/engine/chain.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"
#include "tools/exifwriter/exifwriter.h"

namespace ew = exifwriter;

namespace pagetest {

void load_catalogue() {
    static bool loaded = false;
    if (loaded) return;
    scoped_env lang("LANG", nullptr);
    testenv::stderr_of(
        [&] { loaded = !glimlib::init_message(testenv::bin_dir() + "/", "snapfolio").empty(); });
    EXPECT_TRUE(loaded) << "the catalogue " << testenv::bin_dir() << "/snapfolio.msg is missing";
}

std::string photo(int width, int height, unsigned seed, const std::string& tiff) {
    jpegfixture::options_t o;
    o.width = width;
    o.height = height;
    o.seed = seed;
    const auto bytes = jpegfixture::make_jpeg(o);
    std::string jpeg(bytes.begin(), bytes.end());
    return tiff.empty() ? jpeg : ew::splice_app1(jpeg, ew::exif_payload(tiff));
}

std::string full_exif(const std::string& model) {
    ew::tiff_t t;
    ew::ifd_t exif;
    exif.add(ew::ascii(0x9003, "2024:05:06 07:08:09"));  // DateTimeOriginal
    exif.add(ew::rationals(0x829D, {{28, 10}}));         // FNumber
    exif.add(ew::rationals(0x829A, {{10, 2500}}));       // ExposureTime
    exif.add(ew::shorts(0x9207, {5}));                   // MeteringMode
    t.ifd0.add(ew::ascii(0x010F, "TestCam"));
    t.ifd0.add(ew::ascii(0x0110, model));
    t.ifd0.add(ew::subdirectory(0x8769, exif));
    return ew::write_tiff(t);
}

std::string camera_only_exif(const std::string& model) {
    ew::tiff_t t;
    t.ifd0.add(ew::ascii(0x010F, "TestCam"));
    t.ifd0.add(ew::ascii(0x0110, model));
    return ew::write_tiff(t);
}

std::string masked(const std::string& page) {
    const std::string key = "\nHTML Generated: ";
    const size_t at = page.find(key);
    EXPECT_NE(at, std::string::npos) << "no time line in\n" << page;
    if (at == std::string::npos) return page;
    const size_t end = page.find('\n', at + 1);
    std::string out = page;
    out.replace(at, end - at, key + "TIME");
    return out;
}

std::string page(const std::string& file) {
    EXPECT_TRUE(testenv::exists(file)) << file;
    return masked(testenv::read_file(file));
}

std::string foot(const std::string& address) {
    return "<hr>\n" + (address.empty() ? std::string() : "\t<address>" + address + "</address>\n") +
           "<!-- hhmts start -->\nHTML Generated: TIME\n<!-- hhmts end -->\n</BODY>\n</HTML>\n";
}

std::string kib(const std::string& file) {
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) return "(missing " + file + ")";
    return std::to_string((st.st_size + 1023) / 1024);
}

int64_t mtime_ns(const std::string& file) {
    struct stat st;
    if (::lstat(file.c_str(), &st) != 0) return 0;
    return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

void age(const std::string& file, int64_t seconds_ago) {
    struct timespec t[2];
    t[0].tv_sec = t[1].tv_sec = std::time(nullptr) - seconds_ago;
    t[0].tv_nsec = t[1].tv_nsec = 0;
    ::utimensat(AT_FDCWD, file.c_str(), t, AT_SYMLINK_NOFOLLOW);
}

void put_text(const snapfolio::path_t& album, const std::string& name, const std::string& text) {
    ::mkdir(album.str().c_str(), 0755);
    ::mkdir(album.str("txt").c_str(), 0755);
    ASSERT_TRUE(testenv::write_file(album.str("txt", name), text));
}

void PageTest::SetUp() {
    load_catalogue();
    camera = testenv::scratch_dir("camera");
    root = testenv::scratch_dir("albums");
    album = snapfolio::path_t(root, "", "trip");
    ::mkdir(album.str().c_str(), 0755);
    snapfolio::g_global.shrink_width = snapfolio::g_global.shrink_height = 64;
    snapfolio::g_global.html_header = "<meta charset=\"UTF-8\">";
    snapfolio::g_global.html_address = "me";
    snapfolio::g_global.movie_thumbnail_retina = true;
    snapfolio::g_global.play_size_x = 1920;
    snapfolio::g_global.play_size_y = 1080;
}

void PageTest::put(const std::string& name, const std::string& bytes) {
    ASSERT_TRUE(testenv::write_file(camera + "/" + name, bytes)) << name;
    age(camera + "/" + name, 86400);
}

testing::AssertionResult PageTest::make(const std::vector<std::string>& names,
                                        const snapfolio::path_t& path) {
    std::vector<snapfolio::files_t> files;
    for (const std::string& n : names) files.push_back(snapfolio::files_t{n, 0});
    sigc::signal<void, double> copy, shrink, html, zoom;
    std::ostringstream err;
    ::mkdir(path.str().c_str(), 0755);
    bool ok = false;
    const std::string log = testenv::stderr_of([&] {
        testenv::stdout_of([&] {
            ok = snapfolio::makealbumwithrotate(camera, files, path, copy, shrink, html, zoom, err);
        });
    });
    if (ok) return testing::AssertionSuccess();
    return testing::AssertionFailure() << err.str() << log;
}

testing::AssertionResult PageTest::write_book() {
    std::ostringstream err;
    bool ok = false;
    const std::string log = testenv::stderr_of(
        [&] { ok = snapfolio::makehtmlbook(snapfolio::path_t(root, "", ""), err); });
    if (ok) return testing::AssertionSuccess();
    return testing::AssertionFailure() << err.str() << log;
}

}  // namespace pagetest
