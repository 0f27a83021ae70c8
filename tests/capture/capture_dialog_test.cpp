#include "capture/capture_dialog.h"

#include "capture/capture_buttons.h"
#include "capture/capture_file_format_dialog.h"
#include "capture/capture_settings.h"
#include "common/host_path.h"
#include "platform/display_path.h"
#include "tests/app/doc_test_support.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/qt_test_app.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>
#include <optional>
#include <set>

namespace {

// The capture button as a recorder: buttons in refused cannot be claimed (the one held stays),
// and unregistering fails while failUnregister is set.
class FakeButton final : public CaptureButtonControl
{
public:
    bool registerButton(int n) override
    {
        if (refused.count(n) != 0)
            return false;
        held = n;
        return true;
    }

    int registeredButton() const override { return held; }

    bool unregisterButton() override
    {
        if (failUnregister)
            return false;
        held = 0;
        return true;
    }

    std::set<int> refused;
    bool failUnregister = false;
    int held = 0;
};

const std::vector<std::string> kFourButtons = { "Print", "B2", "B3", "B4" };

class CaptureSettingsDialogTest : public DocTest
{
protected:
    CaptureSettingsDialogTest()
    {
        EnsureTestApplication();
        settings.snapPath = "\\Snaps";
        settings.snapName = "ornsnap";
    }

    CaptureSettingsHost host()
    {
        CaptureSettingsHost h;
        h.frame = &frameWindow;
        h.button = &button;
        h.startDelay = [this](int ms) {
            delays.push_back(ms);
        };
        h.chooseFolder = [this](QWidget *, const std::string &start, const std::string &prompt) {
            folderAsked = start + "|" + prompt;
            return pickedFolder;
        };
        h.chooseFormat = [this](QWidget *, const std::string &, const CaptureFormatChoice &) {
            return pickedFormat;
        };
        h.nextName = [](const std::string &folder, const std::string &prefix, std::int32_t f) {
            return folder + "/" + prefix + "#" + std::to_string(f);
        };
        return h;
    }

    std::unique_ptr<CaptureDialog> open(std::vector<std::string> buttons = kFourButtons)
    {
        return std::make_unique<CaptureDialog>(settings, store, std::move(buttons), host());
    }

    template <typename Widget>
    static Widget *control(QWidget &dialog, const char *id)
    {
        auto *found = dialog.findChild<Widget *>(QString::fromLatin1(id));
        EXPECT_NE(found, nullptr) << id;
        return found;
    }

    void setFlags(bool enabled, int trigger, std::int32_t format = 0)
    {
        CaptureSettings::setBit(settings, CaptureFlag::CaptureEnabled, enabled);
        CaptureSettings::setTrigger(settings, trigger);
        CaptureSettings::setFileFormat(settings, format);
    }

