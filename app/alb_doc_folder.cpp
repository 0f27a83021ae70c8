#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/document_frame.h"
#include "app/folder_items.h"
#include "app/goto_menu.h"
#include "app/order_file.h"
#include "app/settings_writes.h"
#include "common/ascii_case.h"
#include "common/dir_record.h"
#include "common/error_report.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "platform/directory_listing.h"

#include <algorithm>
#include <new>
#include <unordered_set>

namespace {

constexpr std::uint32_t kPlaceGoTo = 103;
constexpr std::uint32_t kStepListFolder = 1;
constexpr std::size_t kMinItemsForOrderFile = 2;

bool isMemoryFailure(const CAlbExceptionBase &failure)
{
    auto *own = dynamic_cast<const CAlbException *>(&failure);
    return own && own->isMemoryClass();
}

// A folder the user chose that cannot be listed shows no pictures; the user is told why.
void reportUnreadableFolder(const std::string &folder)
{
    if (const int error = ListingFailure(folder); error != 0) {
        const CAlbFileException reason(error, folder);
        ShowErrorMessage(nullptr, Msg::UnableToAccessFile, 0, MessageBoxType::IconWarning,
                         Module::GoTo, kPlaceGoTo, kStepListFolder, &reason);
    }
}

// A folder that cannot be listed (gone, or not readable) simply holds no pictures.
std::vector<DirectoryRecord> listPictureFiles(const std::string &folder,
                                              const std::string &extensions)
{
    std::vector<DirectoryRecord> entries;
    try {
        entries = ListDirectory(folder, "*.*");
    } catch (const CAlbExceptionBase &) {
        return {};
    }
    std::erase_if(entries, [&](const DirectoryRecord &entry) {
        return entry.isDirectory() || !HasPictureExtension(entry.name, extensions);
    });
    return entries;
}

} // namespace

std::unique_ptr<ImageItem> CAlbDoc::makeItem(const DirectoryRecord &entry) const
{
    try {
        return itemMaker(settings.currentFolder, entry);
    } catch (const std::bad_alloc &) {
        ThrowAlb(Msg::NotEnoughMemory);
    }
}

std::unique_ptr<ImageItem> CAlbDoc::makeItemOrNone(const DirectoryRecord &entry) const
{
    try {
        return makeItem(entry);
    } catch (const CAlbExceptionBase &failure) {
        if (isMemoryFailure(failure))
            throw;
        return nullptr;
    }
}

ImageItem *CAlbDoc::appendItem(std::unique_ptr<ImageItem> item)
{
    if (!item)
        return nullptr;
    item->serial = ++lastSerial;
    items.push_back(std::move(item));
    return items.back().get();
}

ImageItem *CAlbDoc::AddItem(const DirectoryRecord &entry)
{
    return appendItem(makeItemOrNone(entry));
}

void CAlbDoc::RemoveItem(ImageItem *item)
{
    auto found = std::find_if(items.begin(), items.end(),
                              [&](const auto &held) { return held.get() == item; });
    if (found == items.end())
        return;
    std::unique_ptr<ImageItem> gone = std::move(*found);
    items.erase(found);
    gone->releasePictures();
}

void CAlbDoc::ClearItems()
{
    // From the back, as RemoveItem would, without looking each item up in a list of thousands.
    while (!items.empty()) {
        std::unique_ptr<ImageItem> gone = std::move(items.back());
        items.pop_back();
        gone->releasePictures();
    }
}

void CAlbDoc::ScanFolder()
{
    std::vector<DirectoryRecord> entries =
            listPictureFiles(settings.currentFolder, settings.imageExtensions);
    try {
        // Only a list that held items before this scan can hold a listed file already: the
        // listing itself never names a file twice.
        if (!items.empty()) {
            std::unordered_set<std::string_view> known;
            for (const auto &item : items)
                known.insert(item->fileName);
            std::erase_if(entries, [&](const DirectoryRecord &entry) {
                return known.count(entry.name) != 0;
            });
        }
        const std::size_t threads = itemMakerConcurrent ? FolderItemThreads(entries.size()) : 1;
        FolderItems made = MakeFolderItems(
                entries, [this](const DirectoryRecord &entry) { return makeItemOrNone(entry); },
                threads);
        for (std::unique_ptr<ImageItem> &item : made.items)
            appendItem(std::move(item));
    } catch (const CAlbExceptionBase &) {
        // Short of memory: what was made so far stays.
    } catch (const std::bad_alloc &) { }
}

