#pragma once

#include "platform/command_route.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CAlbDoc;
class CMainFrame;
class SettingsStore;
struct AppSettings;
struct ImageLists;

// Commands that live in units of their own (file operations, capture, the sheets) rather than in
// the document. The application's folder knows none of them: the program registers their makers
// at start, the application makes them once the document and the frame exist, and the frame asks
// them right after the document. They are destroyed before the frame and the document.
struct CommandUnitContext
{
    CAlbDoc &doc;
    AppSettings &settings;
    SettingsStore &store;
    const ImageLists &lists;
    CMainFrame &frame;
    // Shows the picture at a device path in Select View and brings the frame forward (a
    // capture's notice asks for it); not set where there is no album to show it in.
    std::function<void(const std::string &devicePath)> openPicture = {};
};

using CommandUnitMaker = std::function<std::unique_ptr<CommandTarget>(const CommandUnitContext &)>;

// Adds a maker; the units are made in the order their makers were added.
void RegisterCommandUnit(CommandUnitMaker maker);
const std::vector<CommandUnitMaker> &RegisteredCommandUnits();
// Forgets every maker (tests that build more than one program set-up).
void ClearCommandUnits();
