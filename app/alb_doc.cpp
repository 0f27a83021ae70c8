#include "app/alb_doc.h"

#include "app/app_settings.h"
#include "app/document_frame.h"
#include "app/options_dialog.h"
#include "app/window_messages.h"

#include <algorithm>

CAlbDoc::CAlbDoc(AppSettings &appSettings, SettingsStore &settingsStore)
    : settings(appSettings),
      store(settingsStore),
      itemMaker(MakeImageItem),
      optionsRunner([](CAlbDoc &doc) { return RunOptionsDialog(doc.settings, doc.store); })
{
    // The album grows in small steps as folders load; a few slots spare the first reallocations.
    items.reserve(10);
}

CAlbDoc::~CAlbDoc() = default;

void CAlbDoc::SelectItem(ImageItem *item, bool on)
{
    if (!item)
        return;
    item->setSelected(on);
    if (on && frame)
        frame->messageToImageView(WM_CURRENT_CHANGED, static_cast<std::uintptr_t>(item->serial), 0,
                                  true);
}

ImageItem *CAlbDoc::ItemNamed(std::string_view name) const
{
    auto found = std::find_if(items.begin(), items.end(),
                              [&](const auto &item) { return item->fileName == name; });
    return found == items.end() ? nullptr : found->get();
}

ImageItem *CAlbDoc::ItemBySerial(std::uint64_t serial) const
{
    if (serial == 0)
        return nullptr;
    auto found = std::find_if(items.begin(), items.end(),
                              [&](const auto &item) { return item->serial == serial; });
    return found == items.end() ? nullptr : found->get();
}

ImageItem *CAlbDoc::SelectByName(std::string_view name)
{
    ImageItem *item = ItemNamed(name);
    SelectItem(item, true);
    return item;
}

void CAlbDoc::ClearSelection()
{
    for (auto &item : items)
        item->setSelected(false);
}

int CAlbDoc::SelectedCount() const
{
    return static_cast<int>(std::count_if(items.begin(), items.end(),
                                          [](const auto &item) { return item->selected(); }));
}

ImageItem *CAlbDoc::FirstSelected() const
{
    auto found = std::find_if(items.begin(), items.end(),
                              [](const auto &item) { return item->selected(); });
    return found == items.end() ? nullptr : found->get();
}

int CAlbDoc::IndexOf(const ImageItem *item) const
{
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].get() == item)
            return static_cast<int>(i);
    }
    return -1;
}

ImageItem *CAlbDoc::ItemAt(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return items[static_cast<std::size_t>(index)].get();
}

std::vector<std::string> CAlbDoc::FileNames() const
{
    std::vector<std::string> names;
    names.reserve(items.size());
    for (const auto &item : items)
        names.push_back(item->fileName);
    return names;
}

// The selected items leave the list as one block, in their order, and go back in front of the
// unselected item the drop lands on; selected items before the drop position do not count.
void CAlbDoc::MoveSelected(int index)
{
    int selected = SelectedCount();
    if (selected == 0 || selected == Count())
        return;
    int place;
    if (index < 1) {
        place = 0;
    } else if (index >= Count()) {
        place = Count() - selected;
    } else {
        int before = 0;
        for (int i = 0; i <= index; ++i)
            before += items[static_cast<std::size_t>(i)]->selected() ? 1 : 0;
        place = std::clamp(index - before, 0, Count() - selected);
    }
    std::vector<std::unique_ptr<ImageItem>> block;
    std::vector<std::unique_ptr<ImageItem>> rest;
    for (auto &item : items)
        (item->selected() ? block : rest).push_back(std::move(item));
    rest.insert(rest.begin() + place, std::make_move_iterator(block.begin()),
                std::make_move_iterator(block.end()));
    items = std::move(rest);
}

void CAlbDoc::keepOnlySelected(ImageItem *item)
{
    ClearSelection();
    SelectItem(item, true);
}

bool CAlbDoc::inSelectOrFullScreen() const
{
    return settings.viewMode == ViewMode::Select || settings.viewMode == ViewMode::FullScreen;
}

WaitCursor::WaitCursor(DocumentFrame *owner) : frame(owner)
{
    if (frame)
        frame->beginWaitCursor();
}

WaitCursor::~WaitCursor()
{
    if (frame)
        frame->endWaitCursor();
}
