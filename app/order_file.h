#pragma once

#include <string>
#include <vector>

// The order file the album leaves in each folder: the file names of the pictures in album
// order. Nothing in the program reads it back; the folder operations delete it with the folder.

// The order file's name: the program file's name without folder and extension, then ".orna"
// ("vistrel.orna" for the program "vistrel").
std::string OrderFileName();

// The bytes of the file: a 32-bit little-endian count, then per name a 32-bit little-endian
// length in UTF-16 units and the name in UTF-16LE. Invalid UTF-8 becomes U+FFFD.
std::vector<unsigned char> OrderFileBytes(const std::vector<std::string> &names);

// Writes the order file into folder (a device path), replacing any earlier one only when the new
// file is complete. Throws the file exception when the folder cannot be written.
void WriteOrderFile(const std::string &folder, const std::vector<std::string> &names);
