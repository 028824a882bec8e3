#include "imaging/file_utils.h"

#include "core/ui.h"
#include "imaging/regular_file.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace zanfold {

namespace {

std::filesystem::path toPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

FileError fromErrorCode(const std::error_code& ec) {
    if (!ec) return {};
    return {ec.value(), QString::fromLocal8Bit(ec.message())};
}

// A folder cannot be made because a file stands where it or one of its parents must be.
FileError fileInTheWay(int code, const QString& file) {
    return {code,
            QString::fromLocal8Bit(std::strerror(code)) +
                QStringLiteral("：“%1”是一个文件，不能在那里建立文件夹").arg(QDir::toNativeSeparators(file))};
}

} // namespace

QString errorText(const QString& lead, const FileError& error) {
    return lead + QStringLiteral("\nError: %1, ").arg(error.code) + error.description;
}

QString AFXGETFILENAME(const QString& path) {
    QString name = path;
    const qsizetype separator =
        std::max({path.lastIndexOf(QLatin1Char(':')), path.lastIndexOf(QLatin1Char('/')),
                  path.lastIndexOf(QLatin1Char('\\'))});
    if (separator >= 0) name = path.mid(separator + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0) name.truncate(dot);
    return name;
}

QString trimmedFolder(QString folder) {
    // A drive's root keeps its separator: "C:" alone is the drive's current folder.
    const bool driveRoot = folder.size() >= 2 && folder.at(1) == QLatin1Char(':') && folder.at(0).isLetter();
    const qsizetype keep = driveRoot ? 3 : 1;
    while (folder.size() > keep && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

int AFXFILEEXISTS(const QString& path) {
    return pathKind(path) == PathKind::Other ? 1 : 0;
}

int AFXFOLDEREXISTS(const QString& path) {
    return pathKind(path) == PathKind::Folder ? 1 : 0;
}

FileError ZF_MAKEDIR(const QString& folder) {
    if (AFXFILEEXISTS(folder)) return fileInTheWay(EEXIST, folder);
    // The system's own reading of the path: "//srv/out" is a network share where there are shares
    // (Windows keeps the "//"), an ordinary folder elsewhere.
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    if (path.isEmpty()) return {};
    // A share's server and name can be used, not made: folders are made from below it.
    qsizetype at = path.indexOf(QLatin1Char('/'));
    if (path.startsWith(QStringLiteral("//"))) {
        at = path.indexOf(QLatin1Char('/'), path.indexOf(QLatin1Char('/'), 2) + 1);
        if (at < 0) return {};
    }
    // Every prefix ending before a separator, then the whole path.
    for (;; at = path.indexOf(QLatin1Char('/'), at + 1)) {
        const QString part = at < 0 ? path : path.left(at);
        if (!part.isEmpty() && !AFXFOLDEREXISTS(part)) {
            // A file where a folder of the path must be: "Not a directory", not the "File exists" of mkdir.
            if (at >= 0 && AFXFILEEXISTS(part)) return fileInTheWay(ENOTDIR, part);
            std::error_code ec;
            std::filesystem::create_directory(toPath(part), ec);
            if (ec) return fromErrorCode(ec);
            if (!AFXFOLDEREXISTS(part))
                return fromErrorCode(std::make_error_code(std::errc::not_a_directory));
        }
        if (at < 0) break;
    }
    return {};
}

QStringList listFiles(const QString& folder, const QString& pattern) {
    // Devices, pipes and broken links under a matching name are listed too, so the import can name them.
    const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(pattern),
                                   QRegularExpression::CaseInsensitiveOption);
    QStringList names = folderEntries(folder).filter(match);
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

void ZF_BAKFILE(const QString& path) {
    // QFile::rename refuses to replace an existing backup, which is what we want here.
    QFile::rename(path, path + QStringLiteral(".bak"));
}

bool AFXOPENFILE(Ui& ui, const QString& path) {
    if (ui.openInShell(path)) return true;
    // A desktop without a program for this kind of file opens nothing: the user is told where it is.
    ui.message(QStringLiteral("没有可以打开它的程序：\n\n") + QDir::toNativeSeparators(path), Icon::Warning);
    return false;
}

void ZF_OPENFOLDER(Ui& ui, const QString& folder) {
    if (AFXFOLDEREXISTS(folder)) {
        AFXOPENFILE(ui, folder);
        return;
    }
    ui.message(QStringLiteral("文件夹不存在！\n\n") + folder, Icon::Information);
}

FileLock::FileLock(const QString& path, int waitMs) : lock_(path + QStringLiteral(".lock")) {
    if (lock_.tryLock(waitMs)) return;
    switch (lock_.error()) {
    case QLockFile::LockFailedError:
        error_ = {EBUSY, QStringLiteral("另一个程序正在修改这个文件，请稍后再试：") + path};
        break;
    default:
        error_ = {EACCES, QStringLiteral("无法建立锁文件：") + path + QStringLiteral(".lock")};
        break;
    }
}

} // namespace zanfold
