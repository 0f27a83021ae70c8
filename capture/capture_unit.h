#pragma once

#include "app/frame_messages.h"
#include "capture/capture_notice.h"
#include "capture/capture_pipeline.h"
#include "platform/command_route.h"
#include "platform/desktop_backend.h"
#include "platform/screen_grab.h"

#include <memory>

class CMainFrame;
struct CommandUnitContext;

// The capture as the program runs it: the main frame hands it the hot-key message, the capture
// timer and WM_CAPTURE_CONFIRM; it grabs the screen of the program's display, lets the user
// choose a region on the frozen screen (unless the desktop's portal chooses), asks through the
// "Capture Message" dialog, puts the picture on the clipboard and announces it with a notice
// whose "Open" shows it in the album (the frame's pictureOpenRequested). No exception leaves its handlers: what the pipeline passes on is
// reported, and the capture ends so that the next trigger works.
class CaptureUnit final : public CommandTarget, public FrameMessageHandler
{
public:
    // The screen is copied through the desktop's backend (ChooseDesktopBackend).
    explicit CaptureUnit(const CommandUnitContext &context);
    CaptureUnit(const CommandUnitContext &context, std::unique_ptr<ScreenSource> source);
    ~CaptureUnit() override;
    CaptureUnit(const CaptureUnit &) = delete;
    CaptureUnit &operator=(const CaptureUnit &) = delete;

    // The capture's commands (the settings dialogs) come with the capture button.
    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

    std::intptr_t onFrameMessage(std::uint32_t message, std::uintptr_t first,
                                 std::intptr_t second) override;
    bool onFrameTimer(std::uint32_t timerId) override;

    CapturePipeline &pipeline() { return capture; }

private:
    CMainFrame &frame;
    std::unique_ptr<ScreenSource> screen;
    CaptureNotice notice;
    CapturePipeline capture;
};

// The maker the program registers with RegisterCommandUnit.
std::unique_ptr<CommandTarget> MakeCaptureUnit(const CommandUnitContext &context);
