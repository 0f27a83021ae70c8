// Whole-program journeys: each test is what a user does, step by step, in the real album under a
// private X server, from a prepared home; the checks are on files, settings and the screen.
#include "tests/journeys/journey_steps.h"
#include "tests/support/run_command.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

bool Traced(const AlbumDriver &album, const std::string &line)
{
    const std::vector<std::string> lines = album.traceLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// How often the image view drew file whole, from its "image" trace lines.
std::size_t ImageLinesOf(const AlbumDriver &album, const std::string &file)
{
    const std::vector<std::string> lines = album.traceLines();
    return static_cast<std::size_t>(std::count_if(lines.begin(), lines.end(), [&](const auto &l) {
        return l.rfind("image\t" + file + '\t', 0) == 0;
    }));
}

// The picture the image view drew last, from its "image" trace lines.
std::string LastDrawnPicture(const AlbumDriver &album)
{
    std::string file;
    for (const std::string &line : album.traceLines()) {
        if (line.rfind("image\t", 0) == 0)
            file = line.substr(6, line.find('\t', 6) - 6);
    }
    return file;
}

// The scales (percent) at which the album decoded a picture file, in order, from its "decode"
// trace lines.
std::vector<std::string> DecodesOf(const AlbumDriver &album, const std::string &file)
{
    std::vector<std::string> percents;
    const std::string prefix = "decode\t" + file + '\t';
    for (const std::string &line : album.traceLines()) {
        if (line.rfind(prefix, 0) == 0)
            percents.push_back(line.substr(prefix.size()));
    }
    return percents;
}

// Waits for the question titled title to show text, then answers with the button named answer.
::testing::AssertionResult Answer(const AlbumDriver &album, const std::string &title,
                                  const std::string &text, const std::string &answer)
{
    std::vector<std::string> shown;
    if (!Eventually([&] {
            shown = album.texts(title);
            return shown == std::vector<std::string>{ text };
        }))
        return ::testing::AssertionFailure()
                << title << " never asked \"" << text << "\"; shown: \""
                << (shown.empty() ? std::string() : shown.front()) << "\"";
    if (!album.click("push button", answer))
        return ::testing::AssertionFailure() << "no button " << answer << " in " << title;
    return ::testing::AssertionSuccess();
}

// A screen that two grabs in a row agree on, once the album stopped drawing. The pointer goes to
// the corner first, where it raises no tooltip.
RgbPicture SettledScreen(const AlbumDriver &album)
{
    album.pointAt(0, 0);
    RgbPicture last = album.screen();
    RgbPicture now;
    Eventually([&] {
        now = album.screen();
        const bool same = DifferingShare(now, last) == 0.0;
        last = now;
        return same;
    });
    return now;
}

// The cells the album traced last and the screen that shows them, once it stopped drawing and
// after at least one drawing since drawnBefore (a count of "thumbs-drawn" lines). A trace written
// before the window moved places the cells where they no longer are, and a window just moved or
// sized is drawn again: only the drawing that comes after it says where the cells are.
struct DrawnCells
{
    std::vector<TracedCell> cells;
    RgbPicture screen;
    bool settled = false;
};

std::size_t DrawnCount(const AlbumDriver &album)
{
    const std::vector<std::string> lines = album.traceLines();
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), "thumbs-drawn"));
}

DrawnCells SettledCells(const AlbumDriver &album, std::size_t drawnBefore)
{
    DrawnCells drawn;
    drawn.settled = Eventually([&] {
        const std::size_t count = DrawnCount(album);
        drawn.screen = SettledScreen(album);
        drawn.cells = album.cells();
        return count > drawnBefore && DrawnCount(album) == count;
    });
    return drawn;
}

