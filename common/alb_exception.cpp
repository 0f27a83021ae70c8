#include "common/alb_exception.h"

#include "common/string_ids.h"
#include "common/string_table.h"
#include "common/utf8.h"

#include <cstdio>
#include <cstring>

namespace {

// Copies at most capacity - 1 characters of text into out.
bool copyWithCapacity(const std::string &text, std::string &out, std::size_t capacity)
{
    if (capacity == 0) {
        out.clear();
        return true;
    }
    out = Utf8Length(text) + 1 > capacity ? Utf8Prefix(text, capacity - 1) : text;
    return true;
}

} // namespace

const char *CAlbExceptionBase::what() const noexcept
{
    try {
        GetMessageText(whatText, 4096);
        return whatText.c_str();
    } catch (...) {
        return "error";
    }
}

CAlbException::CAlbException(std::uint32_t id, std::uint32_t where, std::uint32_t operation,
                             std::uint32_t failingStep, std::uint32_t fourth, bool buildText,
                             const MessageArgs &args)
{
    Reinit(id, where, operation, failingStep, fourth, buildText, args);
}

void CAlbException::Reinit(std::uint32_t newMessageId, std::uint32_t newModule,
                           std::uint32_t newPlace, std::uint32_t newStep, std::uint32_t newExtra,
                           bool buildText, const MessageArgs &args)
{
    messageId = newMessageId;
    module = newModule;
    place = newPlace;
    step = newStep;
    extra = newExtra;
    text.clear();
    if (!buildText)
        return;
    std::string format;
    if (LoadString(messageId, format, 1023)) {
        text = Utf8Prefix(FormatMessage(format, args), kTextCapacity - 1);
        if (hasLocation())
            appendLocation();
    }
    if (text.empty())
        LoadString(Msg::NoErrorMessage, text, kTextCapacity - 1);
}

bool CAlbException::GetMessageText(std::string &out, std::size_t capacity) const
{
    if (text.empty())
        composeDefault();
    return copyWithCapacity(text, out, capacity);
}

bool CAlbException::isMemoryClass() const
{
    return messageId == Msg::NotEnoughMemory || messageId == Msg::NoSystemResources;
}

bool CAlbException::hasLocation() const
{
    return module != 0 || place != 0 || step != 0 || extra != 0;
}

void CAlbException::appendLocation() const
{
    char location[64];
    std::snprintf(location, sizeof location, "\n%lu:%lu:%lu:%lu",
                  static_cast<unsigned long>(module), static_cast<unsigned long>(place),
                  static_cast<unsigned long>(step), static_cast<unsigned long>(extra));
    text = Utf8Prefix(text + location, kTextCapacity - 1);
}

void CAlbException::composeDefault() const
{
    if (!LoadString(messageId, text, kTextCapacity - 1))
        LoadString(Msg::NoErrorMessage, text, kTextCapacity - 1);
    if (hasLocation())
        appendLocation();
}

namespace {

ShownPathForm shownPathForm = nullptr;

} // namespace

void SetShownPathForm(ShownPathForm form)
{
    shownPathForm = form;
}

CAlbFileException::CAlbFileException(int errorNumber, std::string path)
    : errorCode(errorNumber), filePath(std::move(path))
{
}

bool CAlbFileException::GetMessageText(std::string &out, std::size_t capacity) const
{
    std::string message = std::strerror(errorCode);
    const std::string shown = shownPathForm ? shownPathForm(filePath) : filePath;
    std::string composed = shown.empty() ? message + "." : shown + ": " + message + ".";
    return copyWithCapacity(composed, out, capacity);
}

void ThrowAlb(std::uint32_t messageId, std::uint32_t module, std::uint32_t place,
              std::uint32_t step)
{
    throw CAlbException(messageId, module, place, step);
}

void ThrowFileError(int errorNumber, const std::string &path)
{
    throw CAlbFileException(errorNumber, path);
}
