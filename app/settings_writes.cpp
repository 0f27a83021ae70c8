#include "app/settings_writes.h"

#include "common/alb_exception.h"
#include "common/error_report.h"

#include <optional>
#include <string>

namespace {

// The text of the failure last reported; nothing after a success.
std::optional<std::string> &lastReported()
{
    static std::optional<std::string> text;
    return text;
}

} // namespace

bool WriteSettings(const std::function<void()> &write)
{
    try {
        write();
    } catch (const CAlbExceptionBase &failure) {
        std::string text;
        failure.GetMessageText(text, CAlbException::kTextCapacity);
        if (lastReported() != text) {
            lastReported() = text;
            ShowErrorMessage(nullptr, 0, 0, MessageBoxType::IconError, 0, 0, 0, &failure);
        }
        return false;
    }
    lastReported().reset();
    return true;
}
