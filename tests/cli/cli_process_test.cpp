// snapfolio-cli run as a process: exit statuses, one-line diagnostics, the
// help text against the command table, settings from $HOME/.snapfolio with
// the command-line overrides, and the exif command against writeexif.
#include <gtest/gtest.h>

#include <sstream>

#include "support/scoped_env.h"
#include "glimlib/message.h"
#include "snapfolio/cli/commands.h"
#include "snapfolio/engine/exifdesc.h"
#include "support/jpegfixture.h"
#include "support/testenv.h"
#include "tools/exifwriter/exifwriter.h"

namespace ew = exifwriter;

namespace {

struct result_t {
    int status = -1;
    std::string out, err;
};

// Runs the program with `args` (already quoted for the shell) in a scratch
// folder, HOME set to `home` and LANG unset.
result_t cli(const std::string& args, const std::string& home) {
    const std::string dir = testenv::scratch_dir("run");
    const std::string err = dir + "/stderr";
    result_t r;
    r.status = testenv::run("cd " + testenv::shell_quote(dir) +
                                " && env -u LANG HOME=" + testenv::shell_quote(home) + " " +
                                testenv::shell_quote(testenv::bin_dir() + "/snapfolio-cli") + " " +
                                args + " 2>" + testenv::shell_quote(err),
                            &r.out);
    r.err = testenv::read_file(err);
    return r;
}

size_t count_lines(const std::string& s) {
    size_t n = 0;
    for (char c : s) n += c == '\n';
    return n;
}

// A small JPEG, with an EXIF segment when `tiff` is not empty.
std::string photo(const std::string& name, const std::string& tiff) {
    jpegfixture::options_t o;
    o.width = o.height = 16;
    const auto pixels = jpegfixture::make_jpeg(o);
    std::string jpeg(pixels.begin(), pixels.end());
    if (!tiff.empty()) jpeg = ew::splice_app1(jpeg, ew::exif_payload(tiff));
    const std::string path = testenv::scratch_dir("photo") + "/" + name;
    EXPECT_TRUE(testenv::write_file(path, jpeg));
    return path;
}

std::string constructed_tiff() {
    ew::tiff_t t;
    ew::ifd_t exif;
    exif.add(ew::ascii(0x9003, "2024:05:06 07:08:09"));
    exif.add(ew::rationals(0x829D, {{28, 10}}));
    exif.add(ew::rationals(0x829A, {{10, 2500}}));
    exif.add(ew::shorts(0x9207, {2}));
    t.ifd0.add(ew::ascii(0x010F, "TestCam"));
    t.ifd0.add(ew::ascii(0x0110, "X1"));
    t.ifd0.add(ew::subdirectory(0x8769, exif));
    return ew::write_tiff(t);
}

// What an index page of these files, in this order, holds for each: one
// stream, so an F-number's fixed notation carries over to the next picture,
// with the catalogue of snapfolio loaded as the program has it.
std::vector<std::string> page_texts(const std::vector<std::string>& files) {
    scoped_env lang("LANG", nullptr);  // the catalogue the program gets
    testenv::stderr_of([&] { glimlib::init_message(testenv::bin_dir() + "/", "snapfolio"); });
    snapfolio::initexif();
    std::ostringstream out;
    std::vector<std::string> texts;
    for (const std::string& file : files) {
        const size_t slash = file.rfind('/'), start = out.str().size();
        EXPECT_TRUE(snapfolio::writeexif(out, snapfolio::path_t(file.substr(0, slash), "", ""), "",
                                         file.substr(slash + 1), true));
        texts.push_back(out.str().substr(start));
    }
    return texts;
}

std::string page_text(const std::string& file) {
    return page_texts({file})[0];
}

// The description lines of one file's block in the exif command's output.
std::string description_of(const std::string& out, const std::string& file) {
    const size_t block = out.find(file + ":\n");
    if (block == std::string::npos) return "(no block for " + file + ")";
    const size_t start = out.find("description:\n", block);
    if (start == std::string::npos) return "(no description)";
    const size_t from = start + 13;
    const size_t end = out.find("\n\n", from);
    return out.substr(from, end == std::string::npos ? std::string::npos : end + 1 - from);
}

}  // namespace

TEST(CliProcess, HelpListsEveryCommandAndOption) {
    const std::string home = testenv::scratch_dir("home");
    for (const char* args : {"--help", "-h", "help", "help --help"}) {
        const result_t r = cli(args, home);
        EXPECT_EQ(r.status, 0) << args;
        EXPECT_EQ(r.err, "") << args;
        for (const snapfolio::command_t* c = snapfolio::commands; c->name; ++c) {
            EXPECT_NE(r.out.find(std::string("\n  ") + c->name), std::string::npos)
                << args << ": " << c->name;
            EXPECT_NE(r.out.find(c->help), std::string::npos) << args << ": " << c->name;
        }
        for (const char* option : {"--album-root DIR", "--shrink-size WxH", "--quality N",
                                   "--ffmpeg OPTS", "-h, --help"})
            EXPECT_NE(r.out.find(option), std::string::npos) << args << ": " << option;
    }
    const result_t one = cli("help exif", home);
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out.find("usage: snapfolio-cli [OPTIONS] exif FILE...\n"), 0u);
    EXPECT_EQ(cli("exif --help", home).out, one.out);
}

