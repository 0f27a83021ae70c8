#include "app/app_settings.h"

#include "common/string_ids.h"
#include "common/string_table.h"
#include "platform/settings_store.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

const std::string kStrings = SettingsSectionKey("Strings");

class AppSettingsTest : public ::testing::Test
{
protected:
    AppSettings load(std::uint32_t appFlags = 0)
    {
        AppSettings settings;
        settings.appFlags = appFlags;
        LoadSettings(store, settings, 17, 13);
        return settings;
    }

    void writeBlock(const char *section, std::vector<std::uint8_t> bytes)
    {
        store.writeBinary(SettingsSectionKey(section), "Values", bytes);
    }

    std::optional<std::string> stored(const char *valueName) const
    {
        return store.readString(kStrings, valueName);
    }

    TempDir dir;
    SettingsStore store{ dir.file("Vistrel.conf") };
};

std::string defaultFolder()
{
    return std::string(FindString(Msg::DefaultFolder).value_or("\\"));
}

} // namespace

TEST(AppSettingsKeyTest, WithoutTrailingBackslash)
{
    const std::pair<const char *, const char *> rows[] = {
        { "\\", "\\" },
        { "\\My Documents\\", "\\My Documents" },
        { "\\a", "\\a" },
        { "\\\\server", "\\\\server" },
        { "\\\\server\\", "\\\\server" },
        { "", "" },
        { "a\\", "a" },
    };
    for (const auto &[in, out] : rows)
        EXPECT_EQ(WithoutTrailingBackslash(in), out) << in;
}

TEST_F(AppSettingsTest, FirstStartGivesEveryDefault)
{
    const AppSettings s = load(AppFlag::StartHidden | AppFlag::StartingUp);
    const std::string folder = defaultFolder();
    EXPECT_EQ(s.currentFolder, folder);
    EXPECT_EQ(s.homeFolder, WithoutTrailingBackslash(folder));
    EXPECT_EQ(s.snapPath, WithoutTrailingBackslash(folder));
    EXPECT_EQ(s.snapName, "ornsnap");
    EXPECT_EQ(s.prefs.cellWidth, 55);
    EXPECT_EQ(s.prefs.cellHeight, 71);
    EXPECT_EQ(s.prefs.thumbBackColor, 0x666666);
    EXPECT_EQ(s.prefs.frameColor, 0x666666);
    EXPECT_EQ(s.prefs.imageBackColor, 0x999999);
    EXPECT_EQ(s.prefs.prefFlags, 0x81u);
    EXPECT_EQ(s.ui.thumbViewSplit, 142);
    EXPECT_EQ(s.ui.selectViewSplit, 142);
    EXPECT_EQ(s.ui.resolutionDpi, 96);
    EXPECT_EQ(s.ui.captureFlags, 0x401u); // toolbar shown, size unit inches
    EXPECT_TRUE(s.toolbarVisible());
    EXPECT_TRUE(s.recentFolders.empty());
    EXPECT_EQ(s.barHeight, 26);
    EXPECT_EQ(s.scrollBarWidth, 17);
    EXPECT_EQ(s.scrollBarHeight, 13);
    EXPECT_EQ(s.appFlags, AppFlag::StartingUp);
    EXPECT_EQ(s.hardwareKeyCount,
              LocalMachineSubKeyCount("Software\\Microsoft\\Shell\\Keys").value_or(0));
    EXPECT_EQ(s.notEnoughMemoryText, "Not enough memory.");
    EXPECT_EQ(s.rootName, "My Device");
    EXPECT_EQ(s.imageExtensions, "bmp|jpg|jpeg|gif|giff|png|webp|heic|heif|hif|avif|");
    EXPECT_EQ(s.formatNames, "BMP|GIF|JPEG");
    // Loading writes nothing.
    EXPECT_FALSE(stored("Path"));
}

