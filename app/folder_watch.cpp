#include "app/folder_watch.h"

#include "app/alb_dir_tree.h"
#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/main_frame.h"
#include "app/image_item.h"
#include "common/host_path.h"
#include "common/path_names.h"

#include <QKeySequence>
#include <QShortcut>

FolderWatch::FolderWatch(CAlbDoc &document, CMainFrame &mainFrame)
    : QObject(&mainFrame), doc(document), frame(mainFrame)
{
    settle.setSingleShot(true);
    settle.setInterval(kSettleMs);
    connect(&settle, &QTimer::timeout, this, &FolderWatch::catchUp);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, &settle,
            qOverload<>(&QTimer::start));
    connect(&watcher, &QFileSystemWatcher::fileChanged, &settle, qOverload<>(&QTimer::start));
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
    if (CAlbDirTree *tree = frame.tree())
        tree->RefreshTree();
    doc.SyncWithFolder();
    watchPictures();
}

void FolderWatch::watchFolder(const std::string &folder)
{
    if (const QStringList old = watcher.directories() + watcher.files(); !old.isEmpty())
        watcher.removePaths(old);
    watched = folder;
    watcher.addPath(QString::fromStdString(HostPath(RemoveBackslash(folder))));
    watchPictures();
}

void FolderWatch::watchPictures()
{
    // A picture rewritten in place changes no folder entry; its own watch sees it. Files already
    // watched are skipped by the watcher itself.
    QStringList files;
    for (int i = 0; i < doc.Count(); ++i)
        files.append(QString::fromStdString(
                HostPath(JoinPath(watched, doc.ItemAt(i)->fileName))));
    if (!files.isEmpty())
        watcher.addPaths(files);
}
