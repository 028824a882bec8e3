#include "support/system_faults.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zanfold::test {

namespace {

QString failure(const char* call) {
    return QStringLiteral("%1: %2").arg(QLatin1String(call), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

QString setModifiedTime(const QString& path, qint64 nanoseconds) {
    const struct timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(nanoseconds / 1000000000), static_cast<long>(nanoseconds % 1000000000)}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0 ? QString()
                                                                                     : failure("utimensat");
}

QString makeSpecialFile(const QString& path, const char* kind, const QString& target) {
    const QByteArray name = QFile::encodeName(path);
    int result = -1;
    if (std::strcmp(kind, "zero") == 0) result = ::symlink("/dev/zero", name.constData());
    if (std::strcmp(kind, "random") == 0) result = ::symlink("/dev/urandom", name.constData());
    if (std::strcmp(kind, "pipe") == 0) result = ::mkfifo(name.constData(), 0600);
    if (std::strcmp(kind, "pipe-link") == 0)
        result = ::symlink(QFile::encodeName(target).constData(), name.constData());
    return result == 0 ? QString() : failure(kind);
}

QString makeFolderUnderRawName(const QByteArray& path) {
    return ::mkdir(path.constData(), 0755) == 0 ? QString() : failure("mkdir");
}

QString writeUnderRawName(const QByteArray& path, const QByteArray& bytes) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return failure("open");
    const bool whole = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    ::close(fd);
    return whole ? QString() : failure("write");
}

QByteArray systemBytes(const QString& path) {
    return QFile::encodeName(path);
}

QString interrupt(qint64 processId) {
    return ::kill(static_cast<pid_t>(processId), SIGINT) == 0 ? QString() : failure("kill");
}

QString killedHalfway(const std::function<bool()>& work) {
    const pid_t child = ::fork();
    if (child < 0) return failure("fork");
    if (child == 0) {
        if (work()) ::raise(SIGKILL);
        ::_exit(2);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return failure("waitpid");
    return WIFSIGNALED(status) ? QString() : QStringLiteral("the child ended by itself before its kill");
}

QString mountSmallDisk(const QString& folder, int bytes) {
    const QByteArray options = "size=" + QByteArray::number(bytes);
    return ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) == 0
               ? QString()
               : failure("mount");
}

void unmountDisk(const QString& folder) {
    ::umount(QFile::encodeName(folder).constData());
}

QString withFileSizeLimit(qint64 bytes, const std::function<void()>& body) {
    rlimit before{};
    if (::getrlimit(RLIMIT_FSIZE, &before) != 0) return failure("getrlimit");
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = before;
    small.rlim_cur = static_cast<rlim_t>(bytes);
    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) {
        std::signal(SIGXFSZ, oldHandler);
        return failure("setrlimit");
    }
    body();
    ::setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    return {};
}

int permissionBits(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? static_cast<int>(info.st_mode & 0777)
                                                                   : -1;
}

QString setPermissionBits(const QString& path, int bits) {
    return ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(bits)) == 0 ? QString()
                                                                                        : failure("chmod");
}

int creationMask() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return static_cast<int>(mask);
}

QString posixOnly(const char*) {
    return {};
}

} // namespace zanfold::test
