#include "capture/capture_album.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "common/dir_record.h"
#include "common/path_names.h"

bool CaptureFolderOnShow(const AppSettings &settings)
{
    return SameFolder(settings.snapPath, settings.currentFolder);
}

void AddCaptureToAlbum(CAlbDoc &doc, const std::string &path)
{
    DirectoryRecord record;
    if (ProbeFile(path, &record)) {
        if (ImageItem *item = doc.AddItem(record))
            doc.RecheckItem(item);
    }
    doc.UpdateViews();
}

void RecheckCaptureInAlbum(CAlbDoc &doc, const std::string &name)
{
    if (ImageItem *item = doc.ItemNamed(name))
        doc.RecheckItem(item);
    doc.UpdateViews();
}
