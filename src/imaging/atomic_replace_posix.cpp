#include "imaging/file_utils.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zanfold {

namespace {

FileError systemError(int code) {
    return {code, QString::fromLocal8Bit(std::strerror(code))};
}

// The permissions of new files, read once: umask() can only be read by setting it, which must not
// race with the workers that write files.
mode_t processUmask() {
    static const mode_t mask = [] {
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return mask;
}

} // namespace

FileError writeFileAtomically(const QString& path, const QByteArray& data) {
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return systemError(errno);
    // Every step is checked: a write cut short, the flush to the disk and the rename each report the
    // system's reason, and the old file is replaced only by a complete new one.
    auto fail = [&](int code) {
        ::close(fd);
        ::unlink(temporary.constData());
        return systemError(code);
    };
    struct stat old {};
    const mode_t mode = ::stat(target.constData(), &old) == 0 ? old.st_mode & 07777 : 0666 & ~processUmask();
    if (::fchmod(fd, mode) != 0) return fail(errno);
    for (qsizetype done = 0; done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, static_cast<size_t>(data.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(n < 0 ? errno : EIO);
        done += n;
    }
    if (::fsync(fd) != 0) return fail(errno);
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(temporary.constData());
        return systemError(code);
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        const int code = errno;
        ::unlink(temporary.constData());
        return systemError(code);
    }
    // The rename itself reaches the disk with its folder.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace zanfold
