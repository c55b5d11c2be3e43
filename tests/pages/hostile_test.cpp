// snapfolio-cli against what a hostile camera folder, album tree or disk
// holds: markup in names and camera strings (loaded in headless Chromium),
// headers that claim huge pictures (peak memory of the process), files of the
// album replaced by links to files elsewhere, a broken photo among good ones,
// and a disk that fills up.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>
#include <sstream>

#include "libutils/file.h"
#include "support/linkcheck.h"
#include "support/pagetest.h"
#include "support/testenv.h"
#include "tools/exifwriter/exifwriter.h"
#include "support/movieclips.h"

namespace ew = exifwriter;

namespace {

const char* const chromium = "/usr/bin/chromium";
// Runs when markup from a name or a camera string gets through.
const char* const payload = "<img src=x onerror=\"document.title='PWNED'\">";

struct result_t {
    int status = -1;
    std::string out, err;
    long peak_kib = 0;  // the process's peak resident memory
};

class HostileTest : public testing::Test {
  protected:
    std::string home, work, camera;

    void SetUp() override {
        home = testenv::scratch_dir("home");
        work = testenv::scratch_dir("work");
        camera = work + "/cam";
        ::mkdir(camera.c_str(), 0755);
    }
    // snapfolio-cli with the 64x64 limit in `work`, as a child whose peak
    // memory is measured; args are separate words, passed as they are.
    result_t cli(const std::vector<std::string>& args, const std::string& dir = "") {
        const std::string out = testenv::scratch_dir("out") + "/out";
        const std::string err = out + ".err";
        std::vector<std::string> words = {testenv::bin_dir() + "/snapfolio-cli", "--shrink-size",
                                          "64x64"};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(&w[0]);
        argv.push_back(nullptr);
        result_t r;
        const pid_t pid = ::fork();
        if (pid == 0) {
            if (::chdir((dir.empty() ? work : dir).c_str()) != 0) _exit(127);
            ::setenv("HOME", home.c_str(), 1);
            ::unsetenv("LANG");
            if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr))
                _exit(127);
            ::execv(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(pid, &status, 0, &usage);
        r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.peak_kib = usage.ru_maxrss;
        r.out = testenv::read_file(out);
        r.err = testenv::read_file(err);
        return r;
    }
    // Starts the program in its own process group and kills the group
    // (ffmpeg included) after `seconds`.
    void kill_after(const std::vector<std::string>& args, const std::string& dir, double seconds) {
        std::vector<std::string> words = {testenv::bin_dir() + "/snapfolio-cli"};
        words.insert(words.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& w : words) argv.push_back(&w[0]);
        argv.push_back(nullptr);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setpgid(0, 0);
            if (::chdir(dir.c_str()) != 0) _exit(127);
            ::setenv("HOME", home.c_str(), 1);
            if (!std::freopen("/dev/null", "w", stdout) || !std::freopen("/dev/null", "w", stderr))
                _exit(127);
            ::execv(argv[0], argv.data());
            _exit(127);
        }
        ::setpgid(pid, pid);
        ::usleep(useconds_t(seconds * 1e6));
        ::kill(-pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }
    void put(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(testenv::write_file(camera + "/" + name, bytes));
        pagetest::age(camera + "/" + name, 86400);
    }
};

// A photo whose make, model and lens hold markup.
std::string hostile_photo(unsigned seed) {
    ew::tiff_t t;
    ew::ifd_t exif;
    exif.add(ew::ascii(0x9003, "2024:05:06 07:08:09"));
    exif.add(ew::ascii(0xA434, std::string("Lens ") + payload));
    t.ifd0.add(ew::ascii(0x010F, std::string("Make&") + payload));
    t.ifd0.add(ew::ascii(0x0110, std::string("Model\"") + payload));
    t.ifd0.add(ew::subdirectory(0x8769, exif));
    return pagetest::photo(256, 192, seed, ew::write_tiff(t));
}

// Appended to a copy of the page: the title (which the payload changes when
// it runs), how many images the page holds and its visible text.
const char* const probe_script = R"(
<script>
window.addEventListener('load', function () {
  setTimeout(function () {
    var r = document.createElement('pre');
    r.id = 'probe';
    r.textContent = 'title=' + document.title + '\nimages=' + document.images.length +
        '\ntext=' + document.body.innerText.replace(/\n/g, ' ');
    document.body.appendChild(r);
  }, 200);
});
</script>
)";

