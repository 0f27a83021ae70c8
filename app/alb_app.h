#pragma once

#include "app/app_settings.h"
#include "app/command_line.h"
#include "app/image_lists.h"
#include "platform/command_route.h"
#include "platform/settings_store.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CAlbDoc;
class CMainFrame;
class InstanceChannel;

// The application object: owns the settings and their store, the document and the main frame,
// keeps the program to one running instance, runs command lines and writes the settings at exit.
// It is the last target of the command route.
class CAlbApp : public QObject, public CommandTarget
{
    Q_OBJECT

public:
    enum class Start {
        Running, // the frame is up; run the event loop
        HandedOver, // another instance took the command line; end now
        Failed, // the settings or the frame could not be prepared
    };

    explicit CAlbApp(std::string settingsFilePath = SettingsStore::DefaultFilePath());
    ~CAlbApp() override;
    CAlbApp(const CAlbApp &) = delete;
    CAlbApp &operator=(const CAlbApp &) = delete;

    // The start-up steps, in order; parameters are the command line after the program name.
    Start initInstance(const std::vector<std::string> &parameters);
    // Closes the frame and the document (which writes its order file), then saves the settings.
    void exitInstance();

    // Whether the program was told to end from outside (SIGTERM and the like); when that came
    // during the start-up, the event loop is not to be run.
    bool endingRequested() const { return endRequested; }

    // Writes the order file and the settings as exitInstance does, for an end without the event
    // loop's return (the X server went away); reports nothing.
    void saveQuietly();

    // Shows the command line's folder, picture and view; makes the document and the frame first
    // when they do not exist yet. False when the frame cannot be made.
    bool runCommandLine(const CAlbCommandLineInfo &info);
    // Something outside the album (a capture's notice) asks to show the picture at a device
    // path: Select View of it, as "-i" would, with the frame brought forward.
    void openPicture(const std::string &devicePath);

    bool onCommand(std::uint32_t id) override;
    bool onCommandState(std::uint32_t id, CommandState &state) override;

    AppSettings &appSettings() { return settings; }

    SettingsStore &settingsStore() { return store; }

    const ImageLists &imageLists() const { return lists; }

    CAlbDoc *document() const { return doc.get(); }

    CMainFrame *mainFrame() const { return frame.get(); }

private:
    bool claimInstance(const std::vector<std::string> &parameters);
    void listenForEndRequests();
    bool createDocumentAndFrame();
    void runHandedOverCommandLine();
    void raiseFrame();
    void showAbout();
    void traceState() const;

    AppSettings settings;
    SettingsStore store;
    ImageLists lists;
    std::unique_ptr<InstanceChannel> channel;
    std::unique_ptr<CAlbDoc> doc;
    std::unique_ptr<CMainFrame> frame;
    // Declared after the frame and the document: they refer to both and go first.
    std::vector<std::unique_ptr<CommandTarget>> units;
    bool endRequested = false;
};

// Hides and cancels up to five open dialogs of the program, one per pass, so that a handed-over
// command line is not run underneath a modal dialog. Returns how many were closed.
int CloseOpenDialogs();

// The folder a command line shows: folder without its trailing backslash, or its nearest existing
// parent when it does not exist (the folder tree can only select a folder that exists); "\" at
// the end.
std::string ExistingFolderFor(const std::string &folder);
