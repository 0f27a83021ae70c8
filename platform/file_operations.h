#pragma once

#include <cstdint>
#include <string_view>

// File and folder changes on device or host paths. Each throws the file exception (host error text
// with the path as given) when the host refuses.

void DeleteFileAt(std::string_view path);
// Sets or clears the read-only attribute (FileAttribute::ReadOnly); other bits are ignored.
void SetFileAttributesAt(std::string_view path, std::uint32_t attributes);
void CreateFolderAt(std::string_view path);
// Removes an empty folder.
void RemoveFolderAt(std::string_view path);
