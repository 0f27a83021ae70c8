#include "common/error_report.h"

#include "common/string_ids.h"
#include "common/string_table.h"
#include "common/utf8.h"

#include <cstdio>
#include <new>

namespace {

constexpr std::size_t kMaxLoadedChars = 255;
constexpr std::size_t kMaxMessageChars = 1023;
constexpr std::size_t kExceptionTextCapacity = 256;

class StandardErrorSink final : public MessageBoxSink
{
public:
    int show(const MessageBoxRequest &request) override
    {
        std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
        return MessageBoxAnswer::Ok;
    }

    bool isLiveWindow(WindowHandle) const override { return false; }

    WindowHandle mainWindow() const override { return nullptr; }
};

StandardErrorSink standardErrorSink;
MessageBoxSink *currentSink = &standardErrorSink;

std::string loadOrFallback(std::uint32_t id)
{
    std::string text;
    if (!LoadString(id, text, kMaxLoadedChars))
        LoadString(Msg::NoErrorMessage, text, kMaxLoadedChars);
    return text;
}

std::string applicationTitle()
{
    std::string title;
    LoadString(Msg::AppTitle, title, kMaxLoadedChars);
    return title;
}

// A type without an icon gets the warning icon, so every report carries one.
std::uint32_t withIcon(std::uint32_t type)
{
    return type == MessageBoxType::Ok ? MessageBoxType::IconWarning : type;
}

int showSafely(WindowHandle owner, std::string text, std::uint32_t type)
{
    MessageBoxRequest request{ owner, std::move(text), applicationTitle(), withIcon(type) };
    try {
        return currentSink->show(request);
    } catch (...) {
        return MessageBoxAnswer::Ok;
    }
}

} // namespace

MessageBoxSink *SetMessageBoxSink(MessageBoxSink *sink)
{
    MessageBoxSink *previous = currentSink == &standardErrorSink ? nullptr : currentSink;
    currentSink = sink ? sink : &standardErrorSink;
    return previous;
}

std::string ComposeErrorMessage(std::uint32_t messageId, std::uint32_t messageId2,
                                std::uint32_t module, std::uint32_t place, std::uint32_t step,
                                const CAlbExceptionBase *exception, const MessageArgs &args)
{
    std::string format = loadOrFallback(messageId);
    std::string second;
    if (messageId2 != 0 && LoadString(messageId2, second, kMaxLoadedChars))
        format += "\n" + second;
    std::string message = FormatMessage(format, args);
    if (module != 0) {
        char location[48];
        std::snprintf(location, sizeof location, "\n%lu:%lu:%lu",
                      static_cast<unsigned long>(module), static_cast<unsigned long>(place),
                      static_cast<unsigned long>(step));
        message += location;
    }
    std::string exceptionText;
    if (exception && exception->GetMessageText(exceptionText, kExceptionTextCapacity)
        && !exceptionText.empty())
        message += "\n" + exceptionText;
    return Utf8Prefix(message, kMaxMessageChars);
}

int ShowErrorMessage(WindowHandle owner, std::uint32_t messageId, std::uint32_t messageId2,
                     std::uint32_t type, std::uint32_t module, std::uint32_t place,
                     std::uint32_t step, const CAlbExceptionBase *exception,
                     const MessageArgs &args)
{
    try {
        if (messageId == 0 && messageId2 == 0 && exception) {
            std::string text;
            exception->GetMessageText(text, CAlbException::kTextCapacity);
            return showSafely(currentSink->mainWindow(), text, type);
        }
        if (!owner || !currentSink->isLiveWindow(owner))
            owner = currentSink->mainWindow();
        return showSafely(
                owner,
                ComposeErrorMessage(messageId, messageId2, module, place, step, exception, args),
                type);
    } catch (...) {
        return MessageBoxAnswer::Ok;
    }
}

bool Guarded(const std::function<void()> &handler, std::uint32_t icon)
{
    try {
        handler();
        return true;
    } catch (const CAlbExceptionBase &failure) {
        ShowErrorMessage(nullptr, 0, 0, icon, 0, 0, 0, &failure);
    } catch (const std::bad_alloc &) {
        ShowErrorMessage(nullptr, Msg::NotEnoughMemory, 0, icon, 0, 0, 0, nullptr);
    }
    return false;
}

int ShowMessageText(WindowHandle owner, const std::string &text, std::uint32_t type)
{
    if (!owner || !currentSink->isLiveWindow(owner))
        owner = currentSink->mainWindow();
    return showSafely(owner, text, type);
}