// A block one byte short or long is ignored as a whole; the split defaults follow the cell height
// of the preferences actually loaded.
TEST_F(AppSettingsTest, WronglySizedBlocksCountAsMissing)
{
    PreferencesBlock large;
    large.cellWidth = 67;
    large.cellHeight = 87;
    WritePreferences(store, large);
    writeBlock("UI Info", std::vector<std::uint8_t>(13, 0xAB));
    AppSettings s = load();
    EXPECT_EQ(s.prefs.cellHeight, 87);
    EXPECT_EQ(s.ui.thumbViewSplit, 174);
    EXPECT_EQ(s.ui.selectViewSplit, 174);
    EXPECT_EQ(s.ui.captureFlags, 0x401u);

    writeBlock("Preferences", std::vector<std::uint8_t>(19, 0xAB));
    writeBlock("UI Info", std::vector<std::uint8_t>(11, 0xAB));
    s = load();
    EXPECT_EQ(s.prefs.cellWidth, 55);
    EXPECT_EQ(s.prefs.cellHeight, 71);
    EXPECT_EQ(s.prefs.prefFlags, 0x81u);
    EXPECT_EQ(s.prefs.thumbBackColor, 0x666666);
    EXPECT_EQ(s.ui.thumbViewSplit, 142);

    writeBlock("Preferences", std::vector<std::uint8_t>(21, 0));
    EXPECT_EQ(load().prefs.cellWidth, 55);
}

TEST_F(AppSettingsTest, BlocksAreLittleEndianWithFixedLayout)
{
    UiInfoBlock ui;
    ui.thumbViewSplit = 0x0102;
    ui.selectViewSplit = 0x0304;
    ui.resolutionDpi = 300;
    ui.captureFlags = 0x80000401;
    WriteUiInfo(store, ui);
    EXPECT_EQ(store.readBinary(SettingsSectionKey("UI Info"), "Values"),
              (std::vector<std::uint8_t>{ 0x02, 0x01, 0x04, 0x03, 0x2C, 0x01, 0, 0, 0x01, 0x04, 0,
                                          0x80 }));

    PreferencesBlock prefs;
    prefs.thumbBackColor = MakeRgb(1, 2, 3);
    prefs.frameColor = kNoColour;
    WritePreferences(store, prefs);
    EXPECT_EQ(store.readBinary(SettingsSectionKey("Preferences"), "Values"),
              (std::vector<std::uint8_t>{ 1,    2, 3,  0, 0xFF, 0xFF, 0xFF, 0xFF, 0x99, 0x99,
                                          0x99, 0, 55, 0, 71,   0,    0x81, 0,    0,    0 }));
}

TEST_F(AppSettingsTest, ValuesSurviveSaveAndLoad)
{
    AppSettings s = load();
    s.ui = { 213, 0xFFFF, -5, 0xFFFFFFFF };
    s.prefs = { kNoColour, 0x123456, 0, 67, 87, 0x3DD };
    s.currentFolder = "\\Bilder \xC3\xA4\\";
    s.homeFolder = "\\Home";
    s.snapPath = "\\";
    s.snapName = "shot";
    SaveSettings(store, s);

    const AppSettings t = load();
    EXPECT_EQ(t.ui.thumbViewSplit, 213);
    EXPECT_EQ(t.ui.selectViewSplit, 0xFFFF);
    EXPECT_EQ(t.ui.resolutionDpi, -5);
    EXPECT_EQ(t.ui.captureFlags, 0xFFFFFFFFu);
    EXPECT_EQ(t.prefs.thumbBackColor, kNoColour);
    EXPECT_EQ(t.prefs.frameColor, 0x123456);
    EXPECT_EQ(t.prefs.imageBackColor, 0);
    EXPECT_EQ(t.prefs.cellWidth, 67);
    EXPECT_EQ(t.prefs.cellHeight, 87);
    EXPECT_EQ(t.prefs.prefFlags, 0x3DDu);
    EXPECT_EQ(t.currentFolder, s.currentFolder);
    EXPECT_EQ(t.homeFolder, "\\Home");
    EXPECT_EQ(t.snapPath, "\\");
    EXPECT_EQ(t.snapName, "shot");
}

