#include "capture/capture_buttons.h"

#include "platform/settings_store.h"

std::vector<std::string> CaptureButtonNames(int hardwareKeyCount, const ButtonNameReader &read)
{
    std::vector<std::string> names;
    for (int n = 1; n <= hardwareKeyCount; ++n) {
        std::optional<std::string> name = read(n);
        if (!name)
            break;
        names.push_back(std::move(*name));
    }
    if (names.empty()) {
        for (int n = 1; n <= hardwareKeyCount; ++n)
            names.push_back("Button " + std::to_string(n));
    }
    return names;
}

std::vector<std::string> CaptureButtonNames(int hardwareKeyCount)
{
    return CaptureButtonNames(hardwareKeyCount, [](int n) {
        return LocalMachineString("Software\\Microsoft\\Shell\\Keys\\40C" + std::to_string(n),
                                  "Name");
    });
}
