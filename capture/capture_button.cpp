#include "capture/capture_button.h"

#include "app/app_settings.h"
#include "capture/capture_settings.h"

// A foreign registration of the chord cannot be released before claiming it again, as a device
// that hands buttons to the shell would allow: X gives no client another's grab. Registration is
// one attempt.

CaptureButton::CaptureButton(AppSettings &appSettings,
                             std::unique_ptr<HotKeyRegistration> registration)
    : settings(appSettings), hotKey(std::move(registration))
{
    hotKey->setMappingChanged([this] { mappingChanged(); });
}

CaptureButton::~CaptureButton()
{
    hotKey->unregisterButton();
}

void CaptureButton::claimAtStart()
{
    if (CaptureSettings::enabled(settings)
        && !hotKey->registerButton(CaptureSettings::trigger(settings)))
        CaptureSettings::setBit(settings, CaptureFlag::CaptureEnabled, false);
}

bool CaptureButton::registerButton(int n)
{
    return hotKey->registerButton(n);
}

bool CaptureButton::unregisterButton()
{
    return hotKey->unregisterButton();
}

void CaptureButton::mappingChanged()
{
    if (!CaptureSettings::enabled(settings))
        return;
    // The button held is the one to follow; after a delay was chosen the trigger names no button
    // while the button chosen before stays claimed. It is claimed again without being let go
    // first: most mapping notices leave its key where it was (another keyboard typed on, a tool
    // that sends keys), and a press in between would be lost. A key that can no longer be
    // claimed is let go, as its old key code may now be another key.
    const int held = hotKey->registeredButton();
    if (!hotKey->registerButton(held != 0 ? held : CaptureSettings::trigger(settings)))
        hotKey->unregisterButton();
}
