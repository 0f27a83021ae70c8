#include "app/folder_watch.h"

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/frame_panes.h"
#include "app/image_item.h"
#include "app/main_frame.h"
#include "common/path_names.h"

#include <QKeySequence>
#include <QShortcut>

FolderWatch::FolderWatch(CAlbDoc &document, CMainFrame &mainFrame)
    : QObject(&mainFrame), doc(document), frame(mainFrame)
{
    settle.setSingleShot(true);
    settle.setInterval(kSettleMs);
    connect(&settle, &QTimer::timeout, this, &FolderWatch::catchUp);
    connect(&watcher, &FolderChanges::changed, &settle, qOverload<>(&QTimer::start));
    connect(&frame, &CMainFrame::commandRouted, this, &FolderWatch::follow);
    auto *reload = new QShortcut(QKeySequence::Refresh, &frame);
    connect(reload, &QShortcut::activated, this, &FolderWatch::catchUp);
}

void FolderWatch::follow()
{
    const std::string &folder = doc.appSettings().currentFolder;
    if (folder != watched)
        watchFolder(folder);
}

void FolderWatch::catchUp()
{
    settle.stop();
    follow();
    // A hibernated album holds no pictures on purpose; activation brings them back.
    if (doc.appSettings().appFlags & AppFlag::Hibernated)
        return;
    frame.panes().refreshTree();
    doc.SyncWithFolder();
    watchPictures();
}

void FolderWatch::watchFolder(const std::string &folder)
{
    watched = folder;
    watcher.watchFolder(folder);
    watchPictures();
}

void FolderWatch::watchPictures()
{
    // The folder's watch sees pictures rewritten in place; a picture that is a link to a file
    // elsewhere needs its own. A file watched already keeps its one watch.
    for (int i = 0; i < doc.Count(); ++i)
        watcher.watchFile(JoinPath(watched, doc.ItemAt(i)->fileName));
}
