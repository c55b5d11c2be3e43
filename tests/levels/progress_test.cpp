// What the chains tell their caller while they work: the stage fractions in
// order, and ticks between them often enough that a window can answer its
// user while one large photo is worked on, all on the caller's thread.
#include <thread>

#include "albumtest.h"

using albumtest::AlbumTest;
using snapfolio::files_t;

namespace {

struct heard_t {
    std::vector<std::string> events;  // "tick" or "shrink <fraction>"
    bool all_on_caller = true;
};

void listen(snapfolio::progress_signals_t& s, heard_t& h) {
    const std::thread::id caller = std::this_thread::get_id();
    s.tick.connect([&h, caller] {
        h.all_on_caller = h.all_on_caller && std::this_thread::get_id() == caller;
        h.events.push_back("tick");
    });
    s.shrink.connect([&h, caller](double f) {
        h.all_on_caller = h.all_on_caller && std::this_thread::get_id() == caller;
        h.events.push_back("shrink " + std::to_string(f));
    });
}

class ProgressTest : public AlbumTest {};

TEST_F(ProgressTest, TicksComeBetweenTheRungsOfOnePhotoOnTheCallersThread) {
    limit(50, 50);  // 400x300: L = 3, four encoded rungs and the thumbnail
    put("A.JPG", albumtest::photo(400, 300, 6, false, 1));
    put("B.JPG", albumtest::jpeg(400, 300, 2));
    struct {
        const char* what;
        bool update;
        std::vector<files_t> files;
    } cases[] = {{"make", false, {{"A.JPG", 0}, {"B.JPG", 1}}},
                 {"update with turns", true, {{"A.JPG", 1}, {"B.JPG", 3}}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        snapfolio::progress_signals_t s;
        heard_t h;
        listen(s, h);
        std::ostringstream err;
        const bool ok = c.update ? snapfolio::updatealbum(album, c.files, s, err)
                                 : snapfolio::makealbumwithrotate(camera, c.files, album, s, err);
        ASSERT_TRUE(ok) << err.str();
        EXPECT_TRUE(h.all_on_caller);
        // Each photo: at least one tick per encoded rung before its move.
        std::vector<std::string> moves;
        int ticks = 0;
        for (const std::string& e : h.events) {
            if (e == "tick") {
                ++ticks;
                continue;
            }
            EXPECT_GE(ticks, 4) << "before " << e;
            ticks = 0;
            moves.push_back(e);
        }
        EXPECT_EQ((std::vector<std::string>{"shrink 0.500000", "shrink 1.000000"}), moves);
    }
}

}  // namespace
