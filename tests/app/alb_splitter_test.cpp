#include "app/alb_splitter.h"

#include "app/app_settings.h"
#include "app/image_lists.h"
#include "tests/support/qt_test_app.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTreeWidget>

#include <gtest/gtest.h>
#include <memory>

namespace {

const QSize kPortrait(240, 320);
const QSize kLandscape(320, 240);

void SendMouse(QWidget *target, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Whether needle appears pixel for pixel somewhere inside area of haystack.
bool Contains(const QImage &haystack, const QImage &needle, QRect area)
{
    const QRect inside = area.intersected(haystack.rect());
    for (int y = inside.top(); y + needle.height() <= inside.bottom() + 1; ++y) {
        for (int x = inside.left(); x + needle.width() <= inside.right() + 1; ++x) {
            bool same = true;
            for (int ny = 0; same && ny < needle.height(); ++ny)
                for (int nx = 0; same && nx < needle.width(); ++nx)
                    same = (haystack.pixel(x + nx, y + ny) & 0xFFFFFF)
                            == (needle.pixel(nx, ny) & 0xFFFFFF);
            if (same)
                return true;
        }
    }
    return false;
}

class AlbSplitterTest : public ::testing::Test
{
protected:
    AlbSplitterTest()
    {
        EnsureTestApplication();
        BuildImageLists(lists);
    }

    // A splitter on a screen of that shape, filling a client area of the same size, with small
    // thumbnail steps and a 16-pixel column allowance.
    std::unique_ptr<CAlbSplitter> make(QSize screen, bool setSteps = true)
    {
        auto splitter = std::make_unique<CAlbSplitter>(settings, screen, &lists);
        tree = new QTreeWidget;
        thumbs = new QWidget;
        image = new QWidget;
        splitter->setViews(tree, thumbs, image);
        splitter->resize(screen);
        if (setSteps) {
            splitter->setColumnStep(55);
            splitter->setColumnAllowance(16);
            splitter->setRowStep(71);
            splitter->setRowAllowance(0);
        }
        splitter->show();
        return splitter;
    }

    // A press and release at a point of the splitter, delivered to whatever child lies there.
    static void tap(CAlbSplitter &splitter, QPoint at)
    {
        QWidget *target = splitter.childAt(at);
        ASSERT_NE(target, nullptr);
        const QPoint local = target->mapFrom(&splitter, at);
        SendMouse(target, QEvent::MouseButtonPress, local);
        SendMouse(target, QEvent::MouseButtonRelease, local);
    }

    // Tap on the horizontal bar between stacked panes at x.
    static void tapStackedBar(CAlbSplitter &splitter, int x)
    {
        tap(splitter, QPoint(x, splitter.bar()->geometry().center().y()));
    }

    QImage barImage(const CAlbSplitter &splitter) const
    {
        return splitter.bar()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    AppSettings settings;
    ImageLists lists;
    QWidget *tree = nullptr;
    QWidget *thumbs = nullptr;
    QWidget *image = nullptr;
};

} // namespace

TEST_F(AlbSplitterTest, PortraitThumbnailPaneHoldsWholeRows)
{
    const struct
    {
        int stored;
        int shown;
    } rows[] = { { 71, 71 }, { 142, 142 }, { 213, 213 }, { 100, 71 }, { 110, 142 }, { 0, 0 } };

    auto splitter = make(kPortrait);
    ASSERT_TRUE(splitter->stacked());
    for (const auto &row : rows) {
        settings.ui.thumbViewSplit = std::uint16_t(row.stored);
        splitter->arrangePanes(ViewMode::Thumbnail, ViewMode::Thumbnail);
        const int treeHeight = 312 - row.shown;
        EXPECT_EQ(thumbs->geometry(), QRect(0, 320 - row.shown, 240, row.shown)) << row.stored;
        EXPECT_EQ(tree->geometry(), QRect(0, 0, 240, treeHeight)) << row.stored;
        EXPECT_EQ(splitter->bar()->geometry(), QRect(0, treeHeight, 240, 8)) << row.stored;
    }
}

// Before the steps are known nothing is laid out; the first step lays out a pane that was never
// sized at half the room (156) rounded to whole rows.
TEST_F(AlbSplitterTest, LaysOutOnceTheStepIsSet)
{
    auto splitter = make(kPortrait, false);
    EXPECT_EQ(splitter->paneSizes(), PaneSizes{});
    splitter->setRowStep(71);
    EXPECT_EQ(splitter->paneSizes(), (PaneSizes{ 170, 142 }));
    EXPECT_EQ(thumbs->geometry(), QRect(0, 178, 240, 142));
}

TEST_F(AlbSplitterTest, ThumbnailViewTapsMoveOneRowAndCollapse)
{
    settings.ui.thumbViewSplit = 71;
    auto splitter = make(kPortrait);
    splitter->arrangePanes(ViewMode::Thumbnail, 0);

    // The right half of the bar shrinks the thumbnail pane: from one row to nothing.
    tapStackedBar(*splitter, 200);
    EXPECT_EQ(thumbs->height(), 0);
    EXPECT_EQ(tree->geometry(), QRect(0, 0, 240, 312));
    EXPECT_EQ(settings.ui.thumbViewSplit, 0);

    // Collapsed, either half brings one row back.
    tapStackedBar(*splitter, 200);
    EXPECT_EQ(thumbs->geometry(), QRect(0, 249, 240, 71));
    EXPECT_EQ(settings.ui.thumbViewSplit, 71);

    tapStackedBar(*splitter, 40);
    EXPECT_EQ(thumbs->height(), 142);
    EXPECT_EQ(settings.ui.thumbViewSplit, 142);

    // A double tap is one move, and a tap beside the bar none.
    const QPoint onBar(40, splitter->bar()->height() / 2);
    SendMouse(splitter->bar(), QEvent::MouseButtonPress, onBar);
    SendMouse(splitter->bar(), QEvent::MouseButtonRelease, onBar);
    SendMouse(splitter->bar(), QEvent::MouseButtonDblClick, onBar);
    SendMouse(splitter->bar(), QEvent::MouseButtonRelease, onBar);
    EXPECT_EQ(thumbs->height(), 213);
    tap(*splitter, QPoint(40, 20));
    EXPECT_EQ(thumbs->height(), 213);
    EXPECT_EQ(settings.ui.thumbViewSplit, 213);
}

TEST_F(AlbSplitterTest, SelectViewStripCollapsesAndReturnsAsOneRow)
{
    auto splitter = make(kPortrait);
    splitter->arrangePanes(ViewMode::Select, ViewMode::Thumbnail);
    EXPECT_EQ(thumbs->geometry(), QRect(0, 0, 240, 71));
    EXPECT_EQ(image->geometry(), QRect(0, 79, 240, 241));

    tapStackedBar(*splitter, 120);
    EXPECT_EQ(thumbs->height(), 0);
    EXPECT_EQ(image->geometry(), QRect(0, 8, 240, 312));
    EXPECT_EQ(settings.ui.selectViewSplit, 312);

    tapStackedBar(*splitter, 10);
    EXPECT_EQ(thumbs->geometry(), QRect(0, 0, 240, 71));
    EXPECT_EQ(image->geometry(), QRect(0, 79, 240, 241));
}

TEST_F(AlbSplitterTest, LandscapePanesStandSideBySide)
{
    settings.ui.thumbViewSplit = 142;
    auto splitter = make(kLandscape);
    ASSERT_FALSE(splitter->stacked());
    splitter->arrangePanes(ViewMode::Thumbnail, 0);
    // 142 rounds to three columns of 55 plus the 16-pixel allowance.
    EXPECT_EQ(thumbs->geometry(), QRect(139, 0, 181, 240));
    EXPECT_EQ(tree->geometry(), QRect(0, 0, 131, 240));
    EXPECT_EQ(splitter->bar()->geometry(), QRect(131, 0, 8, 240));

    // The upper half of the vertical bar widens the thumbnails, the lower half narrows them.
    tap(*splitter, QPoint(135, 50));
    EXPECT_EQ(thumbs->geometry(), QRect(84, 0, 236, 240));
    EXPECT_EQ(settings.ui.thumbViewSplit, 236);
    tap(*splitter, QPoint(80, 200));
    EXPECT_EQ(thumbs->width(), 181);
    EXPECT_EQ(settings.ui.thumbViewSplit, 181);

    // The strip of Select View collapses although it carries the allowance.
    splitter->arrangePanes(ViewMode::Select, ViewMode::Thumbnail);
    EXPECT_EQ(thumbs->geometry(), QRect(0, 0, 71, 240));
    tap(*splitter, QPoint(75, 120));
    EXPECT_EQ(thumbs->width(), 0);
    EXPECT_EQ(image->geometry(), QRect(8, 0, 312, 240));
}

TEST_F(AlbSplitterTest, ArrangePanesShowsTheViewsOfEachMode)
{
    auto splitter = make(kPortrait);

    const struct
    {
        std::int32_t mode;
        QWidget *first;
        QWidget *second;
        QWidget *hidden;
        const char *hiddenId;
    } rows[] = {
        { ViewMode::Select, thumbs, image, tree, "40961" },
        { ViewMode::FullScreen, image, nullptr, thumbs, "40962" },
        { ViewMode::Thumbnail, tree, thumbs, image, "40964" },
    };

    std::int32_t previous = ViewMode::Thumbnail;
    for (const auto &row : rows) {
        splitter->arrangePanes(row.mode, previous);
        previous = row.mode;
        EXPECT_EQ(splitter->pane(0), row.first) << row.mode;
        EXPECT_EQ(splitter->pane(1), row.second) << row.mode;
        EXPECT_TRUE(row.first->isVisible()) << row.mode;
        EXPECT_EQ(row.first->objectName(), "59648") << row.mode;
        if (row.second) {
            EXPECT_TRUE(row.second->isVisible()) << row.mode;
            EXPECT_EQ(row.second->objectName(), "59664") << row.mode;
        }
        EXPECT_FALSE(row.hidden->isVisible()) << row.mode;
        EXPECT_EQ(row.hidden->objectName(), row.hiddenId) << row.mode;
        EXPECT_EQ(splitter->bar()->isVisible(), row.mode != ViewMode::FullScreen) << row.mode;
    }

    splitter->arrangePanes(ViewMode::FullScreen, ViewMode::Thumbnail);
    EXPECT_EQ(image->geometry(), splitter->rect());
    EXPECT_FALSE(tree->isVisible());
    EXPECT_EQ(tree->objectName(), "40961");
    // Nothing to tap in full screen: the picture covers the bar's old place.
    const std::uint16_t before = settings.ui.thumbViewSplit;
    tap(*splitter, QPoint(120, 245));
    EXPECT_EQ(settings.ui.thumbViewSplit, before);
    EXPECT_EQ(image->geometry(), splitter->rect());
}

// Each mode comes back with the focus in the pane that had it when the mode was left.
TEST_F(AlbSplitterTest, ActivePaneIsRememberedPerMode)
{
    auto splitter = make(kPortrait);
    splitter->arrangePanes(ViewMode::Thumbnail, 0);
    EXPECT_TRUE(splitter->treePaneFlag());
    EXPECT_EQ(splitter->activePane(), 0);
    EXPECT_EQ(splitter->window()->focusWidget(), tree);

    thumbs->setFocus();
    EXPECT_EQ(splitter->activePane(), 1);
    splitter->arrangePanes(ViewMode::Select, ViewMode::Thumbnail);
    EXPECT_FALSE(splitter->treePaneFlag());
    EXPECT_FALSE(splitter->stripPaneFlag());
    EXPECT_EQ(splitter->activePane(), 1);
    EXPECT_EQ(splitter->window()->focusWidget(), image);

    thumbs->setFocus();
    splitter->arrangePanes(ViewMode::FullScreen, ViewMode::Select);
    EXPECT_TRUE(splitter->stripPaneFlag());
    EXPECT_EQ(splitter->window()->focusWidget(), image);

    splitter->arrangePanes(ViewMode::Thumbnail, ViewMode::FullScreen);
    EXPECT_EQ(splitter->window()->focusWidget(), thumbs);
    splitter->arrangePanes(ViewMode::Select, ViewMode::Thumbnail);
    EXPECT_EQ(splitter->activePane(), 0);
    EXPECT_EQ(splitter->window()->focusWidget(), thumbs);
}

TEST_F(AlbSplitterTest, BarShowsTheArrowsOfItsMoves)
{
    settings.ui.thumbViewSplit = 71;
    auto splitter = make(kPortrait);
    splitter->arrangePanes(ViewMode::Thumbnail, 0);
    const QImage up = lists.image(BitmapId::SplitterArrowsStacked, 0);
    const QImage down = lists.image(BitmapId::SplitterArrowsStacked, 1);
    const QRect leftHalf(0, 0, 120, 8);
    const QRect rightHalf(120, 0, 120, 8);

    QImage bar = barImage(*splitter);
    ASSERT_EQ(bar.size(), QSize(240, 8));
    EXPECT_EQ(bar.pixel(20, 0) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(bar.pixel(20, 7) & 0xFFFFFF, 0x666666u);
    EXPECT_EQ(bar.pixel(20, 3) & 0xFFFFFF, 0xCCCCCCu);
    EXPECT_TRUE(Contains(bar, up, leftHalf));
    EXPECT_FALSE(Contains(bar, down, leftHalf));
    EXPECT_TRUE(Contains(bar, down, rightHalf));

    tapStackedBar(*splitter, 200);
    bar = barImage(*splitter);
    EXPECT_TRUE(Contains(bar, up, leftHalf));
    EXPECT_FALSE(Contains(bar, down, bar.rect()));

    // Select View: one arrow for its one move.
    splitter->arrangePanes(ViewMode::Select, ViewMode::Thumbnail);
    bar = barImage(*splitter);
    EXPECT_TRUE(Contains(bar, up, QRect(100, 0, 40, 8)));
    EXPECT_FALSE(Contains(bar, down, bar.rect()));
    tapStackedBar(*splitter, 120);
    bar = barImage(*splitter);
    EXPECT_TRUE(Contains(bar, down, QRect(100, 0, 40, 8)));
    EXPECT_FALSE(Contains(bar, up, bar.rect()));
}

TEST_F(AlbSplitterTest, SideBySideBarUsesItsOwnArrows)
{
    auto splitter = make(kLandscape);
    splitter->arrangePanes(ViewMode::Thumbnail, 0);
    const QImage bar = barImage(*splitter);
    ASSERT_EQ(bar.size(), QSize(8, 240));
    EXPECT_TRUE(
            Contains(bar, lists.image(BitmapId::SplitterArrowsSideBySide, 0), QRect(0, 0, 8, 120)));
    EXPECT_TRUE(Contains(bar, lists.image(BitmapId::SplitterArrowsSideBySide, 1),
                         QRect(0, 120, 8, 120)));
}
