#include "imaging/regular_file.h"

#include <QFile>

#include <algorithm>
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

FileIdentity identityOf(const struct stat& st) {
    return {static_cast<qint64>(st.st_size),
            static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec,
            static_cast<qint64>(st.st_ctim.tv_sec) * 1000000000LL + st.st_ctim.tv_nsec};
}

} // namespace

FileIdentity fileIdentity(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return identityOf(st);
}

RegularFile::RegularFile(const QString& path) {
    // Non-blocking, so a pipe that slipped in under a photo's name cannot hold the open; a regular file
    // reads the same either way.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
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

QByteArray RegularFile::readAll() {
    QByteArray all;
    all.resize(static_cast<qsizetype>(left_));
    qint64 filled = 0;
    while (filled < all.size()) {
        const qint64 got = read(all.data() + filled, all.size() - filled);
        if (got < 0) return {};
        if (got == 0) break;
        filled += got;
    }
    all.resize(static_cast<qsizetype>(filled));
    return all;
}

} // namespace zanfold
