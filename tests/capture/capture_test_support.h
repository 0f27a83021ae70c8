#pragma once

#include "app/window_messages.h"
#include "capture/capture_pipeline.h"
#include "common/alb_exception.h"
#include "common/string_ids.h"
#include "platform/capture_grab.h"
#include "tests/app/doc_test_support.h"
#include "tests/support/sound_recorder.h"

#include <cstdint>
#include <string>
#include <vector>

// A grab of a w x h screen whose bytes count up from seed in steps of 7, so that files of
// different grabs differ.
inline CaptureGrab TestGrab(std::int32_t w, std::int32_t h, int seed)
{
    CaptureGrab grab = *CaptureGrab::Make(w, h);
    for (std::size_t i = 0; i < grab.stride() * static_cast<std::size_t>(h); ++i)
        grab.top[i] = static_cast<std::uint8_t>(i * 7 + static_cast<std::size_t>(seed));
    return grab;
}

// A message the capture posted to itself.
struct PostedMessage
{
    std::uint32_t message = 0;
    std::uintptr_t first = 0;
    std::intptr_t second = 0;
};

// A document showing "\Shots" (the capture folder) and a pipeline whose grab hands out a fixed
// 13 x 5 screen (or the failure set in grabFailure), whose posts and timers are recorded and
// whose dialog is the function in dialog.
class CaptureTest : public DocTest
{
protected:
    CaptureTest()
    {
        makeFolder("\\Shots");
        settings.snapPath = "\\Shots";
        settings.currentFolder = "\\Shots";
        settings.snapName = "ornsnap";
        settings.ui.captureFlags = 0x401;
    }

    CaptureHost captureHost()
    {
        CaptureHost h;
        h.grab = [this](const AreaRequest &request) -> GrabResult {
            ++grabs;
            areas.push_back(request.area);
            if (grabFailure)
                return *grabFailure;
            return screen();
        };
        h.chooseRegion = [this](const CaptureGrab &, const Rect &start) {
            offered.push_back(start);
            return region;
        };
        h.copyToClipboard = [this](const PixelSpan &pixels) {
            if (clipboardFails)
                throw CAlbException(Msg::NotEnoughMemory);
            clipboard.push_back(Size{ pixels.width, pixels.height });
        };
        h.notify = [this](const std::string &path, const PixelSpan &pixels) {
            notices.push_back(path + " " + std::to_string(pixels.width) + "x"
                              + std::to_string(pixels.height));
        };
        h.post = [this](std::uint32_t m, std::uintptr_t f, std::intptr_t s) {
            posted.push_back({ m, f, s });
        };
        h.killTimer = [this](std::uint32_t id) {
            killed.push_back(id);
        };
        h.runDialog = [this](const CaptureDialogRequest &request) {
            ++dialogs;
            return dialog(request);
        };
        return h;
    }

    // A screen whose pixels differ each grab, so a replaced file shows which grab it holds.
    CaptureGrab screen() { return TestGrab(13, 5, grabs); }

    void setFlag(std::uint32_t flag, bool on)
    {
        settings.ui.captureFlags =
                on ? settings.ui.captureFlags | flag : settings.ui.captureFlags & ~flag;
    }

    std::vector<std::string> shots() const
    {
        std::vector<std::string> names;
        for (const auto &entry : std::filesystem::directory_iterator(host("\\Shots")))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // The first report's text, "" when there was none.
    std::string reported() const { return sink.shown.empty() ? "" : sink.shown.front().text; }

    int grabs = 0;
    int dialogs = 0;
    // The areas grabbed, the regions offered to the chooser and what it answers, the sizes put
    // on the clipboard and the notices ("path WxH").
    std::vector<CaptureArea> areas;
    std::vector<Rect> offered;
    std::optional<Rect> region;
    std::vector<Size> clipboard;
    bool clipboardFails = false;
    std::vector<std::string> notices;
    std::optional<GrabFailure> grabFailure;
    std::vector<PostedMessage> posted;
    std::vector<std::uint32_t> killed;
    std::function<CaptureDialogOutcome(const CaptureDialogRequest &)> dialog;
    SoundRecorder sound;
    CapturePipeline pipeline{ settings, doc, captureHost() };
};
