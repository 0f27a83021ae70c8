#include "app/folder_picker.h"

#include "app/dialog_controls.h"
#include "app/image_lists.h"
#include "common/string_ids.h"
#include "common/string_table.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr std::uint32_t kDialogId = 31000;

QString rootDisplayName()
{
    std::string text;
    if (!LoadString(Msg::PickerRootName, text))
        text = "\\";
    return QString::fromStdString(text);
}

} // namespace

FolderPickerTree::FolderPickerTree(QWidget *parent)
    : FolderTreeWidget(rootDisplayName(), parent) { }

bool FolderPickerTree::BuildTree()
{
    return buildAlong(chosen.empty() ? std::string("\\") : chosen);
}

void FolderPickerTree::folderSelected(QTreeWidgetItem *item)
{
    chosen = ItemPath(item);
}

FolderPickerDialog::FolderPickerDialog(std::string path, const std::string &prompt, QWidget *parent)
    : QDialog(parent), chosenPath(std::move(path))
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Open Folder"));
    auto *label = new QLabel(prompt.empty() ? QStringLiteral("Select new folder:")
                                            : QString::fromStdString(prompt),
                             this);
    label->setObjectName(QStringLiteral("1001"));
    folderTree = new FolderPickerTree(this);
    folderTree->setObjectName(QStringLiteral("41000"));
    folderTree->setAccessibleName(label->text());
    label->setBuddy(folderTree);
    const ImageList images = BuildDialogImageList(BitmapId::FolderPicker);
    folderTree->setFolderImages(&images);
    folderTree->setChosenPath(chosenPath);
    folderTree->BuildTree();

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("2"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FolderPickerDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FolderPickerDialog::reject);
    ConnectHelp(*this, nullptr, kDialogId);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(folderTree, 1);
    layout->addWidget(buttons);
}

void FolderPickerDialog::accept()
{
    chosenPath = folderTree->chosenPath();
    QDialog::accept();
}

bool ChooseFolder(QWidget *parent, std::string &path, const std::string &prompt)
{
    FolderPickerDialog dialog(path, prompt, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    path = dialog.path();
    return true;
}

std::optional<std::string> PickFolder(QWidget *parent, const std::string &start,
                                      const std::string &prompt)
{
    std::string path = start;
    if (!ChooseFolder(parent, path, prompt))
        return std::nullopt;
    return path;
}
