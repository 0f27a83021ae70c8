#include "sheets/format_page.h"

#include "app/image_item.h"
#include "codecs/image_header.h"
#include "common/error_report.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "sheets/save_choices.h"
#include "sheets/save_sheet.h"

#include <QAbstractItemView>
#include <QButtonGroup>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kXResolutionId = 1120;
constexpr int kYResolutionId = 1121;
constexpr int kJpegId = 1122;
constexpr int kQualityId = 1123;
constexpr int kGifId = 1124;
constexpr int kGifColoursId = 1125;
constexpr int kBmpId = 1126;
constexpr int kBmpColoursId = 1127;
constexpr int kPngId = 1140;
constexpr int kResolutionChars = 3;
constexpr int kTrueColourEntry = 3;
constexpr int kMostGifColoursEntry = 7;

// The entries of a "|"-separated list string; a trailing separator adds no entry.
QStringList listEntries(std::uint32_t id)
{
    std::string text;
    LoadString(id, text);
    return QString::fromStdString(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QRadioButton *radio(QWidget *page, int id, const QString &text, const QString &name)
{
    auto *button = new QRadioButton(text, page);
    NameControl(button, id, name);
    return button;
}

} // namespace

CFormatPage::CFormatPage(CSaveSheet &owner, QImage noPicture, QWidget *parent)
    : QWidget(parent), sheet(owner)
{
    setObjectName(QStringLiteral("205"));
    thumb = new ItemPreview(owner.document(), std::move(noPicture), this);
    buildControls();
    filling = false;
}

QComboBox *CFormatPage::list(int id, std::uint32_t stringId, const QString &name)
{
    auto *box = new QComboBox(this);
    NameControl(box, id, name);
    box->addItems(listEntries(stringId));
    // A change made any way (the list's own popup, keys, a screen reader) counts.
    connect(box, &QComboBox::currentIndexChanged, this, [this] {
        if (!filling)
            formatChanged();
    });
    return box;
}

QComboBox *CFormatPage::resolutionList(int id, const QString &name)
{
    auto *box = new QComboBox(this);
    NameControl(box, id, name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->lineEdit()->setMaxLength(kResolutionChars);
    box->installEventFilter(this);
    box->lineEdit()->installEventFilter(this);
    // An entry chosen from the list is a valid resolution and is taken at once; typed text waits
    // until the list is left.
    const bool horizontal = id == kXResolutionId;
    connect(box, &QComboBox::currentIndexChanged, this, [this, horizontal](int index) {
        if (!filling && index >= 0)
            takeResolution(horizontal);
    });
    return box;
}

void CFormatPage::buildControls()
{
    auto *layout = new QVBoxLayout(this);
    facts = AddPictureFacts(this, layout, thumb);
    jpegButton = radio(this, kJpegId, QStringLiteral("JPEG    (*.jpg)"), QStringLiteral("JPEG"));
    gifButton = radio(this, kGifId, QStringLiteral("GIF      (*.gif)"), QStringLiteral("GIF"));
    bmpButton = radio(this, kBmpId, QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("Bitmap"));
    pngButton = radio(this, kPngId, QStringLiteral("PNG      (*.png)"), QStringLiteral("PNG"));
    auto *group = new QButtonGroup(this);
    for (QRadioButton *b : { jpegButton, gifButton, bmpButton, pngButton }) {
        group->addButton(b);
        // Checked by a click, the keys or a screen reader's toggle alike; the button that loses
        // its check reports too, and only the one that gains it is followed.
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !filling)
                formatChanged();
        });
    }
    qualityLabel = new QLabel(QStringLiteral("Quality:"), this);
    qualityList = list(kQualityId, Msg::JpegQualityList, QStringLiteral("Quality"));
    gifList = list(kGifColoursId, Msg::GifColorList, QStringLiteral("GIF colors"));
    bmpList = list(kBmpColoursId, Msg::BmpColorList, QStringLiteral("Bitmap colors"));
    xList = resolutionList(kXResolutionId, QStringLiteral("X resolution"));
    yList = resolutionList(kYResolutionId, QStringLiteral("Y resolution"));
    auto *xLabel = new QLabel(QStringLiteral("X:"), this);
    auto *yLabel = new QLabel(QStringLiteral("Y:"), this);
    auto *dpiLabel = new QLabel(QStringLiteral("dpi"), this);
    resolutionControls = { xLabel, xList, yLabel, yList, dpiLabel };
    // A list's accessible name on this desktop is its entry: the label that names it is its buddy.
    qualityLabel->setBuddy(qualityList);
    xLabel->setBuddy(xList);
    yLabel->setBuddy(yList);

    auto *grid = new QGridLayout;
    grid->addWidget(jpegButton, 0, 0);
    grid->addWidget(qualityLabel, 0, 1);
    grid->addWidget(qualityList, 0, 2);
    grid->addWidget(gifButton, 1, 0);
    grid->addWidget(gifList, 1, 2);
    grid->addWidget(bmpButton, 2, 0);
    grid->addWidget(bmpList, 2, 2);
    grid->addWidget(pngButton, 3, 0);
    grid->addWidget(new QLabel(QStringLiteral("Lossless"), this), 3, 2);
    auto *resolution = new QHBoxLayout;
    for (QWidget *w : resolutionControls)
        resolution->addWidget(w);
    resolution->addStretch(1);
    layout->addLayout(grid);
    layout->addWidget(new QLabel(QStringLiteral("Resolution:"), this));
    layout->addLayout(resolution);
    layout->addStretch(1);
    steps = AddStepButtons(this, layout);
}

