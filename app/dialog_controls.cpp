#include "app/dialog_controls.h"

#include "platform/help.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QShortcut>

QDialogButtonBox *AddOkCancelHelp(QDialog &dialog, std::uint32_t helpContext)
{
    auto *buttons = new QDialogButtonBox(
            QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, &dialog);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    NamedControl(ok, "1", ok->text());
    QPushButton *cancel = buttons->button(QDialogButtonBox::Cancel);
    NamedControl(cancel, "2", cancel->text());
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    ConnectHelp(dialog, buttons, helpContext);
    return buttons;
}

void ConnectHelp(QDialog &dialog, QDialogButtonBox *buttons, std::uint32_t helpContext)
{
    const auto show = [helpContext] {
        ShowHelp(helpContext);
    };
    if (buttons)
        QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dialog, show);
    auto *key = new QShortcut(QKeySequence::HelpContents, &dialog);
    QObject::connect(key, &QShortcut::activated, &dialog, show);
}
