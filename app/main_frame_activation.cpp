#include "app/alb_app.h"
#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/frame_panes.h"
#include "app/main_frame.h"

#include <QApplication>
#include <QEvent>
#include <QToolBar>

void CMainFrame::hibernate()
{
    // One notice is enough until the user comes back: the pictures are gone already.
    if (settings.appFlags & AppFlag::Hibernated)
        return;
    settings.appFlags |= AppFlag::Hibernated;
    // With the program in front, closing its dialogs hands the activation straight back to the
    // frame; only coming back after the user has left counts.
    leftSinceNotice = QApplication::activeWindow() == nullptr;
    clientPanes->area()->hide();
    if (settings.viewMode != ViewMode::FullScreen)
        tools->hide();
    CloseOpenDialogs();
    if (CAlbDoc *doc = clientPanes->document())
        doc->ClearItems();
    // Commands that need pictures cannot be chosen any more.
    updateCommandStates();
}

bool CMainFrame::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate) {
        focusAtDeactivation = focusWidget();
        leftSinceNotice = true;
    } else if (event->type() == QEvent::WindowActivate) {
        const bool handled = QMainWindow::event(event);
        activated();
        return handled;
    }
    return QMainWindow::event(event);
}

void CMainFrame::activated()
{
    if ((settings.appFlags & AppFlag::Hibernated) && leftSinceNotice) {
        settings.appFlags &= ~AppFlag::Hibernated;
        emit resumeRequested();
    }
    // The desktop may have taken the screen back while another window was active.
    if (settings.viewMode == ViewMode::FullScreen)
        setFullScreen(true, 0);
    // A view hidden meanwhile (the mode changed) cannot take the focus back.
    if (focusAtDeactivation && focusAtDeactivation->isVisible())
        focusAtDeactivation->setFocus(Qt::ActiveWindowFocusReason);
}
