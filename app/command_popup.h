#pragma once

#include "platform/command_route.h"

#include <QPoint>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>

class QWidget;

// Where a command's enabled and checked state comes from: the frame's command route.
using CommandStateSource = std::function<CommandState(std::uint32_t id)>;

// Runs a pop-up menu of commands (the thumbnails' and the folder tree's) at global, a screen
// position. Each item shows the command's string and is enabled as stateOf says, the same state
// the menus and bars show at that moment; without a source every item is enabled. Returns the
// command chosen, 0 when none was.
std::uint32_t RunCommandPopup(QWidget *owner, const QString &name, const QString &title,
                              std::initializer_list<std::uint32_t> ids,
                              const CommandStateSource &stateOf, QPoint global);
