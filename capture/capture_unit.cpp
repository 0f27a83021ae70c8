#include "capture/capture_unit.h"

#include "app/app_settings.h"
#include "app/command_units.h"
#include "app/doc_commands.h"
#include "app/folder_picker.h"
#include "app/main_frame.h"
#include "app/window_messages.h"
#include "capture/capture_buttons.h"
#include "capture/capture_file_format_dialog.h"
#include "capture/capture_message_dialog.h"
#include "capture/region_overlay.h"
#include "codecs/png_writer.h"
#include "common/error_report.h"
#include "platform/clipboard_offer.h"

static_assert(WM_HOTKEY == kHotKeyMessage, "the button delivers the capture's hot-key message");

namespace {

void CopyToClipboard(const PixelSpan &pixels)
{
    const std::vector<std::uint8_t> png = PngWriter().encode(pixels);
    OfferPictureToClipboard(QByteArray(reinterpret_cast<const char *>(png.data()),
                                       static_cast<qsizetype>(png.size())));
}

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

CaptureDesktop DesktopCapture(DesktopBackend backend, const std::string &displayName)
{
    return CaptureDesktop{ MakeScreenSource(backend, displayName),
                           [backend, displayName](HotKeyDelivery delivery) {
                               return MakeHotKeyRegistration(backend, std::move(delivery),
                                                             displayName);
                           } };
}

CaptureUnit::CaptureUnit(const CommandUnitContext &context)
    : CaptureUnit(context, DesktopCapture(ChooseDesktopBackend()))
{ }

CaptureUnit::CaptureUnit(const CommandUnitContext &context, CaptureDesktop desktop)
    : frame(context.frame),
      settings(context.settings),
      store(context.store),
      windowTimers(this, this),
      screen(std::move(desktop.screen)),
      notice(context.openPicture),
      capture(context.settings, context.doc, pipelineHost()),
      titleCountdown(context.frame, [this] { return windowTimers.isActive(CaptureTimer); }),
      // A press is queued like any other message: the capture runs from the event loop.
      captureButton(context.settings,
                    desktop.hotKey([this](std::uint32_t message, std::uintptr_t first,
                                          std::intptr_t second) {
                        PostMessageTo(this, this, message, first, second);
                    }))
{
    captureButton.claimAtStart();
}

CaptureUnit::~CaptureUnit() = default;

CaptureHost CaptureUnit::pipelineHost()
{
    CaptureHost host;
    host.grab = [this](const AreaRequest &request) {
        return screen->grabArea(request);
    };
    if (!screen->choosesArea())
        host.chooseRegion = ChooseRegion;
    host.copyToClipboard = CopyToClipboard;
    host.notify = [this](const std::string &path, const PixelSpan &pixels) {
        notice.announce(path, pixels);
    };
    host.post = [this](std::uint32_t message, std::uintptr_t first, std::intptr_t second) {
        PostMessageTo(this, this, message, first, second);
    };
    host.killTimer = [this](std::uint32_t id) {
        windowTimers.kill(id);
    };
    host.runDialog = [this](const CaptureDialogRequest &request) {
        return RunCaptureMessageDialog(request, AskReplaceCapture, &frame);
    };
    return host;
}

bool CaptureUnit::onCommand(std::uint32_t id)
{
    if (id != DocCmd::CaptureSettings)
        return false;
    CaptureDialog dialog(settings, store, CaptureButtonNames(settings.hardwareKeyCount),
                         dialogHost(), &frame);
    dialog.exec();
    return true;
}

bool CaptureUnit::onCommandState(std::uint32_t /*id*/, CommandState & /*state*/)
{
    return false;
}

std::intptr_t CaptureUnit::onMessage(std::uint32_t message, std::uintptr_t first,
                                     std::intptr_t second)
{
    if (message == WM_HOTKEY)
        Guarded([&] { capture.onHotKey(second); }, MessageBoxType::IconWarning);
    else if (message == WM_CAPTURE_CONFIRM)
        Guarded([&] { capture.onConfirm(first, second); }, MessageBoxType::IconWarning);
    return 0;
}

void CaptureUnit::onTimer(std::uint32_t timerId)
{
    Guarded([&] { capture.onTimer(timerId); }, MessageBoxType::IconWarning);
}

CaptureSettingsHost CaptureUnit::dialogHost()
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

void CaptureUnit::startDelay(int milliseconds)
{
    windowTimers.kill(CaptureTimer);
    windowTimers.set(CaptureTimer, milliseconds, true);
    titleCountdown.start(milliseconds);
}

std::unique_ptr<CommandTarget> MakeCaptureUnit(const CommandUnitContext &context)
{
    return std::make_unique<CaptureUnit>(context);
}
