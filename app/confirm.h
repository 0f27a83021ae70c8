#pragma once

#include "common/message_format.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class QLabel;
class QPushButton;
class QWidget;

// The answers of the confirmation dialog (its button ids). Its OK counts as Yes, its Cancel as
// Cancel.
namespace ConfirmAnswer {
inline constexpr int Yes = 1001;
inline constexpr int YesToAll = 1002;
inline constexpr int No = 1003;
inline constexpr int Cancel = 1004;
} // namespace ConfirmAnswer

// Asks a question through the confirmation dialog (dialog 111): the message string messageId
// formatted with args, under the title string titleId (the "Confirmation" string when titleId is
// 0 or its string is empty), "Yes to All" enabled only when offered, the text field grown for
// lineCount lines. A missing or empty message asks nothing and answers No.
int Confirm(QWidget *owner, std::uint32_t messageId, std::uint32_t titleId, bool offerYesToAll,
            int lineCount, const MessageArgs &args);

// What the dialog would have shown, for a recorder that answers in its place.
struct ConfirmRequest
{
    std::string title;
    std::string text;
    bool yesToAllOffered = false;
    int lineCount = 3;
};

// Tests answer the questions through a recorder instead of the modal dialog. Returns the
// recorder that was set before; an empty one brings the dialog back.
using ConfirmRecorder = std::function<int(const ConfirmRequest &)>;
ConfirmRecorder SetConfirmRecorder(ConfirmRecorder recorder);

// Dialog 111 itself, for Confirm and its tests: the text in 1000, the answers 1001-1004. A button
// ends the dialog with its id as the result; Enter is Yes, Escape and closing the window Cancel.
class ConfirmDialog : public QDialog
{
public:
    explicit ConfirmDialog(const ConfirmRequest &request, QWidget *parent = nullptr);

    QLabel *textField() const { return text; }

    QPushButton *button(int answer) const;

    void accept() override { done(ConfirmAnswer::Yes); }

    void reject() override { done(ConfirmAnswer::Cancel); }

private:
    void placeControls(int lineCount);

    QLabel *text = nullptr;
    QPushButton *buttons[4] = {};
};
