#include "capture/capture_unit.h"

#include "app/app_settings.h"
#include "app/command_units.h"
#include "app/main_frame.h"
#include "app/window_messages.h"
#include "capture/capture_message_dialog.h"
#include "capture/capture_notice.h"
#include "capture/region_overlay.h"
#include "common/error_report.h"
#include "platform/clipboard_offer.h"

namespace {

void CopyToClipboard(const CapturePixels &pixels)
{
    const std::vector<std::uint8_t> png = PngWriter().encode(CapturePng(pixels));
    OfferPictureToClipboard(QByteArray(reinterpret_cast<const char *>(png.data()),
                                       static_cast<qsizetype>(png.size())));
}

CaptureHost hostFor(CMainFrame &frame, ScreenSource &screen, CaptureNotice &notice)
{
    CaptureHost host;
    host.grab = [&screen](const AreaRequest &request) {
        return screen.grabArea(request);
    };
    if (!screen.choosesArea())
        host.chooseRegion = ChooseRegion;
    host.copyToClipboard = CopyToClipboard;
    host.notify = [&notice](const std::string &path, const CapturePixels &pixels) {
        notice.announce(path, pixels);
    };
    host.postToFrame = [&frame](std::uint32_t message, std::uintptr_t first, std::intptr_t second) {
        frame.postFrameMessage(message, first, second);
    };
    host.killTimer = [&frame](std::uint32_t id) {
        frame.windowTimers().kill(id);
    };
    host.runDialog = [&frame](const CaptureDialogRequest &request) {
        return RunCaptureMessageDialog(request, AskReplaceCapture, &frame);
    };
    return host;
}

} // namespace

CaptureUnit::CaptureUnit(const CommandUnitContext &context)
    : CaptureUnit(context, MakeScreenSource(ChooseDesktopBackend()))
{ }

CaptureUnit::CaptureUnit(const CommandUnitContext &context, std::unique_ptr<ScreenSource> source)
    : frame(context.frame),
      screen(std::move(source)),
      notice([&frame = context.frame](const std::string &path) {
          emit frame.pictureOpenRequested(QString::fromStdString(path));
      }),
      capture(context.settings, context.doc, hostFor(context.frame, *screen, notice))
{
    frame.setMessageHandler(this);
}

CaptureUnit::~CaptureUnit()
{
    frame.setMessageHandler(nullptr);
}

bool CaptureUnit::onCommand(std::uint32_t /*id*/)
{
    return false;
}

bool CaptureUnit::onCommandState(std::uint32_t /*id*/, CommandState & /*state*/)
{
    return false;
}

std::intptr_t CaptureUnit::onFrameMessage(std::uint32_t message, std::uintptr_t first,
                                          std::intptr_t second)
{
    if (message == WM_HOTKEY)
        Guarded([&] { capture.onHotKey(second); }, MessageBoxType::IconWarning);
    else if (message == WM_CAPTURE_CONFIRM)
        Guarded([&] { capture.onConfirm(first, second); }, MessageBoxType::IconWarning);
    return 0;
}

bool CaptureUnit::onFrameTimer(std::uint32_t timerId)
{
    bool taken = false;
    Guarded([&] { taken = capture.onTimer(timerId); }, MessageBoxType::IconWarning);
    return taken;
}

std::unique_ptr<CommandTarget> MakeCaptureUnit(const CommandUnitContext &context)
{
    return std::make_unique<CaptureUnit>(context);
}
