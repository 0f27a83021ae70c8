#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

// The controls under root that a screen reader could not name, by object name (class name when
// they have none). A control's accessible name must not be empty. A list's name on this desktop is
// its entry, which says nothing of what it is for: it needs a name of its own (spoken elsewhere)
// or a label that names it. The parts of a control (a list's popup, a spin box's edit) and the
// header of a view go with their control.
inline QStringList UnnamedControls(const QWidget &root)
{
    QStringList unnamed;
    for (QWidget *widget : root.findChildren<QWidget *>()) {
        const QWidget *owner = widget->parentWidget();
        const bool part = qobject_cast<const QComboBox *>(owner)
                || qobject_cast<const QAbstractSpinBox *>(owner)
                || (owner && qobject_cast<const QComboBox *>(owner->parentWidget()))
                || qobject_cast<QHeaderView *>(widget);
        const bool control = qobject_cast<QAbstractButton *>(widget)
                || qobject_cast<QComboBox *>(widget) || qobject_cast<QAbstractSpinBox *>(widget)
                || qobject_cast<QLineEdit *>(widget) || qobject_cast<QAbstractItemView *>(widget);
        if (part || !control)
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        bool named = accessible && !accessible->text(QAccessible::Name).isEmpty();
        if (named && qobject_cast<QComboBox *>(widget))
            named = !widget->accessibleName().isEmpty()
                    || !accessible->relations(QAccessible::Label).isEmpty();
        if (!named)
            unnamed << (widget->objectName().isEmpty()
                                ? QString::fromLatin1(widget->metaObject()->className())
                                : widget->objectName());
    }
    return unnamed;
}
