#pragma once

#include "capture/capture_button.h"
#include "capture/capture_countdown.h"
#include "capture/capture_dialog.h"
#include "capture/capture_notice.h"
#include "capture/capture_pipeline.h"
#include "platform/command_route.h"
#include "platform/desktop_backend.h"
#include "platform/message_window.h"

#include <QObject>

#include <functional>
#include <memory>
#include <string>

class QWidget;
class SettingsStore;
struct CommandUnitContext;

// What the capture reaches the desktop through: the copy of the screen and the registration of
// the capture key (made with the function that receives its presses).
struct CaptureDesktop
{
    std::unique_ptr<ScreenSource> screen;
    std::function<std::unique_ptr<HotKeyRegistration>(HotKeyDelivery)> hotKey;
};

// Both through backend; displayName (empty: $DISPLAY) is the X server's.
CaptureDesktop DesktopCapture(DesktopBackend backend, const std::string &displayName = {});

// The capture as the program runs it, one unit with a message window and timers of its own. It
// claims the capture button when the frame is made (and gives it back at the program's normal
// end); the button's presses come to it as the hot-key message, queued. Capture Settings
// (command 30301) runs the "Capture" dialog, whose delay arms the unit's CaptureTimer and counts
// down in the frame's title. A trigger grabs the screen of the program's display, lets the user
// choose a region on the frozen screen (unless the desktop's portal chooses), asks through the
// "Capture Message" dialog once WM_CAPTURE_CONFIRM, posted to itself, comes round, puts the
// picture on the clipboard and announces it with a notice whose "Open" shows it in the album.
// No exception leaves its handlers: what the pipeline passes on is reported, and the capture
// ends so that the next trigger works.
class CaptureUnit final : public QObject, public CommandTarget, public MessageWindow
{
public:
    // The desktop's backend (ChooseDesktopBackend).
    explicit CaptureUnit(const CommandUnitContext &context);
    CaptureUnit(const CommandUnitContext &context, CaptureDesktop desktop);
    ~CaptureUnit() override;
    CaptureUnit(const CaptureUnit &) = delete;
    CaptureUnit &operator=(const CaptureUnit &) = delete;

    // Capture Settings; the document decides the command's state.
    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

    // The hot-key message (786) and WM_CAPTURE_CONFIRM; CaptureTimer.
    std::intptr_t onMessage(std::uint32_t message, std::uintptr_t first,
                            std::intptr_t second) override;
    void onTimer(std::uint32_t timerId) override;

    // What the "Capture" dialog is given: the frame, the button, the delay, the folder picker,
    // dialog 105.
    CaptureSettingsHost dialogHost();

    CaptureButton &button() { return captureButton; }

    CaptureCountdown &countdown() { return titleCountdown; }

    CapturePipeline &pipeline() { return capture; }

    WindowTimers &timers() { return windowTimers; }

private:
    CaptureHost pipelineHost();
    void startDelay(int milliseconds);

    QWidget &frame;
    AppSettings &settings;
    SettingsStore &store;
    WindowTimers windowTimers;
    std::unique_ptr<ScreenSource> screen;
    CaptureNotice notice;
    CapturePipeline capture;
    CaptureCountdown titleCountdown;
    // Last: its presses are posted to the unit, which must be whole by then.
    CaptureButton captureButton;
};

// The maker the program registers with RegisterCommandUnit.
std::unique_ptr<CommandTarget> MakeCaptureUnit(const CommandUnitContext &context);
