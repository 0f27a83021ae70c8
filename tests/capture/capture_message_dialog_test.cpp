// The "Capture Message" dialog: what it opens with, and how OK and the abort end it (a bad name
// keeps it open, an existing name asks first, only Yes replaces).
#include "capture/capture_message_dialog.h"

#include "tests/app/confirm_script.h"
#include "tests/app/doc_test_support.h"
#include "tests/support/qt_test_app.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

class CaptureDialogTest : public ::testing::Test
{
protected:
    CaptureDialogTest() { EnsureTestApplication(); }

    CaptureDialogRequest request(std::int32_t format = 0) const
    {
        return CaptureDialogRequest{ dir.path().string(), "ornsnap", format };
    }

    template <typename Widget>
    static Widget *control(QDialog &dialog, const char *id)
    {
        auto *widget = dialog.findChild<Widget *>(QString::fromLatin1(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }

    // Types name, presses OK; whether the dialog ended.
    static bool pressOk(CaptureMessageDialog &dialog, const QString &name)
    {
        dialog.show();
        control<QLineEdit>(dialog, "1016")->setText(name);
        control<QPushButton>(dialog, "1")->click();
        return !dialog.isVisible();
    }

    TempDir dir;
    RecordingSink sink;
};

TEST_F(CaptureDialogTest, OpensWithTheNextNameAndTheFormatsExtension)
{
    WriteBytes(dir.file("ornsnap001.gif"), { 1 });
    CaptureMessageDialog dialog(request(2), {});
    EXPECT_EQ(dialog.objectName(), "108");
    EXPECT_EQ(dialog.windowTitle(), "Capture Message");
    EXPECT_EQ(control<QLineEdit>(dialog, "2001")->text(), "ornsnap002.gif");
    EXPECT_TRUE(control<QLineEdit>(dialog, "2001")->isReadOnly());
    EXPECT_EQ(control<QLabel>(dialog, "2002")->text(), ".gif");
    EXPECT_TRUE(control<QLineEdit>(dialog, "1016")->text().isEmpty());
    EXPECT_EQ(control<QLineEdit>(dialog, "1016")->maxLength(), 50);
    EXPECT_FALSE(control<QCheckBox>(dialog, "1023")->isChecked());
    EXPECT_EQ(control<QPushButton>(dialog, "1020")->accessibleName(), "Abort this capture");
}

TEST_F(CaptureDialogTest, OkTakesTheTypedOrTheNextNameAndRefusesABadOne)
{
    struct Case
    {
        const char *typed;
        bool ends;
        const char *name; // when it ends
        const char *error; // the report's first line when it does not
    };

    const Case cases[] = {
        { "", true, "ornsnap001.bmp", "" },
        { "  holiday  ", true, "holiday.bmp", "" },
        { "a?b", false, "", "Illegal file or folder name." },
        { "x/y", false, "", "Illegal file or folder name." },
        { ".hidden", false, "", "Please specify file name or folder name." },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        sink.shown.clear();
        CaptureMessageDialog dialog(request(), {});
        control<QCheckBox>(dialog, "1023")->setChecked(true);
        EXPECT_EQ(pressOk(dialog, QString::fromUtf8(c.typed)), c.ends);
        if (c.ends) {
            EXPECT_TRUE(dialog.outcome().ok);
            EXPECT_EQ(dialog.outcome().name, c.name);
            EXPECT_TRUE(dialog.outcome().dontShowAgain);
            EXPECT_TRUE(sink.shown.empty());
        } else {
            ASSERT_EQ(sink.shown.size(), 1u);
            EXPECT_EQ(sink.shown[0].text.rfind(c.error, 0), 0u) << sink.shown[0].text;
            EXPECT_FALSE(dialog.outcome().ok);
        }
    }
}

TEST_F(CaptureDialogTest, AnExistingNameIsReplacedOnlyOnYes)
{
    WriteBytes(dir.file("taken.jpg"), { 1 });
    for (int answer : { 1003, 1004, 1001 }) {
        SCOPED_TRACE(answer);
        int asked = 0;
        CaptureMessageDialog dialog(request(1), [&](QWidget *) {
            ++asked;
            return answer;
        });
        EXPECT_EQ(pressOk(dialog, "taken"), answer == 1001);
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(dialog.outcome().ok, answer == 1001);
        if (answer == 1001) {
            EXPECT_EQ(dialog.outcome().name, "taken.jpg");
        }
    }
}

TEST_F(CaptureDialogTest, TheReplaceQuestionCarriesTheApplicationsTitle)
{
    ConfirmScript script({ 1003 });
    EXPECT_EQ(AskReplaceCapture(nullptr), 1003);
    ASSERT_EQ(script.asked.size(), 1u);
    EXPECT_EQ(script.asked[0].title, "Vistrel");
    EXPECT_EQ(script.asked[0].text,
              "Destination file already exists. Are you sure you want to replace it?");
    EXPECT_FALSE(script.asked[0].yesToAllOffered);
}

TEST_F(CaptureDialogTest, AbortKeepsTheCheckBox)
{
    for (bool checked : { true, false }) {
        CaptureMessageDialog dialog(request(), {});
        dialog.show();
        control<QCheckBox>(dialog, "1023")->setChecked(checked);
        control<QPushButton>(dialog, "1020")->click();
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_FALSE(dialog.outcome().ok);
        EXPECT_EQ(dialog.outcome().dontShowAgain, checked);
    }
    EXPECT_TRUE(dir.names().empty());
}

} // namespace
