#include "platform/message_box.h"

#include <QApplication>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

bool haveWidgetApplication()
{
    if (!QCoreApplication::instance()) {
        // Boxes never need a real display here.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "platform_tests";
        static char *argv[] = { name, nullptr };
        new QApplication(argc, argv);
    }
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

} // namespace

// The type bits choose buttons and icon; every way out of the box (a button, or closing it)
// must come back as an answer the caller compares against.
TEST(MessageBoxTest, TypeBitsAndAnswers)
{
    if (!haveWidgetApplication())
        GTEST_SKIP() << "another test made a non-widget application";
    using Box = QMessageBox;

    struct Row
    {
        std::uint32_t type;
        Box::StandardButtons buttons;
        Box::Icon icon;
        int closedAnswer;
    };

    const Row rows[] = {
        { MessageBoxType::Ok, Box::Ok, Box::NoIcon, MessageBoxAnswer::Ok },
        { MessageBoxType::OkCancel | MessageBoxType::IconWarning, Box::Ok | Box::Cancel,
          Box::Warning, MessageBoxAnswer::Cancel },
        { MessageBoxType::YesNoCancel | MessageBoxType::IconQuestion,
          Box::Yes | Box::No | Box::Cancel, Box::Question, MessageBoxAnswer::Cancel },
        { MessageBoxType::YesNo | MessageBoxType::IconError, Box::Yes | Box::No, Box::Critical,
          MessageBoxAnswer::No },
        { MessageBoxType::IconInformation, Box::Ok, Box::Information, MessageBoxAnswer::Ok },
    };
    for (const Row &row : rows) {
        MessageBoxRequest request{ nullptr, "<b>a<b>.jpg", "Vistrel", row.type };
        auto box = BuildMessageBox(request, nullptr);
        EXPECT_EQ(box->standardButtons(), row.buttons) << row.type;
        EXPECT_EQ(box->icon(), row.icon) << row.type;
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(MessageBoxAnswerOf(Box::NoButton, row.type), row.closedAnswer) << row.type;
    }
    EXPECT_EQ(MessageBoxAnswerOf(Box::Yes, MessageBoxType::YesNo), MessageBoxAnswer::Yes);
    EXPECT_EQ(MessageBoxAnswerOf(Box::No, MessageBoxType::YesNoCancel), MessageBoxAnswer::No);
    EXPECT_EQ(MessageBoxAnswerOf(Box::Ok, MessageBoxType::OkCancel), MessageBoxAnswer::Ok);
}

// A shown box answers with the button the user pressed, and the sink knows which windows exist.
TEST(MessageBoxTest, ShownBoxAnswersAndWindows)
{
    if (!haveWidgetApplication())
        GTEST_SKIP() << "another test made a non-widget application";
    QtMessageBoxSink sink;
    auto *frame = new QMainWindow;
    frame->show();
    EXPECT_TRUE(sink.isLiveWindow(frame));
    EXPECT_EQ(sink.mainWindow(), static_cast<WindowHandle>(frame));

    QTimer::singleShot(0, [] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::No)->click();
    });
    MessageBoxRequest request{ frame, "Delete?", "Vistrel",
                               MessageBoxType::YesNo | MessageBoxType::IconQuestion };
    EXPECT_EQ(sink.show(request), MessageBoxAnswer::No);

    delete frame;
    EXPECT_FALSE(sink.isLiveWindow(frame));
    EXPECT_FALSE(sink.isLiveWindow(nullptr));
}
