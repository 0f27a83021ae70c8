#include "app/alb_app.h"
#include "app/alb_doc.h"
#include "app/command_units.h"
#include "app/file_commands.h"
#include "app/main_frame.h"
#include "app/view_factory.h"
#include "capture/capture_unit.h"
#include "sheets/crop_command.h"
#include "sheets/info_sheet.h"
#include "views/alb_img_view.h"
#include "views/alb_view.h"

#include <QApplication>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// The frame's folder does not know the views; the program tells it how to make them.
void RegisterViews()
{
    ViewFactory factory;
    factory.thumbnailView = [](const ViewContext &c) -> QWidget * {
        return new CAlbView(c.doc, c.settings, c.host, c.lists, c.parent);
    };
    factory.imageView = [](const ViewContext &c) -> QWidget * {
        return new CAlbImgView(c.doc, c.settings, c.host, c.lists, c.parent);
    };
    factory.updateThumbnails = [](QWidget &view, int firstSelected) {
        static_cast<CAlbView &>(view).UpdateFromDocument(firstSelected);
    };
    factory.redrawThumbnails = [](QWidget &view) {
        static_cast<CAlbView &>(view).RedrawFrames();
    };
    SetViewFactory(std::move(factory));
}

// The information sheet (commands 30112 and 30113) opens over the main window. The document runs
// it; it has no commands of its own to add to the route.
void RegisterInfoSheet()
{
    RegisterCommandUnit([](const CommandUnitContext &context) -> std::unique_ptr<CommandTarget> {
        QWidget *owner = &context.frame;
        context.doc.setInfoSheetRunner([owner](CAlbDoc &doc) { return RunInfoSheet(doc, owner); });
        return nullptr;
    });
}

// The crop-and-save sheet (command 30306).
void RegisterCropSheet()
{
    RegisterCommandUnit([](const CommandUnitContext &c) -> std::unique_ptr<CommandTarget> {
        return std::make_unique<CropCommand>(c.doc, &c.lists, &c.frame);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    // Qt takes its own options (-platform, -display ...) out of argv; the rest is ours.
    QApplication application(argc, argv);
    const std::vector<std::string> parameters(argv + 1, argv + argc);

    RegisterViews();
    RegisterCommandUnit(MakeFileCommands);
    RegisterCommandUnit(MakeCaptureUnit);
    RegisterInfoSheet();
    RegisterCropSheet();
    CAlbApp app;
    switch (app.initInstance(parameters)) {
    case CAlbApp::Start::HandedOver:
        return 0;
    case CAlbApp::Start::Failed:
        return 1;
    case CAlbApp::Start::Running:
        break;
    }
    // Told to end while the start-up showed a message: end as Exit does, without the loop.
    const int status = app.endingRequested() ? 0 : QApplication::exec();
    app.exitInstance();
    return status;
}
