#pragma once

#include "cli_arguments.h"
#include "image/rect.h"
#include "operations/save_picture.h"

#include <optional>
#include <string>
#include <vector>

// What `vistrel-cli convert` was asked to do.
struct ConvertArgs
{
    std::string in;
    std::string out;
    SaveOptions options;
    std::optional<Rect> crop;
};

// Reads the arguments after "convert": IN, OUT and the options. The format comes from --format or
// OUT's extension; colours and quality are checked against the format's lists and defaulted.
// Throws ArgumentError for anything it refuses, HelpRequested for --help.
// Touches no file.
ConvertArgs ParseConvertArguments(const std::vector<std::string> &list);
