#pragma once

#include "common/alb_exception.h"

#include <cstdint>
#include <functional>
#include <string_view>

class CAlbDoc;
class ImageItem;

// What the file and folder commands share: their reports and the look-up of an item by the exact
// name of its file.

// "Unable to access the file." as a warning at the given place and step of the file operations,
// with the reason when one is known.
void ReportUnableToAccess(std::uint32_t place, std::uint32_t step,
                          const CAlbExceptionBase *reason = nullptr);

// Runs body; a failure that escapes it is reported once, with its own message, at place and
// step 1. Files deleted before the failure stay deleted.
void RunFileOperation(std::uint32_t place, const std::function<void()> &body);

// The item whose fileName is exactly name, or none. Items are looked up by name again after every
// question: while a question is open, other events may change the list.
ImageItem *ItemNamed(const CAlbDoc &doc, std::string_view name);
