#include "sheets/prop_sheet.h"

#include "app/dialog_controls.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "platform/help.h"
#include "sheets/prop_page.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// The pages' dialogs 112 to 115 share one help topic; the first stands for them.
constexpr std::uint32_t kHelpContext = 112;

} // namespace

CPropSheet::CPropSheet(QWidget *owner) : QDialog(owner)
{
    std::string caption;
    LoadString(Msg::AppTitle, caption);
    setWindowTitle(QString::fromStdString(caption));
    setObjectName(QStringLiteral("InfoSheet"));
    tabs = new QTabWidget(this);
    // Every tab stays in sight: the sheet widens to hold them rather than scrolling them.
    tabs->setUsesScrollButtons(false);
    QDialogButtonBox *buttons = AddOkCancelHelp(*this, kHelpContext);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
}

void CPropSheet::addPage(CPropPage *page)
{
    pageList.push_back(page);
    tabs->addTab(page, page->title());
}

void CPropSheet::accept()
{
    for (CPropPage *page : pageList)
        page->onOk();
    QDialog::accept();
}
