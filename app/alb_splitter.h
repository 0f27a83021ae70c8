#pragma once

#include "app/splitter_layout.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <optional>

struct AppSettings;
struct ImageLists;
class QPainter;

// Ids the views carry: the private ones while hidden, the pane's while they fill a pane (row 0
// column 0 is the first pane; the second is one row down when stacked, one column right otherwise).
namespace SplitterId {
inline constexpr int HiddenTree = 40961;
inline constexpr int HiddenThumbnails = 40962;
inline constexpr int HiddenImageView = 40964;
inline constexpr int FirstPane = 59648;
inline constexpr int SecondPaneStacked = 59664;
inline constexpr int SecondPaneSideBySide = 59649;
} // namespace SplitterId

// The album's two panes with a bar between them that is never dragged: each press on the bar moves
// it by one thumbnail step, so that the thumbnail panes always hold whole rows or columns. It lays
// its panes out itself because pane lengths must be exact (a general splitter would honour the
// views' minimum sizes and hand out the remainder proportionally).
//
// The panes are stacked (first on top) on a screen narrower than tall, else side by side (first
// on the left). The owner sets the three views; arrangePanes puts them into the panes by mode.
class CAlbSplitter : public QWidget
{
public:
    // screenSize decides the orientation once; lists supplies the bar's arrows (bitmaps 701 and
    // 702) and may be null (the bar is then drawn without them). Both must outlive the splitter.
    CAlbSplitter(AppSettings &settings, QSize screenSize, const ImageLists *lists,
                 QWidget *parent = nullptr);
    ~CAlbSplitter() override;

    bool stacked() const { return stackedPanes; }

    // Steps are thumbnail cell sizes; allowances the extra room of a non-empty thumbnail pane.
    // Each re-lays the panes out; nothing is laid out while the split direction's step is 0.
    void setColumnStep(int step);
    void setColumnAllowance(int allowance);
    void setRowStep(int step);
    void setRowAllowance(int allowance);

    SplitAxis splitAxis() const { return stackedPanes ? rows : columns; }

    // Takes the views as children: the tree in the first pane, the thumbnails in the second, the
    // image view hidden, as in Thumbnail View. Any of them may be null.
    void setViews(QWidget *tree, QWidget *thumbnails, QWidget *image);

    QWidget *treeView() const { return views[0]; }

    QWidget *thumbnailView() const { return views[1]; }

    QWidget *imageView() const { return views[2]; }

    // Puts the views into the panes of viewMode, remembering which pane had the focus in
    // previousViewMode, re-lays out and focuses the mode's active pane.
    void arrangePanes(std::int32_t viewMode, std::int32_t previousViewMode);

    std::int32_t viewMode() const { return mode; }

    // The view in pane 0 or 1, or null.
    QWidget *pane(int index) const;
    // The pane holding the focus, else the pane that last had it or was made active (-1: none).
    int activePane() const;

    bool treePaneFlag() const { return treePaneActive; }

    bool stripPaneFlag() const { return stripPaneActive; }

    // The current lengths along the split direction and the bar between the panes.
    PaneSizes paneSizes() const { return current; }

    QWidget *bar() const { return barWidget; }

    void relayout();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void placePanes();
    void barPressed(QPoint position);
    void paintBar(QPainter &painter, QRect area) const;
    void paintGlyphBox(QPainter &painter, QRect box, int glyph) const;
    void noteFocus(QWidget *focus);
    int paneOf(const QWidget *widget) const;
    void setPane(int index, QWidget *view);
    int arrowBitmap() const;
    int clientLength() const;
    std::optional<int> wantedLength() const;

    AppSettings &settings;
    const ImageLists *lists;
    bool stackedPanes;
    SplitAxis columns;
    SplitAxis rows;
    std::array<QWidget *, 3> views{}; // tree, thumbnails, image view
    std::array<QWidget *, 2> panes{};
    QWidget *barWidget;
    std::int32_t mode;
    // Wanted lengths of the pane each mode sizes: nullopt until first sized.
    std::optional<int> thumbWanted;
    std::optional<int> stripWanted;
    bool treePaneActive = true;
    bool stripPaneActive = false;
    int active = -1;
    PaneSizes current;
};
