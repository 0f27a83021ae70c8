#pragma once

#include "app/image_item.h"
#include "platform/command_route.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct AppSettings;
class DocumentFrame;
class SettingsStore;

// What the Options dialog ended with, for the messages after it closes.
struct OptionsOutcome
{
    bool accepted = false;
    bool thumbnailsChanged = false;
};

// The one document: the pictures of the folder on show in album order, their selection, the view
// mode, and the command hub for everything that is not a view's own. The folder is the settings'
// currentFolder and the mode their viewMode. Everything runs on the user-interface thread.
class CAlbDoc : public CommandTarget
{
public:
    // Makes an item for a directory entry of a folder; replaceable so that failures can be staged.
    using ItemMaker = std::function<std::unique_ptr<ImageItem>(std::string_view folder,
                                                               const DirectoryRecord &)>;
    // Shows the information sheet; true when it ended with OK.
    using InfoSheetRunner = std::function<bool(CAlbDoc &)>;
    using OptionsRunner = std::function<OptionsOutcome(CAlbDoc &)>;

    CAlbDoc(AppSettings &settings, SettingsStore &store);
    ~CAlbDoc() override;
    CAlbDoc(const CAlbDoc &) = delete;
    CAlbDoc &operator=(const CAlbDoc &) = delete;

    // The main window; none until it exists, and every call to it is skipped while there is none.
    void setFrame(DocumentFrame *newFrame) { frame = newFrame; }

    DocumentFrame *mainFrame() const { return frame; }

    AppSettings &appSettings() const { return settings; }

    SettingsStore &settingsStore() const { return store; }

    // A maker that is not safe to call from several threads at once makes a folder's items one
    // after another.
    void setItemMaker(ItemMaker maker, bool concurrent = false)
    {
        itemMaker = std::move(maker);
        itemMakerConcurrent = concurrent;
    }

    void setInfoSheetRunner(InfoSheetRunner runner) { infoSheetRunner = std::move(runner); }

    void setOptionsRunner(OptionsRunner runner) { optionsRunner = std::move(runner); }

    // Folder and items (alb_doc_folder.cpp).
    void ChangeFolder(const std::string &path);
    void ReloadFromTree();
    void ScanFolder();
    // Brings the list in line with the folder's files as other programs left them: pictures
    // that appeared join at the end, changed ones are read again, removed ones leave, and the
    // views are told. False when nothing changed.
    bool SyncWithFolder();
    // False when the item was removed because its file is gone or can no longer be described.
    bool RecheckItem(ImageItem *item);
    // Appends an item for an entry of currentFolder; nullptr when it cannot be made. Only
    // "Not enough memory." and "No system resources." are passed on.
    ImageItem *AddItem(const DirectoryRecord &entry);
    void RemoveItem(ImageItem *item);
    void ClearItems();
    // Go To command 31000-31099; false when the folder did not change.
    bool GoTo(std::uint32_t id);
    // Writes the order file of currentFolder when it exists and holds 2 or more items; failures
    // are ignored, the album never needs the file.
    void SaveOrderFile() const;
    // Application exit: the order file, then the list is emptied.
    void CloseDocument();

    // Selection and list queries (alb_doc.cpp).
    // Selecting an item tells the image view, by the item's serial number.
    void SelectItem(ImageItem *item, bool on);
    // The item whose fileName is exactly name, or none. The host's names differ in case alone,
    // so case counts. Callers look an item up again after every question they ask: while a
    // question is open, other events may change the list.
    ImageItem *ItemNamed(std::string_view name) const;
    // The listed item with that serial number, or none (also for 0).
    ImageItem *ItemBySerial(std::uint64_t serial) const;
    ImageItem *SelectByName(std::string_view name);
    void ClearSelection();
    int SelectedCount() const;
    ImageItem *FirstSelected() const;
    int IndexOf(const ImageItem *item) const;
    ImageItem *ItemAt(int index) const;

    int Count() const { return static_cast<int>(items.size()); }

    std::vector<std::string> FileNames() const;
    void MoveSelected(int index);

    // Views (alb_doc_views.cpp).
    void UpdateViews();
    void SwitchView(std::int32_t mode);
    void LeaveFullScreen();
    void SelectAll();
    void AfterOptions(const OptionsOutcome &outcome);
    // Sets the thumbnail cell size of a step (see CellStep), as Ctrl+wheel and View > Thumbnail
    // Size do, and lays the views out again. False when that size was in force.
    bool ChooseCellStep(int index);
    // Device pixels per logical pixel of the screen the thumbnails show on (1 until a view tells
    // otherwise): thumbnails are made at that resolution. A new ratio drops the thumbnails made
    // at the old one; false when the ratio was in force.
    bool setThumbnailPixelRatio(double ratio);

    double thumbnailPixelRatio() const { return pixelRatio; }

    // Commands (alb_doc_commands.cpp).
    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

private:
    void runCommand(std::uint32_t id);
    void showInfoSheet();
    void showOptions();
    void rebuildGoToSubmenu();
    bool inSelectOrFullScreen() const;
    std::unique_ptr<ImageItem> makeItem(const DirectoryRecord &entry) const;
    // The item, or nullptr when it cannot be made; passes on only shortages of memory.
    std::unique_ptr<ImageItem> makeItemOrNone(const DirectoryRecord &entry) const;
    ImageItem *appendItem(std::unique_ptr<ImageItem> item);
    void keepOnlySelected(ImageItem *item);

    AppSettings &settings;
    SettingsStore &store;
    DocumentFrame *frame = nullptr;
    std::vector<std::unique_ptr<ImageItem>> items;
    // The serial number given last.
    std::uint64_t lastSerial = 0;
    ItemMaker itemMaker;
    bool itemMakerConcurrent = true;
    InfoSheetRunner infoSheetRunner;
    OptionsRunner optionsRunner;
    // Entries of the File menu's Go To submenu when it was last built; the menu never shrinks.
    std::size_t goToSubmenuSize = 0;
    double pixelRatio = 1.0;
};

// Shows the wait cursor of a frame (if any) for the life of the object.
class WaitCursor
{
public:
    explicit WaitCursor(DocumentFrame *frame);
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    DocumentFrame *frame;
};
