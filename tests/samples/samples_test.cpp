#include <gtest/gtest.h>

#include "libgr/jpeg/exif.h"
#include "libgr/jpeg/jpegdata.h"
#include "libgr/jpeg/jpeginfo2.h"
#include "libgr/jpeg/jpegmarker.h"
#include "support/testenv.h"

// The sample photos are what a new user sees first: exiftool (which nobody
// here wrote) must read them as the cameras they pretend to be.
TEST(Samples, ExiftoolReadsCamerasOrientationsAndThumbnails) {
    SKIP_WITHOUT_PROGRAM("exiftool");
    std::string dir = testenv::scratch_dir();
    ASSERT_EQ(testenv::run(std::string(SAMPLES_PROGRAM) + " " + dir), 0);
    std::string out;
    ASSERT_EQ(testenv::run("cd " + dir + " && exiftool -n -T -FileName -Make -Orientation "
                           "-ImageWidth -ImageHeight -Olympus:FocusMode -Pentax:FocusMode "
                           "-ThumbnailLength *.JPG | sed 's/\\t[0-9]*$/\\tthumb/'",
                           &out),
              0);
    EXPECT_EQ(out,
              "IMGP0005.JPG\tRICOH IMAGING COMPANY, LTD.\t3\t2048\t1536\t-\t16\t-\n"
              "IMG_0006.JPG\tCanon\t1\t2048\t1536\t-\t-\tthumb\n"
              "P1010004.JPG\tOLYMPUS OPTICAL CO.,LTD\t1\t2048\t1536\t0\t-\tthumb\n"
              "P4280003.JPG\tOLYMPUS IMAGING CORP.\t8\t2048\t1536\t0 4\t-\tthumb\n"
              "_5120001.JPG\tOM Digital Solutions\t1\t2048\t1536\t0 17\t-\tthumb\n"
              "_5120002.JPG\tOM Digital Solutions\t6\t2048\t1536\t0 17\t-\tthumb\n");
}

// Our own parser reads every maker note of the set.
TEST(Samples, EveryExifBlockParses) {
    std::string dir = testenv::scratch_dir();
    ASSERT_EQ(testenv::run(std::string(SAMPLES_PROGRAM) + " " + dir + " --count 5 --size 320x240"), 0);
    for (int i = 1; i <= 5; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/SAMP%04d.JPG", i);
        std::string path = dir + name;
        libgr::jpegdata2_t data;
        ASSERT_TRUE(data.load(path.c_str())) << path;
        libgr::jpeginfo2_t info;
        ASSERT_TRUE(info.analyze(data)) << path;
        libgr::app1_marker_t app1;
        app1.set_app1_buffer(info.get_marker(libgr::marker_APP1));
        EXPECT_TRUE(app1.parse()) << path;
    }
}
