#include "sheets/sheet_trace.h"

#include "app/trace_log.h"

#include <QTabBar>
#include <QTabWidget>

#include <string>

namespace {

std::string traceLine(const char *kind, int key, QPoint centre)
{
    return std::string(kind) + '\t' + std::to_string(key) + '\t' + std::to_string(centre.x()) + '\t'
            + std::to_string(centre.y()) + '\n';
}

} // namespace

void TraceSheetControls(const QTabWidget &pages)
{
    if (!TraceEnabled())
        return;
    std::string lines;
    const QTabBar *bar = pages.tabBar();
    for (int i = 0; i < bar->count(); ++i)
        lines += traceLine("sheet-tab", i, bar->mapToGlobal(bar->tabRect(i).center()));
    if (const QWidget *page = pages.currentWidget()) {
        for (const QWidget *control : page->findChildren<QWidget *>()) {
            bool numeric = false;
            const int id = control->objectName().toInt(&numeric);
            if (numeric && control->isVisible())
                lines += traceLine("sheet", id, control->mapToGlobal(control->rect().center()));
        }
    }
    AppendTraceText(lines + "sheet-shown\n");
}
