#pragma once

#include <cstdint>

struct AppSettings;

// The thumbnail cell sizes, smallest first: the Small and Large cells, then larger ones about
// 96, 128, 192 and 256 pixels wide for today's screens. Every cell is a picture area of three by
// four plus the frame's 7 pixels.
struct CellSize
{
    std::uint16_t width;
    std::uint16_t height;
};

inline constexpr CellSize kSmallCell{ 55, 71 };
inline constexpr CellSize kLargeCell{ 67, 87 };

// How many cell sizes there are, and the one at an index (clamped to the steps).
inline constexpr int kCellStepCount = 6;
CellSize CellStep(int index);

// The step in force: the largest no wider than the cell (the smallest when every step is wider).
int CellStepInForce(const AppSettings &settings);

// Whether the cell is exactly the size of the step.
bool IsCellStep(const AppSettings &settings, int index);

// Sets the cell size of the step (clamped to the steps), as SetCellSize does. False when it was
// in force.
bool SetCellStep(AppSettings &settings, int index);

// Sets the cell size steps smaller (negative) or larger (positive) than the one in force (a size
// that is none of the steps counts as the nearest below it), keeping the splits of the views at
// the same number of whole rows. False when already at the end.
bool StepCellSize(AppSettings &settings, int steps);

// Sets the cell size; the splits keep their number of whole rows. False when it was in force.
bool SetCellSize(AppSettings &settings, CellSize size);
