#pragma once

#include <functional>

// Writes to the settings file pass through here so that a file that cannot be written is
// reported once: the first failure is shown, the same failure again stays quiet (the user knows
// already) until a write succeeds or a different failure comes. Returns whether write succeeded.
bool WriteSettings(const std::function<void()> &write);
