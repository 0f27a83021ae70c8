#pragma once

#include "capture/capture_dialog.h"
#include "platform/button_hot_key.h"

#include <memory>

struct AppSettings;

// The capture button: the application button chosen in the settings, claimed as a hot key while
// capture is enabled. A press delivers the hot-key message through the registration's delivery
// function (to the capture, which starts it).
//
// claimAtStart is a step of the start, once the frame is made: it claims captureTrigger when
// captureEnabled is set and clears captureEnabled, without a word, when that fails. A change of
// the keyboard mapping claims the button again (its key may have moved) without letting it go
// first; a key that can no longer be claimed is let go. That result is not reported. The button
// is given back when the object goes, at the program's normal end: a program that dies loses its
// grab with its connection anyway.
class CaptureButton final : public CaptureButtonControl
{
public:
    // The key is claimed through hotKey (the desktop backend's registration).
    CaptureButton(AppSettings &settings, std::unique_ptr<HotKeyRegistration> hotKey);
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
