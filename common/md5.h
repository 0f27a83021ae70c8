#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The MD5 digest of a byte string. It names the files of the desktop's thumbnail cache, where it
// serves as a hash, not as protection: nothing here relies on it resisting attacks.
std::array<std::uint8_t, 16> Md5(std::string_view bytes);

// The digest as 32 lowercase hexadecimal digits.
std::string Md5Hex(std::string_view bytes);
