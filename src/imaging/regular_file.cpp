#include "imaging/regular_file.h"

namespace zanfold {

bool changedSinceRead(const ImageSource& source) {
    return source.identity.valid() && fileIdentity(source.file) != source.identity;
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
