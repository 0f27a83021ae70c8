#include "app/window_messages.h"
#include "tests/views/view_test_support.h"

#include <QScrollBar>

using Names = std::vector<std::string>;

TEST_F(ViewTest, GridCentresInTheClientAndScrollsByWholeRows)
{
    loadPictures(30);
    makeView();
    EXPECT_EQ(view->grid().columns, 4);
    EXPECT_EQ(view->CellRect(0).left, (view->viewport()->width() - 220 + 1) / 2);
    EXPECT_EQ(view->grid().lines, 8);

    // The last item comes into view with the last rows filling the view.
    selectOnly(29);
    SendMessageTo(view.get(), WM_CURRENT_CHANGED);
    EXPECT_EQ(view->scrollPosition(), 4 * 71);
    EXPECT_EQ(view->VisibleRange(), std::make_pair(16, 29));

    // Scroll bar actions land on whole rows.
    QScrollBar *bar = view->verticalScrollBar();
    bar->setValue(0);
    bar->setSliderPosition(100);
    bar->triggerAction(QAbstractSlider::SliderMove);
    EXPECT_EQ(bar->value(), 71);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar->value(), 142);
}

TEST_F(ViewTest, ArrowKeysStepTheSelectionAndBeepAtTheEnds)
{
    loadPictures(3);
    makeView();

    key(Qt::Key_Right); // no current item: the first
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 0 });
    key(Qt::Key_Left);
    EXPECT_EQ(beeper.beeps(), 1);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 0 });

    doc.ItemAt(1)->setSelected(true); // two selected: the first is current
    key(Qt::Key_Down);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 1 });
    key(Qt::Key_Right);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 2 });
    key(Qt::Key_Right);
    EXPECT_EQ(beeper.beeps(), 2);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 2 });
    key(Qt::Key_Up);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 1 });
    EXPECT_EQ(doc.FileNames(), (Names{ "p00.bmp", "p01.bmp", "p02.bmp" }));
}

TEST_F(ViewTest, KeysOfEachViewModeGoToTheFrame)
{
    loadPictures(3);
    makeView();
    key(Qt::Key_Return);
    EXPECT_EQ(host.posted, std::vector<std::uint32_t>{ 30102 });
    settings.viewMode = ViewMode::Select;
    key(Qt::Key_Return);
    key(Qt::Key_Up);
    key(Qt::Key_Down);
    EXPECT_EQ(host.posted, (std::vector<std::uint32_t>{ 30102, 30103 }));
    EXPECT_EQ(host.sent, (std::vector<std::uint32_t>{ 30106, 30107 }));
    EXPECT_TRUE(selectedIndexes().empty());
}

TEST_F(ViewTest, TapSelectsAndRubberBandSelectsTheCellsItMeets)
{
    loadPictures(10);
    makeView();
    tap(centreOf(5));
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 5 });
    EXPECT_EQ(view->dragMode(), 0);
    EXPECT_GE(host.activations, 1);
    // The bars' commands follow the new selection at once.
    EXPECT_GE(host.stateRefreshes, 1);

    // From the empty margin left of the grid to the middle of cell 6 (column 2, row 1).
    mouse(QEvent::MouseButtonPress, QPoint(2, 5));
    EXPECT_EQ(view->dragMode(), 1);
    mouse(QEvent::MouseMove, centreOf(6));
    mouse(QEvent::MouseButtonRelease, centreOf(6));
    EXPECT_EQ(view->dragMode(), 0);
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{ 0, 1, 2, 4, 5, 6 }));

    // A band below the last item selects nothing.
    mouse(QEvent::MouseButtonPress, QPoint(2, 300));
    mouse(QEvent::MouseMove, QPoint(230, 310));
    mouse(QEvent::MouseButtonRelease, QPoint(230, 310));
    EXPECT_TRUE(selectedIndexes().empty());
}

TEST_F(ViewTest, MoveDropsTheSelectedItemsAtTheDropIndex)
{
    loadPictures(6);
    makeView();
    mouse(QEvent::MouseButtonPress, centreOf(0));
    EXPECT_EQ(view->dragMode(), 2);
    mouse(QEvent::MouseMove, centreOf(4));
    EXPECT_EQ(view->dropIndex(), 4);
    mouse(QEvent::MouseButtonRelease, centreOf(4));
    EXPECT_EQ(view->dragMode(), 0);
    EXPECT_EQ(doc.FileNames(),
              (Names{ "p01.bmp", "p02.bmp", "p03.bmp", "p00.bmp", "p04.bmp", "p05.bmp" }));
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 3 });
}

