#include "imaging/image_save.h"

#include "imaging/jpeg_codec.h"

#include <QBuffer>

#include <cerrno>

namespace zanfold {

QString GDIPLUSGETENCODER(const QString& mimeType) {
    for (const QString& known : {QStringLiteral("image/jpeg"), QStringLiteral("image/png")}) {
        if (!mimeType.isEmpty() && known.contains(mimeType, Qt::CaseInsensitive)) return known;
    }
    return {};
}

int GDIPLUSSAVEIMAGE(const QImage& image, const QString& fileName, const QString& mimeType, int quality,
                     FileError* reason) {
    const QString encoder = GDIPLUSGETENCODER(mimeType);
    if (image.isNull() || fileName.isEmpty() || encoder.isEmpty()) return kSaveInvalidParameter;
    QByteArray bytes;
    QString encodeError;
    if (encoder == QStringLiteral("image/jpeg")) {
        bytes = encodeJpeg(image, quality, &encodeError);
    } else {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) encodeError = QStringLiteral("PNG encoding failed");
    }
    if (bytes.isEmpty()) {
        if (reason) *reason = {EIO, encodeError};
        return kSaveWriteFailed;
    }
    const FileError written = writeFileAtomically(fileName, bytes);
    if (written.failed()) {
        if (reason) *reason = written;
        return kSaveWriteFailed;
    }
    return kSaveOk;
}

int GDIPLUSSAVEJPEG(const QImage& image, const QString& fileName, int quality, FileError* reason) {
    return GDIPLUSSAVEIMAGE(image, fileName, QStringLiteral("image/jpeg"), quality, reason);
}

} // namespace zanfold
