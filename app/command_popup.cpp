#include "app/command_popup.h"

#include "common/string_table.h"

#include <QAction>
#include <QMenu>

std::uint32_t RunCommandPopup(QWidget *owner, const QString &name, const QString &title,
                              std::initializer_list<std::uint32_t> ids,
                              const CommandStateSource &stateOf, QPoint global)
{
    QMenu menu(owner);
    menu.setObjectName(name);
    menu.setTitle(title);
    for (const std::uint32_t id : ids) {
        std::string text;
        LoadString(id, text);
        QAction *item = menu.addAction(QString::fromStdString(text));
        item->setObjectName(QString::number(id));
        item->setData(id);
        item->setEnabled(!stateOf || stateOf(id).enabled);
    }
    const QAction *chosen = menu.exec(global);
    return chosen ? chosen->data().toUInt() : 0;
}
