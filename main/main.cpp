#include "app/alb_app.h"
#include "app/command_units.h"
#include "app/main_frame.h"
#include "app/view_factory.h"
#include "sheets/crop_command.h"
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
    factory.redrawThumbnails = [](QWidget &view) { static_cast<CAlbView &>(view).RedrawFrames(); };
    SetViewFactory(std::move(factory));
}

// Command units join the route after the document.
void RegisterUnits()
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
    RegisterUnits();
    CAlbApp app;
    switch (app.initInstance(parameters)) {
    case CAlbApp::Start::HandedOver:
        return 0;
    case CAlbApp::Start::Failed:
        return 1;
    case CAlbApp::Start::Running:
        break;
    }
    const int status = QApplication::exec();
    app.exitInstance();
    return status;
}
