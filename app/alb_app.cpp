#include "app/alb_app.h"

#include "app/about_box.h"
#include "app/alb_dir_tree.h"
#include "app/alb_doc.h"
#include "app/alb_splitter.h"
#include "app/command_units.h"
#include "app/doc_commands.h"
#include "app/folder_picker.h"
#include "app/folder_watch.h"
#include "app/frame_commands.h"
#include "app/frame_panes.h"
#include "app/main_frame.h"
#include "app/options_dialog.h"
#include "app/settings_writes.h"
#include "app/trace_log.h"
#include "app/window_placement.h"
#include "codecs/picture_background.h"
#include "common/alb_exception.h"
#include "common/dir_record.h"
#include "common/error_report.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "platform/display_path.h"
#include "platform/display_probe.h"
#include "platform/instance_channel.h"
#include "platform/known_folders.h"
#include "platform/low_memory_notice.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QDialog>
#include <QSessionManager>
#include <QStyle>
#include <QToolBar>

#include <cstdlib>
#include <new>

namespace {

constexpr const char *kStringsSection = "Strings";
constexpr const char *kCommandValue = "Command";
constexpr int kMaxDialogsClosed = 5;

// Called by operator new only when an allocation really fails: the program's own report of it.
void ThrowNotEnoughMemory()
{
    std::set_new_handler(nullptr);
    CAlbException failure(Msg::NotEnoughMemory);
    std::set_new_handler(ThrowNotEnoughMemory);
    throw failure;
}

std::uint32_t ViewCommandFor(int launchMode)
{
    switch (launchMode) {
    case LaunchMode::Select:
        return static_cast<std::uint32_t>(ViewMode::Select);
    case LaunchMode::FullScreen:
        return static_cast<std::uint32_t>(ViewMode::FullScreen);
    default:
        return static_cast<std::uint32_t>(ViewMode::Thumbnail);
    }
}

void ReportFailure(const CAlbExceptionBase &failure)
{
    ShowErrorMessage(nullptr, 0, 0, MessageBoxType::IconError, 0, 0, 0, &failure);
}

// Tells the user, once at start, about a settings file that was moved aside or is left alone.
void ReportSettingsCondition(SettingsStore::Condition condition, const std::string &path)
{
    if (condition == SettingsStore::Condition::MovedAside)
        ShowMessageText(nullptr,
                        "The settings file\n" + path
                                + "\ncould not be read as settings. It was moved aside as\n" + path
                                + ".bad\nand the default settings are used.",
                        MessageBoxType::IconWarning);
    else if (condition == SettingsStore::Condition::ReadOnly)
        ShowMessageText(nullptr,
                        "The settings file\n" + path
                                + "\nis read-only: changes to the settings will not be kept.",
                        MessageBoxType::IconInformation);
}

// Tests of the whole program press the command bar's buttons: where they are goes into the trace
// file as "button<TAB>id<TAB>x<TAB>y" (the centre in window coordinates).
void TraceButtons(const CMainFrame &frame)
{
    if (!TraceEnabled())
        return;
    std::string lines;
    for (const auto &[id, centre] : frame.commandBarButtons())
        lines += "button\t" + std::to_string(id) + '\t' + std::to_string(centre.x()) + '\t'
                + std::to_string(centre.y()) + '\n';
    // And how the splitter shares the window out: "panes<TAB>first<TAB>second".
    if (const CAlbSplitter *split = frame.panes().splitter()) {
        const PaneSizes sizes = split->paneSizes();
        lines += "panes\t" + std::to_string(sizes.first) + '\t' + std::to_string(sizes.second)
                + '\n';
    }
    AppendTraceText(lines);
}

// The Options dialog with the program's own folder picker behind "Change...".
OptionsOutcome RunOptionsWithFolderPicker(CAlbDoc &document)
{
    OptionsDialog dialog(document.appSettings(), document.settingsStore(),
                         QApplication::activeWindow());
    dialog.setFolderChooser(PickFolder);
    OptionsOutcome outcome;
    outcome.accepted = dialog.exec() == QDialog::Accepted;
    outcome.thumbnailsChanged = outcome.accepted && dialog.thumbnailsChanged();
    return outcome;
}

// The application running now, for SaveAtAbruptExit.
CAlbApp *gRunning = nullptr;

// Qt ends the program with exit() when the X server goes away, without returning from the event
// loop; what Exit writes is written here.
void SaveAtAbruptExit()
{
    if (gRunning)
        gRunning->saveQuietly();
}

} // namespace

