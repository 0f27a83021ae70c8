#pragma once

#include "platform/folder_changes.h"

#include <QObject>
#include <QTimer>

#include <string>

class CAlbDoc;
class CMainFrame;

// Keeps the album in step with the folder on show while other programs (or a capture) change it:
// the folder and its pictures are watched, and shortly after a change the document takes in
// pictures that appeared, changed or went, and the tree its new or removed sub-folders. F5 does
// the same at once. The folder followed is the settings' currentFolder, checked after every
// command the frame routes.
class FolderWatch : public QObject
{
    Q_OBJECT

public:
    FolderWatch(CAlbDoc &document, CMainFrame &mainFrame);

    // Follows currentFolder when it changed since the last call.
    void follow();
    // Takes in the folder's changes now.
    void catchUp();

    // How long after the last change notice the album looks (changes come in bursts).
    static constexpr int kSettleMs = 150;

private:
    void watchFolder(const std::string &folder);
    void watchPictures();

    CAlbDoc &doc;
    CMainFrame &frame;
    FolderChanges watcher;
    QTimer settle;
    std::string watched;
};
