// Helpers of the page and book tests: the album program's English
// catalogue, photos with EXIF data made by the project's EXIF writer, the
// chains run on a scratch camera folder, and pages with their time line
// masked for whole-page comparison.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "snapfolio/engine/album.h"
#include "snapfolio/engine/global.h"
#include "support/saved_global.h"

namespace pagetest {

// Loads data/snapfolio.msg (LANG unset) once per process.
void load_catalogue();

// A generated JPEG of that size; with `tiff` (exifwriter::write_tiff
// output) an EXIF segment holding it.
std::string photo(int width, int height, unsigned seed, const std::string& tiff = "");

// EXIF data: date, make and model, F-number 2.8, 1/250 s, metering 5.
std::string full_exif(const std::string& model);
// Only make and model.
std::string camera_only_exif(const std::string& model);

// The page's "HTML Generated: ..." line replaced by "HTML Generated: TIME"
// (after checking that it has one).
std::string masked(const std::string& page);
// A page file, masked.
std::string page(const std::string& file);

// The foot every page ends with, its time masked.
std::string foot(const std::string& address);

// A file's size in KiB rounded up, as the pages give it.
std::string kib(const std::string& file);

// Modification time in nanoseconds, 0 when missing; sets it into the past.
int64_t mtime_ns(const std::string& file);
void age(const std::string& file, int64_t seconds_ago = 3600);

// Writes a file of the album's "txt" folder (made when missing).
void put_text(const snapfolio::path_t& album, const std::string& name, const std::string& text);

// A scratch camera folder and album root; the settings put back afterwards,
// shrink limit 64 by 64, header and address set.
class PageTest : public testing::Test {
  protected:
    std::string camera, root;
    snapfolio::path_t album;
    testenv::saved_global_t saved;

    void SetUp() override;

    void put(const std::string& name, const std::string& bytes);
    // makealbumwithrotate of the named camera files (no turns) into path;
    // the chain's error text and standard error on failure.
    testing::AssertionResult make(const std::vector<std::string>& names,
                                  const snapfolio::path_t& path);
    testing::AssertionResult make(const std::vector<std::string>& names) {
        return make(names, album);
    }
    // The page of the book the album is in (root), where the albums' "UP"
    // links lead.
    testing::AssertionResult write_book();
};

}  // namespace pagetest
