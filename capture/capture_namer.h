#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The name the next capture would get in folder with prefix and file format (0 BMP, 1 JPEG,
// 2 GIF), without folder: what the capture dialogs show as the sample and the file name.
using CaptureNamer = std::function<std::string(const std::string &folder, const std::string &prefix,
                                               std::int32_t format)>;
