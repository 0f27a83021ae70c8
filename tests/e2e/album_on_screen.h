#pragma once

#include "tests/e2e/child_process.h"
#include "tests/support/run_command.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_files.h"
#include "tests/support/xvfb_server.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// A picture of the public test corpus and the name it gets in the album.
struct CorpusPicture
{
    const char *source; // relative to the test data root
    const char *name;
};

// The album program on a private X server, with its own device root (root/), settings folder and
// trace file in a temporary folder: where the journeys on the screen start.
class AlbumOnScreen : public ::testing::Test
{
protected:
    // Skips the test without the corpus or an X server; makes root/Album and the settings folder
    // and copies the pictures into the album.
    void setUpAlbum(const std::vector<CorpusPicture> &pictures);

    std::filesystem::path root() const { return dir.path() / "root"; }

    std::filesystem::path album() const { return root() / "Album"; }

    std::string trace() const { return dir.file("trace.txt"); }

    std::unique_ptr<ChildProcess> start(const std::vector<std::string> &arguments) const;

    // Runs command on the X server, given at most 20 seconds; its output includes its errors.
    CommandResult x11(const std::string &command) const;

    // Clicks the left button at a point (x, y) of the screen.
    void click(std::pair<int, int> at) const;

    // The whole root window as the X server holds it; false when it could not be had.
    bool screenshot(RgbPicture &shot) const;

    XvfbServer x;
    TempDir dir;
};
