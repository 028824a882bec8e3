#pragma once

#include "core/records.h"
#include "imaging/file_utils.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zanfold {

// What a path names, links followed.
enum class PathKind { None, Folder, Other /* a file, a device, a pipe … anything but a folder */ };
PathKind pathKind(const QString& path);

// The names in a folder of everything but folders (files, and devices, pipes or broken links under a
// name), unsorted. A name the system keeps in another encoding than UTF-8 (an archive made on Chinese
// Windows holds GBK names) is given decoded as GB18030, and opens again under that name.
QStringList folderEntries(const QString& folder);

// The identity of the regular file the path names (links followed); invalid for anything else.
FileIdentity fileIdentity(const QString& path);

// The photo's file is no longer the one its record was made from (changed, replaced or gone). A source
// whose identity is not known is taken as it is.
bool changedSinceRead(const ImageSource& source);

// A photo, placeholder or mask opened for reading. Only a regular file opens, after following links:
// never a device, a pipe or a folder, and never in a way that could wait for a writer. It is read with
// plain reads, never mapped, so a file another program cuts short reads as a short file instead of a
// fault; and never beyond the size it had when it was opened, whatever is appended meanwhile.
class RegularFile {
public:
    explicit RegularFile(const QString& path);
    ~RegularFile();
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool ok() const { return !error_.failed(); }
    // Why it did not open, or why the last read failed.
    const FileError& error() const { return error_; }
    const FileIdentity& identity() const { return identity_; }
    // Reads at most `max` bytes; the count read, 0 at the end (the size it had when opened), -1 when the
    // system failed the read (error() then says why).
    qint64 read(char* buffer, qint64 max);
    // What is left of the file, up to its size when opened; empty after a failed read.
    QByteArray readAll();

private:
    qintptr handle_ = -1;
    qint64 left_ = 0;
    FileIdentity identity_;
    FileError error_;
};

} // namespace zanfold