TEST(Journey, CaptureOnPrintAsksForANameAndTheShotJoinsTheAlbum)
{
    START_JOURNEY(album);
    fs::create_directories(album.home() / "Pictures");
    WriteJpeg(album.home() / "Pictures" / "a.jpg", 0x60);
    ASSERT_TRUE(album.start());
    ASSERT_TRUE(Eventually([&] { return DrawnFiles(album).size() == 1; }));

    // Tools > Capture Settings: capture on, on Print (the first choice), with confirmation.
    ASSERT_TRUE(album.menu("Capture Settings..."));
    ASSERT_FALSE(album.waitForWindow("Capture").empty());
    for (const char *box : { "Enable Screen Capture", "Confirm before file saving" }) {
        if (album.checked("check box", box) == false) {
            ASSERT_TRUE(album.click("check box", box)) << box;
        }
        ASSERT_TRUE(Eventually([&] { return album.checked("check box", box) == true; })) << box;
    }
    ASSERT_TRUE(album.click("push button", "OK"));
    ASSERT_TRUE(album.waitGone("Capture"));
    const AppSettings stored = album.settings();
    EXPECT_NE(stored.ui.captureFlags & CaptureFlag::CaptureEnabled, 0u);
    EXPECT_NE(stored.ui.captureFlags & CaptureFlag::ConfirmBeforeSave, 0u);
    EXPECT_EQ((stored.ui.captureFlags >> CaptureFlag::CaptureTriggerShift) & 15u, 1u);

    const RgbPicture screen = SettledScreen(album);
    album.keys("Print");
    ASSERT_FALSE(album.waitForWindow("Capture Message").empty());
    ASSERT_TRUE(album.click("text", "New filename"));
    album.type("journey");
    ASSERT_TRUE(album.click("push button", "OK"));

    const fs::path shot = album.home() / "Pictures" / "journey.bmp";
    ASSERT_TRUE(Eventually([&] { return fs::exists(shot); })) << "nothing was written";
    const RgbPicture written = album.picture(shot);
    EXPECT_EQ(written.width, 1024);
    EXPECT_EQ(written.height, 768);
    EXPECT_EQ(DifferingShare(written, screen), 0.0) << "the file is not the screen";
    EXPECT_TRUE(Eventually([&] { return CellOf(album, "journey.bmp").has_value(); }))
            << "the shot never appeared among the thumbnails";
    EXPECT_TRUE(album.quit());
}

TEST(Journey, BrowseThenCropTheThirdPictureToA16ColourGif)
{
    START_JOURNEY(album);
    if (TestDataRoot().empty())
        GTEST_SKIP() << "no test corpus";
    const fs::path folder = album.home() / "Album";
    fs::create_directories(folder);
    fs::copy_file(TestDataRoot() / "libjpeg-turbo/testorig.jpg", folder / "a.jpg");
    fs::copy_file(TestDataRoot() / "pillow/flower2.jpg", folder / "b.jpg");
    fs::copy_file(TestDataRoot() / "pillow/flower.jpg", folder / "c.jpg");
    ASSERT_TRUE(album.start({ "-t", "\\Album" }));
    ASSERT_TRUE(Eventually([&] { return DrawnFiles(album).size() == 3; }));

    ASSERT_TRUE(album.click("check box", "Select View"));
    ASSERT_TRUE(Eventually([&] { return Traced(album, "\\Album\ta.jpg\t30102"); }));
    for (const char *next : { "b.jpg", "c.jpg" }) {
        ASSERT_TRUE(album.click("push button", "Next Image"));
        ASSERT_TRUE(Eventually([&] { return LastDrawnPicture(album) == next; })) << next;
    }
    ASSERT_TRUE(album.click("check box", "Full Screen View"));
    ASSERT_TRUE(Eventually([&] { return Traced(album, "\\Album\tc.jpg\t30103"); }));
    album.keys("Escape", "Vistrel");
    ASSERT_TRUE(Eventually([&] {
        const std::vector<std::string> lines = album.traceLines();
        return std::count(lines.begin(), lines.end(), "\\Album\tc.jpg\t30102") == 1;
    }));

    // Tools > Crop: 200 x 150 from (40, 30), as a GIF of 16 colours.
    ASSERT_TRUE(album.menu("Crop..."));
    for (const auto &[edit, value] : std::vector<std::pair<std::string, std::string>>{
                 { "X:", "40" }, { "Y:", "30" }, { "W:", "200" }, { "H:", "150" } }) {
        ASSERT_TRUE(album.click("spin button", edit)) << edit;
        album.keys("ctrl+a");
        album.type(value);
    }
    ASSERT_TRUE(album.click("page tab", "Format"));
    ASSERT_TRUE(album.click("radio button", "GIF"));
    // The colour list is named by its entry; it opens there, and "16 colors" is the fourth from
    // the top.
    ASSERT_TRUE(album.click("combo box", "256 colors"));
    album.keys("Home Down Down Down Return");
    ASSERT_TRUE(album.click("push button", "Crop"));

    const fs::path saved = folder / "c_c.gif";
    ASSERT_TRUE(Eventually([&] { return fs::exists(saved); })) << "nothing was saved";
    const RgbPicture gif = album.picture(saved);
    EXPECT_EQ(gif.width, 200);
    EXPECT_EQ(gif.height, 150);
    EXPECT_LE(ColourCount(gif), 16u);
    EXPECT_GE(ColourCount(gif), 2u);
    // The view, the crop preview and the save share one picture: the one the view decoded at
    // full size is cropped and saved, and zooming in on it afterwards decodes nothing again.
    const std::size_t drawnBefore = ImageLinesOf(album, "c.jpg");
    ASSERT_TRUE(album.menu("Zoom In"));
    ASSERT_TRUE(Eventually([&] { return ImageLinesOf(album, "c.jpg") > drawnBefore; }))
            << "the view never drew the picture again";
    EXPECT_EQ(DecodesOf(album, "c.jpg"), std::vector<std::string>{ "100" });

    // The new picture is the last of the folder: End shows it, and Image Info tells its facts.
    ASSERT_TRUE(Eventually([&] {
        album.keys("End", "Vistrel");
        return LastDrawnPicture(album) == "c_c.gif";
    })) << "the new picture is not in the album";
    const CommandResult sheet =
            RunCommand("timeout 90 /usr/bin/python3 '" + std::string(VISTREL_SOURCE_DIR)
                       + "/tests/e2e/read_info_sheet.py'");
    ASSERT_EQ(sheet.status, 0) << sheet.out;
    const std::string labels = sheet.out;
    EXPECT_NE(labels.find("Type:\nGIF\n"), std::string::npos) << labels;
    EXPECT_NE(labels.find("Dimension:\n200 x 150\n"), std::string::npos) << labels;
    EXPECT_NE(labels.find("Colors:\n16\n"), std::string::npos) << labels;
    EXPECT_TRUE(album.quit());
}

