#include "image/display_info.h"

namespace {

// Written once by the probe on the user-interface thread before any view draws; only read
// afterwards.
DisplayInfo currentInfo;

} // namespace

const DisplayInfo &CurrentDisplayInfo()
{
    return currentInfo;
}

void SetDisplayInfo(const DisplayInfo &info)
{
    currentInfo = info;
}
