#pragma once

#include <QObject>

#include <string_view>

class QSocketNotifier;

// The kernel's change notices (inotify) for one folder and files of it: entries made, removed or
// renamed, files written or changed in their attributes, the folder itself going. Paths reach the
// kernel as the host's bytes, so a folder or file whose name is not UTF-8 is watched like any
// other; a watcher that takes paths as Qt text could not name it. Watching the folder already
// reports writes to the files in it; a file is watched on its own only to follow a symbolic link
// to a file elsewhere.
class FolderChanges : public QObject
{
    Q_OBJECT

public:
    explicit FolderChanges(QObject *parent = nullptr);
    ~FolderChanges() override;
    FolderChanges(const FolderChanges &) = delete;
    FolderChanges &operator=(const FolderChanges &) = delete;

    // Watches folder (a device or host path) and nothing else any more. False when it cannot be
    // watched (missing, unreadable, or out of watches): no notice will come for it.
    bool watchFolder(std::string_view folder);
    // Adds a file (a device or host path) of the folder. Only a symbolic link gets a watch of its
    // own, on the file it leads to: the folder's watch covers the other files already. False when
    // it cannot be watched.
    bool watchFile(std::string_view file);

signals:
    // Something changed; notices come in bursts, so receivers wait for a quiet moment.
    void changed();

private:
    void drain();
    void close();

    int notices = -1;
    QSocketNotifier *notifier = nullptr;
};
