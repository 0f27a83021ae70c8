#include "sheets/crop_page.h"

#include "app/image_item.h"
#include "sheets/crop_preview.h"
#include "sheets/save_sheet.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kXId = 1129;
constexpr int kYId = 1130;
constexpr int kWidthId = 1133;
constexpr int kHeightId = 1134;
constexpr int kCropModeId = 1120;
constexpr int kPanModeId = 1115;
constexpr int kZoomInId = 1114;
constexpr int kZoomOutId = 1116;
constexpr int kActualId = 1117;
constexpr int kEditMaximum = 9999;
constexpr int kIconSide = 20;

// The button's picture from the desktop's icon theme, else a drawn one with its short text.
QIcon buttonIcon(const char *themeName, const QString &text)
{
    QPixmap drawn(kIconSide, kIconSide);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, kIconSide - 1, kIconSide - 1);
    QFont font = painter.font();
    font.setPixelSize(8);
    painter.setFont(font);
    painter.drawText(drawn.rect(), Qt::AlignCenter, text);
    painter.end();
    return QIcon::fromTheme(QString::fromUtf8(themeName), QIcon(drawn));
}

// An edit of the rectangle. Enter applies the typed value, as leaving the edit does, and goes no
// further: the sheet's default button would otherwise take it and ask to quit or close the sheet.
class RectangleEdit : public QSpinBox
{
public:
    using QSpinBox::QSpinBox;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        QSpinBox::keyPressEvent(event);
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            event->accept();
    }
};

} // namespace

CCropPage::CCropPage(CSaveSheet &owner, const AppSettings &settings, ItemPictureLoader loader,
                     QImage noPicture, QWidget *parent)
    : QWidget(parent), sheet(owner)
{
    setObjectName(QStringLiteral("206"));
    view = new CropPreview(settings, std::move(loader), std::move(noPicture), this);
    buildControls();
    connect(view, &CropPreview::cropDragged, this, &CCropPage::previewDragged);
    connect(view, &CropPreview::stylusReleased, this, [this] { sheet.updateButtons(); });
}

QSpinBox *CCropPage::edit(int id, const QString &label)
{
    // The edit and its spin buttons are one control here.
    auto *spin = new RectangleEdit(this);
    NameControl(spin, id, label);
    spin->setRange(0, kEditMaximum);
    connect(spin, &QSpinBox::valueChanged, this, [this] { editsChanged(); });
    return spin;
}

QToolButton *CCropPage::modeButton(int id, const QString &text, const char *iconName)
{
    auto *button = new QToolButton(this);
    NameControl(button, id, text);
    button->setText(text);
    button->setToolTip(text);
    button->setIcon(buttonIcon(iconName, text));
    button->setIconSize(QSize(kIconSide, kIconSide));
    return button;
}