TEST_F(ViewTest, MoveOntoItselfOrOfEverythingDoesNothing)
{
    loadPictures(6);
    makeView();
    const Names before = doc.FileNames();
    for (int target : { 2, 3 }) {
        mouse(QEvent::MouseButtonPress, centreOf(2));
        mouse(QEvent::MouseMove, centreOf(target));
        EXPECT_EQ(view->dropIndex(), -1) << target;
        mouse(QEvent::MouseButtonRelease, centreOf(target));
        EXPECT_EQ(doc.FileNames(), before) << target;
    }

    for (int i = 0; i < doc.Count(); ++i)
        doc.ItemAt(i)->setSelected(true);
    mouse(QEvent::MouseButtonPress, centreOf(1));
    EXPECT_EQ(view->dragMode(), 0);
    mouse(QEvent::MouseMove, centreOf(5));
    mouse(QEvent::MouseButtonRelease, centreOf(5));
    EXPECT_EQ(doc.FileNames(), before);
}

TEST_F(ViewTest, ShiftClickSelectsARunAndCtrlClickTogglesOnePicture)
{
    loadPictures(10);
    makeView();
    const auto click = [&](int index, Qt::KeyboardModifiers modifiers) {
        mouse(QEvent::MouseButtonPress, centreOf(index), Qt::LeftButton, modifiers);
        EXPECT_EQ(view->dragMode(), 0);
        mouse(QEvent::MouseButtonRelease, centreOf(index), Qt::LeftButton, modifiers);
    };
    tap(centreOf(2));
    click(5, Qt::ShiftModifier);
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{ 2, 3, 4, 5 }));
    click(3, Qt::ControlModifier);
    click(7, Qt::ControlModifier);
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{ 2, 4, 5, 7 }));
    // The run starts at the first selected picture, whichever side the click is on.
    click(0, Qt::ShiftModifier);
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{ 0, 1, 2 }));
    // A plain click on a selected picture keeps the selection for a move.
    mouse(QEvent::MouseButtonPress, centreOf(1));
    EXPECT_EQ(view->dragMode(), 2);
    mouse(QEvent::MouseButtonRelease, centreOf(1));
    EXPECT_EQ(selectedIndexes(), (std::vector<int>{ 0, 1, 2 }));
}

TEST_F(ViewTest, SelectViewTapSelectsButNeverDrags)
{
    loadPictures(6);
    settings.viewMode = ViewMode::Select;
    makeView();
    mouse(QEvent::MouseButtonPress, centreOf(3));
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 3 });
    EXPECT_EQ(view->dragMode(), 0);
    mouse(QEvent::MouseButtonRelease, centreOf(3));
    mouse(QEvent::MouseButtonPress, centreOf(3)); // already selected
    EXPECT_EQ(view->dragMode(), 0);
    mouse(QEvent::MouseButtonRelease, centreOf(3));
    mouse(QEvent::MouseButtonPress, QPoint(2, 300)); // empty area: no rubber band either
    EXPECT_EQ(view->dragMode(), 0);
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 3 });
}

TEST_F(ViewTest, DoubleClickSelectsTheItemAndSwitchesToSelectView)
{
    loadPictures(4);
    makeView();
    doc.ItemAt(0)->setSelected(true);
    mouse(QEvent::MouseButtonDblClick, centreOf(2));
    EXPECT_EQ(selectedIndexes(), std::vector<int>{ 2 });
    EXPECT_EQ(host.sent, std::vector<std::uint32_t>{ 30102 });
    mouse(QEvent::MouseButtonRelease, centreOf(2));
    mouse(QEvent::MouseButtonDblClick, QPoint(2, 300));
    EXPECT_EQ(host.sent.size(), 1u);
}

TEST_F(ViewTest, ListChangedWithNewCellSizeRelaysAndScrollsToTheCurrentItem)
{
    loadPictures(30);
    makeView();
    settings.prefs.cellWidth = 67;
    settings.prefs.cellHeight = 87;
    selectOnly(20);
    SendMessageTo(view.get(), WM_LIST_CHANGED, 0, 1);
    EXPECT_EQ(host.cellSizeChanges, 1);
    EXPECT_EQ(view->grid().columns, 3);
    const auto [first, last] = view->VisibleRange();
    EXPECT_LE(first, 20);
    EXPECT_GE(last, 20);
    EXPECT_EQ(view->scrollPosition() % 87, 0);
}

TEST_F(ViewTest, RubberBandScrollsAtTheEdgeAndKeepsItsAnchorOnTheCells)
{
    loadPictures(30);
    makeView();
    const int left = view->CellRect(0).left;
    mouse(QEvent::MouseButtonPress, QPoint(left, 5)); // a cell edge is no hit
    EXPECT_EQ(view->dragMode(), 1);
    // At the bottom edge the view scrolls one row; the anchor stays in row 0.
    mouse(QEvent::MouseMove, QPoint(left + 150, view->viewport()->height()));
    EXPECT_EQ(view->scrollPosition(), 71);
    mouse(QEvent::MouseButtonRelease, QPoint(left + 150, view->viewport()->height()));
    // Columns 0 to 2 of rows 0 to 5 (the band's bottom lies in the spare strip below row 4).
    std::vector<int> expected;
    for (int row = 0; row <= 5; ++row)
        for (int column = 0; column <= 2; ++column)
            expected.push_back(row * 4 + column);
    EXPECT_EQ(selectedIndexes(), expected);
}
