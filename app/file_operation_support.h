#pragma once

#include "common/alb_exception.h"

#include <cstdint>
#include <functional>

// What the file and folder commands share: their reports.

// "Unable to access the file." as a warning at the given place and step of the file operations,
// with the reason when one is known.
void ReportUnableToAccess(std::uint32_t place, std::uint32_t step,
                          const CAlbExceptionBase *reason = nullptr);

// Runs body; a failure that escapes it is reported once, with its own message, at place and
// step 1. Files deleted before the failure stay deleted.
void RunFileOperation(std::uint32_t place, const std::function<void()> &body);
