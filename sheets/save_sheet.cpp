#include "sheets/save_sheet.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/confirm.h"
#include "app/dialog_controls.h"
#include "app/image_item.h"
#include "app/image_lists.h"
#include "common/error_report.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "sheets/crop_page.h"
#include "sheets/format_page.h"
#include "sheets/location_page.h"
#include "sheets/save_choices.h"
#include "sheets/sheet_picture_loader.h"
#include "sheets/sheet_trace.h"
#include "views/view_picture.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr std::uint32_t kHelpContext = 206;
constexpr int kQuestionLines = 3;
constexpr int kCropTab = 0;
constexpr int kFormatTab = 1;
constexpr int kLocationTab = 2;

QString appTitle()
{
    std::string title;
    LoadString(Msg::AppTitle, title);
    return QString::fromStdString(title);
}

void connectSteps(CSaveSheet *sheet, const StepButtons &buttons)
{
    QObject::connect(buttons.previous, &QPushButton::clicked, sheet,
                     [sheet] { sheet->stepPicture(false); });
    QObject::connect(buttons.next, &QPushButton::clicked, sheet,
                     [sheet] { sheet->stepPicture(true); });
    QObject::connect(buttons.crop, &QPushButton::clicked, sheet,
                     [sheet] { sheet->cropAndSaveCurrent(); });
}

} // namespace

ImageItem *NextSelected(const CAlbDoc &doc, const ImageItem *item, bool forward)
{
    const int at = doc.IndexOf(item);
    if (at < 0)
        return nullptr;
    for (int i = forward ? at + 1 : at - 1; i >= 0 && i < doc.Count(); i += forward ? 1 : -1) {
        if (doc.ItemAt(i)->selected())
            return doc.ItemAt(i);
    }
    return nullptr;
}

CSaveSheet::CSaveSheet(CAlbDoc &document, const ImageLists *lists, ItemPictureLoader loader,
                       QWidget *parent)
    : QDialog(parent), doc(document), load(std::move(loader))
{
    setObjectName(QStringLiteral("CSaveSheet"));
    setWindowTitle(appTitle());
    save = [this](ImageItem &item, const std::string &path, const SaveOptions &options,
                  const Rect *rect) {
        savePicture(item, path, options, rect, load);
    };
    const QImage noPicture = lists ? lists->image(BitmapId::NoPicture, 0) : QImage();

    current = doc.FirstSelected();
    if (!current && doc.Count() > 0) {
        current = doc.ItemAt(0);
        doc.SelectItem(current, true);
    }
    crop = new CCropPage(*this, doc.appSettings(), load, noPicture);
    format = new CFormatPage(*this, noPicture);
    location = new CLocationPage(*this, noPicture, doc.appSettings().currentFolder);
    pages = new QTabWidget(this);
    pages->addTab(crop, QStringLiteral("Crop"));
    pages->addTab(format, QStringLiteral("Format"));
    pages->addTab(location, QStringLiteral("Location"));
    for (const StepButtons *buttons :
         { &crop->buttons(), &format->buttons(), &location->buttons() })
        connectSteps(this, *buttons);

    QDialogButtonBox *box = AddOkCancelHelp(*this, kHelpContext);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(box);

    if (current)
        format->initOptions(
                InitialSaveOptions(current->info, current->has(ItemFlag::DescriptionValid)));
    setCurrentItem(current);
    crop->activate();
    connect(pages, &QTabWidget::currentChanged, this, &CSaveSheet::pageChanged);
}

// The preview lets go of the pictures it showed (it holds each until the sheet closes); an item
// may be gone by now (a save over its file that could not be read again), so the listed items
// are let go.
CSaveSheet::~CSaveSheet()
{
    LetGoViewFramesEverywhere(doc, PictureUser::CropPreview);
}

std::string CSaveSheet::destinationName() const
{
    if (!current)
        return {};
    return DestinationName(current->fileName, location->appendage(), format->options().format);
}

void CSaveSheet::setCurrentItem(ImageItem *item)
{
    current = item;
    crop->setItem(item);
    format->setItem(item);
    location->setItem(item);
    updateButtons();
}

void CSaveSheet::stepPicture(bool forward)
{
    if (ImageItem *next = NextSelected(doc, current, forward))
        setCurrentItem(next);
}

void CSaveSheet::updateButtons()
{
    const bool hasPrevious = NextSelected(doc, current, false) != nullptr;
    const bool hasNext = NextSelected(doc, current, true) != nullptr;
    const bool canCrop = current && !crop->crop().isEmpty();
    for (const StepButtons *buttons :
         { &crop->buttons(), &format->buttons(), &location->buttons() }) {
        buttons->previous->setEnabled(hasPrevious);
        buttons->next->setEnabled(hasNext);
        buttons->crop->setEnabled(canCrop);
    }
}

void CSaveSheet::refreshNames()
{
    format->showFacts();
    location->showFacts();
}

void CSaveSheet::pageChanged(int index)
{
    if (shownPage == kLocationTab)
        location->commitFolder();
    shownPage = index;
    if (index == kCropTab)
        crop->activate();
    else if (index == kFormatTab)
        format->activate();
    updateButtons();
    QTimer::singleShot(0, this, [this] { TraceSheetControls(*pages); });
}

void CSaveSheet::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Traced once the sheet is laid out and placed.
    QTimer::singleShot(0, this, [this] { TraceSheetControls(*pages); });
}

void CSaveSheet::cropAndSaveCurrent()
{
    nothingSavedYet = false;
    if (!current)
        return;
    location->commitFolder();
    // The rectangle may come from a larger picture stepped away from: it is limited to this one.
    const CropBox limited =
            LimitCropBox(crop->crop(), Size{ current->info.width, current->info.height });
    const CropJob job{ current, limited, location->folder(), location->appendage(),
                       format->options() };
    const CropOutcome outcome = cropAndSave(doc, this, job, save);
    if (outcome.result != CropOutcome::Saved)
        return;
    if (doc.IndexOf(current) < 0) {
        // The picture's file could not be read again: there is nothing left to crop.
        stop(QDialog::Accepted);
        return;
    }
    if (outcome.replacedItem) {
        crop->reloadPreview();
        format->setItem(current);
        location->setItem(current);
    }
    crop->resetCrop();
    updateButtons();
    if (doc.SelectedCount() == 1) {
        stop(QDialog::Accepted);
        return;
    }
    ShowErrorMessage(this, Msg::ImageCropped, 0, MessageBoxType::IconWarning, 0, 0, 0, nullptr,
                     { outcome.name });
}

void CSaveSheet::accept()
{
    if (pages->currentIndex() == kCropTab && nothingSavedYet) {
        nothingSavedYet = false;
        if (Confirm(this, Msg::QuitWithoutSaving, Msg::CropTitle, false, kQuestionLines, {})
            != ConfirmAnswer::Yes)
            return;
    }
    if (pages->currentIndex() == kLocationTab)
        location->commitFolder();
    stop(QDialog::Accepted);
}

void CSaveSheet::reject()
{
    stop(QDialog::Rejected);
}

void CSaveSheet::stop(int result)
{
    running = false;
    done(result);
}

void RunSaveSheet(CAlbDoc &doc, const ImageLists *lists, QWidget *parent)
{
    {
        CSaveSheet sheet(doc, lists, SheetPictureLoader(doc), parent);
        sheet.exec();
    }
    doc.UpdateViews();
}
