#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>
#include <vector>

namespace zanfold {

// A small document tree that keeps attributes in their written order: the template library is read by
// the position of elements and attributes, which Qt's DOM (attributes in a hash) cannot give.
struct XmlElement {
    QString name;
    QList<QPair<QString, QString>> attributes; // in document order
    std::vector<XmlElement> children;          // elements only; whitespace and comments are not kept

    XmlElement* child(const QString& childName);
};

struct XmlDocument {
    XmlElement root;
};

// Parses the bytes; nullopt with the parser's reason (and line) when they are not well-formed XML.
std::optional<XmlDocument> parseXml(const QByteArray& bytes, QString* error);

// Writes the document without a declaration, line breaks or indentation.
QByteArray writeXml(const XmlDocument& document);

// True when the text can be an element name: an XML Name without a colon (so it reads back unchanged
// under namespace processing).
bool isXmlName(const QString& name);

} // namespace zanfold