TEST(Journey, DeleteThreePicturesKeepingTheSecondThenDeleteAFolder)
{
    START_JOURNEY(album);
    const fs::path folder = album.home() / "Album";
    const fs::path old = folder / "Old";
    fs::create_directories(old);
    for (const char *name : { "a.jpg", "b.jpg", "c.jpg", "d.jpg" })
        WriteJpeg(folder / name, static_cast<std::uint8_t>(0x30 * (name[0] - 'a' + 1)));
    WriteJpeg(old / "x.jpg", 0x90);
    WriteBytes((old / "notes.txt").string(), { 'h', 'i', '\n' });
    ASSERT_TRUE(album.start({ "-t", "\\Album" }));
    ASSERT_TRUE(Eventually([&] { return DrawnFiles(album).size() == 4; }));

    // a to c selected: the first click, then Shift and the third.
    ClickCell(album, *CellOf(album, "a.jpg"));
    ClickCell(album, *CellOf(album, "c.jpg"), "shift");
    album.keys("Delete", "Vistrel");
    ASSERT_TRUE(Answer(album, "Delete File", "Delete file 'a.jpg' ?", "Yes"));
    ASSERT_TRUE(Answer(album, "Delete File", "Delete file 'b.jpg' ?", "No"));
    ASSERT_TRUE(Answer(album, "Delete File", "Delete file 'c.jpg' ?", "Yes to All"));
    ASSERT_TRUE(Eventually([&] { return !fs::exists(folder / "c.jpg"); }));
    EXPECT_FALSE(fs::exists(folder / "a.jpg"));
    EXPECT_TRUE(fs::exists(album.trashFiles() / "a.jpg"));
    EXPECT_TRUE(fs::exists(album.trashFiles() / "c.jpg"));
    EXPECT_TRUE(fs::exists(folder / "b.jpg"));
    EXPECT_TRUE(fs::exists(folder / "d.jpg"));
    EXPECT_TRUE(Eventually([&] {
        return DrawnFiles(album) == std::vector<std::string>{ "b.jpg", "d.jpg" };
    }));

    // Into Old, and File > Delete Folder: No to "all files", then one question per file and one
    // for the folder.
    ASSERT_TRUE(album.click("table cell", "Old"));
    ASSERT_TRUE(
            Eventually([&] { return DrawnFiles(album) == std::vector<std::string>{ "x.jpg" }; }));
    ASSERT_TRUE(album.menu("Delete Folder"));
    ASSERT_TRUE(Answer(album, "Delete Folder",
                       "This folder contains 1 image file(s) and 1 non-image file(s).\n\nAre you "
                       "sure you want to delete all files now?",
                       "No"));
    ASSERT_TRUE(Answer(album, "Delete File", "Delete file 'x.jpg' ?", "Yes"));
    ASSERT_TRUE(Answer(album, "Delete File", "Delete file 'notes.txt' ?", "Yes"));
    ASSERT_TRUE(Answer(album, "Delete Folder", "Delete folder '~/Album/Old' ?", "Yes"));
    ASSERT_TRUE(Eventually([&] { return !fs::exists(old); }));
    EXPECT_TRUE(fs::exists(album.trashFiles() / "x.jpg"));
    EXPECT_TRUE(fs::exists(album.trashFiles() / "notes.txt"));
    // The album is back on the parent folder.
    EXPECT_TRUE(Eventually([&] {
        return DrawnFiles(album) == std::vector<std::string>{ "b.jpg", "d.jpg" };
    }));
    EXPECT_TRUE(album.quit());
    EXPECT_NE(album.settingsText().find("Path=str:\\Album\n"), std::string::npos);
}

