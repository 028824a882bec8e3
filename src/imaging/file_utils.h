#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QString>
#include <QStringList>

namespace zanfold {

class Ui;

// The outcome of a file operation: code 0 is success, otherwise the system's error number and reason.
struct FileError {
    int code = 0;
    QString description;
    bool failed() const { return code != 0; }
};

// "lead", a line break, then "Error: 13, Permission denied": how file failures are told to the user.
QString errorText(const QString& lead, const FileError& error);

// The path's last component without its extension: /photos/Trip.2015 -> Trip.
QString AFXGETFILENAME(const QString& path);

// The folder without trailing separators ("/a/b/" -> "/a/b"); a root stays one ("/", "C:/").
QString trimmedFolder(QString folder);

// 1 for an existing file (not a folder), else 0.
int AFXFILEEXISTS(const QString& path);
// 1 for an existing folder, else 0.
int AFXFOLDEREXISTS(const QString& path);

// Creates every missing folder of the path. Of a network path (//server/share/…, where the system has
// shares) only the folders below the share are made. A file in the way is a failure, so callers never go
// on to write into a folder that is not there.
FileError ZF_MAKEDIR(const QString& folder);

// Names of the files in the folder that match the wildcard pattern ("*.jpg") without regard to case,
// ordered by name without regard to case (ties by exact name), so a folder lists the same on every system.
QStringList listFiles(const QString& folder, const QString& pattern);

// Renames the file to its name with ".bak" appended; does nothing when that fails (the backup exists, say).
void ZF_BAKFILE(const QString& path);

// Opens a file or folder with the desktop's default application; tells the user, with the path, when the
// desktop could not.
bool AFXOPENFILE(Ui& ui, const QString& path);

// Opens the folder, or tells the user it does not exist.
void ZF_OPENFOLDER(Ui& ui, const QString& folder);

// Writes the whole file or nothing: the data goes to a temporary file in the same folder, is flushed to the
// disk, and replaces the old file by a rename only once all of it was written, so a crash or a full disk
// never leaves half a file. A new file gets the usual permissions, a replaced one keeps its own. On failure
// the old file is as it was, the temporary one is gone, and the system's reason is given.
FileError writeFileAtomically(const QString& path, const QByteArray& data);

// Holds "<file>.lock" beside a file that several processes may read, change and write back (the library,
// the settings), for as long as it lives; waits a few seconds for another holder. A lock left by a process
// that died is taken over.
class FileLock {
public:
    explicit FileLock(const QString& path, int waitMs = 5000);
    // Empty when the lock is held; otherwise why it could not be had.
    FileError error() const { return error_; }

private:
    QLockFile lock_;
    FileError error_;
};

} // namespace zanfold
