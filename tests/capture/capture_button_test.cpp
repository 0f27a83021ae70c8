// The capture button across a change of the keyboard mapping.
#include "capture/capture_button.h"

#include "app/app_settings.h"
#include "capture/capture_settings.h"

#include <gtest/gtest.h>

namespace {

// Stands for the desktop's registration: the key is there to claim or not, and each letting go
// of a button held is counted.
struct RecordingRegistration final : HotKeyRegistration
{
    bool registerButton(int n) override
    {
        if (*claimable)
            held = n;
        return *claimable;
    }

    bool unregisterButton() override
    {
        *letGo += held != 0 ? 1 : 0;
        held = 0;
        return true;
    }

    int registeredButton() const override { return held; }

    void setMappingChanged(std::function<void()>) override { }

    bool *claimable = nullptr;
    int *letGo = nullptr;
    int held = 0;
};

// A press that comes while the button is let go is lost, so a mapping notice claims it again
// without letting it go; a key that can no longer be claimed is let go.
TEST(CaptureButton, AMappingNoticeKeepsTheButtonWhileItsKeyCanBeClaimed)
{
    for (bool stillThere : { true, false }) {
        AppSettings settings;
        CaptureSettings::setBit(settings, CaptureFlag::CaptureEnabled, true);
        CaptureSettings::setTrigger(settings, 1);
        bool claimable = true;
        int letGo = 0;
        auto registration = std::make_unique<RecordingRegistration>();
        registration->claimable = &claimable;
        registration->letGo = &letGo;
        CaptureButton button(settings, std::move(registration));
        button.claimAtStart();
        claimable = stillThere;
        button.mappingChanged();
        EXPECT_EQ(button.registeredButton(), stillThere ? 1 : 0) << stillThere;
        EXPECT_EQ(letGo, stillThere ? 0 : 1) << stillThere;
    }
}

} // namespace
