#include "capture/capture_pipeline.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/window_messages.h"
#include "capture/capture_album.h"
#include "capture/capture_settings.h"
#include "common/dir_record.h"
#include "common/error_report.h"
#include "common/string_ids.h"
#include "platform/button_hot_key.h"
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
    // Shift or Alt held with the button choose the area.
    const std::intptr_t modifiers = second & 0xFFFF;
    if (modifiers & kHotKeyShift)
        capture(CaptureArea::Region);
    else if (modifiers & kHotKeyAlt)
        capture(CaptureArea::Window);
    else
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
    capture(CaptureSettings::area(settings));
}

void CapturePipeline::capture(CaptureArea area)
{
    if (busy())
        return;
    setBusy(true);
    if (!takeGrab(area)) {
        setBusy(false);
        return;
    }
    if (area == CaptureArea::Region && host.chooseRegion && !chooseRegion()) {
        // Cancelled: no sound, no file, and the capture counts as not made.
        endCapture();
        return;
    }
    // The handheld nudged its toolbar here with a button press at (65535, 0) so that the bar
    // redrew after the copy; a desktop toolbar needs no such nudge, so there is nothing to send.
    if (settings.ui.captureFlags & CaptureFlag::CaptureSound)
        PlaySystemSound("Critical");
    if (settings.ui.captureFlags & CaptureFlag::ConfirmBeforeSave) {
        // The grab stays in the slot and captureBusy stays set until the dialog has ended.
        host.post(WM_CAPTURE_CONFIRM, grabNumber, slot->pad);
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

bool CapturePipeline::takeGrab(CaptureArea area)
{
    GrabResult result = host.grab(AreaRequest{ area, std::nullopt, std::nullopt });
    if (auto *grab = std::get_if<CaptureGrab>(&result)) {
        slot = std::move(*grab);
        ++grabNumber;
        kept = Rect{ 0, 0, slot->w, slot->h };
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

// The user's rectangle of the frozen grab becomes the part kept and the region offered next time.
bool CapturePipeline::chooseRegion()
{
    const std::optional<Rect> chosen = host.chooseRegion(*slot, settings.capture.lastRegion);
    const Rect part = chosen ? chosen->intersected(kept) : Rect{};
    if (part.isEmpty())
        return false;
    kept = part;
    settings.capture.lastRegion = part;
    return true;
}

PixelSpan CapturePipeline::pixels() const
{
    return slot->span().cropped(kept);
}

void CapturePipeline::copyToClipboard()
{
    if (!CaptureSettings::copyToClipboard(settings) || !host.copyToClipboard)
        return;
    // A picture that cannot go to the clipboard is reported; the file is written all the same.
    try {
        host.copyToClipboard(pixels());
    } catch (const CAlbExceptionBase &failure) {
        ShowErrorMessage(nullptr, 0, 0, MessageBoxType::IconWarning, 0, 0, 0, &failure);
    }
}

void CapturePipeline::writeDirect()
{
    const CaptureName next =
            FindCaptureNameIn(settings.snapPath, settings.snapName, settings.captureFileFormat());
    std::string written;
    copyToClipboard();
    if (!next.free) {
        // Every number is taken: writing the last name would overwrite a capture the user has.
        report(Msg::UnableToSaveSnapFile, kPlaceDirect, kStepWrite);
    } else {
        try {
            written = WriteCapture(next.name, pixels(), targetOf(settings));
        } catch (const CAlbExceptionBase &failure) {
            report(Msg::UnableToSaveSnapFile, kPlaceDirect, kStepWrite, &failure);
        }
    }
    if (!written.empty() && CaptureSettings::notice(settings) && host.notify)
        host.notify(written, pixels());
    slot.reset();
    if (!CaptureFolderOnShow(settings))
        return;
    if (written.empty())
        doc.UpdateViews();
    else
        AddCaptureToAlbum(doc, written);
}

void CapturePipeline::onConfirm(std::uintptr_t number, std::intptr_t /*pad*/)
{
    if (!slot || number != grabNumber)
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
    copyToClipboard();
    try {
        WriteCapture(outcome.name, pixels(), targetOf(settings));
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
