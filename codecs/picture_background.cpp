#include "codecs/picture_background.h"

#include <atomic>

namespace {

// Decodes run on worker threads while the window's thread may change the setting.
std::atomic<RgbValue> background{ kDefaultPictureBackground };

} // namespace

RgbValue PictureBackground()
{
    return background.load(std::memory_order_relaxed);
}

void SetPictureBackground(RgbValue colour)
{
    background.store(colour, std::memory_order_relaxed);
}
