#pragma once

#include <cstdint>
#include <vector>

class QWidget;

// Puts the main window where it was left (saved, as SavedPlacement gave it) or, the first time or
// when that cannot be restored, at two thirds of the screen's free area, centred on it.
void PlaceMainWindow(QWidget &window, const std::vector<std::uint8_t> &saved);

// Where and how large window is now, in a form PlaceMainWindow restores.
std::vector<std::uint8_t> SavedPlacement(const QWidget &window);
