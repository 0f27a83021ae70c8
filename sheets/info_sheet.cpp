#include "sheets/info_sheet.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "common/host_path.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "sheets/details_page.h"
#include "sheets/folder_page.h"
#include "sheets/image_page.h"
#include "sheets/output_page.h"
#include "sheets/prop_sheet.h"
#include "sheets/system_page.h"

#include <QDialog>

namespace {

ImageItem *shownItem(const CAlbDoc &doc)
{
    if (ImageItem *selected = doc.FirstSelected())
        return selected;
    return doc.Count() > 0 ? doc.ItemAt(0) : nullptr;
}

std::string formatNamesOf(const AppSettings &settings)
{
    if (!settings.formatNames.empty())
        return settings.formatNames;
    std::string names;
    LoadString(Msg::FormatNames, names);
    return names;
}

std::uint64_t totalFileSize(const CAlbDoc &doc)
{
    std::uint64_t total = 0;
    for (int i = 0; i < doc.Count(); ++i)
        total += doc.ItemAt(i)->fileSize;
    return total;
}

} // namespace

InfoSheetSources HostInfoSheetSources()
{
    return { ReadHostSystemFacts, ReadExifFacts };
}

std::unique_ptr<CPropSheet> MakeInfoSheet(CAlbDoc &doc, QWidget *owner,
                                          const InfoSheetSources &sources)
{
    AppSettings &settings = doc.appSettings();
    auto sheet = std::make_unique<CPropSheet>(owner);
    if (const ImageItem *item = shownItem(doc)) {
        PictureFacts picture = FactsOf(*item);
        sheet->addPage(new CImagePage(picture, formatNamesOf(settings)));
        sheet->addPage(new COutputPage(picture, settings));
        const std::string hostPath = HostPath(JoinPath(settings.currentFolder, item->fileName));
        if (std::vector<ExifFact> facts = sources.photoFacts ? sources.photoFacts(hostPath)
                                                             : std::vector<ExifFact>{};
            !facts.empty())
            sheet->addPage(new CDetailsPage(std::move(facts)));
    }
    sheet->addPage(new CFolderPage(settings.currentFolder, doc.Count(), totalFileSize(doc)));
    sheet->addPage(new CSystemPage(sources.systemFacts));
    return sheet;
}

bool RunInfoSheet(CAlbDoc &doc, QWidget *owner)
{
    std::unique_ptr<CPropSheet> sheet = MakeInfoSheet(doc, owner, HostInfoSheetSources());
    return sheet->exec() == QDialog::Accepted;
}
