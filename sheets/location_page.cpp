#include "sheets/location_page.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/folder_picker.h"
#include "common/alb_exception.h"
#include "common/error_report.h"
#include "common/path_names.h"
#include "sheets/save_sheet.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>

namespace {

constexpr int kAppendageId = 1137;
constexpr int kTreeId = 1138;

} // namespace

CLocationPage::CLocationPage(CSaveSheet &owner, QImage noPicture, const std::string &folder,
                             QWidget *parent)
    : QWidget(parent), sheet(owner), destination(folder)
{
    setObjectName(QStringLiteral("207"));
    thumb = new ItemPreview(owner.document(), std::move(noPicture), this);
    auto *layout = new QVBoxLayout(this);
    facts = AddPictureFacts(this, layout, thumb);
    edit = new QLineEdit(QString::fromStdString(appendageText), this);
    NameControl(edit, kAppendageId, QStringLiteral("Filename appendage:"));
    connect(edit, &QLineEdit::textChanged, this, &CLocationPage::appendageChanged);
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Filename appendage:"), edit);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("Select destination folder:"), this));
    folderTree = new FolderPickerTree(this);
    NameControl(folderTree, kTreeId, QStringLiteral("Select destination folder:"));
    folderTree->setChosenPath(destination);
    folderTree->BuildTree();
    layout->addWidget(folderTree, 1);
    steps = AddStepButtons(this, layout);
}

void CLocationPage::setItem(ImageItem *item)
{
    thumb->setItem(item);
    showFacts();
}

void CLocationPage::showFacts()
{
    facts.show(sheet.currentItem(), sheet.destinationName());
}

void CLocationPage::appendageChanged(const QString &text)
{
    const std::string typed = text.toStdString();
    CAlbException failure;
    const std::string &folder = sheet.document().appSettings().currentFolder;
    if (typed.empty() || CheckFileName(typed, folder, std::nullopt, &failure)) {
        appendageText = typed;
        sheet.refreshNames();
        return;
    }
    ShowErrorMessage(this, 0, 0, MessageBoxType::IconWarning, 0, 0, 0, &failure);
    edit->selectAll();
    QTimer::singleShot(0, edit, [this] { edit->setFocus(); });
}

void CLocationPage::commitFolder()
{
    if (!folderTree->chosenPath().empty())
        destination = folderTree->chosenPath();
}
