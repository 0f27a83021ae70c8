#include "app/confirm.h"

#include "tests/support/qt_test_app.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>
#include <optional>

namespace {

// Answers every question with one answer and keeps the last request.
class AnswerWith
{
public:
    explicit AnswerWith(int answer)
    {
        previous = SetConfirmRecorder([this, answer](const ConfirmRequest &request) {
            asked = request;
            return answer;
        });
    }

    ~AnswerWith() { SetConfirmRecorder(previous); }

    std::optional<ConfirmRequest> asked;

private:
    ConfirmRecorder previous;
};

TEST(ConfirmTest, ComposesTheQuestion)
{
    struct Row
    {
        const char *label;
        std::uint32_t messageId, titleId;
        MessageArgs args;
        const char *text, *title;
    } rows[] = {
        // A '%' in a file name is an argument, never part of the format.
        { "file name as argument",
          2443,
          2442,
          { std::string("100%s.jpg") },
          "Delete file '100%s.jpg' ?",
          "Delete File" },
        { "numbers",
          2441,
          2440,
          { 2LL, 1LL },
          "This folder contains 2 image file(s) and 1 non-image file(s).\n\nAre you sure you "
          "want to delete all files now?",
          "Delete Folder" },
        { "no title", 2426, 0, { std::string("\\A") }, "Delete folder '\\A' ?", "Confirmation" },
        { "title without string",
          2426,
          9,
          { std::string("\\A") },
          "Delete folder '\\A' ?",
          "Confirmation" },
    };

    for (const Row &row : rows) {
        AnswerWith recorder(ConfirmAnswer::YesToAll);
        EXPECT_EQ(Confirm(nullptr, row.messageId, row.titleId, true, 5, row.args),
                  ConfirmAnswer::YesToAll)
                << row.label;
        ASSERT_TRUE(recorder.asked) << row.label;
        EXPECT_EQ(recorder.asked->text, row.text) << row.label;
        EXPECT_EQ(recorder.asked->title, row.title) << row.label;
        EXPECT_TRUE(recorder.asked->yesToAllOffered) << row.label;
        EXPECT_EQ(recorder.asked->lineCount, 5) << row.label;
    }
}

TEST(ConfirmTest, MissingMessageAnswersNoWithoutAsking)
{
    AnswerWith recorder(ConfirmAnswer::Yes);
    EXPECT_EQ(Confirm(nullptr, 9, 2442, false, 3, {}), ConfirmAnswer::No);
    EXPECT_FALSE(recorder.asked);
}

TEST(ConfirmTest, DialogButtonsAnswerWithTheirIds)
{
    EnsureTestApplication();
    ConfirmRequest request{ "Delete File", "Delete file 'a.jpg' ?", false, 3 };
    ConfirmDialog single(request);
    EXPECT_EQ(single.objectName(), "111");
    EXPECT_EQ(single.windowTitle(), "Delete File");
    EXPECT_EQ(single.textField()->objectName(), "1000");
    EXPECT_EQ(single.textField()->text(), "Delete file 'a.jpg' ?");
    EXPECT_FALSE(single.button(ConfirmAnswer::YesToAll)->isEnabled());
    request.yesToAllOffered = true;

    const std::pair<int, const char *> buttons[] = { { ConfirmAnswer::Yes, "&Yes" },
                                                     { ConfirmAnswer::YesToAll, "Yes to &All" },
                                                     { ConfirmAnswer::No, "&No" },
                                                     { ConfirmAnswer::Cancel, "&Cancel" } };
    for (const auto &[answer, text] : buttons) {
        ConfirmDialog dialog(request);
        QPushButton *button = dialog.button(answer);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->objectName(), QString::number(answer));
        EXPECT_EQ(button->text(), text);
        EXPECT_TRUE(button->isEnabled()) << text;
        button->click();
        EXPECT_EQ(dialog.result(), answer) << text;
    }
    ConfirmDialog escaped(request);
    escaped.reject();
    EXPECT_EQ(escaped.result(), ConfirmAnswer::Cancel);
    ConfirmDialog entered(request);
    entered.accept();
    EXPECT_EQ(entered.result(), ConfirmAnswer::Yes);
}

// Three lines is the base; more make the text field lineCount / 3 times as high and the dialog
// and the buttons move by the same growth.
TEST(ConfirmTest, TextFieldGrowsWithTheLineCount)
{
    EnsureTestApplication();
    auto geometry = [](int lines) {
        ConfirmDialog dialog(ConfirmRequest{ "t", "text", true, lines });
        return std::tuple(dialog.textField()->height(), dialog.height(),
                          dialog.button(ConfirmAnswer::No)->y());
    };
    const auto [baseText, baseDialog, baseButtons] = geometry(3);
    EXPECT_EQ(geometry(1), geometry(3));
    for (int lines : { 4, 5, 9 }) {
        const auto [text, dialog, buttons] = geometry(lines);
        const int growth = baseText * lines / 3 - baseText;
        EXPECT_EQ(text, baseText + growth) << lines;
        EXPECT_EQ(dialog, baseDialog + growth) << lines;
        EXPECT_EQ(buttons, baseButtons + growth) << lines;
    }
}

} // namespace
