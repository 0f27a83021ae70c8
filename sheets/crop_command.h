#pragma once

#include "platform/command_route.h"

#include <functional>

class CAlbDoc;
class QWidget;
struct ImageLists;

// Command 30306 "Crop...": the crop-and-save sheet on the selected pictures.
class CropCommand : public CommandTarget
{
public:
    static constexpr std::uint32_t kCommandId = 30306;

    // Runs the sheet; replaceable so that the command can be checked without a modal sheet.
    using SheetRunner = std::function<void(CAlbDoc &, const ImageLists *, QWidget *)>;

    CropCommand(CAlbDoc &doc, const ImageLists *lists, QWidget *owner);

    void setSheetRunner(SheetRunner runner) { runSheet = std::move(runner); }

    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

private:
    CAlbDoc &doc;
    const ImageLists *lists;
    QWidget *owner;
    SheetRunner runSheet;
};
