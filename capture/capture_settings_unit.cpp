#include "capture/capture_settings_unit.h"

#include "app/app_settings.h"
#include "app/command_units.h"
#include "app/doc_commands.h"
#include "app/folder_picker.h"
#include "app/frame_messages.h"
#include "app/main_frame.h"
#include "app/window_messages.h"
#include "capture/capture_buttons.h"
#include "capture/capture_file_format_dialog.h"
#include "operations/capture_file.h"

static_assert(WM_HOTKEY == kHotKeyMessage, "the button delivers the frame's hot-key message");

namespace {

std::string NextName(const std::string &folder, const std::string &prefix, std::int32_t format)
{
    return NextCaptureName(folder, prefix, format);
}

std::optional<CaptureFormatChoice> RunFormatDialog(QWidget *parent, const std::string &folder,
                                                   const CaptureFormatChoice &current)
{
    CaptureFileFormatDialog dialog(folder, current.prefix, current.format, NextName, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return CaptureFormatChoice{ dialog.prefix(), dialog.format() };
}

} // namespace

CaptureSettingsUnit::CaptureSettingsUnit(const CommandUnitContext &context,
                                         const std::string &displayName)
    : CaptureSettingsUnit(context,
                          displayName.empty() ? ChooseDesktopBackend() : DesktopBackend::X11,
                          displayName)
{ }

CaptureSettingsUnit::CaptureSettingsUnit(const CommandUnitContext &context, DesktopBackend backend,
                                         const std::string &displayName)
    : frame(context.frame),
      settings(context.settings),
      store(context.store),
      // The button's press goes to the frame as its hot-key message, queued like any other.
      captureButton(
              context.settings,
              [&frame = context.frame](std::uint32_t message, std::uintptr_t first,
                                       std::intptr_t second) {
                  frame.postFrameMessage(message, first, second);
              },
              backend, displayName),
      titleCountdown(context.frame, [&frame = context.frame] {
          return frame.windowTimers().isActive(CaptureTimer);
      })
{
    captureButton.claimAtStart();
}

bool CaptureSettingsUnit::onCommand(std::uint32_t id)
{
    if (id != DocCmd::CaptureSettings)
        return false;
    CaptureDialog dialog(settings, store, CaptureButtonNames(settings.hardwareKeyCount),
                         dialogHost(), &frame);
    dialog.exec();
    return true;
}

bool CaptureSettingsUnit::onCommandState(std::uint32_t /*id*/, CommandState & /*state*/)
{
    return false;
}

CaptureSettingsHost CaptureSettingsUnit::dialogHost()
{
    CaptureSettingsHost host;
    host.frame = &frame;
    host.button = &captureButton;
    host.startDelay = [this](int milliseconds) {
        startDelay(milliseconds);
    };
    host.chooseFolder = PickFolder;
    host.chooseFormat = RunFormatDialog;
    host.nextName = NextName;
    return host;
}

void CaptureSettingsUnit::startDelay(int milliseconds)
{
    frame.windowTimers().kill(CaptureTimer);
    frame.windowTimers().set(CaptureTimer, milliseconds, true);
    titleCountdown.start(milliseconds);
}

std::unique_ptr<CommandTarget> MakeCaptureSettingsUnit(const CommandUnitContext &context)
{
    return std::make_unique<CaptureSettingsUnit>(context);
}
