#include "tests/e2e/album_on_screen.h"
#include "tests/e2e/screen_cells.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

constexpr int kWaitMs = 20000;

// What the sheet traced when a page was last shown: control centres by id, tab centres by index.
struct SheetControls
{
    int shownCount = 0;
    std::map<int, std::pair<int, int>> controls;
    std::map<int, std::pair<int, int>> tabs;
};

SheetControls ReadSheetTrace(const std::string &path)
{
    SheetControls latest;
    SheetControls block;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (line == "sheet-shown") {
            block.shownCount = latest.shownCount + 1;
            latest = block;
            block = SheetControls{};
            continue;
        }
        std::istringstream fields(line);
        std::string kind;
        int key = 0, x = 0, y = 0;
        if (!std::getline(fields, kind, '\t') || (kind != "sheet" && kind != "sheet-tab"))
            continue;
        fields >> key >> x >> y;
        (kind == "sheet" ? block.controls : block.tabs)[key] = { x, y };
    }
    return latest;
}

class CropOnScreen : public AlbumOnScreen
{
protected:
    void SetUp() override
    {
        setUpAlbum({ { "pillow/flower.jpg", "a.jpg" }, { "libjpeg-turbo/testorig.jpg", "b.jpg" } });
    }

    // Waits for the sheet to trace a page shown after the one counted in before.
    SheetControls nextPage(int before) const
    {
        SheetControls shown;
        WaitUntil(kWaitMs, [&] {
            shown = ReadSheetTrace(trace());
            return shown.shownCount > before;
        });
        return shown;
    }

    // Clicks a spin box, replaces its text and lets it take the value.
    void type(const SheetControls &sheet, int id, const std::string &text) const
    {
        ASSERT_TRUE(sheet.controls.count(id)) << id;
        click(sheet.controls.at(id));
        x11("xdotool key --clearmodifiers ctrl+a");
        x11("xdotool type '" + text + "'");
    }
};

TEST_F(CropOnScreen, ARectangleSavedAsA16ColourGifJoinsTheAlbum)
{
    auto program = start({ "-t", "\\Album" });
    ASSERT_TRUE(WaitUntil(kWaitMs, [&] { return !LatestDrawnCells(trace()).empty(); }));
    const std::vector<TracedCell> cells = LatestDrawnCells(trace());
    ASSERT_EQ(cells.size(), 2u);
    ASSERT_EQ(cells[0].file, "a.jpg");
    click({ cells[0].area.x + cells[0].area.width / 2,
            cells[0].area.y + cells[0].area.height / 2 });

    // Tools > Crop... from the keyboard: the menu bar takes Alt, the third menu, its first entry.
    // Without a window manager the keys go to the focused window only.
    x11("sh -c \"xdotool windowfocus --sync $(xdotool search --onlyvisible --name '^Vistrel' | "
        "head -n 1)\"");
    x11("xdotool key alt");
    x11("xdotool key Right Right Down Return");
    SheetControls sheet = nextPage(0);
    ASSERT_EQ(sheet.shownCount, 1) << "the sheet never showed";
    type(sheet, 1129, "40");
    type(sheet, 1130, "30");
    type(sheet, 1133, "200");
    type(sheet, 1134, "150");

    ASSERT_TRUE(sheet.tabs.count(1));
    click(sheet.tabs.at(1));
    sheet = nextPage(sheet.shownCount);
    ASSERT_TRUE(sheet.controls.count(1124) && sheet.controls.count(1125)
                && sheet.controls.count(1113));
    click(sheet.controls.at(1124));
    // The colour list opens on its entry; from the first, "16 colors" is three further.
    click(sheet.controls.at(1125));
    x11("xdotool key Home Down Down Down Return");
    click(sheet.controls.at(1113));

    const fs::path saved = album() / "a_c.gif";
    ASSERT_TRUE(WaitUntil(kWaitMs, [&] { return fs::exists(saved); })) << "nothing was saved";
    const CommandResult facts = x11("identify -format '%w %h %k' '" + saved.string() + "'");
    ASSERT_EQ(facts.status, 0) << facts.out;
    std::istringstream read(facts.out);
    int width = 0, height = 0, colours = 0;
    read >> width >> height >> colours;
    EXPECT_EQ(width, 200);
    EXPECT_EQ(height, 150);
    EXPECT_GE(colours, 2);
    EXPECT_LE(colours, 16);

    // The sheet closed (one picture was selected) and the album shows the new picture.
    EXPECT_TRUE(WaitUntil(kWaitMs, [&] {
        for (const TracedCell &cell : LatestDrawnCells(trace()))
            if (cell.file == "a_c.gif")
                return true;
        return false;
    })) << "no thumbnail for the new picture";
}

} // namespace
