// vistrel-bench-album-open FOLDER [--size WxH]: opening a folder in the album's thumbnail view.
// A thumbnail view of WxH (default 800 x 600) on the offscreen platform shows a document in
// Thumbnail View; the clock starts when the document changes to FOLDER. Measured, from that
// moment:
//   - the first screenful: every visible cell's picture decoded, drawn by the view's timer and
//     put on the screen;
//   - the whole folder: the view paged down a screenful at a time (as the Page Down of the scroll
//     bar does), each page drawn the same way, until the last page is on the screen. The view
//     decodes only what it shows, so paging is the way every picture gets decoded.
// Prints both times, the time the folder change itself took (listing and reading every file's
// description), how many pictures were decoded (exits with 1 when one could not be), and the
// longest pause of the window while paging: the longest single pass of the event loop (a scroll,
// or the events handled in one go), which is how long a key press or click arriving at its start
// would have waited.
#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/document_frame.h"
#include "app/image_lists.h"
#include "app/view_factory.h"
#include "platform/settings_store.h"
#include "views/alb_view.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A view that draws nothing for this long has stopped: the run fails rather than hangs.
constexpr auto kStallLimit = std::chrono::seconds(60);
constexpr const char *kStalled = "the view stopped drawing";

struct Options
{
    fs::path folder;
    int width = 800;
    int height = 600;
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
        } else if (options.folder.empty() && !arg.starts_with("--")) {
            options.folder = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.folder.empty())
        return std::nullopt;
    return options;
}

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The main window as far as the document needs one: it hands list changes to the view.
class BenchFrame final : public DocumentFrame
{
public:
    void sendCommand(std::uint32_t) override { }

    void arrangePanes(std::int32_t, std::int32_t) override { }

    void setFullScreen(bool, std::uint32_t) override { }

    void relayoutAndPaint() override { }

    void messageToTree(std::uint32_t, std::uintptr_t, std::intptr_t, bool) override { }

    void messageToThumbnails(std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam,
                             bool) override
    {
        if (view)
            SendMessageTo(view, msg, wParam, lParam);
    }

    void messageToImageView(std::uint32_t, std::uintptr_t, std::intptr_t, bool) override { }

    std::string treeFolder() const override { return folder; }

    void rebuildTree(const std::string &path) override { folder = path; }

    void beginWaitCursor() override { }

    void endWaitCursor() override { }

    void refreshViews(int firstSelected) override
    {
        if (view)
            view->UpdateFromDocument(firstSelected);
    }

    void repaintThumbnails() override
    {
        if (view)
            view->RedrawFrames();
    }

    CAlbView *view = nullptr;

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

// Counts the paint events of the view's viewport and notes how many pictures the view had drawn
// by the last one: a picture is on the screen once a paint after its drawing has run. A picture
// that arrives from a worker may be drawn and painted within one pass of the event loop, so the
// order is taken from the paint itself.
class PaintCounter final : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            ++paints;
            if (view)
                drawnAtLastPaint = view->picturesDrawn();
        }
        return false;
    }

    const CAlbView *view = nullptr;
    long paints = 0;
    std::uint64_t drawnAtLastPaint = 0;
};

struct Timings
{
    double listed = 0;
    double firstScreen = 0;
    double whole = 0;
    int firstScreenCount = 0;
    int firstScreenDecoded = 0;
    int decoded = 0;
    int total = 0;
    int columns = 0;
    int rows = 0;
    int pages = 0;
    double longestPause = 0;
};

