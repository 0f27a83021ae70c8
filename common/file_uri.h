#pragma once

#include <string>
#include <string_view>

// The file: URI of an absolute host path, escaped the way the desktop's file managers escape
// it, so that the names derived from it (the thumbnail cache's) are the ones they use: letters,
// digits and -._~!$&'()*+,=:@/ stay as they are, every other byte (spaces, %, #, ?, bytes
// that are not ASCII) becomes %XX with upper-case hexadecimal digits.
std::string FileUri(std::string_view absolutePath);
