#include "platform/file_sender.h"

#include "common/alb_exception.h"
#include "common/command_words.h"
#include "common/host_path.h"
#include "common/string_ids.h"
#include "platform/program_start.h"

#include <cerrno>
#include <cstdlib>

namespace {

constexpr const char *kDefaultSender = "bluetooth-sendto";

constexpr std::uint32_t kStartPlace = 100;
constexpr std::uint32_t kStartStep = 10;

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
    const int error =
            words ? StartProgram(words->front(), { words->begin() + 1, words->end() }) : EINVAL;
    if (error != 0)
        throw CAlbException(Msg::NotEnoughMemory, Module::InfraredSending, kStartPlace, kStartStep,
                            static_cast<std::uint32_t>(error));
}
