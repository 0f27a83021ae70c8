#pragma once

#include "common/message_format.h"

#include <cstdint>
#include <functional>
#include <string>

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
