#include "app/dialog_controls.h"

#include "platform/help.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

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
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dialog,
                     [helpContext] { ShowHelp(helpContext); });
    return buttons;
}
