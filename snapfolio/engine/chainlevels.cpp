#include "snapfolio/engine/chainlevels.h"

#include "libutils/error.h"
#include "snapfolio/engine/import.h"
#include "snapfolio/engine/levels.h"
#include "snapfolio/engine/movie.h"
#include "snapfolio/engine/workpool.h"

namespace snapfolio {

namespace {

using photo_work_t = photo_t (*)(const path_t&, const files_t&, std::ostream&, tick_signal_t*);

// Runs the stage over files. A photo is worked on by a worker, its
// diagnostics held in a log until the caller's thread reaches it in the
// album's order; a movie is converted on the caller's thread when its turn
// comes (ffmpeg writes to the terminal itself, and uses every core already).
// Returns false at the first failure; photos left out are counted.
bool run_stage(const path_t& path, const std::vector<files_t>& files, photo_work_t photo_work,
               sigc::signal<void, double>& progress, std::ostream& err, size_t& left_out_count,
               tick_signal_t* ticks, bool& photo_failed) {
    const size_t n = files.size();
    std::vector<photo_t> results(n, photo_t::done);
    auto work = [&](size_t i, std::ostream& out, bool on_caller) {
        if (is_photo(files[i].name))
            results[i] = photo_work(path, files[i], out, on_caller ? ticks : nullptr);
    };
    auto finish = [&](size_t i) {
        if (is_photo(files[i].name)) {
            if (results[i] == photo_t::failed) {
                photo_failed = true;
                return false;
            }
            if (results[i] == photo_t::left_out) ++left_out_count;
        } else if (is_movie(files[i].name)) {
            if (!ffmovie(path, files[i].name, err)) return false;
        }
        progress.emit(double(i + 1) / double(n));
        return true;
    };
    auto tick = [ticks] {
        if (ticks) ticks->emit();
    };
    return run_reporting_in_order(n, err, work, finish, tick);
}

// The count of photos left out goes to the caller that asks for it; one
// that does not gets false.
bool finish_stage(size_t left_out_count, size_t* left_out_out) {
    if (left_out_out) {
        *left_out_out = left_out_count;
        return true;
    }
    return left_out_count == 0;
}

}  // namespace

bool shrink(const path_t& path, const std::vector<files_t>& files,
            sigc::signal<void, double>& progress, std::ostream& err, size_t* left_out_out,
            tick_signal_t* ticks) {
    remove_stale_temporaries(path);
    if (!make_directory(path.str("thumb"), err)) return false;
    size_t left_out_count = 0;
    bool photo_failed = false;
    if (!run_stage(path, files, make_photo_levels, progress, err, left_out_count, ticks,
                   photo_failed))
        return photo_failed ? libutils::fail(err, "shinkone() fail.") : false;
    return finish_stage(left_out_count, left_out_out);
}

bool shrinkupdate(const path_t& path, const std::vector<files_t>& files,
                  sigc::signal<void, double>& progress, std::ostream& err,
                  size_t* left_out_out, tick_signal_t* ticks) {
    remove_stale_temporaries(path);
    size_t left_out_count = 0;
    bool photo_failed = false;
    if (!run_stage(path, files, update_photo_levels, progress, err, left_out_count, ticks,
                   photo_failed))
        return false;
    return finish_stage(left_out_count, left_out_out);
}

}  // namespace snapfolio
