// snapfolio-cli batch ROOT: the book dialog's batch update of a whole tree:
// every album below ROOT updated, every best-of collection and book page
// rewritten, children before parents, ROOT's own page last.
#include "snapfolio/cli/albumargs.h"
#include "snapfolio/cli/commands.h"
#include "snapfolio/cli/run.h"
#include "snapfolio/engine/bookbatch.h"

namespace snapfolio {

int command_batch(const cli_context_t& c, const std::vector<std::string>& args) {
    if (args.size() != 1) return usage_error(c.err, "batch", "needs one folder", "help batch");
    path_t root;
    if (!folder_path(root, args[0], c.err)) return exit_failed;
    progress_printer_t printer;
    progress_signals_t signals;
    connect_batch(printer, signals, c.out, true);
    const bool ok = batchupdate(root, signals, c.err);
    printer.finish();
    return ok ? exit_ok : exit_failed;
}

}  // namespace snapfolio
