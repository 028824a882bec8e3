#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace zanfold {

// Stored texts are GB18030 bytes (a superset of code page 936, so files of Windows programs read back).

// The text as GB18030 bytes; nullopt when it holds something no encoding can store (a lone surrogate).
std::optional<QByteArray> toGb18030(const QString& text);

// The bytes as text; nullopt when they are not valid GB18030.
std::optional<QString> fromGb18030(const QByteArray& bytes);

// Number of GB18030 bytes the text takes (unencodable characters count as one byte each).
int gbLength(const QString& text);

// The longest start of text that fits a fixed field of `capacity` bytes (terminator included, so at most
// capacity - 1 bytes), never cutting a character in half.
QString fitText(const QString& text, int capacity);

// A number as the stored texts write it: one leading space when it is not negative (" 1920", "-3").
QString numberText(int value);

// Placeholder name: prefix, then the running number with at least `flength` digits (A007, A1234).
QString positionName(char prefix, int flength, int number);

// A name that can be a file's name in a folder and nothing more: not empty, not "." or "..", without a path
// separator of either platform and without control characters.
bool isPlainFileName(const QString& name);

// Names for a message, one a line: the first five, then how many more there are.
QString nameList(const QStringList& names);

// The extension of a file dialog filter such as "项目文件(*.zpj)": "zpj"; empty when it names none.
QString filterSuffix(const QString& filter);

} // namespace zanfold
