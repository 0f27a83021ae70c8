#include "app/dialog_controls.h"

#include "app/about_box.h"
#include "app/app_settings.h"
#include "app/confirm.h"
#include "app/folder_picker.h"
#include "app/new_folder_dialog.h"
#include "app/options_dialog.h"
#include "platform/help.h"
#include "platform/settings_store.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/accessible_controls.h"
#include "tests/support/help_recorder.h"
#include "tests/support/qt_test_app.h"
#include "tests/support/temp_dir.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

class DialogControlsTest : public ::testing::Test
{
protected:
    DialogControlsTest() : root("VISTREL_ROOT", dir.path().string()), store(dir.file("s.conf"))
    {
        EnsureTestApplication();
    }

    TempDir dir;
    ScopedEnv root;
    ScopedEnv helpFile{ "VISTREL_HELP_FILE", "/help/h.htm" };
    SettingsStore store;
    AppSettings settings;
};

// Each dialog of the album: F1 anywhere in it, and its Help button where it has one, open its own
// help topic; every control in it has a name a screen reader can speak.
TEST_F(DialogControlsTest, EachDialogOpensItsHelpTopicAndNamesItsControls)
{
    struct Row
    {
        const char *name;
        std::function<QDialog *()> make;
        const char *helpUrl;
        bool helpButton;
    };

    const Row rows[] = {
        { "Options", [&] { return new OptionsDialog(settings, store); }, "file:/help/h.htm#Options",
          true },
        { "New Folder", [] { return new NewFolderDialog("\\", "New Folder"); },
          "file:/help/h.htm#New-Folder", true },
        { "Open Folder", [] { return new FolderPickerDialog("\\", "Pick:"); },
          "file:/help/h.htm#Main_Contents", false },
        { "Confirmation",
          [] {
              return new ConfirmDialog(ConfirmRequest{ "T", "Sure?" });
          },
          "file:/help/h.htm#Main_Contents", false },
        { "About", [] { return MakeAboutBox(nullptr); }, "file:/help/h.htm#About-Orn-Album", true },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const std::unique_ptr<QDialog> dialog(row.make());
        EXPECT_EQ(UnnamedControls(*dialog).join(QLatin1Char(' ')).toStdString(), "");
        HelpRecorder viewer;
        dialog->show();
        dialog->activateWindow();
        ASSERT_TRUE(ProcessEventsUntil([&] { return dialog->isActiveWindow(); }));
        QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog.get(), Qt::Key_F1);
        if (auto *buttons = dialog->findChild<QDialogButtonBox *>())
            if (QPushButton *help = buttons->button(QDialogButtonBox::Help))
                help->click();
        EXPECT_EQ(viewer.urls, (std::vector<std::string>(row.helpButton ? 2 : 1, row.helpUrl)));
        // Help leaves the dialog open.
        EXPECT_TRUE(dialog->isVisible());
    }
}

} // namespace
