#include "tests/e2e/album_on_screen.h"

namespace fs = std::filesystem;

void AlbumOnScreen::setUpAlbum(const std::vector<CorpusPicture> &pictures)
{
    if (TestDataRoot().empty())
        GTEST_SKIP() << "no test corpus";
    if (!x.ok())
        GTEST_SKIP() << "no X server: " << x.error();
    fs::create_directories(album());
    fs::create_directories(dir.path() / "config");
    for (const CorpusPicture &picture : pictures)
        fs::copy_file(TestDataRoot() / picture.source, album() / picture.name);
}

std::unique_ptr<ChildProcess> AlbumOnScreen::start(const std::vector<std::string> &arguments) const
{
    return StartVistrel(x.display(), root().string(), (dir.path() / "config").string(), trace(),
                        arguments);
}

CommandResult AlbumOnScreen::x11(const std::string &command) const
{
    return RunCommand("DISPLAY=" + x.display() + " timeout 20 " + command + " 2>&1");
}

void AlbumOnScreen::click(std::pair<int, int> at) const
{
    x11("xdotool mousemove " + std::to_string(at.first) + " " + std::to_string(at.second)
        + " click 1");
}

bool AlbumOnScreen::screenshot(RgbPicture &shot) const
{
    const std::string file = dir.file("shot.ppm");
    fs::remove(file);
    return x11("import -window root -depth 8 '" + file + "'").status == 0 && ReadPpm(file, shot);
}