// Home and Snap Path fall back to the folder on show without its trailing backslash.
TEST_F(AppSettingsTest, FolderFallbacks)
{
    WriteStringSetting(store, "Path", "\\Pictures\\Trip\\");
    AppSettings s = load();
    EXPECT_EQ(s.currentFolder, "\\Pictures\\Trip\\");
    EXPECT_EQ(s.homeFolder, "\\Pictures\\Trip");
    EXPECT_EQ(s.snapPath, "\\Pictures\\Trip");

    WriteStringSetting(store, "Path", "\\");
    WriteStringSetting(store, "Snap Path", "\\Shots");
    s = load();
    EXPECT_EQ(s.homeFolder, "\\");
    EXPECT_EQ(s.snapPath, "\\Shots");

    // A stored empty text is a value, not a missing one.
    WriteStringSetting(store, "Snap Name", "");
    EXPECT_EQ(load().snapName, "");
}

// Hand-edited folders stay under the device root: a path without the leading backslash is taken
// from the root, never from the working folder, and one that climbs out of the root is refused.
TEST_F(AppSettingsTest, HandEditedFoldersStayUnderTheRoot)
{
    struct Row
    {
        const char *stored;
        const char *loaded; // nullptr: refused, the fallback "\\Trip" is used
    };

    const Row rows[] = {
        { "Pictures\\2024", "\\Pictures\\2024" },
        { "\\Pictures\\.\\2024\\..\\2025", "\\Pictures\\2025" },
        { "a\\..\\b\\", "\\b\\" },
        { ".", "\\" },
        { "..\\etc", nullptr },
        { "\\a\\..\\..", nullptr },
        { "/outside/the/root", nullptr },
    };
    WriteStringSetting(store, "Path", "\\Trip\\");
    for (const Row &row : rows) {
        WriteStringSetting(store, "Home", row.stored);
        WriteStringSetting(store, "Snap Path", row.stored);
        AppSettings s = load();
        const std::string expected = row.loaded ? row.loaded : "\\Trip";
        EXPECT_EQ(s.homeFolder, expected) << row.stored;
        EXPECT_EQ(s.snapPath, expected) << row.stored;
    }
}

TEST_F(AppSettingsTest, RecentFoldersKeepFiveNewestFirst)
{
    AppSettings s = load();
    for (const char *folder : { "\\1", "\\2", "\\3", "\\4", "\\5", "\\6" })
        AddRecentFolder(store, s, folder);
    EXPECT_EQ(s.recentFolders, (std::vector<std::string>{ "\\6", "\\5", "\\4", "\\3", "\\2" }));
    EXPECT_EQ(stored("Recent1"), "\\6");
    EXPECT_EQ(stored("Recent5"), "\\2");
    EXPECT_FALSE(stored("Recent6"));

    AddRecentFolder(store, s, "\\4");
    EXPECT_EQ(s.recentFolders, (std::vector<std::string>{ "\\4", "\\6", "\\5", "\\3", "\\2" }));
    EXPECT_EQ(stored("Recent1"), "\\4");
    EXPECT_EQ(stored("Recent2"), "\\6");
    EXPECT_EQ(stored("Recent3"), "\\5");

    // The comparison is exact: another spelling is another entry.
    AddRecentFolder(store, s, "\\6\\");
    EXPECT_EQ(s.recentFolders, (std::vector<std::string>{ "\\6\\", "\\4", "\\6", "\\5", "\\3" }));
}

// The list starts empty at every start; values an earlier run wrote beyond it stay.
TEST_F(AppSettingsTest, RecentListIsNotReadBack)
{
    AppSettings first = load();
    for (const char *folder : { "\\a", "\\b", "\\c" })
        AddRecentFolder(store, first, folder);
    AppSettings second = load();
    EXPECT_TRUE(second.recentFolders.empty());
    AddRecentFolder(store, second, "\\d");
    EXPECT_EQ(second.recentFolders, std::vector<std::string>{ "\\d" });
    EXPECT_EQ(stored("Recent1"), "\\d");
    EXPECT_EQ(stored("Recent2"), "\\b");
    EXPECT_EQ(stored("Recent3"), "\\a");
}
