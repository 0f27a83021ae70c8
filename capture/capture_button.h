#pragma once

#include "capture/capture_dialog.h"
#include "platform/button_hot_key.h"
#include "platform/desktop_backend.h"

#include <memory>

#include <string>

struct AppSettings;

// The capture button of the main frame: the application button chosen in the settings, claimed
// as a hot key while capture is enabled. A press delivers the hot-key message through the
// delivery function (to the frame, which starts the capture).
//
// claimAtStart is the frame's creation step: it claims captureTrigger when captureEnabled is set
// and clears captureEnabled, without a word, when that fails. A change of the keyboard mapping
// claims the button again (its key may have moved); that result is not reported. The button is
// given back when the object goes, at the program's normal end: a program that dies loses its
// grab with its connection anyway.
class CaptureButton final : public CaptureButtonControl
{
public:
    // The key is claimed through backend's registration; displayName (empty: $DISPLAY) is the
    // X server's.
    CaptureButton(AppSettings &settings, HotKeyDelivery delivery, DesktopBackend backend,
                  const std::string &displayName = {});
    ~CaptureButton() override;
    CaptureButton(const CaptureButton &) = delete;
    CaptureButton &operator=(const CaptureButton &) = delete;

    void claimAtStart();

    bool registerButton(int n) override;
    bool unregisterButton() override;

    int registeredButton() const override { return hotKey->registeredButton(); }

    // What a keyboard-mapping change does; public for tests that cannot change the mapping.
    void mappingChanged();

private:
    AppSettings &settings;
    std::unique_ptr<HotKeyRegistration> hotKey;
};
