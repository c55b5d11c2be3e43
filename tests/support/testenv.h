// Helpers every test binary shares.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testenv {

// The project's source and build trees.
std::string source_dir();
std::string binary_dir();
std::string bin_dir();  // where the programs and their catalogues are built

// Real camera files beside the checkout (../shared/testdata/camera, or
// $SNAPFOLIO_SHARED/testdata/camera); empty when absent.
std::string camera_dir();
// Photo files of the camera folder (.jpg/.jpeg in any case), full paths.
std::vector<std::string> camera_jpegs();

// A fresh empty folder under the system's temporary folder, removed when the
// process ends (unless SNAPFOLIO_KEEP_SCRATCH is set).
std::string scratch_dir(const std::string& hint = "t");

// Runs a shell command; returns its exit status (-1 when it could not run)
// and its standard output.
int run(const std::string& command, std::string* output = nullptr);
bool have_program(const std::string& name);

// Quoting for the shell: the text in single quotes.
std::string shell_quote(const std::string& s);

std::string read_file(const std::string& path);
bool write_file(const std::string& path, const std::string& bytes);
bool exists(const std::string& path);

// What a call wrote to standard error (GoogleTest's capture around it).
template <class F>
std::string stderr_of(F&& f) {
    testing::internal::CaptureStderr();
    f();
    return testing::internal::GetCapturedStderr();
}
// The same for standard output.
template <class F>
std::string stdout_of(F&& f) {
    testing::internal::CaptureStdout();
    f();
    return testing::internal::GetCapturedStdout();
}

}  // namespace testenv

// Skips the current test with a clear message when the shared camera files
// are not there.
#define SKIP_WITHOUT_CAMERA_FILES()                                                     \
    do {                                                                                \
        if (testenv::camera_dir().empty())                                              \
            GTEST_SKIP() << "../shared/testdata/camera is absent: real camera files "  \
                            "are needed for this test";                                 \
    } while (0)

#define SKIP_WITHOUT_PROGRAM(name)                                                      \
    do {                                                                                \
        if (!testenv::have_program(name))                                               \
            GTEST_SKIP() << name << " is not installed (scripts/install-deps.sh --test)"; \
    } while (0)
