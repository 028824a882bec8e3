#include "core/text.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

namespace zanfold {

namespace {

constexpr const char* kCodec = "GB18030";

} // namespace

std::optional<QByteArray> toGb18030(const QString& text) {
    QStringEncoder encoder(kCodec, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) return std::nullopt;
    return bytes;
}

std::optional<QString> fromGb18030(const QByteArray& bytes) {
    QStringDecoder decoder(kCodec, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    return text;
}

namespace {

// 2 for a complete surrogate pair at i, else 1.
qsizetype codePointSize(const QString& text, qsizetype i) {
    return (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2 : 1;
}

int codePointBytes(QStringView codePoint) {
    QStringEncoder encoder(kCodec, QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(codePoint);
    return encoder.hasError() ? 1 : static_cast<int>(bytes.size());
}

} // namespace

int gbLength(const QString& text) {
    if (const auto bytes = toGb18030(text)) return static_cast<int>(bytes->size());
    int total = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype step = codePointSize(text, i);
        total += codePointBytes(QStringView(text).mid(i, step));
        i += step;
    }
    return total;
}

QString fitText(const QString& text, int capacity) {
    const int limit = capacity - 1;
    if (limit <= 0) return {};
    // ASCII and common texts fit; only walk character by character when they do not.
    if (text.size() * 4 <= limit || gbLength(text) <= limit) return text;
    int used = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype step = codePointSize(text, end);
        const int bytes = codePointBytes(QStringView(text).mid(end, step));
        if (used + bytes > limit) break;
        used += bytes;
        end += step;
    }
    return text.left(end);
}

QString numberText(int value) {
    return value >= 0 ? QLatin1Char(' ') + QString::number(value) : QString::number(value);
}

QString positionName(char prefix, int flength, int number) {
    return QString(QLatin1Char(prefix)) + QStringLiteral("%1").arg(number, flength, 10, QLatin1Char('0'));
}

QString nameList(const QStringList& names) {
    constexpr int kShown = 5;
    QString text = names.mid(0, kShown).join(QLatin1Char('\n'));
    if (names.size() > kShown) text += QStringLiteral("\n……（另有 %1 个）").arg(names.size() - kShown);
    return text;
}

QString filterSuffix(const QString& filter) {
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

bool isPlainFileName(const QString& name) {
    if (name.isEmpty() || name == QStringLiteral(".") || name == QStringLiteral("..")) return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20 || c.unicode() == 0x7F;
    });
}

} // namespace zanfold