    // Widgets below need the application first.
    bool application = (EnsureTestApplication(), true);
    QWidget frameWindow;
    FakeButton button;
    std::vector<int> delays;
    std::string folderAsked;
    std::optional<std::string> pickedFolder;
    std::optional<CaptureFormatChoice> pickedFormat;
};

TEST_F(CaptureSettingsDialogTest, ListsHoldTheButtonsTheSeparatorTheDelaysAndTheResolutions)
{
    settings.ui.resolutionDpi = 96;
    setFlags(false, 3);
    auto dialog = open();
    auto *triggers = control<QComboBox>(*dialog, "1015");
    ASSERT_EQ(triggers->count(), 13);
    EXPECT_EQ(triggers->itemText(0).toStdString(), "Print");
    EXPECT_EQ(triggers->itemText(4).toStdString(), "-----------------");
    EXPECT_EQ(triggers->itemText(6).toStdString(), "Delay 15 seconds");
    EXPECT_EQ(triggers->itemText(12).toStdString(), "Delay 60 seconds");
    EXPECT_EQ(triggers->currentIndex(), 2);
    auto *dpi = control<QComboBox>(*dialog, "1025");
    ASSERT_EQ(dpi->count(), 14);
    EXPECT_EQ(dpi->itemText(0).toStdString(), "60 dpi");
    EXPECT_EQ(dpi->itemText(13).toStdString(), "300 dpi");
    EXPECT_EQ(dpi->currentIndex(), 5);
    EXPECT_EQ(control<QLineEdit>(*dialog, "1013")->text(), DisplayPathText("\\Snaps"));
    EXPECT_EQ(control<QLineEdit>(*dialog, "1016")->text().toStdString(), "\\Snaps/ornsnap#0");

    // A resolution not in the list selects none; trigger 0 and a trigger past the list select
    // the first entry; an empty capture folder shows the current folder.
    settings.ui.resolutionDpi = 97;
    settings.snapPath.clear();
    settings.currentFolder = "\\Album";
    for (int trigger : { 0, 15 }) {
        setFlags(false, trigger);
        auto other = open();
        EXPECT_EQ(control<QComboBox>(*other, "1025")->currentIndex(), -1);
        EXPECT_EQ(control<QComboBox>(*other, "1015")->currentIndex(), 0) << trigger;
        EXPECT_EQ(control<QLineEdit>(*other, "1013")->text(), DisplayPathText("\\Album"));
    }
}

TEST(CaptureButtonNamesTest, ReadableNamesEndTheListOrEveryKeyIsAButton)
{
    const auto readFirst = [](int readable) {
        return [readable](int n) -> std::optional<std::string> {
            if (n > readable)
                return std::nullopt;
            return "key" + std::to_string(n);
        };
    };
    EXPECT_EQ(CaptureButtonNames(4, readFirst(2)), (std::vector<std::string>{ "key1", "key2" }));
    EXPECT_EQ(CaptureButtonNames(3, readFirst(0)),
              (std::vector<std::string>{ "Button 1", "Button 2", "Button 3" }));
    EXPECT_TRUE(CaptureButtonNames(0, readFirst(4)).empty());
    // The local machine's keys are the application buttons.
    const std::vector<std::string> local = CaptureButtonNames(4);
    ASSERT_EQ(local.size(), 4u);
    EXPECT_EQ(local[0], "Print");
}

TEST_F(CaptureSettingsDialogTest, ResolutionFollowsTheCheckBoxAndIsOffForGif)
{
    struct Row
    {
        bool enabled;
        std::int32_t format;
        bool triggerOn;
        bool resolutionOn;
    };

    const Row rows[] = {
        { true, 0, true, true },
        { true, 1, true, true },
        { true, 2, true, false },
        { false, 0, false, false },
    };
    for (const Row &row : rows) {
        setFlags(row.enabled, 1, row.format);
        auto dialog = open();
        EXPECT_EQ(control<QComboBox>(*dialog, "1015")->isEnabled(), row.triggerOn);
        EXPECT_EQ(control<QCheckBox>(*dialog, "1026")->isEnabled(), row.triggerOn);
        EXPECT_EQ(control<QLabel>(*dialog, "1024")->isEnabled(), row.resolutionOn) << row.format;
        EXPECT_EQ(control<QComboBox>(*dialog, "1025")->isEnabled(), row.resolutionOn);
    }
    // Checking the box in any way (here as a screen reader's toggle does, without a click)
    // applies the rule at once.
    setFlags(false, 1, 0);
    auto dialog = open();
    auto *enable = control<QCheckBox>(*dialog, "1021");
    enable->toggle();
    EXPECT_TRUE(control<QComboBox>(*dialog, "1025")->isEnabled());
    enable->toggle();
    EXPECT_FALSE(control<QComboBox>(*dialog, "1015")->isEnabled());
}

// Capture on or off, its trigger and the button held.
struct ButtonState
{
    bool on;
    int trigger;
    int held;
};

// One OK: the state before, what the user picks, what the desktop refuses, and what the
// settings, the button and the reports are afterwards.
struct OkRow
{
    const char *label;
    ButtonState before;
    bool check;
    int entry;
    std::set<int> refused = {};
    bool failUnregister = false;
    ButtonState after;
    std::vector<int> delays = {};
    std::uint32_t message = 0; // 0: no report
    std::uint32_t step = 0;
};

TEST_F(CaptureSettingsDialogTest, OkClaimsReleasesOrDelaysAndReportsWhatFailed)
{
    const OkRow rows[] = {
        // clang-format off
        { .label = "button 3", .before = { .on = false, .trigger = 1, .held = 0 },
          .check = true, .entry = 2, .after = { .on = true, .trigger = 3, .held = 3 } },
        { .label = "separator", .before = { .on = true, .trigger = 2, .held = 2 },
          .check = true, .entry = 4, .after = { .on = false, .trigger = 1, .held = 0 } },
        { .label = "10 s delay", .before = { .on = true, .trigger = 1, .held = 1 },
          .check = true, .entry = 5, .after = { .on = true, .trigger = 6, .held = 1 },
          .delays = { 10000 } },
        { .label = "delay, off", .before = { .on = true, .trigger = 1, .held = 1 },
          .check = false, .entry = 7, .after = { .on = false, .trigger = 8, .held = 0 },
          .delays = { 20000 } },
        { .label = "refused", .before = { .on = false, .trigger = 1, .held = 0 },
          .check = true, .entry = 1, .refused = { 2 },
          .after = { .on = false, .trigger = 2, .held = 0 }, .message = 20012, .step = 30 },
        { .label = "refused, old kept", .before = { .on = true, .trigger = 1, .held = 1 },
          .check = true, .entry = 1, .refused = { 2 },
          .after = { .on = true, .trigger = 1, .held = 1 }, .message = 20012, .step = 30 },
        { .label = "not released", .before = { .on = true, .trigger = 1, .held = 1 },
          .check = false, .entry = 0, .failUnregister = true,
          .after = { .on = true, .trigger = 1, .held = 1 }, .message = 20013, .step = 10 },
        // clang-format on
    };
    for (const OkRow &row : rows) {
        setFlags(row.before.on, row.before.trigger);
        button = FakeButton{};
        button.held = row.before.held;
        button.refused = row.refused;
        button.failUnregister = row.failUnregister;
        delays.clear();
        sink.shown.clear();
        auto dialog = open();
        control<QCheckBox>(*dialog, "1021")->setChecked(row.check);
        control<QComboBox>(*dialog, "1015")->setCurrentIndex(row.entry);
        dialog->accept();

        EXPECT_EQ(dialog->result(), QDialog::Accepted) << row.label;
        EXPECT_EQ(CaptureSettings::enabled(settings), row.after.on) << row.label;
        EXPECT_EQ(control<QCheckBox>(*dialog, "1021")->isChecked(), row.after.on) << row.label;
        EXPECT_EQ(CaptureSettings::trigger(settings), row.after.trigger) << row.label;
        EXPECT_EQ(button.held, row.after.held) << row.label;
        EXPECT_EQ(delays, row.delays) << row.label;
        if (row.message == 0) {
            EXPECT_TRUE(sink.shown.empty()) << row.label;
            continue;
        }
        ASSERT_EQ(sink.shown.size(), 1u) << row.label;
        EXPECT_EQ(sink.shown[0].text,
                  ComposeErrorMessage(row.message, 0, 36003, 600, row.step, nullptr))
                << row.label;
        EXPECT_EQ(sink.shown[0].type, MessageBoxType::IconWarning);
    }
}

TEST_F(CaptureSettingsDialogTest, OkStoresTheSettingsAndWithoutAFrameStaysOpen)
{
    setFlags(false, 1);
    pickedFolder = "\\Elsewhere";
    auto dialog = open();
    control<QCheckBox>(*dialog, "1023")->setChecked(true);
    control<QCheckBox>(*dialog, "1026")->setChecked(true);
    control<QComboBox>(*dialog, "1025")->setCurrentIndex(13);
    control<QPushButton>(*dialog, "1011")->click();
    EXPECT_EQ(folderAsked, "\\Snaps|Select new Snap folder:");
    EXPECT_EQ(control<QLineEdit>(*dialog, "1016")->text().toStdString(), "\\Elsewhere/ornsnap#0");

    CaptureSettingsHost noFrame = host();
    noFrame.frame = nullptr;
    CaptureDialog orphan(settings, store, kFourButtons, noFrame);
    orphan.accept();
    EXPECT_NE(orphan.result(), QDialog::Accepted);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, ComposeErrorMessage(46040, 0, 36003, 600, 5, nullptr));

