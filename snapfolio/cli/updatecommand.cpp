// snapfolio-cli update ALBUM_DIR: every original of the album with no turn
// through the update chain, as the batch update does for an album: missing
// levels are made, existing ones kept, the pages rewritten.
#include "libutils/error.h"
#include "snapfolio/cli/albumargs.h"
#include "snapfolio/cli/commands.h"
#include "snapfolio/cli/run.h"
#include "snapfolio/engine/bookbatch.h"
#include "snapfolio/engine/bookwalk.h"

namespace snapfolio {

int command_update(const cli_context_t& c, const std::vector<std::string>& args) {
    if (args.size() != 1)
        return usage_error(c.err, "update", "needs one album folder", "help update");
    path_t album;
    if (!folder_path(album, args[0], c.err)) return exit_failed;
    if (!is_album_dir(album.str())) {
        libutils::report(c.err, args[0], ": not an album (no original folder).");
        return exit_failed;
    }
    progress_printer_t printer;
    progress_signals_t signals;
    connect_batch(printer, signals, c.out, false);
    const bool ok = updatealbumoriginals(album, signals, c.err);
    printer.finish();
    return ok ? exit_ok : exit_failed;
}

}  // namespace snapfolio
