// vistrel-bench-image-view FILE [--size WxH] [--select] [--repeat N] [--pan N]: showing one
// picture in the album's image view (offscreen, default 1280 x 800, Full Screen View; --select for
// Select View). Measured:
//   - show to painted: from the message that shows the picture until the view's paint, which
//     decodes the picture at the scale the fitted zoom needs and draws it, has returned; the
//     median of N shows (each after the decoded picture was let go);
//   - with --pan N: the picture at actual size, then N pans of 8 pixels, each a redraw of the
//     whole window; the median redraw beside a memory copy of the same bytes, both as frames
//     per second.
#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/document_frame.h"
#include "app/frame_commands.h"
#include "app/image_item.h"
#include "app/image_lists.h"
#include "app/view_factory.h"
#include "app/window_messages.h"
#include "platform/settings_store.h"
#include "views/alb_img_view.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kPanStep = 8;

struct Options
{
    fs::path file;
    int width = 1280;
    int height = 800;
    bool select = false;
    int repeat = 1;
    int pans = 0;
};

std::optional<Options> parseOptions(int argc, char **argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size" && i + 1 < argc) {
            char tail = 0;
            if (std::sscanf(argv[++i], "%dx%d%c", &options.width, &options.height, &tail) != 2
                || options.width <= 0 || options.height <= 0)
                return std::nullopt;
        } else if (arg == "--select") {
            options.select = true;
        } else if (arg == "--repeat" && i + 1 < argc) {
            options.repeat = std::max(std::atoi(argv[++i]), 1);
        } else if (arg == "--pan" && i + 1 < argc) {
            options.pans = std::max(std::atoi(argv[++i]), 0);
        } else if (options.file.empty() && !arg.starts_with("--")) {
            options.file = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.file.empty())
        return std::nullopt;
    return options;
}

