#pragma once

#include "app/alb_doc.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
struct AppSettings;
class SettingsStore;

// Dialog 116, "Options": screen colour mode, auto-rotate direction, thumbnail size and the home
// folder. Each control's objectName is its id. OK applies the choices to the settings and writes
// "Preferences"; the home folder changes as soon as a new one is chosen.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    // Asks for a folder, starting at a device path; the chosen device path or nothing.
    using FolderChooser = std::function<std::optional<std::string>(
            QWidget *parent, const std::string &start, const std::string &prompt)>;

    OptionsDialog(AppSettings &settings, SettingsStore &store, QWidget *parent = nullptr);

    void setFolderChooser(FolderChooser chooser) { folderChooser = std::move(chooser); }

    // Whether OK changed the thumbnail size (the thumbnails must be made again).
    bool thumbnailsChanged() const { return sizeChanged; }

    void accept() override;

private:
    void buildControls();
    void loadSettings();
    void changeHome();
    void applyThumbnailSize(bool small);

    AppSettings &settings;
    SettingsStore &store;
    FolderChooser folderChooser;
    bool sizeChanged = false;
    bool loadedSmall = true;
    QComboBox *colorList = nullptr;
    QRadioButton *leftButton = nullptr;
    QRadioButton *rightButton = nullptr;
    QRadioButton *smallButton = nullptr;
    QRadioButton *largeButton = nullptr;
    QCheckBox *sharedCacheBox = nullptr;
    QLineEdit *homeField = nullptr;
};

// The folder chooser of the dialog until the folder picker takes its place: the host's folder
// dialog, its answer turned into a device path (nothing for a folder outside the device root).
std::optional<std::string> ChooseFolderWithFileDialog(QWidget *parent, const std::string &start,
                                                      const std::string &prompt);

// Runs the dialog modally over the application's active window.
OptionsOutcome RunOptionsDialog(AppSettings &settings, SettingsStore &store);
