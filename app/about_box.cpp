#include "app/about_box.h"

#include "app/dialog_controls.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <memory>

namespace {

constexpr std::uint32_t kHelpContext = 30003;

} // namespace

QDialog *MakeAboutBox(QWidget *owner)
{
    auto *box = new QDialog(owner);
    box->setObjectName(QStringLiteral("About"));
    box->setWindowTitle(QStringLiteral("About Vistrel"));
    auto *text = new QLabel(QStringLiteral("Vistrel\nVersion 2.00"), box);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Help, box);
    QPushButton *ok = buttons->button(QDialogButtonBox::Ok);
    NamedControl(ok, "1", ok->text());
    QObject::connect(buttons, &QDialogButtonBox::accepted, box, &QDialog::accept);
    ConnectHelp(*box, buttons, kHelpContext);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(text);
    layout->addWidget(buttons);
    return box;
}

void RunAboutBox(QWidget *owner)
{
    const std::unique_ptr<QDialog> box(MakeAboutBox(owner));
    box->exec();
}
