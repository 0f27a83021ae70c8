#pragma once

#include "common/error_report.h"

#include <QMessageBox>

#include <cstdint>
#include <memory>

class QWidget;

// Reports shown as real message boxes. Type bits choose the buttons (low four bits) and the icon
// (the next four); the button pressed comes back as a MessageBoxAnswer value.
class QtMessageBoxSink final : public MessageBoxSink
{
public:
    int show(const MessageBoxRequest &request) override;
    // Whether window is one of the application's widgets that still exists. The handle is only
    // compared, never followed, so a dangling one is safe to ask about.
    bool isLiveWindow(WindowHandle window) const override;
    // The active window, else the first visible top-level window; nullptr when there is none.
    WindowHandle mainWindow() const override;
};

// The box a request shows (not yet run), for the sink and its tests. The text is plain text: a
// file name holding '<' must not be read as markup.
std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest &request, QWidget *parent);

// The MessageBoxAnswer value for the button pressed in a box of the given type. A box closed
// without a button counts as its escape answer: Cancel where there is one, No for Yes/No, else Ok.
int MessageBoxAnswerOf(QMessageBox::StandardButton button, std::uint32_t type);

// Installs a QtMessageBoxSink that lives until the program ends.
void InstallQtMessageBoxSink();
