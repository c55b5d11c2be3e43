// The album pages in a real browser: headless Chromium loads index.html and
// list.html of an album with awkward file names, at normal and double
// density, and a script on a copy of each page reports every image that did
// not load.
#include <gtest/gtest.h>

#include <sstream>

#include "support/movieclips.h"
#include "support/pagetest.h"
#include "support/testenv.h"

using namespace snapfolio;
using pagetest::PageTest;

namespace {

const char* const chromium = "/usr/bin/chromium";

// Appended to a copy of the page beside it, so that its relative links
// resolve as the page's own: one line per image, "ok" or "broken" and the
// URL the browser chose from the source set.
const char* const probe_script = R"(
<script>
window.addEventListener('load', function () {
  var lines = ['images=' + document.images.length];
  for (var i = 0; i < document.images.length; ++i) {
    var im = document.images[i];
    lines.push((im.complete && im.naturalWidth > 0 ? 'ok ' : 'broken ') + (im.currentSrc || im.src));
  }
  var r = document.createElement('pre');
  r.id = 'probe';
  r.textContent = lines.join('\n');
  document.body.appendChild(r);
});
</script>
)";

struct probe_t {
    int images = -1;
    std::vector<std::string> ok, broken;
};

// Loads the page (with `extra` put before the script) in Chromium at the
// given device scale. The probe's report, or images = -1 when the browser
// gave none (it is stopped after 90 seconds).
probe_t load_in_browser(const std::string& page, int scale, const std::string& extra = "") {
    const std::string dir = page.substr(0, page.rfind('/'));
    const std::string copy = dir + "/probe-" + std::to_string(scale) + ".html";
    EXPECT_TRUE(testenv::write_file(copy, testenv::read_file(page) + extra + probe_script));
    const std::string profile = testenv::scratch_dir("chromium");
    std::string dom;
    testenv::run("timeout -k 5 90 " + std::string(chromium) +
                     " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                     " --disable-background-networking --disable-component-update --disable-sync"
                     " --user-data-dir=" +
                     testenv::shell_quote(profile) + " --force-device-scale-factor=" +
                     std::to_string(scale) + " --virtual-time-budget=10000 --dump-dom " +
                     testenv::shell_quote("file://" + copy) + " 2>/dev/null </dev/null",
                 &dom);
    std::remove(copy.c_str());
    probe_t p;
    const size_t start = dom.find("<pre id=\"probe\">");
    if (start == std::string::npos) return p;
    std::istringstream in(dom.substr(start + 16, dom.find("</pre>", start) - start - 16));
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 7, "images=") == 0)
            p.images = std::stoi(line.substr(7));
        else if (line.compare(0, 3, "ok ") == 0)
            p.ok.push_back(line.substr(3));
        else if (line.compare(0, 7, "broken ") == 0)
            p.broken.push_back(line.substr(7));
    }
    return p;
}

std::string joined(const std::vector<std::string>& v) {
    std::string s;
    for (const std::string& x : v) s += x + "\n";
    return s;
}

// How many of the URLs lie in the level folder `level` ("/size2/").
size_t in_level(const std::vector<std::string>& urls, const std::string& level) {
    size_t n = 0;
    for (const std::string& u : urls) n += u.find(level) != std::string::npos;
    return n;
}

}  // namespace

TEST_F(PageTest, EveryImageOfTheAlbumPagesLoadsInChromium) {
    if (!testenv::exists(chromium))
        GTEST_SKIP() << chromium << " is not installed (scripts/install-deps.sh --test)";
    // 256x192 against 64: L = 2, levels size0 .. size3 and thumb.
    const char* const names[] = {"a b.JPG", "x#1.jpg", "p%20q.jpeg", "c,d.JPG", "q?.jpg"};
    std::vector<std::string> files;
    unsigned seed = 1;
    for (const char* n : names) {
        put(n, pagetest::photo(256, 192, seed++, pagetest::full_exif("X1")));
        files.push_back(n);
    }
    size_t movies = 0;
    if (testenv::have_program("ffmpeg") && testenv::have_program("ffprobe")) {
        put("m o#v,1.AVI", testenv::read_file(movieclips::clip(movieclips::clip_camera_avi)));
        files.push_back("m o#v,1.AVI");
        movies = 1;
    }
    pagetest::put_text(album, "good.txt", "a b.JPG\r\n");
    ASSERT_TRUE(make(files));
    const size_t photos = sizeof names / sizeof names[0];

    for (int scale : {1, 2}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        // The detailed page shows level L (size2) with size1 for double
        // density; the compact page shows size3 with size2.
        probe_t index = load_in_browser(album.str("index.html"), scale);
        ASSERT_GE(index.images, 0) << "Chromium gave no report";
        EXPECT_EQ(size_t(index.images), photos);
        EXPECT_TRUE(index.broken.empty()) << joined(index.broken);
        EXPECT_EQ(in_level(index.ok, scale == 1 ? "/size2/" : "/size1/"), photos)
            << joined(index.ok);

        probe_t list = load_in_browser(album.str("list.html"), scale);
        ASSERT_GE(list.images, 0) << "Chromium gave no report";
        EXPECT_EQ(size_t(list.images), photos + movies);
        EXPECT_TRUE(list.broken.empty()) << joined(list.broken);
        EXPECT_EQ(in_level(list.ok, scale == 1 ? "/size3/" : "/size2/"), photos) << joined(list.ok);
    }

    // The probe does see an image that fails.
    probe_t bad = load_in_browser(album.str("list.html"), 1, "<img src=\"size3/none.jpg\">\n");
    EXPECT_EQ(size_t(bad.images), photos + movies + 1);
    ASSERT_EQ(bad.broken.size(), 1u) << joined(bad.broken);
    EXPECT_NE(bad.broken[0].find("/size3/none.jpg"), std::string::npos);
}
