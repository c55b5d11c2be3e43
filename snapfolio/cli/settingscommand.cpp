// snapfolio-cli settings: the settings in effect, one key=value line each in
// the order of the settings file, after the file and the command-line
// overrides were applied.
#include "snapfolio/cli/commands.h"
#include "snapfolio/cli/run.h"
#include "snapfolio/engine/global.h"

namespace snapfolio {

int command_settings(const cli_context_t& c, const std::vector<std::string>& args) {
    if (!args.empty()) return usage_error(c.err, "settings", "takes no arguments", "help settings");
    const global_t& g = g_global;
    std::ostream& o = c.out;
    o << "from=" << g.from << '\n'
      << "album=" << g.album << '\n'
      << "shrink_size=" << g.shrink_width << ',' << g.shrink_height << '\n'
      << "jpeg_compress=" << g.jpeg_compress << '\n'
      << "horizontal_items=" << g.horizontal_items << '\n'
      << "show_level=" << g.show_level << '\n'
      << "view_size=" << g.view_size << '\n'
      << "html_header_check=" << g.html_header_check << '\n'
      << "html_header=" << g.html_header << '\n'
      << "html_address=" << g.html_address << '\n'
      << "hwaccel=" << g.hwaccel << '\n'
      << "ffmpeg=" << g.ffmpeg << '\n'
      << "movie=" << g.movie << '\n'
      << "play_size_x=" << g.play_size_x << '\n'
      << "play_size_y=" << g.play_size_y << '\n'
      << "movie_thumbnail_retina=" << g.movie_thumbnail_retina << '\n'
      << "glimvue3=" << g.glimvue3 << '\n'
      << "jobs=" << g.jobs << '\n';
    return exit_ok;
}

}  // namespace snapfolio
