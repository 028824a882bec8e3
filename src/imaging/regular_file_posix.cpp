#include "imaging/regular_file.h"

#include "core/text.h"

#include <QFile>
#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zanfold {

namespace {

FileError systemError(int code) {
    return {code, QString::fromLocal8Bit(std::strerror(code))};
}

bool exists(const QByteArray& path) {
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// The bytes the system knows the path by. Names are UTF-8 here, but a folder unpacked from an archive made
// on Chinese Windows holds GBK names: a part of the path that is not there in UTF-8 is looked for in
// GB18030, which folderEntries() decoded it from.
QByteArray systemPath(const QString& path) {
    const QByteArray utf8 = QFile::encodeName(path);
    if (exists(utf8)) return utf8;
    QByteArray built = path.startsWith(QLatin1Char('/')) ? QByteArray("/") : QByteArray();
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (!built.isEmpty() && !built.endsWith('/')) built += '/';
        const QByteArray plain = built + QFile::encodeName(part);
        const std::optional<QByteArray> gbk = toGb18030(part);
        built = !exists(plain) && gbk && exists(built + *gbk) ? built + *gbk : plain;
    }
    return built;
}

FileIdentity identityOf(const struct stat& st) {
    return {static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
            static_cast<qint64>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec};
}

} // namespace

PathKind pathKind(const QString& path) {
    struct stat st {};
    if (path.isEmpty() || ::stat(systemPath(path).constData(), &st) != 0) return PathKind::None;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
}

QStringList folderEntries(const QString& folder) {
    QStringList names;
    const QByteArray base = systemPath(folder);
    DIR* dir = ::opendir(base.constData());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..") continue;
        struct stat st {};
        // A broken link is listed too: it is named when it cannot be read.
        if (::stat((base + '/' + name).constData(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
        QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        QString text = utf8.decode(name);
        if (utf8.hasError()) text = fromGb18030(name).value_or(QString::fromLatin1(name));
        names << text;
    }
    ::closedir(dir);
    return names;
}

FileIdentity fileIdentity(const QString& path) {
    struct stat st {};
    if (::stat(systemPath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return identityOf(st);
}

RegularFile::RegularFile(const QString& path) {
    // Non-blocking, so a pipe that slipped in under a photo's name cannot hold the open; a regular file
    // reads the same either way.
    const int fd = ::open(systemPath(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        error_ = systemError(errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error_ = systemError(errno);
        ::close(fd);
        return;
    }
    if (!S_ISREG(st.st_mode)) {
        error_ = {EINVAL, QStringLiteral("不是普通文件（设备、管道或文件夹）")};
        ::close(fd);
        return;
    }
    handle_ = fd;
    identity_ = identityOf(st);
    left_ = identity_.size;
}

RegularFile::~RegularFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

qint64 RegularFile::read(char* buffer, qint64 max) {
    if (handle_ < 0) return -1;
    const qint64 want = std::min(max, left_);
    if (want <= 0) return 0;
    for (;;) {
        const ssize_t got = ::read(static_cast<int>(handle_), buffer, static_cast<size_t>(want));
        if (got >= 0) {
            left_ -= got;
            // A file cut short ends where its data ends.
            if (got == 0) left_ = 0;
            return got;
        }
        if (errno == EINTR) continue;
        error_ = systemError(errno);
        return -1;
    }
}

} // namespace zanfold
