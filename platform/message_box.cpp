#include "platform/message_box.h"

#include <QApplication>
#include <QMainWindow>
#include <QWidget>

#include <cstdio>

namespace {

constexpr std::uint32_t kButtonBits = 0x0f;
constexpr std::uint32_t kIconBits = 0xf0;

QMessageBox::StandardButtons buttonsOf(std::uint32_t type)
{
    switch (type & kButtonBits) {
    case MessageBoxType::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageBoxType::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageBoxType::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconOf(std::uint32_t type)
{
    switch (type & kIconBits) {
    case MessageBoxType::IconError:
        return QMessageBox::Critical;
    case MessageBoxType::IconQuestion:
        return QMessageBox::Question;
    case MessageBoxType::IconWarning:
        return QMessageBox::Warning;
    case MessageBoxType::IconInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton escapeButtonOf(std::uint32_t type)
{
    QMessageBox::StandardButtons buttons = buttonsOf(type);
    if (buttons & QMessageBox::Cancel)
        return QMessageBox::Cancel;
    return (buttons & QMessageBox::No) ? QMessageBox::No : QMessageBox::Ok;
}

bool haveWidgets()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

QWidget *liveWidget(WindowHandle window)
{
    if (!window || !haveWidgets())
        return nullptr;
    for (QWidget *widget : QApplication::allWidgets()) {
        if (widget == window)
            return widget;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<QMessageBox> BuildMessageBox(const MessageBoxRequest &request, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(QString::fromStdString(request.title));
    box->setTextFormat(Qt::PlainText);
    box->setText(QString::fromStdString(request.text));
    box->setIcon(iconOf(request.type));
    box->setStandardButtons(buttonsOf(request.type));
    box->setEscapeButton(escapeButtonOf(request.type));
    return box;
}

int MessageBoxAnswerOf(QMessageBox::StandardButton button, std::uint32_t type)
{
    if (!(buttonsOf(type) & button))
        button = escapeButtonOf(type);
    switch (button) {
    case QMessageBox::Cancel:
        return MessageBoxAnswer::Cancel;
    case QMessageBox::Yes:
        return MessageBoxAnswer::Yes;
    case QMessageBox::No:
        return MessageBoxAnswer::No;
    default:
        return MessageBoxAnswer::Ok;
    }
}

int QtMessageBoxSink::show(const MessageBoxRequest &request)
{
    // Without a widget application there is nothing to show a box on; the standard-error report
    // is the honest fallback, answered as if the user closed the box.
    if (!haveWidgets()) {
        std::fprintf(stderr, "%s: %s\n", request.title.c_str(), request.text.c_str());
        return MessageBoxAnswerOf(QMessageBox::NoButton, request.type);
    }
    QWidget *parent = liveWidget(request.owner);
    if (!parent)
        parent = liveWidget(mainWindow());
    std::unique_ptr<QMessageBox> box = BuildMessageBox(request, parent);
    auto pressed = static_cast<QMessageBox::StandardButton>(box->exec());
    return MessageBoxAnswerOf(pressed, request.type);
}

bool QtMessageBoxSink::isLiveWindow(WindowHandle window) const
{
    return liveWidget(window) != nullptr;
}

WindowHandle QtMessageBoxSink::mainWindow() const
{
    if (!haveWidgets())
        return nullptr;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    // The program's frame is its one main window; any other visible window only stands in.
    QWidget *fallback = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (!widget->isVisible())
            continue;
        if (qobject_cast<QMainWindow *>(widget))
            return widget;
        if (!fallback)
            fallback = widget;
    }
    return fallback;
}

void InstallQtMessageBoxSink()
{
    static QtMessageBoxSink sink;
    SetMessageBoxSink(&sink);
}
