// The cell sizes as the user sets them, and thumbnails at the screen's device pixels.
#include "app/doc_commands.h"
#include "app/window_messages.h"
#include "tests/views/view_test_support.h"
#include "views/thumbnail_cache.h"

#include <QWheelEvent>

namespace {

struct CellRow
{
    std::uint16_t width, height;
};

// The sizes of the Thumbnail Size entries, in menu order.
constexpr CellRow kEntries[] = { { 55, 71 },   { 67, 87 },   { 97, 127 },
                                 { 127, 167 }, { 193, 255 }, { 256, 339 } };

} // namespace

class ThumbnailSizeTest : public ViewTest
{
protected:
    void wheel(int delta)
    {
        const QPointF at(10, 10);
        QWheelEvent event(at, view->viewport()->mapToGlobal(at), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &event);
    }

    // The entries whose check mark shows; every entry is enabled and a radio item.
    std::vector<int> checkedEntries()
    {
        std::vector<int> checked;
        for (std::uint32_t id = DocCmd::ThumbnailSizeFirst; id <= DocCmd::ThumbnailSizeLast; ++id) {
            CommandState state;
            EXPECT_TRUE(doc.onCommandState(id, state));
            EXPECT_TRUE(state.enabled && state.radio) << id;
            if (state.checked)
                checked.push_back(static_cast<int>(id - DocCmd::ThumbnailSizeFirst));
        }
        return checked;
    }

    int relayouts() const { return frame.count("thumbs", WM_LIST_CHANGED, 1); }

    void expectCell(const CellRow &row)
    {
        EXPECT_EQ(settings.prefs.cellWidth, row.width);
        EXPECT_EQ(settings.prefs.cellHeight, row.height);
    }
};

// Ctrl+wheel up from Small passes through the entries' sizes in order; each entry, chosen from
// the other end, sets the same size again with the same relayout; both stop at the ends.
TEST_F(ThumbnailSizeTest, EntriesSetTheSizesOfTheWheelStepsAndTheCheckFollows)
{
    loadPictures(2);
    makeView();
    EXPECT_TRUE(doc.onCommand(DocCmd::ThumbnailSizeFirst));
    expectCell(kEntries[0]);
    for (int i = 1; i < 6; ++i) {
        SCOPED_TRACE(i);
        const int before = relayouts();
        wheel(120);
        expectCell(kEntries[i]);
        EXPECT_EQ(checkedEntries(), std::vector<int>{ i });
        EXPECT_EQ(relayouts(), before + 1);
    }
    wheel(120);
    expectCell(kEntries[5]);

    for (int i = 5; i >= 0; --i) {
        SCOPED_TRACE(i);
        const int before = relayouts();
        EXPECT_TRUE(doc.onCommand(DocCmd::ThumbnailSizeFirst + static_cast<std::uint32_t>(i)));
        expectCell(kEntries[i]);
        EXPECT_EQ(checkedEntries(), std::vector<int>{ i });
        EXPECT_EQ(relayouts(), before + (i == 5 ? 0 : 1)); // the largest was in force
    }
    const int before = relayouts();
    wheel(-120);
    expectCell(kEntries[0]);
    EXPECT_EQ(relayouts(), before);

    // A size of none of the steps (kept from older settings) checks no entry.
    settings.prefs.cellWidth = 150;
    settings.prefs.cellHeight = 190;
    EXPECT_EQ(checkedEntries(), std::vector<int>{});
}

// Runs at the test screen's ratio; ctest runs it once more with QT_SCALE_FACTOR=2.
TEST_F(ThumbnailSizeTest, ThumbnailsAreMadeAndDrawnAtDevicePixels)
{
    const double ratio = qApp->devicePixelRatio();
    if (const QByteArray factor = qgetenv("QT_SCALE_FACTOR"); !factor.isEmpty()) {
        ASSERT_EQ(ratio, factor.toDouble());
    }
    // A picture exactly the size of the Small cell's picture area in device pixels, in columns
    // of one pixel, black and white: any scaling on the way greys them.
    const int width = static_cast<int>(48 * ratio);
    const int height = static_cast<int>(64 * ratio);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height) * 3);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (i / 3) % 2 == 0 ? 0x00 : 0xFF;
    makeFolder("\\pics");
    BmpWriter().write(DocTest::host("\\pics\\stripes.bmp"),
                      PixelSpan::Padded(pixels.data(), width, height, 0));
    doc.ChangeFolder("\\pics");
    makeView();
    ASSERT_TRUE(ProcessEventsUntil([&] { return !view->thumbnailTimerActive(); }));

    EXPECT_EQ(ThumbnailBox(doc), (Size{ width, height }));
    const ImageItem &item = *doc.ItemAt(0);
    ASSERT_TRUE(item.thumbnail);
    EXPECT_EQ(item.thumbnail->width, width);
    EXPECT_EQ(item.thumbnail->height, height);

    const QImage &canvas = view->canvasImage();
    EXPECT_EQ(canvas.devicePixelRatio(), ratio);
    EXPECT_EQ(canvas.size(), view->viewport()->size() * ratio);
    const Rect cell = view->CellRect(0);
    const int left = static_cast<int>((cell.left + 4) * ratio);
    const int top = static_cast<int>((cell.top + 4) * ratio);
    for (const int y : { 0, height / 2, height - 1 }) {
        for (int x = 0; x < width; ++x) {
            ASSERT_EQ(canvas.pixel(left + x, top + y), x % 2 == 0 ? 0xFF000000 : 0xFFFFFFFF)
                    << x << "," << y;
        }
    }
}
