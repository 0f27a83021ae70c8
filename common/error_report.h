#pragma once

#include "common/alb_exception.h"

#include <cstdint>
#include <functional>
#include <string>

// Message box types and answers, with the values the program stores and compares.
namespace MessageBoxType {
inline constexpr std::uint32_t Ok = 0;
inline constexpr std::uint32_t OkCancel = 1;
inline constexpr std::uint32_t YesNoCancel = 3;
inline constexpr std::uint32_t YesNo = 4;
inline constexpr std::uint32_t IconError = 16;
inline constexpr std::uint32_t IconQuestion = 32;
inline constexpr std::uint32_t IconWarning = 48;
inline constexpr std::uint32_t IconInformation = 64;
} // namespace MessageBoxType

namespace MessageBoxAnswer {
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;
} // namespace MessageBoxAnswer

// A window of the program as the report sees it: an opaque handle.
using WindowHandle = const void *;

struct MessageBoxRequest
{
    WindowHandle owner = nullptr;
    std::string text;
    std::string title;
    std::uint32_t type = 0;
};

// Where reports go. The application installs one that shows a real message box; tests install a
// recorder; without one, reports are written to standard error and answered with Ok.
class MessageBoxSink
{
public:
    virtual ~MessageBoxSink() = default;
    virtual int show(const MessageBoxRequest &request) = 0;
    virtual bool isLiveWindow(WindowHandle window) const = 0;
    virtual WindowHandle mainWindow() const = 0;
};

// Installs sink (nullptr restores the standard-error default); returns the previous one.
MessageBoxSink *SetMessageBoxSink(MessageBoxSink *sink);

// The one error report: composes the message from the string table, the location and the
// exception's own text and shows it. Never throws. Returns the button pressed.
int ShowErrorMessage(WindowHandle owner, std::uint32_t messageId, std::uint32_t messageId2,
                     std::uint32_t type, std::uint32_t module, std::uint32_t place,
                     std::uint32_t step, const CAlbExceptionBase *exception,
                     const MessageArgs &args = {});

// Shows a text of the program's own (not from the string table) with the application's title.
int ShowMessageText(WindowHandle owner, const std::string &text, std::uint32_t type);

// The text ShowErrorMessage would show, without showing it.
std::string ComposeErrorMessage(std::uint32_t messageId, std::uint32_t messageId2,
                                std::uint32_t module, std::uint32_t place, std::uint32_t step,
                                const CAlbExceptionBase *exception, const MessageArgs &args = {});

// Runs a handler called from the event loop and reports what it throws, so that nothing crosses
// the loop: a program failure with its own message, running out of memory as message 46040,
// each in a message box of type icon. Returns whether the handler ran to its end.
bool Guarded(const std::function<void()> &handler, std::uint32_t icon = MessageBoxType::IconError);
