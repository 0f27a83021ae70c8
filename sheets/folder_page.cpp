#include "sheets/folder_page.h"

#include "common/dir_record.h"
#include "platform/display_path.h"
#include "sheets/info_texts.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

// The folder as people read it; the one place this page shows a path.
QString shownFolder(const std::string &folder)
{
    return DisplayPathText(folder);
}

// The folder's creation time; 0 (shown as N/A) for the root, which has none, and for a folder
// that is gone.
FileTime creationTime(const std::string &folder)
{
    DirectoryRecord record;
    if (folder == "\\" || !ProbeFile(folder, &record))
        return 0;
    return record.creationTime;
}

} // namespace

CFolderPage::CFolderPage(std::string folderPath, int items, std::uint64_t bytes, QWidget *parent)
    : CPropPage(QStringLiteral("114"), QStringLiteral("Folder"), parent),
      folder(std::move(folderPath)),
      itemCount(items),
      totalSize(bytes)
{
    QFormLayout *form = addGroup(QStringLiteral("Information"));
    folderField = addField(form, QStringLiteral("Folder:"), "1015");
    count = addValue(form, QStringLiteral("Image files:"), "1019");
    size = addValue(form, QStringLiteral("Total size:"), "1018");
    date = addValue(form, QStringLiteral("Date:"), "1017");
}

void CFolderPage::fill()
{
    folderField->setText(shownFolder(folder));
    setText(count, CountText(itemCount));
    setText(size, ByteSizeText(totalSize));
    setText(date, DateText(creationTime(folder)));
}