TEST(CliProcess, UsageErrorsExitNonZeroWithOneLine) {
    const std::string home = testenv::scratch_dir("home");
    struct {
        const char* args;
        const char* line;
    } cases[] = {
        {"frobnicate", "frobnicate: unknown command, see snapfolio-cli --help.\n"},
        {"--bogus exif x.jpg", "--bogus: unknown option, see snapfolio-cli --help.\n"},
        {"exif x.jpg --bogus=1", "--bogus: unknown option, see snapfolio-cli --help.\n"},
        {"", "snapfolio-cli: no command given, see snapfolio-cli --help.\n"},
        {"settings --quality",
         "--quality: needs a number from 1 to 100, see snapfolio-cli --help.\n"},
        {"settings --quality 101",
         "--quality: needs a number from 1 to 100, see snapfolio-cli --help.\n"},
        {"settings --shrink-size 800",
         "--shrink-size: needs a size such as 1024x768, see snapfolio-cli --help.\n"},
        {"help nothing", "nothing: unknown command, see snapfolio-cli --help.\n"},
        {"exif", "exif: no file given, see snapfolio-cli help exif.\n"},
    };
    for (const auto& c : cases) {
        const result_t r = cli(c.args, home);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.err, c.line) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
    }
}

TEST(CliProcess, SettingsComeFromTheHomeFolderAndTheOverrides) {
    const std::string home = testenv::scratch_dir("home");
    // No settings file: the built-in defaults, no dialog and no message.
    result_t r = cli("settings", home);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("\nalbum=" + home + "/album\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\njpeg_compress=100\n"), std::string::npos) << r.out;

    ASSERT_TRUE(testenv::write_file(home + "/.snapfolio",
                                    "album=/srv/photos\r\njpeg_compress=0x50\r\n"
                                    "shrink_size=800,600\r\nffmpeg=-c:v mpeg4\r\n"));
    r = cli("settings", home);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    for (const char* line : {"\nalbum=/srv/photos\n", "\njpeg_compress=80\n",
                             "\nshrink_size=800,600\n", "\nffmpeg=-c:v mpeg4\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;

    r =
        cli("--album-root /tmp/albums settings --shrink-size 640x480 --quality=90 --ffmpeg "
            "'-c:v libx265 -crf 28'",
            home);
    EXPECT_EQ(r.status, 0);
    for (const char* line : {"\nalbum=/tmp/albums\n", "\njpeg_compress=90\n",
                             "\nshrink_size=640,480\n", "\nffmpeg=-c:v libx265 -crf 28\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line << r.out;
}

TEST(CliProcess, ExifPrintsFieldsAndThePageDescription) {
    const std::string home = testenv::scratch_dir("home");
    const std::string file = photo("with exif.jpg", constructed_tiff());
    const result_t r = cli(testenv::shell_quote(file), home);
    EXPECT_EQ(r.status, 2);  // the command comes first
    const result_t e = cli("exif " + testenv::shell_quote(file), home);
    EXPECT_EQ(e.status, 0) << e.err;
    EXPECT_EQ(e.err, "");
    EXPECT_EQ(e.out.find(file + ":\n"), 0u) << e.out;
    for (const char* field :
         {"  IFD0.Make: TestCam\n", "  IFD0.Model: X1\n", "  Exif.FNumber: 28/10\n",
          "  Exif.ExposureTime: 10/2500\n", "  Exif.MeteringMode: 2\n"})
        EXPECT_NE(e.out.find(field), std::string::npos) << field << e.out;
    EXPECT_EQ(description_of(e.out, file), page_text(file));
    // The catalogue's text for centre-weighted metering.
    EXPECT_NE(description_of(e.out, file).find(std::string(", ") + snapfolio::meteringmode[2]),
              std::string::npos);
}

TEST(CliProcess, AFileWithoutExifFailsAndTheOthersAreStillDescribed) {
    const std::string home = testenv::scratch_dir("home");
    const std::string plain = photo("plain.jpg", "");
    const std::string good = photo("good.jpg", constructed_tiff());
    const result_t r = cli(
        "exif " + testenv::shell_quote(plain) + " /nonexistent.jpg " + testenv::shell_quote(good),
        home);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(
        r.err,
        plain + ": no EXIF data.\n/nonexistent.jpg: open error, No such file or directory.\n");
    EXPECT_EQ(r.out.find(good + ":\n"), 0u) << r.out;
    EXPECT_EQ(description_of(r.out, good), page_text(good));
}

TEST(CliProcess, CameraFilesDescribedAsTheirPages) {
    SKIP_WITHOUT_CAMERA_FILES();
    const std::string home = testenv::scratch_dir("home");
    const std::string dir = testenv::camera_dir();
    const char* names[] = {"Olympus_E-20.jpg", "Olympus_S760.jpg", "om-system_OM-1_spliced.jpg",
                           "pentax_K-30_makeRICOH_spliced.jpg", "nikon_D90_DSC_0010.JPG"};
    std::string args = "exif";
    for (const char* n : names) args += " " + testenv::shell_quote(dir + "/" + n);
    const result_t r = cli(args, home);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::vector<std::string> files;
    for (const char* n : names) files.push_back(dir + "/" + n);
    const std::vector<std::string> texts = page_texts(files);
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(description_of(r.out, files[i]), texts[i]) << files[i];
    // As on an index page, the E-20's F-number leaves the stream in fixed
    // notation: the S760's focal length of 6.5 mm comes out whole.
    EXPECT_NE(description_of(r.out, files[1]).find("\t<br>f=6mm, f/3.4"), std::string::npos);
    // Four blank lines between five blocks, none inside a block.
    size_t blank = 0;
    for (size_t p = 0; (p = r.out.find("\n\n", p)) != std::string::npos; ++p) ++blank;
    EXPECT_EQ(blank, 4u);
    EXPECT_GT(count_lines(r.out), 5u * 10u);
}