bool CAlbDoc::SyncWithFolder()
{
    std::vector<ImageItem *> held;
    for (const auto &item : items)
        held.push_back(item.get());
    bool changed = false;
    for (ImageItem *item : held) {
        const auto size = item->fileSize;
        const auto written = item->lastWriteTime;
        if (!RecheckItem(item) || item->fileSize != size || item->lastWriteTime != written)
            changed = true;
    }
    const int before = Count();
    ScanFolder();
    if (!changed && Count() == before)
        return false;
    UpdateViews();
    return true;
}

bool CAlbDoc::RecheckItem(ImageItem *item)
{
    if (IndexOf(item) < 0)
        return false;
    DirectoryRecord entry;
    if (!FindFileRecord(JoinPath(settings.currentFolder, item->fileName), entry)
        || entry.isDirectory()) {
        RemoveItem(item);
        return false;
    }
    bool readOnly = (entry.attributes & FileAttribute::ReadOnly) != 0;
    if (entry.size() == item->fileSize && entry.writeTime == item->lastWriteTime
        && readOnly == item->has(ItemFlag::ReadOnly))
        return true;
    std::unique_ptr<ImageItem> fresh;
    try {
        entry.name = item->fileName;
        fresh = makeItem(entry);
    } catch (const CAlbExceptionBase &) { }
    if (!fresh) {
        RemoveItem(item);
        return false;
    }
    // The item is re-made in place: views hold on to it, and its place and selection stay.
    bool wasSelected = item->selected();
    item->releasePictures();
    item->fileSize = fresh->fileSize;
    item->lastWriteTime = fresh->lastWriteTime;
    item->flags = fresh->flags;
    item->info = std::move(fresh->info);
    item->setSelected(wasSelected);
    return true;
}

void CAlbDoc::ChangeFolder(const std::string &path)
{
    settings.currentFolder = path;
    // The list must follow currentFolder whatever happens to the settings file: items of the old
    // folder under the new folder's name would send later file operations to the wrong files.
    WriteSettings([&] { AddRecentFolder(store, settings, path); });
    if (frame && !SameFolder(frame->treeFolder(), path))
        frame->rebuildTree(settings.currentFolder);
    WriteSettings([&] { WriteStringSetting(store, "Path", settings.currentFolder); });
    ClearItems();
    ScanFolder();
    if (Count() == 0)
        reportUnreadableFolder(path);
    if (Count() == 0 && inSelectOrFullScreen()) {
        if (frame)
            frame->sendCommand(ViewMode::Thumbnail);
        return;
    }
    if (!FirstSelected() && inSelectOrFullScreen())
        SelectItem(ItemAt(0), true);
    UpdateViews();
}

void CAlbDoc::ReloadFromTree()
{
    if (!frame)
        return;
    WaitCursor wait(frame);
    SaveOrderFile();
    ChangeFolder(frame->treeFolder());
}

bool CAlbDoc::GoTo(std::uint32_t id)
{
    std::optional<std::string> target = GoToTarget(settings, id);
    if (!target)
        return false;
    DirectoryRecord facts;
    bool exists = ProbeFile(*target, &facts) && facts.isDirectory();
    if (*target != "\\" && !exists) {
        ShowErrorMessage(nullptr, Msg::InvalidPath, 0, MessageBoxType::IconWarning, Module::GoTo,
                         kPlaceGoTo, 0, nullptr);
        return false;
    }
    if (SameFolder(*target, settings.currentFolder))
        return false;
    WaitCursor wait(frame);
    SaveOrderFile();
    ChangeFolder(*target);
    return true;
}

void CAlbDoc::SaveOrderFile() const
{
    if (items.size() < kMinItemsForOrderFile)
        return;
    DirectoryRecord folder;
    if (!ProbeFile(settings.currentFolder, &folder) || !folder.isDirectory())
        return;
    try {
        WriteOrderFile(settings.currentFolder, FileNames());
    } catch (const CAlbExceptionBase &) {
        // A read-only folder or a full store: the album never reads the file back.
    } catch (const std::bad_alloc &) { }
}

void CAlbDoc::CloseDocument()
{
    SaveOrderFile();
    ClearItems();
}
