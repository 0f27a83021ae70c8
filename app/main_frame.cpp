#include "app/main_frame.h"

#include "app/app_settings.h"
#include "app/command_bars.h"
#include "app/doc_commands.h"
#include "app/frame_commands.h"
#include "app/frame_panes.h"
#include "app/window_placement.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "platform/help.h"
#include "platform/low_memory_notice.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QToolBar>

namespace {

constexpr int kPopupOffsetFromRight = 22;

QString AppTitle()
{
    const auto title = FindString(Msg::AppTitle);
    return title ? QString::fromUtf8(title->data(), qsizetype(title->size()))
                 : QStringLiteral("Vistrel");
}

} // namespace

QPoint GoToPopupPosition(const QRect &buttonRect, const QSize &popupSize)
{
    // QRect::right() is the last pixel column; the edge is the one after it.
    const int rightEdge = buttonRect.x() + buttonRect.width();
    return { rightEdge - kPopupOffsetFromRight, buttonRect.y() - popupSize.height() };
}

std::uint32_t FrameHelpContext(std::int32_t viewMode)
{
    if (viewMode == ViewMode::Thumbnail || viewMode == ViewMode::Select)
        return static_cast<std::uint32_t>(viewMode);
    return HelpContext::MainContents;
}

CMainFrame::CMainFrame(AppSettings &appSettings, QWidget *parent)
    : QMainWindow(parent),
      settings(appSettings),
      actions(new CommandActions(this)),
      bar(new QToolBar(this)),
      tools(new QToolBar(this)),
      clientPanes(std::make_unique<FramePanes>(*this, appSettings))
{
    setWindowTitle(AppTitle());
    if (const auto className = FindString(Msg::MainWindowClass))
        setObjectName(QString::fromUtf8(className->data(), qsizetype(className->size())));

    connect(actions, &CommandActions::triggered, this,
            [this](std::uint32_t id) { routeCommand(id); });
    actions->buildMenuBar(menuBar(), [this] { updateCommandStates(); });

    bar->setObjectName(QString::number(FrameBar::CommandBar));
    bar->setMovable(false);
    actions->fillBar(bar, FrameBar::CommandBar);
    addToolBar(Qt::TopToolBarArea, bar);

    // The toolbar gets a row of its own under the command bar, as its buttons change with the mode.
    tools->setMovable(false);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, tools);
    actions->setZoomIndicator(true);
    loadToolbar(DocToolbar::Main);
    tools->setVisible(settings.toolbarVisible());

    // The commands with keys work by them even while the menu bar is hidden in full screen.
    for (const std::uint32_t id :
         { FrameCmd::Exit, DocCmd::DeletePictures, DocCmd::SelectAll, DocCmd::ImageInfo })
        addAction(commandAction(id));
    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this,
            [this] { ShowHelp(FrameHelpContext(settings.viewMode)); });
    // Full Screen View hides every bar: Escape and the desktop's full-screen key lead back out,
    // and the latter also leads in.
    auto *fullScreenToggle = new QShortcut(QKeySequence(Qt::Key_F11), this);
    connect(fullScreenToggle, &QShortcut::activated, this, [this] { fullScreenKey(true); });
    escapeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escapeKey->setEnabled(false);
    connect(escapeKey, &QShortcut::activated, this, [this] { fullScreenKey(false); });

    setCentralWidget(clientPanes->area());
    connect(new LowMemoryNotice(this), &LowMemoryNotice::noticed, this, &CMainFrame::hibernate);

    // A normal desktop window: where it was left, else two thirds of the screen, centred.
    PlaceMainWindow(*this, settings.windowGeometry);
}

CMainFrame::~CMainFrame()
{
    // The views talk to the panes as long as they live: they go first.
    delete centralWidget();
}

void CMainFrame::setRoute(CommandTarget *document, CommandTarget *application,
                          const std::vector<CommandTarget *> &units)
{
    chain.setViewSource([this] { return clientPanes->paneViews(); });
    std::vector<CommandTarget *> route{ document };
    route.insert(route.end(), units.begin(), units.end());
    route.push_back(this);
    route.push_back(application);
    chain.setTargets(std::move(route));
    updateCommandStates();
}

bool CMainFrame::routeCommand(std::uint32_t id)
{
    const bool handled = chain.dispatch(id);
    updateCommandStates();
    emit commandRouted(id);
    return handled;
}

