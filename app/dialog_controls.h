#pragma once

#include <QString>

#include <cstdint>

class QDialog;
class QDialogButtonBox;

// A control gets its id as its object name, so tests and the accessibility bus find it, and a
// name that screen readers speak.
template <typename Widget>
Widget *NamedControl(Widget *widget, const char *id, const QString &accessibleName)
{
    widget->setObjectName(QString::fromLatin1(id));
    widget->setAccessibleName(accessibleName);
    return widget;
}

// The OK, Cancel and Help row of a dialog: OK (id 1) accepts, Cancel (id 2) rejects, Help opens
// the dialog's help topic, as F1 does anywhere in the dialog (ConnectHelp). The caller places the
// row in its layout.
QDialogButtonBox *AddOkCancelHelp(QDialog &dialog, std::uint32_t helpContext);

// The dialog's help request: the Help button of buttons (which may be null) and F1 while the
// dialog is the active window open the topic of helpContext. The main window's own F1 does not
// reach into a dialog.
void ConnectHelp(QDialog &dialog, QDialogButtonBox *buttons, std::uint32_t helpContext);