void CCropPage::buildControls()
{
    xEdit = edit(kXId, QStringLiteral("X:"));
    yEdit = edit(kYId, QStringLiteral("Y:"));
    widthEdit = edit(kWidthId, QStringLiteral("W:"));
    heightEdit = edit(kHeightId, QStringLiteral("H:"));
    cropButton = modeButton(kCropModeId, QStringLiteral("Crp"), "transform-crop");
    panButton = modeButton(kPanModeId, QStringLiteral("Pan"), "transform-move");
    zoomInButton = modeButton(kZoomInId, QStringLiteral("ZI"), "zoom-in");
    zoomOutButton = modeButton(kZoomOutId, QStringLiteral("ZO"), "zoom-out");
    actualButton = modeButton(kActualId, QStringLiteral("ZA"), "zoom-original");
    // The two modes are one choice: whichever way a button gets checked (a click, the keys, a
    // screen reader's toggle), the other lets go and the mode follows.
    auto *modes = new QButtonGroup(this);
    for (QToolButton *b : { cropButton, panButton }) {
        b->setCheckable(true);
        modes->addButton(b);
    }
    cropButton->setChecked(true);
    connect(panButton, &QToolButton::toggled, this, [this](bool on) {
        if (on != panning)
            setPanMode(on);
    });
    connect(zoomInButton, &QToolButton::clicked, this, [this] {
        view->zoomIn();
        updateModeButtons();
    });
    connect(zoomOutButton, &QToolButton::clicked, this, [this] {
        view->zoomOut();
        updateModeButtons();
    });
    connect(actualButton, &QToolButton::clicked, this, [this] {
        view->actualSize();
        updateModeButtons();
    });

    auto *tools = new QVBoxLayout;
    for (QToolButton *b : { cropButton, panButton, zoomInButton, zoomOutButton, actualButton })
        tools->addWidget(b);
    tools->addStretch(1);
    auto *top = new QHBoxLayout;
    top->addWidget(view, 1);
    top->addLayout(tools);
    auto *edits = new QGridLayout;
    edits->addWidget(new QLabel(QStringLiteral("X:"), this), 0, 0);
    edits->addWidget(xEdit, 0, 1);
    edits->addWidget(new QLabel(QStringLiteral("Y:"), this), 0, 2);
    edits->addWidget(yEdit, 0, 3);
    edits->addWidget(new QLabel(QStringLiteral("W:"), this), 1, 0);
    edits->addWidget(widthEdit, 1, 1);
    edits->addWidget(new QLabel(QStringLiteral("H:"), this), 1, 2);
    edits->addWidget(heightEdit, 1, 3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(edits);
    steps = AddStepButtons(this, layout);
}

Size CCropPage::pictureSize() const
{
    const ImageItem *item = view->item();
    return item ? Size{ item->info.width, item->info.height } : Size{};
}

void CCropPage::setItem(ImageItem *item)
{
    view->setItem(item);
    editsChanged();
    updateModeButtons();
}

void CCropPage::activate()
{
    view->setItem(sheet.currentItem());
    editsChanged();
    updateModeButtons();
    sheet.updateButtons();
}

void CCropPage::setCrop(const CropBox &typed)
{
    showInEdits(typed);
    editsChanged();
}

void CCropPage::editsChanged()
{
    if (feeding)
        return;
    const CropBox typed{ xEdit->value(), yEdit->value(), widthEdit->value(), heightEdit->value() };
    box = LimitCropBox(typed, pictureSize());
    view->setCropBox(box);
    showInEdits(box);
    sheet.updateButtons();
}

void CCropPage::showInEdits(const CropBox &shown)
{
    feeding = true;
    xEdit->setValue(shown.x);
    yEdit->setValue(shown.y);
    widthEdit->setValue(shown.width);
    heightEdit->setValue(shown.height);
    feeding = false;
}

void CCropPage::previewDragged(const CropBox &dragged)
{
    box = dragged;
    showInEdits(dragged);
}

void CCropPage::resetCrop()
{
    setCrop(CropBox{});
}

void CCropPage::reloadPreview()
{
    ImageItem *item = view->item();
    view->setItem(nullptr);
    view->setItem(item);
    editsChanged();
    updateModeButtons();
}

void CCropPage::setPanMode(bool on)
{
    panning = on;
    view->setPanMode(on);
    cropButton->setChecked(!on);
    panButton->setChecked(on);
}

void CCropPage::updateModeButtons()
{
    const ImageZoom::PictureZoom place = view->placement();
    const bool canPan = view->canPan();
    panButton->setEnabled(canPan);
    // A picture that fits leaves nothing to pan: the page returns to crop mode.
    if (!canPan && panning)
        setPanMode(false);
    zoomInButton->setEnabled(place.zoom < ImageZoom::kMaxZoom);
    zoomOutButton->setEnabled(place.zoom > ImageZoom::kMinZoom);
    actualButton->setEnabled(place.zoom != ImageZoom::kActualSize);
}