void CMainFrame::updateCommandStates()
{
    actions->refresh([this](std::uint32_t id) { return chain.state(id); });
}

QAction *CMainFrame::commandAction(std::uint32_t id)
{
    return actions->action(id);
}

std::vector<std::pair<std::uint32_t, QPoint>> CMainFrame::commandBarButtons() const
{
    std::vector<std::pair<std::uint32_t, QPoint>> buttons;
    for (QAction *action : bar->actions()) {
        const QWidget *button = bar->widgetForAction(action);
        if (action->isSeparator() || !button || !button->isVisible())
            continue;
        const QPoint centre = button->mapTo(this, button->rect().center());
        buttons.emplace_back(action->objectName().toUInt(), centre);
    }
    return buttons;
}

std::uint32_t CMainFrame::loadedToolbar() const
{
    return tools->objectName().toUInt();
}

void CMainFrame::setFullScreen(bool on, std::uint32_t newToolbarId)
{
    escapeKey->setEnabled(on);
    if (on) {
        // Leaving full screen brings back the state the window had: a maximised window stays
        // maximised.
        if (!isFullScreen())
            windowedState = windowState() & ~Qt::WindowMinimized;
        menuBar()->hide();
        bar->hide();
        showFullScreen();
    } else {
        if (isFullScreen()) {
            setWindowState(windowedState);
            show();
        }
        menuBar()->show();
        bar->show();
        clientPanes->area()->raise();
    }
    if (newToolbarId == 0)
        return;
    loadToolbar(newToolbarId);
    tools->hide();
    if (!on && settings.toolbarVisible()) {
        // Shown through the toggle so that the command bar's button follows.
        settings.ui.captureFlags &= ~CaptureFlag::ToolbarVisible;
        toggleToolbar();
    }
}

void CMainFrame::setGoToSubmenu(const std::vector<MenuEntry> &entries)
{
    if (QMenu *submenu = actions->goToSubmenu())
        actions->fillMenu(submenu, entries, true);
}

void CMainFrame::showGoToPopup(const std::vector<MenuEntry> &entries)
{
    QMenu popup(this);
    actions->fillMenu(&popup, entries, false);
    QRect button;
    if (QWidget *widget = tools->widgetForAction(commandAction(DocCmd::GoToButton));
        widget && widget->isVisible())
        button = QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
    else
        button = QRect(mapToGlobal(rect().center()), QSize(0, 0));
    const QAction *chosen = popup.exec(GoToPopupPosition(button, popup.sizeHint()));
    if (!chosen)
        return;
    bool ok = false;
    const std::uint32_t id = chosen->objectName().toUInt(&ok);
    if (ok)
        routeCommand(id);
}

bool CMainFrame::onCommand(std::uint32_t id)
{
    switch (id) {
    case FrameCmd::ToggleToolbar:
        toggleToolbar();
        return true;
    case FrameCmd::Exit:
        close();
        return true;
    default:
        return false;
    }
}

bool CMainFrame::onCommandState(std::uint32_t id, CommandState &state)
{
    switch (id) {
    case FrameCmd::ToggleToolbar:
        state.enabled = true;
        state.checked = settings.toolbarVisible();
        break;
    case FrameCmd::Exit:
        state.enabled = true;
        break;
    default:
        return false;
    }
    state.handled = true;
    return true;
}

void CMainFrame::fullScreenKey(bool toggle)
{
    if (settings.viewMode == ViewMode::FullScreen)
        routeCommand(DocCmd::LeaveFullScreen);
    else if (toggle)
        routeCommand(DocCmd::FullScreenView);
}

void CMainFrame::showZoomIndicator(bool actualSize)
{
    actions->setZoomIndicator(actualSize);
}

void CMainFrame::toggleToolbar()
{
    settings.ui.captureFlags ^= CaptureFlag::ToolbarVisible;
    const bool visible = settings.toolbarVisible();
    tools->setVisible(visible);
    commandAction(FrameCmd::ToggleToolbar)->setChecked(visible);
}

void CMainFrame::loadToolbar(std::uint32_t id)
{
    tools->setObjectName(QString::number(id));
    actions->fillBar(tools, id);
    updateCommandStates();
}
