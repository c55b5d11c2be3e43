#include "snapfolio/engine/rungs.h"

#include "libgr/image/scaledown.h"
#include "libutils/error.h"

namespace snapfolio {

namespace {

bool halve(libgr::image2d_t& picture) {
    libgr::image2d_t half;
    if (!libgr::scaledown(half, picture)) return false;
    picture = std::move(half);
    return true;
}

}  // namespace

bool write_rungs(ladder_files_t& files, libgr::image2d_t& picture, const rungs_t& r,
                 tick_signal_t* ticks, std::ostream& err) {
    for (uint64_t i = 0; i < r.from; ++i)
        if (!halve(picture)) return libutils::fail(err, r.name, ": scaledown() fail.");
    for (uint64_t i = r.from; i <= r.level + 1; ++i) {
        const std::string out = r.path.str(r.names[i], r.name);
        if (i > 0 && r.write[i]) {
            if (!write_level(files, out, picture, r.markers, err)) return false;
            if (ticks) ticks->emit();
        }
        if (!halve(picture)) return libutils::fail(err, out, ": scaledown() fail.");
    }
    return true;
}

}  // namespace snapfolio
