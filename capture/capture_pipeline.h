#pragma once

#include "operations/capture_file.h"
#include "platform/capture_area.h"
#include "platform/screen_grab.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class CAlbDoc;
class CAlbExceptionBase;
struct AppSettings;

// What the "Capture Message" dialog is opened with and what it ended with.
struct CaptureDialogRequest
{
    std::string folder; // snapPath
    std::string prefix; // snapName
    std::int32_t fileFormat = 0;
};

struct CaptureDialogOutcome
{
    bool ok = false; // false: "Abort this capture"
    std::string name; // with extension, when ok
    bool dontShowAgain = false;
};

// What the capture needs of the program around it; tests put recorders in place.
struct CaptureHost
{
    // Copies the screen, or the area asked for (ScreenSource::grabArea in the program).
    std::function<GrabResult(const AreaRequest &)> grab;
    // Lets the user choose a rectangle of the frozen grab, offering start (may be empty) first:
    // the rectangle, or nothing when the user cancelled. Not set where the screen source lets
    // the desktop choose the region itself.
    std::function<std::optional<Rect>(const CaptureGrab &, const Rect &start)> chooseRegion;
    // Puts the picture on the clipboard.
    std::function<void(const PixelSpan &)> copyToClipboard;
    // Tells the desktop that a capture was written to path (a device path), with its picture.
    std::function<void(const std::string &path, const PixelSpan &)> notify;
    // Queues a message for the capture's own window.
    std::function<void(std::uint32_t, std::uintptr_t, std::intptr_t)> post;
    // Stops one of the capture's timers.
    std::function<void(std::uint32_t)> killTimer;
    // Runs the "Capture Message" dialog modally.
    std::function<CaptureDialogOutcome(const CaptureDialogRequest &)> runDialog;
};

// Turns a trigger (the capture hot key, the one-shot delay timer) into a picture file in the
// capture folder: grab the screen (or the capture area of the settings; the hot key with Shift
// means Region, with Alt the active window), let the user choose the region on the frozen grab
// when the area is Region (cancelling ends the capture without sound or file), optionally play
// the "Critical" sound, then write at once under the next free name, or keep the grab and finish
// after the "Capture Message" dialog when confirmation is on. A capture that goes ahead is also
// copied to the clipboard when asked for, and a file written at once is announced with a notice
// when asked for. When the capture folder is the folder on show, the album gains (or refreshes)
// the file's item. captureBusy (in the settings' run-time flags) spans all of it, the wait for
// the chooser and the dialog included; triggers meanwhile are ignored. The one grab slot is the
// pipeline's: a capture in progress owns it.
class CapturePipeline
{
public:
    CapturePipeline(AppSettings &settings, CAlbDoc &doc, CaptureHost host);

    // The hot-key message's second parameter; key codes 33 and 34 are ignored.
    void onHotKey(std::intptr_t second);
    // Takes CaptureTimer (a capture, then the timer is stopped: it fires once); false for any
    // other timer.
    bool onTimer(std::uint32_t timerId);
    // WM_CAPTURE_CONFIRM: the dialog, then the file. A message that does not name the grab held
    // (by its number) is ignored.
    void onConfirm(std::uintptr_t grabNumber, std::intptr_t pad);

    // A capture of the settings' area, as a trigger starts it.
    void capture();
    // A capture of that area.
    void capture(CaptureArea area);

    bool busy() const;

    bool holdsGrab() const { return slot.has_value(); }

private:
    bool takeGrab(CaptureArea area);
    bool chooseRegion();
    PixelSpan pixels() const;
    void copyToClipboard();
    void writeDirect();
    bool writeConfirmed(const CaptureDialogOutcome &outcome);
    void setBusy(bool on);
    // The grab goes and captureBusy is cleared: the next trigger works.
    void endCapture();
    std::string snapFolder() const;
    void report(std::uint32_t messageId, std::uint32_t place, std::uint32_t step,
                const CAlbExceptionBase *failure = nullptr) const;

    AppSettings &settings;
    CAlbDoc &doc;
    CaptureHost host;
    std::optional<CaptureGrab> slot;
    // Counts the grabs taken: the number of the one in the slot names it in WM_CAPTURE_CONFIRM.
    std::uintptr_t grabNumber = 0;
    // The part of the grab the capture keeps: all of it, or the region chosen.
    Rect kept;
};
