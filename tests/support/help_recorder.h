#pragma once

#include "platform/help.h"

#include <string>
#include <vector>

// Keeps the help URLs the program opens instead of opening them, for as long as it lives.
class HelpRecorder
{
public:
    HelpRecorder()
        : previous(SetHelpOpener([this](const std::string &url) { urls.push_back(url); }))
    { }

    ~HelpRecorder() { SetHelpOpener(previous); }

    HelpRecorder(const HelpRecorder &) = delete;
    HelpRecorder &operator=(const HelpRecorder &) = delete;

    std::vector<std::string> urls;

private:
    HelpOpener previous;
};
