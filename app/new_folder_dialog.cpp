#include "app/new_folder_dialog.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/dialog_controls.h"
#include "app/document_frame.h"
#include "common/dir_record.h"
#include "common/error_report.h"
#include "common/host_path.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "platform/display_path.h"
#include "platform/file_operations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>

namespace {

constexpr std::uint32_t kDialogId = 102;
constexpr std::uint32_t kPlace = 104;
constexpr std::uint32_t kStep = 1;

void report(const QWidget *dialog, std::uint32_t messageId, const CAlbExceptionBase *reason)
{
    ShowErrorMessage(dialog, messageId, 0, MessageBoxType::IconWarning, Module::NewFolder, kPlace,
                     kStep, reason);
}

std::string withoutTrailingBlanks(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

NewFolderDialog::NewFolderDialog(const std::string &currentFolder, const std::string &proposal,
                                 QWidget *parent)
    : QDialog(parent), folder(currentFolder)
{
    setObjectName(QString::number(kDialogId));
    std::string title;
    LoadString(Msg::NewFolderName, title);
    setWindowTitle(QString::fromStdString(title));

    auto *current = new QLineEdit(DisplayPathText(folder), this);
    current->setObjectName(QStringLiteral("2001"));
    current->setReadOnly(true);
    name = new QLineEdit(QString::fromStdString(proposal), this);
    name->setObjectName(QStringLiteral("2002"));
    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Current folder:"), current);
    form->addRow(QStringLiteral("New folder:"), name);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("1"));
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("2003"));
    connect(buttons, &QDialogButtonBox::accepted, this, &NewFolderDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &NewFolderDialog::reject);
    ConnectHelp(*this, buttons, kDialogId);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setMinimumWidth(320);
    selectName();
}

void NewFolderDialog::selectName()
{
    name->selectAll();
    name->setFocus(Qt::OtherFocusReason);
}

void NewFolderDialog::accept()
{
    const std::string typed = name->text().toStdString();
    CAlbException refused;
    if (!CheckFileName(typed, folder, std::nullopt, &refused)) {
        report(this, refused.GetMessageId(), nullptr);
        selectName();
        return;
    }
    // The name is made as it was checked: trailing blanks do not belong to a name. What was typed
    // is a host name; its device form carries any character device names use to carry bytes.
    try {
        CreateFolderAt(JoinPath(folder, DeviceName(withoutTrailingBlanks(typed))));
    } catch (const CAlbFileException &failure) {
        // The host's reason is added when it is another than the folder being there.
        report(this, Msg::FolderAlreadyExists,
               failure.errorNumber() == EEXIST ? nullptr : &failure);
        selectName();
        return;
    }
    QDialog::accept();
}

std::string ProposeFolderName(const std::string &folder)
{
    std::string base;
    LoadString(Msg::NewFolderName, base);
    std::string proposal = base;
    for (unsigned number = 1; ProbeFile(JoinPath(folder, proposal)); ++number)
        proposal = base + std::to_string(number);
    return proposal;
}

void NewFolder(CAlbDoc &doc)
{
    const std::string &folder = doc.appSettings().currentFolder;
    {
        NewFolderDialog dialog(folder, ProposeFolderName(folder), QApplication::activeWindow());
        dialog.exec();
    }
    if (DocumentFrame *frame = doc.mainFrame())
        frame->refreshTree();
}