TEST(Journey, RestartComesBackWithTheFolderViewOptionsAndWindowAsLeft)
{
    START_JOURNEY(album);
    const std::vector<std::string> others{ "o1.jpg", "o2.jpg" };
    fs::create_directories(album.home() / "Pictures");
    fs::create_directories(album.home() / "Other");
    WriteJpeg(album.home() / "Pictures" / "p1.jpg", 0x40);
    WriteJpeg(album.home() / "Other" / others[0], 0x80);
    WriteJpeg(album.home() / "Other" / others[1], 0xC0);
    ASSERT_TRUE(album.start());
    ASSERT_TRUE(Eventually([&] { return Traced(album, "\\Pictures\t\t30101"); }));

    ASSERT_TRUE(album.click("table cell", "Other"));
    ASSERT_TRUE(Eventually([&] { return DrawnFiles(album) == others; }));
    ASSERT_TRUE(album.menu("Options..."));
    ASSERT_FALSE(album.waitForWindow("Options").empty());
    const std::optional<bool> wasLarge = album.checked("radio button", "Large");
    const std::optional<bool> wasLeft = album.checked("radio button", "Left");
    ASSERT_TRUE(wasLarge && wasLeft);
    ASSERT_TRUE(album.click("radio button", *wasLarge ? "Small" : "Large"));
    ASSERT_TRUE(album.click("radio button", *wasLeft ? "Right" : "Left"));
    ASSERT_TRUE(album.click("push button", "OK"));
    ASSERT_TRUE(album.waitGone("Options"));
    // The toolbar hidden, and the window moved and sized as a window manager would.
    ASSERT_EQ(album.checked("check box", "Show/Hide Toolbar"), true);
    ASSERT_TRUE(album.click("check box", "Show/Hide Toolbar"));
    ASSERT_TRUE(
            Eventually([&] { return album.checked("check box", "Show/Hide Toolbar") == false; }));
    const std::string window = album.mainWindow();
    const std::size_t drawnBeforePlace = DrawnCount(album);
    album.place(window, 37, 41, 700, 500);
    ASSERT_TRUE(Eventually([&] { return album.geometry(window) == "37 41 700 500"; }));
    const DrawnCells before = SettledCells(album, drawnBeforePlace);
    ASSERT_TRUE(before.settled) << "the moved window was never drawn";
    ASSERT_EQ(DrawnFiles(album), others);
    const std::size_t drawnBeforeRestart = DrawnCount(album);
    ASSERT_TRUE(album.quit());
    EXPECT_FALSE(album.settings().toolbarVisible());

    ASSERT_TRUE(album.start());
    EXPECT_TRUE(Eventually([&] { return album.geometry(album.mainWindow()) == "37 41 700 500"; }))
            << album.geometry(album.mainWindow());
    EXPECT_TRUE(Eventually([&] {
        const std::vector<std::string> lines = album.traceLines();
        return std::count(lines.begin(), lines.end(), "\\Other\t\t30101") > 0;
    })) << "not back on \\Other in Thumbnail View";
    EXPECT_EQ(album.checked("check box", "Show/Hide Toolbar"), false);
    // The same thumbnails, as large as they were and drawn alike. (The thumbnail pane may be a
    // scroll bar wider than before the restart: a size change in Options leaves that out.)
    const DrawnCells after = SettledCells(album, drawnBeforeRestart);
    ASSERT_TRUE(after.settled) << "the thumbnails were never drawn after the restart";
    ASSERT_EQ(DrawnFiles(album), others);
    ASSERT_EQ(after.cells.size(), before.cells.size());
    for (std::size_t i = 0; i < after.cells.size(); ++i) {
        const TracedCell &was = before.cells[i];
        const TracedCell &is = after.cells[i];
        EXPECT_EQ(is.area.width, was.area.width);
        EXPECT_EQ(is.area.height, was.area.height);
        EXPECT_TRUE(Near(MeanIn(after.screen, is.area), MeanIn(before.screen, was.area), 2))
                << is.file << ": " << Describe(MeanIn(after.screen, is.area)) << " at "
                << Describe(is.area) << ", before " << Describe(MeanIn(before.screen, was.area))
                << " at " << Describe(was.area);
    }
    ASSERT_TRUE(album.menu("Options..."));
    ASSERT_FALSE(album.waitForWindow("Options").empty());
    EXPECT_EQ(album.checked("radio button", "Large"), !*wasLarge);
    EXPECT_EQ(album.checked("radio button", "Left"), !*wasLeft);
    ASSERT_TRUE(album.click("push button", "Cancel"));
    EXPECT_TRUE(album.quit());
}

} // namespace
