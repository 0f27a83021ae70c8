#include "sheets/sheet_parts.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/image_item.h"
#include "common/host_path.h"
#include "views/thumbnail_cache.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int kPreviousId = 1118;
constexpr int kNextId = 1119;
constexpr int kCropId = 1113;
constexpr int kPreviewId = 1114;
constexpr int kNameId = 1115;
constexpr int kWidthId = 1116;
constexpr int kHeightId = 1117;
constexpr int kPreviewSide = 64;

QPushButton *button(QWidget *page, int id, const QString &text, const QString &name)
{
    auto *b = new QPushButton(text, page);
    NameControl(b, id, name);
    return b;
}

QLabel *label(QWidget *page, int id, const QString &name)
{
    auto *l = new QLabel(page);
    NameControl(l, id, name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

} // namespace

void NameControl(QWidget *control, int id, const QString &accessibleName)
{
    control->setObjectName(QString::number(id));
    control->setAccessibleName(accessibleName);
}

StepButtons AddStepButtons(QWidget *page, QBoxLayout *layout)
{
    StepButtons buttons;
    buttons.previous = button(page, kPreviousId, QStringLiteral("<"), QStringLiteral("Previous"));
    buttons.next = button(page, kNextId, QStringLiteral(">"), QStringLiteral("Next"));
    buttons.crop = button(page, kCropId, QStringLiteral("Crop"), QStringLiteral("Crop"));
    auto *row = new QHBoxLayout;
    row->addWidget(buttons.previous);
    row->addWidget(buttons.next);
    row->addStretch(1);
    row->addWidget(buttons.crop);
    layout->addLayout(row);
    return buttons;
}

ItemPreview::ItemPreview(const CAlbDoc &document, QImage noPicture, QWidget *parent)
    : QWidget(parent), doc(document), noPictureIcon(std::move(noPicture))
{
    NameControl(this, kPreviewId, QStringLiteral("Picture"));
    setFixedSize(kPreviewSide, kPreviewSide);
}

void ItemPreview::setItem(ImageItem *item)
{
    shown = item;
    update();
}

void ItemPreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const Rect area{ 0, 0, width(), height() };
    const RgbValue fill = doc.appSettings().prefs.frameColor;
    if (!shown) {
        painter.fillRect(rect(), ColourOf(fill));
        return;
    }
    DrawItemPreview(doc, *shown, painter, area, fill, false, true, noPictureIcon);
}

void PictureFactLabels::show(const ImageItem *item, const std::string &destinationName) const
{
    name->setText(QString::fromStdString(ShownName(destinationName)));
    const QString pixels = QStringLiteral(" (Pixels)");
    width->setText(item ? QString::number(item->info.width) + pixels : QString());
    height->setText(item ? QString::number(item->info.height) + pixels : QString());
}

PictureFactLabels AddPictureFacts(QWidget *page, QBoxLayout *layout, ItemPreview *preview)
{
    PictureFactLabels facts;
    facts.name = new QLineEdit(page);
    facts.name->setReadOnly(true);
    NameControl(facts.name, kNameId, QStringLiteral("File name"));
    facts.width = label(page, kWidthId, QStringLiteral("Width"));
    facts.height = label(page, kHeightId, QStringLiteral("Height"));
    auto *form = new QFormLayout;
    form->addRow(facts.name);
    form->addRow(QStringLiteral("Width:"), facts.width);
    form->addRow(QStringLiteral("Height:"), facts.height);
    auto *row = new QHBoxLayout;
    row->addWidget(preview);
    row->addLayout(form, 1);
    layout->addLayout(row);
    return facts;
}
