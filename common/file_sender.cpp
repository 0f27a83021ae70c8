#include "common/file_sender.h"

#include "common/command_words.h"
#include "common/host_path.h"
#include "common/path_names.h"
#include "common/program_start.h"
#include "common/string_ids.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr const char *kDefaultSender = "bluetooth-sendto";

constexpr std::uint32_t kStartPlace = 100;
constexpr std::uint32_t kStartStep = 10;
constexpr std::uint32_t kCommandPlace = 400;
constexpr std::uint32_t kCommandStep = 10;

std::string senderProgram()
{
    const char *sender = std::getenv("VISTREL_SENDER");
    return sender && *sender ? sender : kDefaultSender;
}

} // namespace

void SendFile(const std::string &devicePath)
{
    // The sender may carry arguments ("kdeconnect-cli --share %f"); a line that cannot be split
    // cannot be started either.
    const auto words = CommandWords(senderProgram(), HostPath(devicePath));
    const int error = words ? StartProgram(words->front(), { words->begin() + 1, words->end() })
                            : EINVAL;
    if (error != 0)
        throw CAlbException(Msg::NotEnoughMemory, Module::InfraredSending, kStartPlace, kStartStep,
                            static_cast<std::uint32_t>(error));
}

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