// The document, its settings (in a scratch settings file) and the view, for one folder under a
// device root of its own.
class AlbumOpening
{
public:
    AlbumOpening(const Options &options, const fs::path &settingsFile)
        : store(settingsFile.string())
    {
        settings.viewMode = ViewMode::Thumbnail;
        doc.setFrame(&frame);
        BuildImageLists(lists);
        view = std::make_unique<CAlbView>(doc, settings, host, &lists);
        frame.view = view.get();
        paints.view = view.get();
        view->viewport()->installEventFilter(&paints);
        view->resize(options.width, options.height);
        view->show();
        // The empty view is on the screen, painted once, before the clock starts: a late first
        // paint would otherwise be taken for the folder's.
        const Clock::time_point limit = Clock::now() + std::chrono::seconds(5);
        while (paints.paints == 0 && Clock::now() < limit)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    ~AlbumOpening() { view->viewport()->removeEventFilter(&paints); }

    AlbumOpening(const AlbumOpening &) = delete;
    AlbumOpening &operator=(const AlbumOpening &) = delete;

    // Why the run could not finish; nothing when it did.
    std::optional<std::string> run(const std::string &devicePath, Timings &timings)
    {
        const Clock::time_point start = Clock::now();
        const long paintsBefore = paints.paints;
        drawnDecoded.clear();
        doc.ChangeFolder(devicePath);
        timings.listed = millisecondsBetween(start, Clock::now());
        timings.total = doc.Count();
        timings.columns = view->grid().columns;
        timings.rows = view->grid().rows;
        // Without a whole cell on the view nothing would ever be drawn.
        if (doc.Count() > 0 && view->VisibleRange().first < 0)
            return "the view is too small for one cell";
        if (!waitForScreenful(paintsBefore))
            return kStalled;
        timings.firstScreen = millisecondsBetween(start, Clock::now());
        timings.firstScreenCount = visibleCount();
        timings.firstScreenDecoded = visibleDecoded();
        noteDecoded();
        timingPauses = true;
        while (view->VisibleRange().second < doc.Count() - 1) {
            const long paintsBeforePage = paints.paints;
            const int before = view->scrollPosition();
            const Clock::time_point pageStart = Clock::now();
            view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
            notePause(pageStart);
            ++timings.pages;
            if (view->scrollPosition() == before)
                return "the view did not scroll to the rest of the folder";
            if (!waitForScreenful(paintsBeforePage))
                return kStalled;
            noteDecoded();
        }
        timings.whole = millisecondsBetween(start, Clock::now());
        timings.decoded = decodedCount();
        timings.longestPause = longestPause;
        return std::nullopt;
    }

private:
    // After a change that has the view paint: the paint that draws the frames and asks for the
    // pictures, every visible picture drawn, and a paint after the last drawing that puts it on
    // the screen.
    bool waitForScreenful(long paintsBefore)
    {
        if (doc.Count() == 0)
            return true;
        return runUntil([&] {
            return paints.paints > paintsBefore && !view->thumbnailTimerActive()
                    && paints.drawnAtLastPaint == view->picturesDrawn();
        });
    }

    // Runs the event loop one pass at a time until done() holds; false when the view drew nothing
    // for kStallLimit.
    bool runUntil(const std::function<bool()> &done)
    {
        Clock::time_point lastProgress = Clock::now();
        long seenPaints = paints.paints;
        int seenDecoded = 0;
        while (!done()) {
            const Clock::time_point passStart = Clock::now();
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            notePause(passStart);
            const int decoded = visibleDecoded();
            if (paints.paints != seenPaints || decoded != seenDecoded) {
                seenPaints = paints.paints;
                seenDecoded = decoded;
                lastProgress = Clock::now();
            } else if (Clock::now() - lastProgress > kStallLimit) {
                return false;
            }
        }
        return true;
    }

    void notePause(Clock::time_point from)
    {
        if (timingPauses)
            longestPause = std::max(longestPause, millisecondsBetween(from, Clock::now()));
    }

    int visibleCount() const
    {
        auto [first, last] = view->VisibleRange();
        return first < 0 ? 0 : last - first + 1;
    }

    int visibleDecoded() const
    {
        auto [first, last] = view->VisibleRange();
        int count = 0;
        for (int i = first; first >= 0 && i <= last; ++i)
            count += doc.ItemAt(i)->has(ItemFlag::ThumbCached);
        return count;
    }

    // The view lets go of thumbnails far behind the ones on show, so a picture counts as decoded
    // once it was drawn on a screenful, not by what is held when the paging ends.
    void noteDecoded()
    {
        drawnDecoded.resize(std::size_t(doc.Count()), false);
        auto [first, last] = view->VisibleRange();
        for (int i = first; first >= 0 && i <= last; ++i)
            if (doc.ItemAt(i)->has(ItemFlag::ThumbCached))
                drawnDecoded[std::size_t(i)] = true;
    }

    int decodedCount() const
    {
        return int(std::count(drawnDecoded.begin(), drawnDecoded.end(), true));
    }

    std::vector<bool> drawnDecoded;
    bool timingPauses = false;
    double longestPause = 0;

    SettingsStore store;
    AppSettings settings;
    BenchFrame frame;
    CAlbDoc doc{ settings, store };
    NoHost host;
    ImageLists lists;
    PaintCounter paints;
    std::unique_ptr<CAlbView> view;
};

// The folder's parent becomes the device root, so that the folder is "\NAME" inside the program.
std::optional<std::string> placeFolder(const fs::path &folder)
{
    std::error_code error;
    const fs::path full = fs::canonical(folder, error);
    if (error || !fs::is_directory(full) || !full.has_parent_path() || full.filename().empty()
        || full == full.root_path())
        return std::nullopt;
    setenv("VISTREL_ROOT", full.parent_path().c_str(), 1);
    return "\\" + full.filename().string();
}

// A scratch folder for the settings file the document writes as it changes folders.
fs::path makeScratchFolder()
{
    std::string pattern = (fs::temp_directory_path() / "vistrel-album-open.XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        return {};
    return pattern;
}

void printTimings(const Timings &t)
{
    std::printf("view of %d x %d cells\n", t.columns, t.rows);
    std::printf("folder listed (%d pictures) %.1f ms\n", t.total, t.listed);
    std::printf("first screenful (%d pictures) %.1f ms, whole folder (%d pictures) %.1f ms\n",
                t.firstScreenCount, t.firstScreen, t.total, t.whole);
    std::printf("%d of %d pictures decoded, %d of %d on the first screen\n", t.decoded, t.total,
                t.firstScreenDecoded, t.firstScreenCount);
    std::printf("paged down %d times, longest pause %.1f ms (goal < 100 ms)\n", t.pages,
                t.longestPause);
}

int runBench(const Options &options, const std::string &devicePath, const fs::path &scratch)
{
    Timings timings;
    std::optional<std::string> failure;
    try {
        AlbumOpening opening(options, scratch / "settings.conf");
        failure = opening.run(devicePath, timings);
    } catch (const std::exception &e) {
        failure = e.what();
    }
    if (failure) {
        std::fprintf(stderr, "vistrel-bench-album-open: %s\n", failure->c_str());
        return 1;
    }
    printTimings(timings);
    return timings.decoded == timings.total ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    const std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        std::fputs("usage: vistrel-bench-album-open FOLDER [--size WxH]\n", stderr);
        return 2;
    }
    const std::optional<std::string> devicePath = placeFolder(options->folder);
    if (!devicePath) {
        std::fprintf(stderr, "vistrel-bench-album-open: %s is not a folder\n",
                     options->folder.c_str());
        return 2;
    }
    const fs::path scratch = makeScratchFolder();
    if (scratch.empty()) {
        std::fputs("vistrel-bench-album-open: no scratch folder for the settings\n", stderr);
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int status = runBench(*options, *devicePath, scratch);
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    return status;
}
