#include "capture/capture_message_dialog.h"

#include "app/confirm.h"
#include "app/dialog_controls.h"
#include "common/alb_exception.h"
#include "common/dir_record.h"
#include "common/error_report.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "operations/capture_file.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr std::uint32_t kDialogId = 108;
constexpr int kMaxNameChars = 50;
constexpr int kAnswerYes = 1001;
constexpr int kQuestionLines = 3;

} // namespace

int AskReplaceCapture(QWidget *dialog)
{
    return Confirm(dialog, Msg::ReplaceExistingFile, Msg::AppTitle, false, kQuestionLines, {});
}

CaptureMessageDialog::CaptureMessageDialog(const CaptureDialogRequest &opened,
                                           ReplaceQuestion question, QWidget *parent)
    : QDialog(parent), request(opened), askReplace(std::move(question))
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Capture Message"));
    const std::string defaultName =
            NextCaptureName(request.folder, request.prefix, request.fileFormat);
    buildControls(QString::fromStdString(defaultName),
                  QString::fromStdString(CaptureExtension(request.fileFormat)));
}

void CaptureMessageDialog::buildControls(const QString &defaultName, const QString &extension)
{
    auto *intro = new QLabel(
            QStringLiteral("If you want to change the captured filename, please edit the new "
                           "name below."),
            this);
    intro->setWordWrap(true);
    auto *shown =
            NamedControl(new QLineEdit(defaultName, this), "2001", QStringLiteral("Filename:"));
    shown->setReadOnly(true);
    nameField = NamedControl(new QLineEdit(this), "1016", QStringLiteral("New filename"));
    nameField->setMaxLength(kMaxNameChars);
    auto *extensionLabel = NamedControl(new QLabel(extension, this), "2002", extension);
    auto *abort = NamedControl(new QPushButton(QStringLiteral("Abort this capture"), this), "1020",
                               QStringLiteral("Abort this capture"));
    abort->setAutoDefault(false);
    connect(abort, &QPushButton::clicked, this, &CaptureMessageDialog::reject);
    dontShow = NamedControl(new QCheckBox(QStringLiteral("Don't show the message next time"), this),
                            "1023", QStringLiteral("Don't show the message next time"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, this);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    NamedControl(ok, "1", ok->text());
    connect(buttons, &QDialogButtonBox::accepted, this, &CaptureMessageDialog::accept);
    ConnectHelp(*this, buttons, kDialogId);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Filename:"), this), 0, 0);
    grid->addWidget(shown, 0, 1, 1, 2);
    grid->addWidget(nameField, 1, 0, 1, 2);
    grid->addWidget(extensionLabel, 1, 2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(grid);
    layout->addWidget(abort);
    layout->addWidget(dontShow);
    layout->addWidget(buttons);
}

void CaptureMessageDialog::reject()
{
    result = CaptureDialogOutcome{ false, {}, dontShow->isChecked() };
    QDialog::reject();
}

void CaptureMessageDialog::accept()
{
    const std::string typed = nameField->text().trimmed().toStdString();
    std::string name;
    if (typed.empty()) {
        name = NextCaptureName(request.folder, request.prefix, request.fileFormat);
    } else {
        CAlbException failure;
        if (!CheckFileName(typed, request.folder, std::nullopt, &failure)) {
            ShowErrorMessage(this, 0, 0, MessageBoxType::Ok, 0, 0, 0, &failure);
            return;
        }
        name = typed + CaptureExtension(request.fileFormat);
    }
    if (ProbeFile(CaptureFilePath(request.folder, name))
        && (!askReplace || askReplace(this) != kAnswerYes))
        return;
    result = CaptureDialogOutcome{ true, name, dontShow->isChecked() };
    QDialog::accept();
}

CaptureDialogOutcome RunCaptureMessageDialog(const CaptureDialogRequest &request,
                                             CaptureMessageDialog::ReplaceQuestion askReplace,
                                             QWidget *parent)
{
    CaptureMessageDialog dialog(request, std::move(askReplace), parent);
    dialog.exec();
    return dialog.outcome();
}
