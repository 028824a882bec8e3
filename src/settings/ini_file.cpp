#include "settings/ini_file.h"

#include "core/text.h"

#include <QFile>

#include <optional>

namespace zanfold {

namespace {

constexpr int kValueCapacity = 512;

QByteArray trimmed(const QByteArray& bytes) {
    return bytes.trimmed();
}

bool sameName(const QByteArray& stored, const QString& wanted) {
    const auto text = fromGb18030(trimmed(stored));
    return text && text->compare(wanted, Qt::CaseInsensitive) == 0;
}

// "[name]" gives name; other lines give nothing.
std::optional<QByteArray> sectionName(const QByteArray& line) {
    const QByteArray t = trimmed(line);
    if (t.size() < 2 || t.front() != '[') return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0) return std::nullopt;
    return t.mid(1, close - 1);
}

bool isComment(const QByteArray& line) {
    const QByteArray t = trimmed(line);
    return t.startsWith(';') || t.startsWith('#');
}

} // namespace

IniFile::IniFile(const QString& path) : path_(path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    QByteArray bytes = file.readAll();
    // Editors that add a byte-order mark to a file that has one leave several: all of them are skipped
    // (the first section would not be found otherwise) and written back as they were.
    while (bytes.startsWith("\xEF\xBB\xBF")) {
        prefix_ += bytes.left(3);
        bytes.remove(0, 3);
    }
    // The first line break tells the file's style; in a file of bare line feeds a carriage return is part of
    // its line, so a line ending in one reads back the same after a save.
    const qsizetype firstBreak = bytes.indexOf('\n');
    if (firstBreak == 0 || (firstBreak > 0 && bytes[firstBreak - 1] != '\r')) eol_ = "\n";
    lines_ = bytes.split('\n');
    if (eol_ == "\r\n") {
        for (QByteArray& line : lines_) {
            if (line.endsWith('\r')) line.chop(1);
        }
    }
    // A final line break leaves an empty piece that is not a line.
    if (!lines_.isEmpty() && lines_.back().isEmpty()) lines_.removeLast();
}

int IniFile::findSection(const QString& section) const {
    for (int i = 0; i < lines_.size(); ++i) {
        const auto name = sectionName(lines_[i]);
        if (name && sameName(*name, section)) return i;
    }
    return -1;
}

int IniFile::findKey(int sectionLine, const QString& key) const {
    for (int i = sectionLine + 1; i < lines_.size(); ++i) {
        if (sectionName(lines_[i])) break;
        if (isComment(lines_[i])) continue;
        const qsizetype eq = lines_[i].indexOf('=');
        if (eq > 0 && sameName(lines_[i].left(eq), key)) return i;
    }
    return -1;
}

int IniFile::sectionEnd(int sectionLine) const {
    int end = sectionLine + 1;
    for (int i = sectionLine + 1; i < lines_.size() && !sectionName(lines_[i]); ++i) {
        if (!trimmed(lines_[i]).isEmpty()) end = i + 1;
    }
    return end;
}

QString IniFile::value(const QString& section, const QString& key, const QString& fallback) const {
    const int s = findSection(section);
    const int k = s < 0 ? -1 : findKey(s, key);
    if (k < 0) return fallback;
    const QByteArray& line = lines_[k];
    QByteArray raw = trimmed(line.mid(line.indexOf('=') + 1));
    // A value in matching quotes is read without them.
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
        raw = raw.mid(1, raw.size() - 2);
    const QString text = fromGb18030(raw).value_or(QString::fromLatin1(raw));
    return fitText(text, kValueCapacity);
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    const auto bytes = toGb18030(value);
    const auto keyBytes = toGb18030(key);
    const auto sectionBytes = toGb18030(section);
    if (!bytes || !keyBytes || !sectionBytes) return false;
    const QByteArray line = *keyBytes + '=' + *bytes;
    int s = findSection(section);
    if (s < 0) {
        lines_.append('[' + *sectionBytes + ']');
        lines_.append(line);
        return true;
    }
    const int k = findKey(s, key);
    if (k >= 0)
        lines_[k] = line;
    else
        lines_.insert(sectionEnd(s), line);
    return true;
}

FileError IniFile::save() const {
    QByteArray bytes = prefix_;
    for (const QByteArray& line : lines_)
        bytes += line + eol_;
    return writeFileAtomically(path_, bytes);
}

QString INI_GETKEY(const QString& file, const QString& section, const QString& key, const QString& fallback) {
    return IniFile(file).value(section, key, fallback);
}

int INI_SETKEY(const QString& file, const QString& section, const QString& key, const QString& value) {
    const FileLock lock(file);
    if (lock.error().failed()) return 0;
    IniFile ini(file);
    return ini.setValue(section, key, value) && !ini.save().failed() ? 1 : 0;
}

} // namespace zanfold
