#include "app/window_messages.h"
#include "tests/views/view_test_support.h"

#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

namespace {

constexpr QRgb kPicture = 0xFF808080; // the test pictures' grey
constexpr QRgb kBack = 0xFF666666; // thumbBackColor and frameColor by default
constexpr QRgb kBlue = 0xFF0000FF;
constexpr QRgb kWhite = 0xFFFFFFFF;

} // namespace

class ViewPaintTest : public ViewTest
{
protected:
    // The middle of the 2 x 2 picture of a cell as drawn on the canvas so far.
    QRgb pictureOf(int index) const
    {
        const Rect r = view->CellRect(index);
        const int x = r.left + 4 + (r.width() - 7 - 2) / 2;
        const int y = r.top + 4 + (r.height() - 7 - 2) / 2;
        return view->canvasImage().pixel(x, y);
    }

    QRgb canvasAt(int index, int dx, int dy) const
    {
        const Rect r = view->CellRect(index);
        return view->canvasImage().pixel(r.left + dx, r.top + dy);
    }

    void repaintNow() { SendMessageTo(view.get(), WM_LIST_CHANGED); }

    bool picturesDone()
    {
        return ProcessEventsUntil([&] { return !view->thumbnailTimerActive(); });
    }
};

TEST_F(ViewPaintTest, ThumbnailViewDrawsPicturesOnTheTimerSelectViewAtOnce)
{
    loadPictures(3);
    makeView();
    ASSERT_TRUE(picturesDone());
    repaintNow();
    // The frames are there at once, the pictures come one per tick.
    EXPECT_TRUE(view->thumbnailTimerActive());
    EXPECT_EQ(canvasAt(0, 1, 1), kWhite); // raised cells: light top-left
    EXPECT_EQ(pictureOf(2), kBack);
    ASSERT_TRUE(picturesDone());
    EXPECT_EQ(pictureOf(0), kPicture);
    EXPECT_EQ(pictureOf(2), kPicture);

    settings.viewMode = ViewMode::Select;
    repaintNow();
    EXPECT_FALSE(view->thumbnailTimerActive());
    EXPECT_EQ(pictureOf(2), kPicture);

    // While the view mode switches, only the background is painted.
    settings.appFlags |= AppFlag::SwitchingView;
    repaintNow();
    EXPECT_EQ(canvasAt(0, 1, 1), kBack);
    EXPECT_EQ(pictureOf(0), kBack);
}

TEST_F(ViewPaintTest, FramesShowTheSelectionAndTheReadOnlyMark)
{
    loadPictures(2);
    doc.ItemAt(0)->setSelected(true);
    doc.ItemAt(1)->flags |= ItemFlag::ReadOnly;
    makeView();
    ASSERT_TRUE(picturesDone());

    // Two blue outlines, the second 2 pixels further in; the unselected cell keeps its bevel.
    EXPECT_EQ(canvasAt(0, 1, 1), kBlue);
    EXPECT_EQ(canvasAt(0, 3, 3), kBlue);
    EXPECT_EQ(canvasAt(0, 2, 2), 0xFFCCCCCC);
    EXPECT_EQ(canvasAt(1, 1, 1), kWhite);
    EXPECT_EQ(canvasAt(1, 3, 3), 0xFF000000);

    // The mark's top-left corner is 11 pixels inside the picture area's bottom-right corner.
    const QImage mark = lists.image(BitmapId::ReadOnlyMark, 0);
    const Rect cell = view->CellRect(1);
    const int left = cell.right - 3 - 11;
    const int top = cell.bottom - 3 - 11;
    for (int y = 0; y < mark.height(); ++y)
        for (int x = 0; x < mark.width(); ++x)
            EXPECT_EQ(view->canvasImage().pixel(left + x, top + y), mark.pixel(x, y))
                    << x << "," << y;
    EXPECT_NE(view->canvasImage().pixel(left - 1, top), mark.pixel(0, 0));

    // On a blue frame colour the selection is outlined in white.
    settings.prefs.frameColor = 0xFF0000;
    view->RedrawFrames();
    EXPECT_EQ(canvasAt(0, 1, 1), kWhite);
    EXPECT_EQ(canvasAt(0, 3, 3), kWhite);
}

TEST_F(ViewPaintTest, FlatCellsUseTheFrameColour)
{
    loadPictures(1);
    settings.prefs.prefFlags &= ~PrefFlag::RaisedCells;
    settings.prefs.frameColor = MakeRgb(10, 20, 30);
    makeView();
    ASSERT_TRUE(picturesDone());
    for (int inset : { 1, 2, 3 })
        EXPECT_EQ(canvasAt(0, inset, inset), qRgb(10, 20, 30)) << inset;
    EXPECT_EQ(canvasAt(0, 0, 0), kBack);
    // The picture area around the picture has the frame colour too.
    EXPECT_EQ(canvasAt(0, 4, 4), qRgb(10, 20, 30));
}

TEST_F(ViewPaintTest, TapAndHoldOffersTheThumbnailMenu)
{
    loadPictures(4);
    makeView();
    // The frame's states as the menus show them: Delete needs a selection, Select All is off.
    host.stateOf = [this](std::uint32_t id) {
        CommandState state;
        state.enabled = id == 30003 && doc.SelectedCount() > 0;
        return state;
    };
    QStringList texts;
    QString menuId;
    std::vector<bool> enabled;
    const auto holdAt = [&](QPoint at, Qt::Key key) {
        texts.clear();
        enabled.clear();
        QTimer::singleShot(0, [&, key] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            menuId = menu->objectName();
            for (QAction *action : menu->actions()) {
                texts << action->text();
                enabled.push_back(action->isEnabled());
            }
            menu->setActiveAction(menu->actions().value(0));
            QKeyEvent choose(QEvent::KeyPress, key, Qt::NoModifier);
            QCoreApplication::sendEvent(menu, &choose);
        });
        mouse(QEvent::MouseButtonPress, at, Qt::RightButton);
        mouse(QEvent::MouseButtonRelease, at, Qt::RightButton);
    };
    // Below the cells, with nothing selected: nothing to delete.
    holdAt(QPoint(120, 300), Qt::Key_Escape);
    EXPECT_EQ(menuId, "903");
    EXPECT_EQ(texts, (QStringList{ "Delete", "Select All" }));
    EXPECT_EQ(enabled, (std::vector<bool>{ false, false }));
    // On a picture: it is selected first, and the menu follows.
    holdAt(centreOf(2), Qt::Key_Return);
    EXPECT_EQ(enabled, (std::vector<bool>{ true, false }));
    EXPECT_EQ(host.posted, std::vector<std::uint32_t>{ 30003 });
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 2 });
    EXPECT_EQ(view->dragMode(), 0);
}
