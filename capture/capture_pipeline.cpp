#include "capture/capture_pipeline.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/window_messages.h"
#include "capture/capture_album.h"
#include "codecs/capture_file.h"
#include "common/dir_record.h"
#include "common/error_report.h"
#include "common/string_ids.h"
#include "platform/sounds.h"

#include <utility>

namespace {

// Places of the capture's error locations: the direct path and the confirmation path.
constexpr std::uint32_t kPlaceDirect = 3000;
constexpr std::uint32_t kPlaceConfirm = 3300;
constexpr std::uint32_t kStepNoSurface = 5;
constexpr std::uint32_t kStepNoStore = 10;
constexpr std::uint32_t kStepCopyFailed = 20;
constexpr std::uint32_t kStepWrite = 40;
constexpr std::uint32_t kStepConfirmWrite = 30;
constexpr std::uint32_t kStepConfirmFile = 40;

// Key codes of the hot-key message that never start a capture.
constexpr std::intptr_t kIgnoredKeyA = 33;
constexpr std::intptr_t kIgnoredKeyB = 34;

CaptureTarget targetOf(const AppSettings &settings)
{
    return CaptureTarget{ settings.snapPath, settings.captureFileFormat(),
                          settings.ui.resolutionDpi };
}

CapturePixels pixelsOf(const CaptureGrab &grab)
{
    return CapturePixels{ grab.top, grab.w, grab.h, grab.pad };
}

// Runs a call when the scope ends, also when an exception leaves it.
template <typename Call>
struct AtScopeEnd
{
    Call call;

    ~AtScopeEnd() { call(); }
};

template <typename Call>
AtScopeEnd(Call) -> AtScopeEnd<Call>;

} // namespace

CapturePipeline::CapturePipeline(AppSettings &appSettings, CAlbDoc &document, CaptureHost services)
    : settings(appSettings), doc(document), host(std::move(services))
{ }

bool CapturePipeline::busy() const
{
    return (settings.appFlags & AppFlag::CaptureBusy) != 0;
}

void CapturePipeline::setBusy(bool on)
{
    if (on)
        settings.appFlags |= AppFlag::CaptureBusy;
    else
        settings.appFlags &= ~AppFlag::CaptureBusy;
}

void CapturePipeline::report(std::uint32_t messageId, std::uint32_t place, std::uint32_t step,
                             const CAlbExceptionBase *failure) const
{
    ShowErrorMessage(nullptr, messageId, 0, MessageBoxType::IconWarning, Module::Capture, place,
                     step, failure);
}

void CapturePipeline::onHotKey(std::intptr_t second)
{
    const std::intptr_t key = (second >> 16) & 0xFFFF;
    if (key == kIgnoredKeyA || key == kIgnoredKeyB)
        return;
    capture();
}

bool CapturePipeline::onTimer(std::uint32_t timerId)
{
    if (timerId != CaptureTimer)
        return false;
    capture();
    if (host.killTimer)
        host.killTimer(CaptureTimer);
    return true;
}

void CapturePipeline::capture()
{
    if (busy())
        return;
    setBusy(true);
    if (!takeGrab()) {
        setBusy(false);
        return;
    }
    // The handheld nudged its toolbar here with a button press at (65535, 0) so that the bar
    // redrew after the copy; a desktop toolbar needs no such nudge, so there is nothing to send.
    if (settings.ui.captureFlags & CaptureFlag::CaptureSound)
        PlaySystemSound("Critical");
    if (settings.ui.captureFlags & CaptureFlag::ConfirmBeforeSave) {
        // The grab stays in the slot and captureBusy stays set until the dialog has ended.
        host.postToFrame(WM_CAPTURE_CONFIRM, reinterpret_cast<std::uintptr_t>(slot->top),
                         slot->pad);
        return;
    }
    AtScopeEnd end{ [this] {
        endCapture();
    } };
    writeDirect();
}

void CapturePipeline::endCapture()
{
    slot.reset();
    setBusy(false);
}

bool CapturePipeline::takeGrab()
{
    GrabResult result = host.grab();
    if (auto *grab = std::get_if<CaptureGrab>(&result)) {
        slot = std::move(*grab);
        return true;
    }
    switch (std::get<GrabFailure>(result)) {
    case GrabFailure::NoSurface:
        report(Msg::NotEnoughMemory, kPlaceDirect, kStepNoSurface);
        break;
    case GrabFailure::NoStore:
        report(Msg::UnableToCreateSnapImage, kPlaceDirect, kStepNoStore);
        break;
    case GrabFailure::CopyFailed:
    case GrabFailure::NoArea:
        report(Msg::UnableToCreateSnapImage2, kPlaceDirect, kStepCopyFailed);
        break;
    }
    slot.reset();
    return false;
}

void CapturePipeline::writeDirect()
{
    const CaptureName next =
            FindCaptureNameIn(settings.snapPath, settings.snapName, settings.captureFileFormat());
    std::string written;
    if (!next.free) {
        // Every number is taken: writing the last name would overwrite a capture the user has.
        report(Msg::UnableToSaveSnapFile, kPlaceDirect, kStepWrite);
    } else {
        try {
            written = WriteCapture(next.name, pixelsOf(*slot), targetOf(settings));
        } catch (const CAlbExceptionBase &failure) {
            report(Msg::UnableToSaveSnapFile, kPlaceDirect, kStepWrite, &failure);
        }
    }
    slot.reset();
    if (!CaptureFolderOnShow(settings))
        return;
    if (written.empty())
        doc.UpdateViews();
    else
        AddCaptureToAlbum(doc, written);
}

void CapturePipeline::onConfirm(std::uintptr_t top, std::intptr_t /*pad*/)
{
    if (!slot || top != reinterpret_cast<std::uintptr_t>(slot->top))
        return;
    // However the capture ends, the grab goes and the next trigger works.
    AtScopeEnd end{ [this] {
        endCapture();
    } };

    const CaptureDialogOutcome outcome = host.runDialog(CaptureDialogRequest{
            settings.snapPath, settings.snapName, settings.captureFileFormat() });
    // A confirmation that fails before this point leaves confirmBeforeSave as it was.
    if (outcome.ok && !writeConfirmed(outcome))
        return;
    if (outcome.dontShowAgain)
        settings.ui.captureFlags &= ~CaptureFlag::ConfirmBeforeSave;
    else
        settings.ui.captureFlags |= CaptureFlag::ConfirmBeforeSave;
}

// The old file is not deleted first: the writer's temporary file is renamed over it once
// complete, so a failed write leaves it as it was. The grab's own size is written, not the
// screen's present one, which may have changed while the dialog was open.
bool CapturePipeline::writeConfirmed(const CaptureDialogOutcome &outcome)
{
    const std::string path = CaptureFilePath(settings.snapPath, outcome.name);
    const bool replaced = ProbeFile(path);
    try {
        WriteCapture(outcome.name, pixelsOf(*slot), targetOf(settings));
    } catch (const CAlbExceptionBase &failure) {
        slot.reset();
        report(Msg::UnableToSaveSnapFile, kPlaceConfirm, kStepConfirmWrite, &failure);
        return false;
    }
    slot.reset();
    if (!CaptureFolderOnShow(settings))
        return true;
    try {
        if (replaced)
            RecheckCaptureInAlbum(doc, outcome.name);
        else
            AddCaptureToAlbum(doc, path);
    } catch (const CAlbFileException &failure) {
        report(Msg::UnableToSaveSnapFile, kPlaceConfirm, kStepConfirmFile, &failure);
        return false;
    }
    return true;
}