void CFormatPage::fillResolution(QComboBox *box, std::int32_t value)
{
    const ResolutionChoices choices = ResolutionEntries(value);
    box->clear();
    for (std::int32_t v : choices.values)
        box->addItem(QString::number(v));
    box->setCurrentIndex(choices.selected);
}

void CFormatPage::initOptions(const SaveOptions &options)
{
    // The options stay the picture's own until the page is shown or a choice is made.
    const QScopedValueRollback fillingNow(filling, true);
    saveOptions = options;
    switch (static_cast<ImageFormat>(options.format)) {
    case ImageFormat::Jpeg:
        jpegButton->setChecked(true);
        qualityList->setCurrentIndex(kDefaultQualityEntry);
        gifList->setCurrentIndex(kMostGifColoursEntry);
        bmpList->setCurrentIndex(kTrueColourEntry);
        break;
    case ImageFormat::Gif:
        gifButton->setChecked(true);
        gifList->setCurrentIndex(GifEntryOf(options.colours));
        bmpList->setCurrentIndex(kTrueColourEntry);
        break;
    case ImageFormat::Bmp:
        bmpButton->setChecked(true);
        bmpList->setCurrentIndex(BmpEntryOf(options.colours));
        gifList->setCurrentIndex(kMostGifColoursEntry);
        break;
    case ImageFormat::Png:
        pngButton->setChecked(true);
        gifList->setCurrentIndex(kMostGifColoursEntry);
        bmpList->setCurrentIndex(kTrueColourEntry);
        break;
    default:
        break;
    }
    if (options.format != static_cast<std::int32_t>(ImageFormat::Jpeg))
        qualityList->setCurrentIndex(kDefaultQualityEntry);
    fillResolution(xList, options.xResolution);
    fillResolution(yList, options.yResolution);
}

void CFormatPage::setItem(ImageItem *item)
{
    thumb->setItem(item);
    showFacts();
}

void CFormatPage::showFacts()
{
    facts.show(sheet.currentItem(), sheet.destinationName());
}

void CFormatPage::activate()
{
    formatChanged();
}

void CFormatPage::formatChanged()
{
    const bool jpeg = jpegButton->isChecked();
    const bool gif = gifButton->isChecked();
    const bool bmp = bmpButton->isChecked();
    qualityLabel->setEnabled(jpeg);
    qualityList->setEnabled(jpeg);
    gifList->setEnabled(gif);
    bmpList->setEnabled(bmp);
    for (QWidget *w : resolutionControls)
        w->setEnabled(!gif);
    if (jpeg) {
        saveOptions.format = static_cast<std::int32_t>(ImageFormat::Jpeg);
        saveOptions.colours = JpegQualityOfEntry(qualityList->currentIndex());
    } else if (gif) {
        saveOptions.format = static_cast<std::int32_t>(ImageFormat::Gif);
        saveOptions.colours = GifColoursOfEntry(gifList->currentIndex());
    } else if (bmp) {
        saveOptions.format = static_cast<std::int32_t>(ImageFormat::Bmp);
        saveOptions.colours = BmpColoursOfEntry(bmpList->currentIndex());
    } else if (pngButton->isChecked()) {
        saveOptions.format = static_cast<std::int32_t>(ImageFormat::Png);
        saveOptions.colours = kTrueColourCount;
    }
    sheet.refreshNames();
}

bool CFormatPage::takeResolution(bool horizontal)
{
    QComboBox *box = horizontal ? xList : yList;
    std::int32_t &stored = horizontal ? saveOptions.xResolution : saveOptions.yResolution;
    if (auto value = ParseResolution(box->currentText().toStdString())) {
        stored = *value;
        return true;
    }
    ShowErrorMessage(this, Msg::NotAValidNumber, 0, MessageBoxType::IconWarning, 0, 0, 0, nullptr);
    box->setEditText(QString::number(stored));
    // The focus returns once the report has let go of it.
    QTimer::singleShot(0, box, [box] { box->setFocus(); });
    return false;
}

bool CFormatPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        const bool x = watched == xList || watched == xList->lineEdit();
        const bool y = watched == yList || watched == yList->lineEdit();
        // Leaving the list's line edit for its own popup is no loss of focus for the list.
        if ((x && !xList->view()->isVisible()) || (y && !yList->view()->isVisible()))
            takeResolution(x);
    }
    return QWidget::eventFilter(watched, event);
}
