// What the chains tell their caller while they work: the stage fractions in
// order, and ticks between them often enough that a window can answer its
// user while one large photo is worked on, all on the caller's thread.
#include <chrono>
#include <thread>

#include "albumtest.h"
#include "snapfolio/engine/workpool.h"

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

// One worker works on the caller's thread: the ticks come from inside each
// photo's ladder.
TEST_F(ProgressTest, TicksComeBetweenTheRungsOfOnePhotoOnTheCallersThread) {
    snapfolio::g_global.jobs = 1;
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

// Several workers: the caller waits for the next photo in order, ticking
// meanwhile, and finishes each in order on its own thread.
TEST(WorkPool, TheCallerTicksWhileItWaitsAndFinishesInOrder) {
    const std::thread::id caller = std::this_thread::get_id();
    std::vector<size_t> finished;
    int ticks = 0;
    bool all_on_caller = true;
    const bool ok = snapfolio::run_in_order(
        3, 6,
        [](size_t i, bool on_caller) {
            EXPECT_FALSE(on_caller);
            // The first item is the slowest: the others wait to be finished.
            std::this_thread::sleep_for(std::chrono::milliseconds(i == 0 ? 650 : 10));
        },
        [&](size_t i) {
            all_on_caller = all_on_caller && std::this_thread::get_id() == caller;
            finished.push_back(i);
            return i != 4;  // a failure stops the run
        },
        [&] {
            all_on_caller = all_on_caller && std::this_thread::get_id() == caller;
            ++ticks;
        });
    EXPECT_FALSE(ok);
    EXPECT_EQ((std::vector<size_t>{0, 1, 2, 3, 4}), finished);
    EXPECT_GE(ticks, 3);
    EXPECT_TRUE(all_on_caller);
}

}  // namespace
