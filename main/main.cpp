#include "app/alb_app.h"

#include <QApplication>

#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    // Qt takes its own options (-platform, -display ...) out of argv; the rest is ours.
    QApplication application(argc, argv);
    const std::vector<std::string> parameters(argv + 1, argv + argc);

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