int CloseOpenDialogs()
{
    int closed = 0;
    const QWidget *previous = nullptr;
    for (int pass = 0; pass < kMaxDialogsClosed; ++pass) {
        QDialog *open = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *dialog = qobject_cast<QDialog *>(widget);
            if (dialog && dialog != previous && dialog->isVisible()) {
                open = dialog;
                break;
            }
        }
        if (!open)
            break;
        open->hide();
        open->reject();
        previous = open;
        ++closed;
    }
    return closed;
}

std::string ExistingFolderFor(const std::string &folder)
{
    std::string path = RemoveBackslash(folder);
    while (!path.empty() && path != "\\") {
        DirectoryRecord facts;
        if (ProbeFile(path, &facts) && facts.isDirectory())
            return path;
        const std::string parent = FolderPart(path, true);
        if (parent == path)
            break;
        path = parent;
    }
    return "\\";
}

CAlbApp::CAlbApp(std::string settingsFilePath) : store(std::move(settingsFilePath)) { }

CAlbApp::~CAlbApp()
{
    if (gRunning == this)
        gRunning = nullptr;
    units.clear();
    if (doc)
        doc->setFrame(nullptr);
    frame.reset();
    doc.reset();
}

CAlbApp::Start CAlbApp::initInstance(const std::vector<std::string> &parameters)
{
    if (!claimInstance(parameters))
        return Start::HandedOver;
    listenForEndRequests();
    QCoreApplication::setOrganizationName(QStringLiteral("Ornwick"));
    QCoreApplication::setApplicationName(QStringLiteral("Vistrel"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.00"));
    InstallQtMessageBoxSink();
    SetShownPathForm(DisplayPath);
    std::set_new_handler(ThrowNotEnoughMemory);
    InstallPersonalFolderString();
    ProbeAndSetDisplayInfo();

    settings.viewMode = 0;
    settings.previousViewMode = 0;
    settings.appFlags = AppFlag::StartingUp;
    ReportSettingsCondition(store.prepare(), store.filePath());
    const int scrollBar = QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    try {
        LoadSettings(store, settings, scrollBar, scrollBar);
    } catch (const CAlbExceptionBase &failure) {
        ReportFailure(failure);
        return Start::Failed;
    }
    // Transparent parts of pictures show the image view's background wherever they are drawn.
    SetPictureBackground(settings.prefs.imageBackColor);
    if (!BuildImageLists(lists))
        return Start::Failed;

    if (!runCommandLine(ParseCommandLine(parameters)))
        return Start::Failed;
    settings.appFlags &= ~AppFlag::StartingUp;
    return Start::Running;
}

void CAlbApp::listenForEndRequests()
{
    gRunning = this;
    static const bool registered = std::atexit(SaveAtAbruptExit) == 0;
    (void)registered;
    // Told to end from outside (kill, the terminal or the session going away), the program ends
    // as after File > Exit: the event loop ends and exitInstance writes the order file and the
    // settings.
    // Before the event loop runs, a message box of the start-up may be running one of its own,
    // which quitting does not end: it is closed, and the mark keeps the main loop from starting.
    auto *endRequest = new EndRequestNotice(this);
    connect(
            endRequest, &SignalNotice::noticed, this,
            [this] {
                endRequested = true;
                CloseOpenDialogs();
                QCoreApplication::quit();
            },
            Qt::QueuedConnection);
    // The session manager may end the program without asking again: store what Exit would.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] {
        if (doc)
            doc->SaveOrderFile();
        if (frame)
            settings.windowGeometry = SavedPlacement(*frame);
        WriteSettings([this] { SaveSettings(store, settings); });
    });
}

bool CAlbApp::claimInstance(const std::vector<std::string> &parameters)
{
    channel = std::make_unique<InstanceChannel>(
            InstanceChannelName(ProgramFilePath(), store.filePath()));
    const auto handOver = [this, &parameters] {
        if (parameters.empty())
            return false;
        try {
            store.writeString(SettingsSectionKey(kStringsSection), kCommandValue,
                              JoinCommandLine(parameters));
        } catch (const CAlbExceptionBase &) {
            // Without the stored command line the running instance is only brought forward.
            return false;
        }
        return true;
    };
    if (channel->claim(handOver, FrameCmd::RunHandedOverCommandLine)
        == InstanceChannel::Role::HandedOver)
        return false;
    connect(channel.get(), &InstanceChannel::requested, this,
            [this](InstanceRequest request, std::uint32_t id) {
                if (request == InstanceRequest::Raise)
                    raiseFrame();
                // Only the hand-over command is taken from another process.
                else if (id == FrameCmd::RunHandedOverCommandLine && frame)
                    frame->routeCommand(id);
            });
    return true;
}