    dialog->accept();
    AppSettings stored;
    LoadSettings(store, stored, 0, 0);
    EXPECT_EQ(stored.ui.captureFlags, settings.ui.captureFlags);
    EXPECT_TRUE(CaptureSettings::confirmBeforeSave(stored));
    EXPECT_TRUE(CaptureSettings::sound(stored));
    EXPECT_EQ(stored.ui.resolutionDpi, 300);
    EXPECT_EQ(stored.snapPath, "\\Elsewhere");
    EXPECT_EQ(stored.snapName, "ornsnap");
}

// Below the old controls: the capture area, the clipboard and the notice, loaded, switched with
// capture and stored by OK with the region taken last left as it was.
TEST_F(CaptureSettingsDialogTest, AreaClipboardAndNoticeAreLoadedAndStored)
{
    setFlags(true, 1);
    settings.capture = CaptureOptionsBlock{ 2, CaptureOption::Clipboard, Rect{ 1, 2, 3, 4 } };
    auto dialog = open();
    auto *area = control<QComboBox>(*dialog, "1040");
    auto *clipboard = control<QCheckBox>(*dialog, "1041");
    auto *notice = control<QCheckBox>(*dialog, "1042");
    QStringList entries;
    for (int i = 0; i < area->count(); ++i)
        entries << area->itemText(i);
    EXPECT_EQ(entries,
              (QStringList{ "Whole screen", "Monitor under the pointer", "Active window",
                            "Region" }));
    EXPECT_EQ(area->currentIndex(), 2);
    EXPECT_TRUE(clipboard->isChecked());
    EXPECT_FALSE(notice->isChecked());
    EXPECT_EQ(area->accessibleName(), QStringLiteral("Capture area:"));
    EXPECT_EQ(notice->accessibleName(), QStringLiteral("Show a notice after capture"));

    control<QCheckBox>(*dialog, "1021")->click();
    EXPECT_FALSE(area->isEnabled() || clipboard->isEnabled() || notice->isEnabled());
    control<QCheckBox>(*dialog, "1021")->click();
    EXPECT_TRUE(area->isEnabled() && clipboard->isEnabled() && notice->isEnabled());

    area->setCurrentIndex(3);
    clipboard->setChecked(false);
    notice->setChecked(true);
    dialog->accept();
    AppSettings stored;
    LoadSettings(store, stored, 0, 0);
    EXPECT_EQ(stored.capture.area, 3u);
    EXPECT_EQ(stored.capture.flags, CaptureOption::Notice);
    EXPECT_EQ(stored.capture.lastRegion, (Rect{ 1, 2, 3, 4 }));
}

