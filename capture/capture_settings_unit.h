#pragma once

#include "capture/capture_button.h"
#include "capture/capture_countdown.h"
#include "capture/capture_dialog.h"
#include "platform/command_route.h"

#include <memory>
#include <string>

class CMainFrame;
class SettingsStore;
struct AppSettings;
struct CommandUnitContext;

// Capture Settings (command 30301) and the capture button of the main frame. Made with the
// frame, it claims the button when capture is enabled (Print and the others deliver the hot-key
// message to the frame, whose capture takes it from there); it gives the button back when the
// program ends normally. The command runs the "Capture" dialog and nothing else; a delay chosen
// there arms the frame's capture timer and counts down in the frame's title.
class CaptureSettingsUnit final : public CommandTarget
{
public:
    // The key is claimed through the desktop's backend (ChooseDesktopBackend); a display named
    // here means that X server's grab. displayName empty means $DISPLAY.
    explicit CaptureSettingsUnit(const CommandUnitContext &context,
                                 const std::string &displayName = {});
    CaptureSettingsUnit(const CommandUnitContext &context, DesktopBackend backend,
                        const std::string &displayName = {});

    bool onCommand(std::uint32_t id) override;
    // The document decides the command's state.
    bool onCommandState(std::uint32_t id, CommandState &state) override;

    // What the dialog is given: the frame, this button, the delay, the folder picker, dialog 105.
    CaptureSettingsHost dialogHost();

    CaptureButton &button() { return captureButton; }

    CaptureCountdown &countdown() { return titleCountdown; }

private:
    void startDelay(int milliseconds);

    CMainFrame &frame;
    AppSettings &settings;
    SettingsStore &store;
    CaptureButton captureButton;
    CaptureCountdown titleCountdown;
};

// The maker the program registers with RegisterCommandUnit.
std::unique_ptr<CommandTarget> MakeCaptureSettingsUnit(const CommandUnitContext &context);