// A file URL for any path: every byte but letters, digits and "/._-"
// percent-encoded.
std::string file_url(const std::string& path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string url = "file://";
    for (unsigned char c : path) {
        if (std::isalnum(c) || c == '/' || c == '.' || c == '_' || c == '-') {
            url.push_back(char(c));
        } else {
            url.push_back('%');
            url.push_back(hex[c >> 4]);
            url.push_back(hex[c & 15]);
        }
    }
    return url;
}

// The probe's report on the page loaded in Chromium; empty when none.
std::string load_in_browser(const std::string& page) {
    const std::string copy = page.substr(0, page.rfind('/')) + "/probe.html";
    EXPECT_TRUE(testenv::write_file(copy, testenv::read_file(page) + probe_script));
    std::string dom;
    testenv::run("timeout -k 5 90 " + std::string(chromium) +
                     " --headless --no-sandbox --disable-gpu --no-first-run"
                     " --disable-background-networking --disable-component-update --disable-sync"
                     " --user-data-dir=" +
                     testenv::shell_quote(testenv::scratch_dir("chromium")) +
                     " --virtual-time-budget=5000 --dump-dom " +
                     testenv::shell_quote(file_url(copy)) + " 2>/dev/null </dev/null",
                 &dom);
    std::remove(copy.c_str());
    const size_t start = dom.find("<pre id=\"probe\">");
    if (start == std::string::npos) return "";
    return dom.substr(start + 16, dom.find("</pre>", start) - start - 16);
}

// Text as the browser's DOM dump writes it inside an element.
std::string as_dumped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else
            out.push_back(c);
    }
    return out;
}

