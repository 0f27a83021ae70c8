#include "common/error_report.h"

#include "common/string_ids.h"
#include "common/utf8.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Window handles for the recorder: any distinct addresses serve.
const char kWindows[3] = {};
const WindowHandle kDialogWindow = &kWindows[0];
const WindowHandle kMainWindow = &kWindows[1];
const WindowHandle kClosedWindow = &kWindows[2];

class RecordingSink final : public MessageBoxSink
{
public:
    int show(const MessageBoxRequest &request) override
    {
        shown.push_back(request);
        if (throwOnShow)
            throw std::runtime_error("no display");
        return answer;
    }

    bool isLiveWindow(WindowHandle window) const override { return live.count(window) != 0; }

    WindowHandle mainWindow() const override { return main; }

    std::vector<MessageBoxRequest> shown;
    std::set<WindowHandle> live{ kDialogWindow, kMainWindow };
    WindowHandle main = kMainWindow;
    int answer = MessageBoxAnswer::Ok;
    bool throwOnShow = false;
};

class ErrorReportTest : public ::testing::Test
{
protected:
    void SetUp() override { previous = SetMessageBoxSink(&sink); }

    void TearDown() override { SetMessageBoxSink(previous); }

    const MessageBoxRequest &last() const { return sink.shown.back(); }

    RecordingSink sink;
    MessageBoxSink *previous = nullptr;
};

} // namespace

TEST_F(ErrorReportTest, ComposedText)
{
    const CAlbException denied(Msg::AccessDenied);
    const CAlbException senderFailed(Msg::NotEnoughMemory, 101, 100, 10, 2);
    const CAlbException noLocation(Msg::InvalidPath, 0, 0, 0, 0, true);

    struct Row
    {
        const char *label;
        std::uint32_t id, id2, module, place, step;
        const CAlbExceptionBase *exception;
        MessageArgs args;
        const char *expected;
    };

    // clang-format off
    const std::vector<Row> rows = {
        { "capture write failure", Msg::UnableToSaveSnapFile, 0, 36007, 3000, 40, &denied, {},
          "Unable to save snap file.\n36007:3000:40\nFile access was denied." },
        { "message only", Msg::UnableToAccessFile, 0, 0, 0, 0, nullptr, {},
          "Unable to access the file." },
        { "module 0 hides place and step", Msg::UnableToAccessFile, 0, 0, 103, 2, nullptr, {},
          "Unable to access the file." },
        { "second message", Msg::UnableToAccessFile, Msg::FolderAlreadyExists, 0, 0, 0, nullptr, {},
          "Unable to access the file.\nThis folder already exists." },
        { "missing second message", Msg::UnableToAccessFile, 12345, 0, 0, 0, nullptr, {},
          "Unable to access the file." },
        { "missing first message", 12345, 0, 0, 0, 0, nullptr, {},
          "No Error message available." },
        { "argument", Msg::ImageCropped, 0, 0, 0, 0, nullptr, { std::string("a_c.jpg") },
          "Image file a_c.jpg has been cropped." },
        { "infrared failure", Msg::CannotSendFile, 0, 36001, 400, 10, &senderFailed, {},
          "Cannot send file by infrared!\n36001:400:10\nNot enough memory.\n101:100:10:2" },
        { "exception without location", Msg::FailedToCrop, 0, 47000, 105, 1, &noLocation,
          { std::string("b.gif") },
          "Failed to crop image file to 'b.gif'.\n47000:105:1\nInvalid path." },
        { "no identifiers, no exception", 0, 0, 0, 0, 0, nullptr, {},
          "No Error message available." },
    };
    // clang-format on
    for (const Row &row : rows) {
        SCOPED_TRACE(row.label);
        ShowErrorMessage(nullptr, row.id, row.id2, 0, row.module, row.place, row.step,
                         row.exception, row.args);
        EXPECT_EQ(last().text, row.expected);
        EXPECT_EQ(last().title, "Vistrel");
        EXPECT_EQ(last().type, MessageBoxType::IconWarning);
    }
}

