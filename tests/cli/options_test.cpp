// The front end's option parser: both option forms, options on either side
// of the command, "--", and values it must refuse.
#include <gtest/gtest.h>

#include <sstream>

#include "snapfolio/cli/options.h"

using snapfolio::cli_options_t;

namespace {

bool parse(cli_options_t& o, std::vector<const char*> args, std::string* err = nullptr) {
    args.insert(args.begin(), "snapfolio-cli");
    std::ostringstream e;
    const bool ok = snapfolio::parse_cli_options(o, int(args.size()), args.data(), e);
    if (err) *err = e.str();
    return ok;
}

}  // namespace

TEST(CliOptions, OverridesInBothFormsOnEitherSideOfTheCommand) {
    cli_options_t o;
    ASSERT_TRUE(parse(o, {"--album-root", "/srv/a", "make", "x", "--quality=85", "--shrink-size",
                          "800x600", "y", "--ffmpeg", "-c:v libx265", "--jobs=3", "--",
                          "--quality"}));
    EXPECT_EQ(o.command, "make");
    EXPECT_EQ(o.args, (std::vector<std::string>{"x", "y", "--quality"}));
    EXPECT_EQ(*o.album_root, "/srv/a");
    EXPECT_EQ(*o.quality, 85u);
    EXPECT_EQ(*o.shrink_width, 800u);
    EXPECT_EQ(*o.shrink_height, 600u);
    EXPECT_EQ(*o.ffmpeg, "-c:v libx265");
    EXPECT_FALSE(o.help);

    snapfolio::global_t g;
    g.jpeg_compress = 100;
    g.hwaccel = "vaapi";
    snapfolio::apply_overrides(o, g);
    EXPECT_EQ(g.album, "/srv/a");
    EXPECT_EQ(g.jpeg_compress, 85u);
    EXPECT_EQ(g.shrink_width, 800u);
    EXPECT_EQ(g.shrink_height, 600u);
    EXPECT_EQ(g.ffmpeg, "-c:v libx265");
    EXPECT_EQ(g.jobs, 3u);
    EXPECT_EQ(g.hwaccel, "vaapi");  // not overridden

    // Nothing given: nothing overridden; "-" is an argument.
    cli_options_t none;
    ASSERT_TRUE(parse(none, {"exif", "-"}));
    snapfolio::global_t before = g;
    snapfolio::apply_overrides(none, g);
    EXPECT_EQ(g.album, before.album);
    EXPECT_EQ(g.jpeg_compress, before.jpeg_compress);
    EXPECT_EQ(none.args, std::vector<std::string>{"-"});
}

TEST(CliOptions, ShrinkSizeAcceptsTheSettingsFileForm) {
    cli_options_t o;
    ASSERT_TRUE(parse(o, {"--shrink-size=1600,1200"}));
    EXPECT_EQ(*o.shrink_width, 1600u);
    EXPECT_EQ(*o.shrink_height, 1200u);
}

TEST(CliOptions, BadOptionsAndValuesAreRefusedWithOneLine) {
    struct {
        std::vector<const char*> args;
        const char* line;
    } cases[] = {
        {{"--nope"}, "--nope: unknown option"},
        {{"-x"}, "-x: unknown option"},
        {{"--quality"}, "--quality: needs a number from 1 to 100"},
        {{"--quality", "0"}, "--quality: needs a number from 1 to 100"},
        {{"--quality", "85%"}, "--quality: needs a number from 1 to 100"},
        {{"--quality", "-5"}, "--quality: needs a number from 1 to 100"},
        {{"--quality=99999999999999999999999"}, "--quality: needs a number from 1 to 100"},
        {{"--shrink-size", "800"}, "--shrink-size: needs a size such as 1024x768"},
        {{"--shrink-size", "0x600"}, "--shrink-size: needs a size such as 1024x768"},
        {{"--shrink-size", "800x"}, "--shrink-size: needs a size such as 1024x768"},
        {{"--album-root="}, "--album-root: needs a folder name"},
        {{"--jobs", "0"}, "--jobs: needs a number from 1 to 256"},
        {{"--jobs=257"}, "--jobs: needs a number from 1 to 256"},
        {{"--jobs", "two"}, "--jobs: needs a number from 1 to 256"},
    };
    for (const auto& c : cases) {
        cli_options_t o;
        std::string err;
        EXPECT_FALSE(parse(o, c.args, &err)) << c.line;
        EXPECT_EQ(err, std::string(c.line) + ", see snapfolio-cli --help.\n");
    }
}
