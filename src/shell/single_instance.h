#pragma once

#include <QFileSystemWatcher>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>

namespace zanfold {

// One running program per user. The first start holds a lock in a folder of its own; a later start finds it
// held, leaves a wake-up file there for the running program, which comes to the front (and opens the
// project file the later start was given), and ends.
class SingleInstance : public QObject {
public:
    // `folder` is made when missing; every start of one user names the same folder.
    explicit SingleInstance(const QString& folder);
    // True when this process is the first: it holds the lock and listens for later starts.
    bool claim();
    // A later start: asks the running program to come to the front and open `file` (none when empty).
    void wakeFirst(const QString& file);
    // Called in the first process whenever a later start asked for it, with the file it was given.
    std::function<void(const QString& file)> onWake;

private:
    void checkWake();

    QString folder_;
    QLockFile lock_;
    QFileSystemWatcher watcher_;
};

// The folder of the lock: the user's runtime folder, or the temporary folder where there is none.
QString instanceFolder();

} // namespace zanfold
