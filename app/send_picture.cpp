#include "app/send_picture.h"

#include "common/alb_exception.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "platform/file_sender.h"

namespace {

constexpr std::uint32_t kCommandPlace = 400;
constexpr std::uint32_t kCommandStep = 10;

} // namespace

void SendViaInfrared(WindowHandle owner, const std::string &folder, const std::string &fileName)
{
    try {
        const std::string path = JoinPath(folder, fileName);
        if (path.empty())
            return;
        SendFile(path);
    } catch (const CAlbExceptionBase &exception) {
        ShowErrorMessage(owner, Msg::CannotSendFile, 0, MessageBoxType::Ok, Module::InfraredCommand,
                         kCommandPlace, kCommandStep, &exception);
    }
}