bool CAlbApp::createDocumentAndFrame()
{
    doc = std::make_unique<CAlbDoc>(settings, store);
    doc->setOptionsRunner(RunOptionsWithFolderPicker);
    frame = std::make_unique<CMainFrame>(settings);
    if (!frame->panes().createClient(*doc, &lists)) {
        frame.reset();
        doc.reset();
        return false;
    }
    const auto open = [this](const std::string &path) {
        openPicture(path);
    };
    const CommandUnitContext context{ *doc, settings, store, lists, *frame, open };
    std::vector<CommandTarget *> unitTargets;
    for (const CommandUnitMaker &make : RegisteredCommandUnits()) {
        if (std::unique_ptr<CommandTarget> unit = make(context)) {
            unitTargets.push_back(unit.get());
            units.push_back(std::move(unit));
        }
    }
    frame->setRoute(doc.get(), this, unitTargets);
    // A child of the frame: it goes with the frame, before the document.
    new FolderWatch(*doc, *frame);
    doc->setFrame(&frame->panes());
    connect(frame.get(), &CMainFrame::commandRouted, this, [this](std::uint32_t id) {
        if (id == ViewMode::Thumbnail || id == ViewMode::Select || id == ViewMode::FullScreen
            || id == DocCmd::LeaveFullScreen)
            traceState();
    });
    // After a low-memory notice the album comes back as at a start without a command line.
    connect(frame.get(), &CMainFrame::resumeRequested, this,
            [this] { runCommandLine(CAlbCommandLineInfo{}); });
    frame->show();
    return true;
}

bool CAlbApp::runCommandLine(const CAlbCommandLineInfo &info)
{
    if (!frame && !createDocumentAndFrame())
        return false;

    frame->panes().area()->hide();
    if (settings.viewMode != ViewMode::FullScreen)
        frame->toolbar()->hide();
    frame->show();
    frame->repaint();

    if (!info.folder.empty())
        settings.currentFolder = info.folder;
    settings.viewMode = 0;

    // The tree opens the deepest existing folder on the way to currentFolder; the document loads
    // the folder the tree selected (a route failure is reported there).
    CAlbDirTree *tree = frame->panes().tree();
    if (!tree || !tree->BuildTree(settings.currentFolder))
        return false;
    frame->routeCommand(DocCmd::ReloadFromTree);
    if (!info.fileName.empty()) {
        doc->ClearSelection();
        doc->SelectByName(info.fileName);
    }
    frame->routeCommand(ViewCommandFor(info.launchMode));

    frame->panes().area()->show();
    frame->panes().relayoutAndPaint();
    traceState();
    TraceButtons(*frame);
    return true;
}

void CAlbApp::openPicture(const std::string &devicePath)
{
    CloseOpenDialogs();
    runCommandLine(ParseCommandLine({ "-i", devicePath }));
    raiseFrame();
}

void CAlbApp::saveQuietly()
{
    // No screen to report on any more: failures stay unreported.
    try {
        if (doc)
            doc->SaveOrderFile();
        SaveSettings(store, settings);
    } catch (...) { }
}

void CAlbApp::exitInstance()
{
    if (gRunning == this)
        gRunning = nullptr;
    if (frame) {
        settings.windowGeometry = SavedPlacement(*frame);
        frame->close();
        frame->setRoute(doc.get(), this);
        units.clear();
        doc->setFrame(nullptr);
        frame.reset();
    }
    if (doc) {
        doc->CloseDocument();
        doc.reset();
    }
    WriteSettings([this] { SaveSettings(store, settings); });
}

bool CAlbApp::onCommand(std::uint32_t id)
{
    switch (id) {
    case FrameCmd::About:
        showAbout();
        return true;
    case FrameCmd::RunHandedOverCommandLine:
        runHandedOverCommandLine();
        return true;
    default:
        return false;
    }
}

bool CAlbApp::onCommandState(std::uint32_t id, CommandState &state)
{
    if (id != FrameCmd::About && id != FrameCmd::RunHandedOverCommandLine)
        return false;
    state.enabled = true;
    state.handled = true;
    return true;
}

void CAlbApp::runHandedOverCommandLine()
{
    const std::optional<std::string> text =
            store.readString(SettingsSectionKey(kStringsSection), kCommandValue);
    if (!text || text->empty())
        return;
    CloseOpenDialogs();
    runCommandLine(ParseCommandLineText(*text));
}

void CAlbApp::raiseFrame()
{
    if (!frame)
        return;
    if (frame->isMinimized())
        frame->setWindowState(frame->windowState() & ~Qt::WindowMinimized);
    frame->show();
    frame->raise();
    frame->activateWindow();
}

void CAlbApp::showAbout()
{
    RunAboutBox(frame.get());
}

void CAlbApp::traceState() const
{
    if (!doc)
        return;
    const ImageItem *first = doc->FirstSelected();
    AppendTraceLine(settings.currentFolder, first ? first->fileName : std::string(),
                    settings.viewMode);
}
