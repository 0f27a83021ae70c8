// Journeys through the dialogs by the keyboard alone and by a screen reader's means (the
// accessibility bus's actions), in the real album under a private X server.
#include "tests/journeys/journey_steps.h"

namespace {

namespace fs = std::filesystem;

// A screen reader picks the crop sheet's format with the accessibility bus's own actions: a radio
// button is toggled, never clicked. The lists and the file name follow at once.
TEST(Journey, CropSheetFormatChosenThroughTheAccessibilityBus)
{
    START_JOURNEY(album);
    fs::create_directories(album.home() / "Album");
    WriteJpeg(album.home() / "Album" / "a.jpg", 0x60);
    ASSERT_TRUE(album.start({ "-t", "\\Album" }));
    ASSERT_TRUE(Eventually([&] { return DrawnFiles(album).size() == 1; }));
    ClickCell(album, *CellOf(album, "a.jpg"));

    ASSERT_TRUE(album.menu("Crop..."));
    ASSERT_TRUE(album.act("page tab", "Format"));
    ASSERT_TRUE(Eventually([&] { return album.text("text", "File name") == "a_c.jpg"; }));
    ASSERT_TRUE(album.act("radio button", "GIF"));
    EXPECT_TRUE(Eventually([&] { return album.text("text", "File name") == "a_c.gif"; }))
            << album.text("text", "File name").value_or("no file name");
    // The lists are named by their entries: the JPEG quality and the GIF colours.
    EXPECT_EQ(album.sensitive("combo box", "75 (Normal)"), false);
    EXPECT_EQ(album.sensitive("combo box", "256 colors"), true);
    ASSERT_TRUE(album.act("radio button", "Bitmap"));
    EXPECT_TRUE(Eventually([&] { return album.text("text", "File name") == "a_c.bmp"; }));
    EXPECT_EQ(album.sensitive("combo box", "256 colors"), false);
    ASSERT_TRUE(album.act("push button", "Cancel"));
    EXPECT_TRUE(album.quit());
}

// The crop sheet by the keyboard alone: Tab from field to field, Enter to take a value (which
// never closes the sheet), Ctrl+Tab to the next page, the arrow keys among the formats, Space on
// Crop.
TEST(Journey, CropSheetByKeysAlone)
{
    START_JOURNEY(album);
    const fs::path folder = album.home() / "Album";
    fs::create_directories(folder);
    WriteJpeg(folder / "a.jpg", 0x60);
    ASSERT_TRUE(album.start({ "-t", "\\Album" }));
    ASSERT_TRUE(Eventually([&] { return DrawnFiles(album).size() == 1; }));
    // Enter in the folder tree selects the first picture.
    album.keys("Return", "Vistrel");

    ASSERT_TRUE(album.menu("Crop..."));
    ASSERT_TRUE(Eventually([&] { return album.text("spin button", "X:") == "0"; }))
            << album.text("spin button", "X:").value_or("no X:");
    // The sheet opens on its tabs; the four edits follow them.
    album.keys("Tab 4 Return Tab 2 Return Tab 1 0 Return Tab 8 Return");
    EXPECT_TRUE(Eventually([&] { return album.text("spin button", "H:") == "8"; }));
    EXPECT_EQ(album.text("spin button", "X:"), "4");
    EXPECT_EQ(album.text("spin button", "W:"), "10");
    album.keys("ctrl+Tab");
    ASSERT_TRUE(Eventually([&] { return album.text("text", "File name") == "a_c.jpg"; }));
    // Into the formats at the checked one (JPEG), down to GIF; then past the GIF colours (the
    // controls GIF leaves off are skipped) to Crop.
    album.keys("Tab Down");
    EXPECT_TRUE(Eventually([&] { return album.text("text", "File name") == "a_c.gif"; }));
    album.keys("Tab Tab space");
    const fs::path saved = folder / "a_c.gif";
    ASSERT_TRUE(Eventually([&] { return fs::exists(saved); })) << "nothing was saved";
    const RgbPicture gif = album.picture(saved);
    EXPECT_EQ(gif.width, 10);
    EXPECT_EQ(gif.height, 8);
    EXPECT_TRUE(album.quit());
}

} // namespace