// The folder reads as the desktop writes paths; what OK stores stays the device path.
TEST_F(CaptureSettingsDialogTest, FolderIsShownInTheDesktopsFormAndStoredAsItWas)
{
    struct Row
    {
        std::string home;
        const char *shown;
    };

    const Row rows[] = {
        { DeviceRoot(), "~/Snaps/2024 a" },
        { "/nowhere/else", "/Snaps/2024 a" },
    };
    for (const Row &row : rows) {
        ScopedEnv home("HOME", row.home);
        settings.snapPath = "\\Snaps\\2024 a";
        auto dialog = open();
        EXPECT_EQ(control<QLineEdit>(*dialog, "1013")->text().toStdString(), row.shown);
        dialog->accept();
        AppSettings stored;
        LoadSettings(store, stored, 0, 0);
        EXPECT_EQ(stored.snapPath, "\\Snaps\\2024 a") << row.shown;
    }
}

TEST_F(CaptureSettingsDialogTest, AFormatTakenFromTheFormatDialogOutlivesCancel)
{
    setFlags(true, 1, 0);
    pickedFormat = CaptureFormatChoice{ "shot", 2 };
    auto dialog = open();
    control<QPushButton>(*dialog, "1012")->click();
    EXPECT_EQ(control<QLineEdit>(*dialog, "1016")->text().toStdString(), "\\Snaps/shot#2");
    // GIF now: the resolution is off although capture is on.
    EXPECT_FALSE(control<QComboBox>(*dialog, "1025")->isEnabled());
    dialog->reject();
    EXPECT_EQ(CaptureSettings::fileFormat(settings), 2);
    EXPECT_EQ(settings.snapName, "ornsnap");
}

TEST_F(CaptureSettingsDialogTest, FormatDialogListsFormatsInItsOrderAndRefusesABadPrefix)
{
    const std::pair<int, std::int32_t> entries[] = { { 0, 0 }, { 1, 2 }, { 2, 1 }, { 3, 3 } };
    for (auto [entry, format] : entries) {
        EXPECT_EQ(CaptureFormatOfEntry(entry), format);
        EXPECT_EQ(CaptureEntryOfFormat(format), entry);
    }

    const CaptureNamer namer = [](const std::string &, const std::string &prefix,
                                  std::int32_t format) {
        return prefix + "#" + std::to_string(format);
    };
    CaptureFileFormatDialog dialog("\\Snaps", "ornsnap", 1, namer);
    auto *formats = control<QComboBox>(dialog, "1027");
    EXPECT_EQ(formats->itemText(1).toStdString(), "GIF files (*.gif)");
    EXPECT_EQ(formats->itemText(3).toStdString(), "PNG files (*.png)");
    EXPECT_EQ(formats->currentIndex(), 2);
    auto *sample = control<QLineEdit>(dialog, "2001");
    EXPECT_EQ(sample->text().toStdString(), "ornsnap#1");
    auto *prefix = control<QLineEdit>(dialog, "1016");
    EXPECT_EQ(prefix->maxLength(), 50);
    formats->setCurrentIndex(1);
    prefix->setText(QStringLiteral("  a:b "));
    EXPECT_EQ(sample->text().toStdString(), "a:b#2");

    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_NE(sink.shown[0].text.find(
                      "Illegal file or folder name.\nCannot contains characters such as "
                      "\\/:*?\"<>|."),
              std::string::npos);
    prefix->setText(QStringLiteral("shot"));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.prefix(), "shot");
    EXPECT_EQ(dialog.format(), 2);
}

} // namespace
