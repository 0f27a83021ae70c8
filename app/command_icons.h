#pragma once

#include <QIcon>

#include <cstdint>

// The icon of a command for menus and bars: the desktop icon theme's own (freedesktop.org names:
// zoom-in, go-previous, edit-delete, ...) where the theme has one, else a picture of our own
// (res/icons), so that bars are never text-only on a desktop without a theme. Null for a command
// without one.
QIcon CommandIcon(std::uint32_t id);
