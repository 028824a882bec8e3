#pragma once

#include "imaging/file_utils.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace zanfold {

// An INI file kept as its lines, so that writing a key changes that one line and leaves every other
// section, key, comment and blank line exactly as it was. Sections and keys match without regard to
// case; values are GB18030 bytes, as files of Windows programs in code page 936 hold them.
class IniFile {
public:
    // Reads the file; a missing or unreadable file reads as empty.
    explicit IniFile(const QString& path);

    // The value, or `fallback` when the section or key is missing; at most 511 bytes of it.
    QString value(const QString& section, const QString& key, const QString& fallback) const;
    // Replaces the key's value in place, or adds the key (and its section) when missing. False when the
    // value cannot be stored as GB18030.
    bool setValue(const QString& section, const QString& key, const QString& value);
    // Writes the file atomically.
    FileError save() const;

private:
    int findSection(const QString& section) const; // line index of the header, -1 if none
    int findKey(int sectionLine, const QString& key) const;
    int sectionEnd(int sectionLine) const; // first line after the section's last non-blank line

    QString path_;
    QList<QByteArray> lines_; // without line endings
    QByteArray eol_ = "\r\n";
    QByteArray prefix_; // the byte-order marks the file starts with
};

// The private-profile calls: each reads the file anew; INI_SETKEY writes it at once, holding the file's lock
// from the read to the write. 1 on success.
QString INI_GETKEY(const QString& file, const QString& section, const QString& key, const QString& fallback);
int INI_SETKEY(const QString& file, const QString& section, const QString& key, const QString& value);

} // namespace zanfold
