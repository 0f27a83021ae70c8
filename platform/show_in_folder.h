#pragma once

#include <QDBusConnection>

#include <string>

// Shows a file in the desktop's file manager, selected in its folder: through the file manager's
// interface on the session bus (org.freedesktop.FileManager1 ShowItems); where no file manager
// answers there, the folder is opened with the desktop's opener (xdg-open, through StartProgram).
// hostPath is the file's host path. Does not wait.
void ShowInFolder(const std::string &hostPath, QDBusConnection bus = QDBusConnection::sessionBus());
