#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace zanfold::test {

// Odd files and file-system faults, made in the way the system allows. Each returns an empty string once
// done, otherwise why it cannot be made on this system, for the test to skip with.

// Sets the file's modification time, to the nanosecond where the system keeps them.
QString setModifiedTime(const QString& path, qint64 nanoseconds);

// Under `path`: a link to a device that never ends ("zero"), one to a device of random bytes ("random"),
// or a pipe no one writes to ("pipe"); "pipe-link" links to a pipe made under `target`.
QString makeSpecialFile(const QString& path, const char* kind, const QString& target = {});

// A folder or file named by the system's own bytes (a GBK name from an archive of Chinese Windows is no
// UTF-8); the file gets `bytes`.
QString makeFolderUnderRawName(const QByteArray& path);
QString writeUnderRawName(const QByteArray& path, const QByteArray& bytes);
// The path as the system's bytes, to append a raw name to.
QByteArray systemBytes(const QString& path);

// Asks the process to stop as Ctrl+C in its console would.
QString interrupt(qint64 processId);

// Runs `work` in a child process killed as soon as it returns true (a power cut in the middle of its
// writes); empty once the child died that way.
QString killedHalfway(const std::function<bool()>& work);

// A disk of `bytes` mounted on the empty folder, to fill up; and its removal.
QString mountSmallDisk(const QString& folder, int bytes);
void unmountDisk(const QString& folder);

// Runs `body` while files of this process may not grow past `bytes`.
QString withFileSizeLimit(qint64 bytes, const std::function<void()>& body);

// The rwx bits of files: of a file, set on one, and the mask the process makes new files with.
int permissionBits(const QString& path);
QString setPermissionBits(const QString& path, int bits);
int creationMask();

// Why the test of a POSIX-only fault is skipped here; empty where it applies.
QString posixOnly(const char* what);

} // namespace zanfold::test
