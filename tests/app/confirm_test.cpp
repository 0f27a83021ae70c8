#include "app/confirm.h"

#include "tests/app/confirm_script.h"
#include "tests/support/qt_test_app.h"

#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::string>;

// A '%' in a file name is an argument, never part of the format; an empty title, or one the
// table lacks, is "Confirmation"; a message the table lacks asks nothing and answers No.
TEST(ConfirmTest, ComposesTheQuestion)
{
    struct Row
    {
        std::uint32_t messageId, titleId;
        MessageArgs args;
        Texts asked;
        const char *title;
    } rows[] = {
        { 2443,
          2442,
          { std::string("100%s.jpg") },
          { "Delete file '100%s.jpg' ?" },
          "Delete File" },
        { 2441,
          2440,
          { 2LL, 1LL },
          { "This folder contains 2 image file(s) and 1 non-image file(s).\n\n"
            "Are you sure you want to delete all files now?" },
          "Delete Folder" },
        { 2426, 0, { std::string("\\A") }, { "Delete folder '\\A' ?" }, "Confirmation" },
        { 2426, 9, { std::string("\\A") }, { "Delete folder '\\A' ?" }, "Confirmation" },
        { 9, 2442, {}, {}, nullptr },
    };

    for (const Row &row : rows) {
        ConfirmScript script({ ConfirmAnswer::YesToAll });
        const int answer = Confirm(nullptr, row.messageId, row.titleId, true, 5, row.args);
        EXPECT_EQ(script.texts(), row.asked) << row.messageId;
        EXPECT_EQ(answer, row.asked.empty() ? ConfirmAnswer::No : ConfirmAnswer::YesToAll);
        if (row.asked.empty())
            continue;
        EXPECT_EQ(script.asked[0].title, row.title) << row.messageId;
        EXPECT_TRUE(script.asked[0].yesToAllOffered);
        EXPECT_EQ(script.asked[0].lineCount, 5);
    }
}

// Each button ends the dialog with its id; Enter is Yes, Escape Cancel; Yes to All only when
// offered.
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
    ConfirmDialog escaped(request), entered(request);
    escaped.reject();
    entered.accept();
    EXPECT_EQ(escaped.result(), ConfirmAnswer::Cancel);
    EXPECT_EQ(entered.result(), ConfirmAnswer::Yes);
}

// Three lines is the base; more make the text field lineCount / 3 times as high, and the dialog
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
        const int growth = baseText * lines / 3 - baseText;
        EXPECT_EQ(geometry(lines),
                  std::tuple(baseText + growth, baseDialog + growth, baseButtons + growth))
                << lines;
    }
}

} // namespace