bool is_symlink(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

// Every page kind of a tree whose book, album and file names hold markup,
// quotes, an ampersand and a backslash, with a photo whose camera strings
// hold markup: no script runs, the names show as text, and every link still
// leads to its file.
TEST_F(HostileTest, MarkupInNamesAndCameraStringsNeverRunsInAnyPage) {
    if (!testenv::exists(chromium))
        GTEST_SKIP() << chromium << " is not installed (scripts/install-deps.sh --test)";
    const std::string evil = "<i>x<\\i> & \"q\" 'a'";
    const std::string book = "b" + evil, album_name = "a" + evil;
    const std::string photo = "p" + evil + ".jpg", other = "same.jpg", nested = "p\\same.jpg";
    put(photo, hostile_photo(1));
    put(other, pagetest::photo(128, 96, 2));
    put(nested, pagetest::photo(128, 96, 3));
    std::vector<std::string> args = {"make", "cam", book + "/" + album_name, photo, other, nested};
    std::string movie;
    if (testenv::have_program("ffmpeg") && testenv::have_program("ffprobe")) {
        movie = "m" + evil + ".AVI";
        put(movie, testenv::read_file(movieclips::clip(movieclips::clip_camera_avi)));
        args.push_back(movie);
    }
    result_t r = cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string bookdir = work + "/" + book, albumdir = bookdir + "/" + album_name;
    // A backslash is part of a name: each photo has zoom pages of its own.
    EXPECT_TRUE(testenv::exists(albumdir + "/html/p\\same_1.html"));
    EXPECT_TRUE(testenv::exists(albumdir + "/html/same_1.html"));
    // Marks for both collections, which the batch then writes.
    pagetest::put_text(snapfolio::path_t(bookdir, "", album_name), "good.txt",
                       photo + "\r\n" + movie + "\r\n");
    pagetest::put_text(snapfolio::path_t(bookdir, "", album_name), "best.txt", photo + "\r\n");
    ::mkdir((bookdir + "/_Best").c_str(), 0755);
    ::mkdir((bookdir + "/_BestBook").c_str(), 0755);
    r = cli({"batch", book});
    ASSERT_EQ(r.status, 0) << r.err;

    std::vector<std::string> pages = {albumdir + "/index.html",
                                      albumdir + "/list.html",
                                      albumdir + "/html/" + "p" + evil + "_1.html",
                                      bookdir + "/index.html",
                                      bookdir + "/_Best/index.html",
                                      bookdir + "/_Best/list.html",
                                      bookdir + "/_BestBook/index.html",
                                      bookdir + "/_BestBook/list.html"};
    if (!movie.empty()) pages.push_back(albumdir + "/html/m" + evil + "_2_0.html");
    for (const std::string& page : pages) {
        SCOPED_TRACE(page);
        ASSERT_TRUE(testenv::exists(page));
        const std::string report = load_in_browser(page);
        ASSERT_NE(report, "") << "Chromium gave no report";
        EXPECT_EQ(report.find("title=PWNED"), std::string::npos) << report;
    }
    // The probe does see a payload that runs.
    const std::string control = testenv::scratch_dir("control") + "/page.html";
    ASSERT_TRUE(testenv::write_file(control, std::string("<HTML><BODY>") + payload + "\n"));
    EXPECT_NE(load_in_browser(control).find("title=PWNED"), std::string::npos);
    // The names and camera strings are shown as written.
    const std::string index = load_in_browser(albumdir + "/index.html");
    for (const std::string& text : {photo, std::string("Make&") + payload, "Lens " + std::string(payload)})
        EXPECT_NE(index.find(as_dumped(text)), std::string::npos) << text << "\n" << index;
    const std::string best = load_in_browser(bookdir + "/_Best/index.html");
    EXPECT_NE(best.find(as_dumped("title=" + book + " ")), std::string::npos) << best;
    EXPECT_NE(load_in_browser(bookdir + "/index.html").find(as_dumped(album_name)),
              std::string::npos);
    const auto broken = linkcheck::broken_links(bookdir);
    EXPECT_TRUE(broken.empty()) << linkcheck::describe(broken);
    EXPECT_GT(linkcheck::count_links(bookdir), 20u);
}

// Small files whose frame headers claim 20000x20000 and 65000x65000 pixels
// are refused before anything of that size is allocated; the good photo
// beside them gets its levels and pages, the exit status says something was
// left out, and an update afterwards completes the same way.
TEST_F(HostileTest, HugeClaimsAndBrokenFilesAreLeftOutWithLittleMemory) {
    const std::string good = pagetest::photo(128, 96, 1);
    std::string small = pagetest::photo(320, 240, 2);
    auto claiming = [&](unsigned side) {
        std::string b = small;
        const size_t sof = b.find("\xFF\xC0");
        for (int i = 0; i < 2; ++i) {
            b[sof + 5 + 2 * i] = char(side >> 8);
            b[sof + 6 + 2 * i] = char(side & 0xFF);
        }
        return b;
    };
    put("GOOD.JPG", good);
    put("HUGE.JPG", claiming(20000));
    put("HUGER.JPG", claiming(65000));
    put("EMPTY.JPG", "");
    result_t r = cli({"make", "cam", "trip"});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::string a = work + "/trip";
    EXPECT_NE(r.err.find(a + "/original/HUGE.JPG: left out of the album, 20000x20000 pixels "
                             "claimed, more than the limit of 200 megapixels.\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(a + "/original/HUGER.JPG: left out of the album, 65000x65000 pixels"),
              std::string::npos);
    EXPECT_NE(r.err.find(a + "/original/EMPTY.JPG: left out of the album, "), std::string::npos);
    EXPECT_NE(r.err.find(a + ": 3 photos left out.\n"), std::string::npos) << r.err;
    EXPECT_LT(r.peak_kib, 100 * 1024) << "peak memory in KiB";
    EXPECT_EQ(testenv::read_file(a + "/txt/count.txt"), "+1\n");
    EXPECT_NE(testenv::read_file(a + "/list.html").find("thumb/GOOD.JPG"), std::string::npos);
    EXPECT_NE(testenv::read_file(work + "/index.html").find("trip/index.html"), std::string::npos);

    r = cli({"update", "trip"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find(a + ": 3 photos left out.\n"), std::string::npos) << r.err;
    EXPECT_LT(r.peak_kib, 100 * 1024);
    const auto broken = linkcheck::broken_links(a);
    EXPECT_TRUE(broken.empty()) << linkcheck::describe(broken);
}

// Every file the chains write, found as a link to a file outside the album
// (newer than the original, so that it looks up to date), is replaced by a
// file of the album; the file outside stays as it was.
TEST_F(HostileTest, LinksInTheAlbumAreReplacedNeverWrittenThrough) {
    put("P.JPG", pagetest::photo(128, 96, 1));
    put("T.JPG", pagetest::photo(128, 96, 2));
    std::vector<std::string> args = {"make", "cam", "trip", "P.JPG", "T.JPG:90"};
    std::vector<std::string> written = {"size0/P.JPG", "size1/P.JPG",  "size2/P.JPG",
                                        "thumb/P.JPG", "size0/T.JPG",  "size1/T.JPG",
                                        "thumb/T.JPG", "index.html",   "list.html",
                                        "html/P_1.html", "txt/count.txt"};
    const bool movies = testenv::have_program("ffmpeg") && testenv::have_program("ffprobe");
    if (movies) {
        put("M.AVI", testenv::read_file(movieclips::clip(movieclips::clip_camera_avi)));
        args.push_back("M.AVI");
        for (const char* f : {"movie0/M.mp4", "movie0/M.jpg", "movie1/M.mp4", "movie1/M.jpg"})
            written.push_back(f);
    }
    result_t r = cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string a = work + "/trip", outside = testenv::scratch_dir("precious");
    for (const std::string& f : written) {
        SCOPED_TRACE(f);
        const std::string precious = outside + "/" + std::to_string(&f - &written[0]);
        ASSERT_TRUE(testenv::write_file(precious, "precious " + f));
        ASSERT_EQ(::unlink((a + "/" + f).c_str()), 0);
        ASSERT_EQ(::symlink(precious.c_str(), (a + "/" + f).c_str()), 0);
    }
    r = cli({"update", "trip"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string& f : written) {
        SCOPED_TRACE(f);
        const std::string precious = outside + "/" + std::to_string(&f - &written[0]);
        EXPECT_EQ(testenv::read_file(precious), "precious " + f);
        // A full size may be the album's own link to its original (the
        // turn a replaced full size was made with is not known any more).
        if (is_symlink(a + "/" + f)) {
            ASSERT_EQ(f.compare(0, 6, "size0/"), 0);
            char target[256] = {0};
            ASSERT_GT(::readlink((a + "/" + f).c_str(), target, sizeof target - 1), 0);
            EXPECT_EQ(std::string(target), "../original/" + f.substr(6));
        }
        EXPECT_NE(testenv::read_file(a + "/" + f).compare(0, 8, "precious"), 0);
    }
}

// A make on a small file system that fills up fails naming the file and the
// system's reason; with more room, an update completes the album with no
// temporary left behind.
TEST_F(HostileTest, AFullDiskIsNamedAndAnUpdateCompletesTheAlbumAfterwards) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting a small tmpfs needs root";
    const std::string disk = testenv::scratch_dir("disk");
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=600k") != 0)
        GTEST_SKIP() << "tmpfs cannot be mounted here: " << std::strerror(errno);
    struct unmount_t {
        std::string dir;
        ~unmount_t() { ::umount2(dir.c_str(), MNT_DETACH); }
    } unmount{disk};
    // Originals of about 300 KiB in all fit; their levels do not.
    for (int i = 0; i < 4; ++i)
        put("P" + std::to_string(i) + ".JPG", pagetest::photo(512, 384, 10 + i));
    ::mkdir((disk + "/trip").c_str(), 0755);
    result_t r = cli({"make", camera, disk + "/trip"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(disk + "/trip/"), std::string::npos) << r.err;

    ASSERT_EQ(::mount("tmpfs", disk.c_str(), "tmpfs", MS_REMOUNT, "size=16m"), 0);
    r = cli({"update", disk + "/trip"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(testenv::read_file(disk + "/trip/txt/count.txt"), "+4\n");
    const auto broken = linkcheck::broken_links(disk + "/trip");
    EXPECT_TRUE(broken.empty()) << linkcheck::describe(broken);
    std::string left;
    testenv::run("find " + testenv::shell_quote(disk) + " -name '.*tmp*'", &left);
    EXPECT_EQ(left, "");
}

namespace {

// Every entry below dir ("f ./index.html", "l ./size0/A.JPG", "d ./html")
// with what it holds: a page with its time line masked, a link's target, a
// file's bytes.
std::map<std::string, std::string> tree_of(const std::string& dir) {
    std::string listing;
    testenv::run("cd " + testenv::shell_quote(dir) + " && find . -mindepth 1 -printf '%y %p\\n'",
                 &listing);
    std::map<std::string, std::string> tree;
    std::istringstream in(listing);
    std::string line;
    while (std::getline(in, line)) {
        const std::string path = dir + "/" + line.substr(4);
        std::string& held = tree[line];
        if (line[0] == 'l') {
            char target[512] = {0};
            if (::readlink(path.c_str(), target, sizeof target - 1) > 0) held = target;
        } else if (line[0] == 'f') {
            const bool page = line.size() > 5 && line.compare(line.size() - 5, 5, ".html") == 0;
            held = page ? pagetest::masked(testenv::read_file(path)) : testenv::read_file(path);
        }
    }
    return tree;
}

std::string tree_differences(const std::map<std::string, std::string>& a,
                             const std::map<std::string, std::string>& b) {
    std::string d;
    for (const auto& e : a) {
        auto it = b.find(e.first);
        if (it == b.end())
            d += "missing " + e.first + "\n";
        else if (it->second != e.second)
            d += "differs " + e.first + "\n";
    }
    for (const auto& e : b)
        if (!a.count(e.first)) d += "extra " + e.first + "\n";
    return d;
}

}  // namespace

// A make with a clip killed at points spread over its run (copy, levels,
// conversions, pages), then an update (or, when the kill came before every
// file was imported, the same make again, as the user would): each time
// the album ends equal to one made without interruption, with no temporary
// file left.
TEST_F(HostileTest, AMakeKilledAnywhereIsCompletedByTheNextRun) {
    SKIP_WITHOUT_FFMPEG();
    for (int i = 0; i < 3; ++i) put("P" + std::to_string(i) + ".JPG", pagetest::photo(800, 600, i));
    put("M.AVI", testenv::read_file(movieclips::clip(movieclips::clip_camera_avi)));
    const std::vector<std::string> make = {"--shrink-size", "320x320", "make", camera, "trip"};
    const std::vector<std::string> update = {"--shrink-size", "320x320", "update", "trip"};

    const std::string reference_dir = testenv::scratch_dir("reference");
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(cli(make, reference_dir).status, 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const auto reference = tree_of(reference_dir + "/trip");
    ASSERT_GT(reference.size(), 20u);

    const int points = 6;
    for (int k = 0; k < points; ++k) {
        const double at = seconds * (k + 0.5) / points;
        SCOPED_TRACE("killed after " + std::to_string(at) + " s");
        const std::string dir = testenv::scratch_dir("killed");
        kill_after(make, dir, at);
        std::vector<std::string> originals;
        libutils::getfiles(originals, dir + "/trip/original");
        const bool imported = std::count_if(originals.begin(), originals.end(), [](const std::string& f) {
                                  return f[0] != '.';
                              }) == 4;
        const result_t r = cli(imported ? update : make, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(tree_differences(reference, tree_of(dir + "/trip")), "");
    }
}