double millisecondsSince(Clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// Processor time of the whole process so far (every thread, user and system).
double cpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1000 + double(now.tv_nsec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The main window as far as the document needs one.
class BenchFrame final : public DocumentFrame
{
public:
    void sendCommand(std::uint32_t) override { }
    void arrangePanes(std::int32_t, std::int32_t) override { }
    void setFullScreen(bool, std::uint32_t) override { }
    void relayoutAndPaint() override { }
    void messageToTree(std::uint32_t, std::uintptr_t, std::intptr_t, bool) override { }
    void messageToThumbnails(std::uint32_t, std::uintptr_t, std::intptr_t, bool) override { }
    void messageToImageView(std::uint32_t, std::uintptr_t, std::intptr_t, bool) override { }
    std::string treeFolder() const override { return folder; }
    void rebuildTree(const std::string &path) override { folder = path; }
    void beginWaitCursor() override { }
    void endWaitCursor() override { }

private:
    std::string folder;
};

class NoHost final : public ViewHost
{
public:
    void sendCommand(std::uint32_t) override { }
    void postCommand(std::uint32_t) override { }
    void activateView(QWidget &) override { }
    void cellSizeChanged() override { }
};

int run(const Options &options, const fs::path &scratch)
{
    std::error_code error;
    const fs::path full = fs::canonical(options.file, error);
    if (error || !full.has_parent_path() || full.parent_path() == full.root_path()) {
        std::fprintf(stderr, "vistrel-bench-image-view: no such file in a folder: %s\n",
                     options.file.c_str());
        return 1;
    }
    setenv("VISTREL_ROOT", full.parent_path().parent_path().c_str(), 1);
    const std::string folder = "\\" + full.parent_path().filename().string();

    SettingsStore store((scratch / "settings.conf").string());
    AppSettings settings;
    settings.viewMode = options.select ? ViewMode::Select : ViewMode::FullScreen;
    BenchFrame frame;
    CAlbDoc doc(settings, store);
    doc.setFrame(&frame);
    ImageLists lists;
    BuildImageLists(lists);
    NoHost host;
    CAlbImgView view(doc, settings, host, &lists);
    view.resize(options.width, options.height);
    view.show();
    QCoreApplication::processEvents();
    doc.ChangeFolder(folder);
    ImageItem *item = doc.SelectByName(full.filename().string());
    if (!item) {
        std::fprintf(stderr, "vistrel-bench-image-view: %s is not a picture the album lists\n",
                     full.c_str());
        return 1;
    }

    // The decoding's share of a show.
    double decoding = 0;
    view.setDecoder([&decoding](const std::string &path, ImageInfo &info, FrameArray &frames,
                                Size size) {
        const Clock::time_point start = Clock::now();
        DefaultFramesDecoder()(path, info, frames, size);
        decoding += millisecondsSince(start);
    });
    std::vector<double> shows;
    std::vector<double> decodes;
    std::vector<double> cpu;
    for (int i = 0; i < options.repeat; ++i) {
        SendMessageTo(&view, WM_CURRENT_CHANGED, 0, 0);
        item->releasePictures();
        decoding = 0;
        const double cpuStart = cpuMilliseconds();
        const Clock::time_point start = Clock::now();
        SendMessageTo(&view, WM_CURRENT_CHANGED, item->serial, 0);
        // The paint asks a worker for the picture; it is drawn once it comes back.
        view.repaint();
        while (view.decoding())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        view.repaint();
        shows.push_back(millisecondsSince(start));
        cpu.push_back(cpuMilliseconds() - cpuStart);
        decodes.push_back(decoding);
        if (view.placeholderMessage() != 0) {
            std::fprintf(stderr, "vistrel-bench-image-view: the picture could not be shown (%u)\n",
                         view.placeholderMessage());
            return 1;
        }
    }
    std::printf("show to painted %.1f ms, cpu %.1f ms (medians of %d; decoding %.1f ms), %d x %d "
                "at zoom %d, decoded at %d %%\n",
                median(shows), median(cpu), options.repeat, median(decodes), options.width,
                options.height, view.zoom(), item->framesPercent);
    if (options.pans == 0)
        return 0;

    view.onCommand(FrameCmd::ActualSize);
    view.repaint();
    std::vector<double> redraws;
    std::vector<double> redrawCpu;
    for (int i = 0; i < options.pans; ++i) {
        const int step = (i / 50) % 2 == 0 ? kPanStep : -kPanStep;
        const double cpuStart = cpuMilliseconds();
        const Clock::time_point start = Clock::now();
        SendMessageTo(&view, WM_SCROLL_PICTURE, static_cast<std::uintptr_t>(step), 0);
        redraws.push_back(millisecondsSince(start));
        redrawCpu.push_back(cpuMilliseconds() - cpuStart);
    }
    const std::size_t bytes = std::size_t(options.width) * options.height * 3;
    std::vector<std::uint8_t> from(bytes, 1), to(bytes);
    std::vector<double> copies;
    for (int i = 0; i < options.pans; ++i) {
        from[std::size_t(i) % bytes] = std::uint8_t(i);
        const Clock::time_point start = Clock::now();
        std::memcpy(to.data(), from.data(), bytes);
        copies.push_back(millisecondsSince(start));
    }
    const double redraw = median(redraws), copy = median(copies);
    std::printf("panning redraw %.2f ms (%.0f frames/s), cpu %.2f ms (%.0f frames/s); copy of the "
                "same bytes %.2f ms (%.0f frames/s) [%u]\n",
                redraw, 1000 / redraw, median(redrawCpu), 1000 / median(redrawCpu), copy,
                1000 / copy, unsigned(to[bytes / 2]));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: vistrel-bench-image-view FILE [--size WxH] [--select] "
                             "[--repeat N] [--pan N]\n");
        return 2;
    }
    std::string pattern = (fs::temp_directory_path() / "vistrel-image-view.XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return 1;
    const int status = run(*options, pattern);
    std::error_code ignored;
    fs::remove_all(pattern, ignored);
    return status;
}