TEST_F(ErrorReportTest, ExceptionOnlyForm)
{
    const CAlbException located(Msg::NotEnoughMemory, 101, 100, 10, 5);
    ShowErrorMessage(kDialogWindow, 0, 0, 0, 36001, 400, 10, &located);
    EXPECT_EQ(last().text, "Not enough memory.\n101:100:10:5");
    EXPECT_EQ(last().type, MessageBoxType::IconWarning);
    EXPECT_EQ(last().owner, kMainWindow);
    EXPECT_EQ(last().title, "Vistrel");

    const CAlbException plain(Msg::IllegalName);
    ShowErrorMessage(nullptr, 0, 0, MessageBoxType::IconError, 5, 6, 7, &plain);
    EXPECT_EQ(last().text,
              "Illegal file or folder name.\nCannot contains characters such as \\/:*?\"<>|.");
    EXPECT_EQ(last().type, MessageBoxType::IconError);

    const CAlbFileException file(EACCES, "");
    ShowErrorMessage(nullptr, 0, 0, 0, 0, 0, 0, &file);
    EXPECT_EQ(last().text, std::string(std::strerror(EACCES)) + ".");
}

TEST_F(ErrorReportTest, OwnerFallsBackToMainWindow)
{
    struct Row
    {
        const char *label;
        WindowHandle given;
        WindowHandle mainWindow;
        WindowHandle expected;
    };

    const std::vector<Row> rows = {
        { "live owner", kDialogWindow, kMainWindow, kDialogWindow },
        { "closed owner", kClosedWindow, kMainWindow, kMainWindow },
        { "no owner", nullptr, kMainWindow, kMainWindow },
        { "no main window either", kClosedWindow, nullptr, nullptr },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.label);
        sink.main = row.mainWindow;
        ShowErrorMessage(row.given, Msg::InvalidPath, 0, 0, Module::GoTo, 103, 0, nullptr);
        EXPECT_EQ(last().owner, row.expected);
        EXPECT_EQ(last().text, "Invalid path.\n60010:103:0");
    }
}

TEST_F(ErrorReportTest, TypeAndAnswer)
{
    sink.answer = MessageBoxAnswer::Yes;
    const std::uint32_t question = MessageBoxType::YesNo | MessageBoxType::IconQuestion;
    EXPECT_EQ(ShowErrorMessage(nullptr, Msg::ReplaceExistingFile, 0, question, 0, 0, 0, nullptr),
              MessageBoxAnswer::Yes);
    EXPECT_EQ(last().type, question);
}

TEST_F(ErrorReportTest, LengthLimits)
{
    // Each loaded text is cut to 255 characters and the whole report to 1023.
    const CAlbException longText(Msg::ImageCropped, 0, 0, 0, 0, true, { std::string(600, 'e') });
    ShowErrorMessage(nullptr, Msg::UnableToAccessFile, 0, 0, 0, 0, 0, &longText);
    EXPECT_EQ(Utf8Length(last().text), std::string("Unable to access the file.\n").size() + 255);

    ShowErrorMessage(nullptr, Msg::ImageCropped, 0, 0, 1, 2, 3, nullptr,
                     { std::string(2000, 'a') });
    EXPECT_EQ(Utf8Length(last().text), 1023u);
}

TEST_F(ErrorReportTest, NeverThrows)
{
    sink.throwOnShow = true;
    EXPECT_EQ(ShowErrorMessage(nullptr, Msg::InvalidPath, 0, 0, 0, 0, 0, nullptr),
              MessageBoxAnswer::Ok);
    EXPECT_EQ(sink.shown.size(), 1u);
}

TEST_F(ErrorReportTest, DefaultSinkWritesStandardError)
{
    EXPECT_EQ(SetMessageBoxSink(nullptr), &sink);
    testing::internal::CaptureStderr();
    int answer = ShowErrorMessage(nullptr, Msg::InvalidPath, 0, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Vistrel: Invalid path.\n");
    EXPECT_EQ(answer, MessageBoxAnswer::Ok);
    EXPECT_EQ(SetMessageBoxSink(&sink), nullptr);
}
