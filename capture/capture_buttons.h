#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The "Name" of the local machine's button key n ("Software\Microsoft\Shell\Keys\40C<n>"), or
// nothing when the key or its name cannot be read.
using ButtonNameReader = std::function<std::optional<std::string>(int n)>;

// The names of the capture buttons: those of keys 1, 2, ... up to hardwareKeyCount, stopping at
// the first that cannot be read. When not even the first can, every key counts and each is
// called "Button n".
std::vector<std::string> CaptureButtonNames(int hardwareKeyCount, const ButtonNameReader &read);

// The same from the local machine's keys.
std::vector<std::string> CaptureButtonNames(int hardwareKeyCount);
