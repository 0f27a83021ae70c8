#pragma once

#include "capture/capture_namer.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class SettingsStore;
struct AppSettings;

// The capture button as the settings dialog claims and releases it (CaptureButton in the
// program).
class CaptureButtonControl
{
public:
    virtual ~CaptureButtonControl() = default;
    // Claims button n; the button held before is let go only when that succeeded.
    virtual bool registerButton(int n) = 0;
    virtual bool unregisterButton() = 0;
    // The button held, 0 when none.
    virtual int registeredButton() const = 0;
};

// The capture file-name prefix and format chosen in the "Capture File Format" dialog.
struct CaptureFormatChoice
{
    std::string prefix;
    std::int32_t format = 0;
};

// What the "Capture" dialog needs of the program around it; tests put recorders in place.
struct CaptureSettingsHost
{
    // The main frame's window; none means the frame is gone and OK cannot apply anything.
    QWidget *frame = nullptr;
    CaptureButtonControl *button = nullptr;
    // Stops the capture timer and starts it again, one shot, with the delay.
    std::function<void(int milliseconds)> startDelay;
    // Asks for a folder (the folder picker): the chosen folder, or nothing on Cancel.
    std::function<std::optional<std::string>(QWidget *parent, const std::string &start,
                                             const std::string &prompt)>
            chooseFolder;
    // Runs the "Capture File Format" dialog: the choice on OK, nothing on Cancel.
    std::function<std::optional<CaptureFormatChoice>(QWidget *parent, const std::string &folder,
                                                     const CaptureFormatChoice &current)>
            chooseFormat;
    CaptureNamer nextName;
};

// The resolutions (dpi) and delays (seconds) the dialog offers.
const std::vector<int> &CaptureResolutions();
const std::vector<int> &CaptureDelays();

// Dialog 107, "Capture": the capture button or a delay, the file resolution, confirmation and
// sound, the capture folder, and through dialog 105 the prefix and format; below them the capture
// area, the copy to the clipboard and the notice after a capture. OK registers or
// releases the button, arms the delay, applies everything to the settings and stores them; a
// failure to claim or release the button is reported and the check box shows what holds. Cancel
// changes nothing but a format already taken from dialog 105.
class CaptureDialog : public QDialog
{
    Q_OBJECT

public:
    CaptureDialog(AppSettings &settings, SettingsStore &store, std::vector<std::string> buttons,
                  CaptureSettingsHost host, QWidget *parent = nullptr);

    void accept() override;

private:
    void buildControls();
    QWidget *buildFolderGroup();
    QLayout *buildAreaControls();
    void loadSettings();
    void updateEnabling();
    void changeFolder();
    void changeFileName();
    void showFolder();
    void showFileName();
    // Steps of OK.
    void applyButton(int entry);
    void applySettings(std::optional<int> delaySeconds);
    void storeSettings();

    AppSettings &settings;
    SettingsStore &store;
    std::vector<std::string> buttonNames;
    CaptureSettingsHost host;
    std::string folder;
    std::string prefix;
    QCheckBox *enableBox = nullptr;
    QLabel *triggerLabel = nullptr;
    QComboBox *triggerList = nullptr;
    QLabel *resolutionLabel = nullptr;
    QComboBox *resolutionList = nullptr;
    QCheckBox *confirmBox = nullptr;
    QCheckBox *soundBox = nullptr;
    QLineEdit *folderField = nullptr;
    QLineEdit *nameField = nullptr;
    QLabel *areaLabel = nullptr;
    QComboBox *areaList = nullptr;
    QCheckBox *clipboardBox = nullptr;
    QCheckBox *noticeBox = nullptr;
};
