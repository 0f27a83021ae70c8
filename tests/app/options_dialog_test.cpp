#include "app/options_dialog.h"

#include "app/app_settings.h"
#include "platform/display_path.h"
#include "platform/settings_store.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/temp_dir.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace {

class OptionsDialogTest : public ::testing::Test
{
protected:
    OptionsDialogTest() : store(dir.file("settings.conf")) { EnsureTestApplication(); }

    template <typename T>
    T *control(OptionsDialog &dialog, const char *id)
    {
        T *found = dialog.findChild<T *>(QString::fromUtf8(id));
        EXPECT_NE(found, nullptr) << id;
        return found;
    }

    std::optional<std::vector<std::uint8_t>> storedPreferences() const
    {
        return store.readBinary(SettingsSectionKey("Preferences"), "Values");
    }

    TempDir dir;
    SettingsStore store;
    AppSettings settings;
};

TEST_F(OptionsDialogTest, ShowsTheSettings)
{
    settings.prefs.prefFlags = (3u << PrefFlag::ColorOptimizationShift); // 12-bit, rotate right
    settings.prefs.cellWidth = 67;
    settings.prefs.cellHeight = 87;
    settings.homeFolder = "\\Pictures";
    OptionsDialog dialog(settings, store);
    auto *colors = control<QComboBox>(dialog, "1059");
    ASSERT_EQ(colors->count(), 5);
    EXPECT_EQ(colors->itemText(2), "16-bits: 65,536 colors");
    EXPECT_EQ(colors->currentIndex(), 3);
    EXPECT_FALSE(control<QRadioButton>(dialog, "1028")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(dialog, "1029")->isChecked());
    EXPECT_FALSE(control<QRadioButton>(dialog, "1030")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(dialog, "1031")->isChecked());
    auto *home = control<QLineEdit>(dialog, "1076");
    EXPECT_TRUE(home->isReadOnly());
    // People read the folder as the desktop writes it.
    EXPECT_EQ(home->text(), DisplayPathText("\\Pictures"));
}

TEST_F(OptionsDialogTest, OkAppliesChoicesAndRescalesSplits)
{
    struct Row
    {
        const char *label;
        std::uint16_t width, height, split;
        const char *sizeButton;
        std::uint16_t newWidth, newHeight, newSplit;
        bool changed;
    } rows[] = {
        { "small to large", 55, 71, 150, "1031", 67, 87, 174, true }, // 2 whole rows
        { "large to small", 67, 87, 300, "1030", 55, 71, 213, true }, // 3 whole rows
        { "small kept", 55, 71, 150, "1030", 55, 71, 150, false },
        { "damaged height", 67, 0, 300, "1030", 55, 71, 142, true },
        // A size of Ctrl+wheel shows as Large and stays unless Small is chosen.
        { "larger kept", 193, 255, 510, "1031", 193, 255, 510, false },
        { "larger to small", 193, 255, 510, "1030", 55, 71, 142, true },
    };

    for (const Row &row : rows) {
        settings.prefs.cellWidth = row.width;
        settings.prefs.cellHeight = row.height;
        settings.ui.thumbViewSplit = row.split;
        settings.ui.selectViewSplit = row.split;
        OptionsDialog dialog(settings, store);
        control<QComboBox>(dialog, "1059")->setCurrentIndex(4);
        control<QRadioButton>(dialog, "1029")->setChecked(true);
        control<QRadioButton>(dialog, row.sizeButton)->setChecked(true);
        dialog.accept();

        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(dialog.thumbnailsChanged(), row.changed) << row.label;
        EXPECT_EQ(settings.prefs.cellWidth, row.newWidth) << row.label;
        EXPECT_EQ(settings.prefs.cellHeight, row.newHeight) << row.label;
        EXPECT_EQ(settings.ui.thumbViewSplit, row.newSplit) << row.label;
        EXPECT_EQ(settings.ui.selectViewSplit, row.newSplit) << row.label;
        EXPECT_EQ(settings.colorOptimization(), 4);
        EXPECT_FALSE(settings.rotateLeft());
        auto stored = storedPreferences();
        ASSERT_TRUE(stored);
        ASSERT_EQ(stored->size(), 20u);
        EXPECT_EQ((*stored)[12] | (*stored)[13] << 8, row.newWidth);
        EXPECT_EQ((*stored)[14] | (*stored)[15] << 8, row.newHeight);
    }
}

TEST_F(OptionsDialogTest, SharedThumbnailCacheIsOnUntilTurnedOff)
{
    for (const bool on : { false, true, false }) {
        OptionsDialog dialog(settings, store);
        auto *box = control<QCheckBox>(dialog, "sharedThumbnails");
        EXPECT_EQ(box->isChecked(), !on) << "shown as stored";
        box->setChecked(on);
        dialog.accept();
        EXPECT_EQ(settings.sharedThumbnails(), on);
        auto stored = storedPreferences();
        ASSERT_TRUE(stored);
        EXPECT_EQ(((*stored)[17] & 0x04) != 0, !on); // prefFlags bit 10
    }
}

TEST_F(OptionsDialogTest, CancelWritesNothingButAChosenHomeStays)
{
    settings.homeFolder = "\\Old";
    std::string askedStart;
    OptionsDialog dialog(settings, store);
    dialog.setFolderChooser([&](QWidget *, const std::string &start, const std::string &prompt) {
        askedStart = start;
        EXPECT_EQ(prompt, "Select new Home folder:");
        return std::optional<std::string>("\\New");
    });
    control<QPushButton>(dialog, "1078")->click();
    EXPECT_EQ(askedStart, "\\Old");
    EXPECT_EQ(settings.homeFolder, "\\New");
    EXPECT_EQ(control<QLineEdit>(dialog, "1076")->text(), DisplayPathText("\\New"));

    control<QRadioButton>(dialog, "1031")->setChecked(true);
    dialog.reject();
    EXPECT_EQ(settings.prefs.cellWidth, 55);
    EXPECT_FALSE(storedPreferences());

    dialog.setFolderChooser([](QWidget *, const std::string &, const std::string &) {
        return std::optional<std::string>();
    });
    control<QPushButton>(dialog, "1078")->click();
    EXPECT_EQ(settings.homeFolder, "\\New");
}

} // namespace
