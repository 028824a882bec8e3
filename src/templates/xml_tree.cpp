#include "templates/xml_tree.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace zanfold {

XmlElement* XmlElement::child(const QString& childName) {
    for (XmlElement& c : children) {
        if (c.name == childName) return &c;
    }
    return nullptr;
}

namespace {

constexpr size_t kMaxDepth = 16;

} // namespace

std::optional<XmlDocument> parseXml(const QByteArray& bytes, QString* error) {
    QXmlStreamReader reader(bytes);
    reader.setNamespaceProcessing(false);
    std::vector<XmlElement> stack;
    std::optional<XmlDocument> document;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            // The library has four levels; a file nested deeper is no library, and a tree that deep
            // would exhaust the stack when it is written or destroyed.
            if (stack.size() >= kMaxDepth) {
                reader.raiseError(QStringLiteral("elements nested deeper than %1 levels").arg(kMaxDepth));
                break;
            }
            XmlElement e;
            e.name = reader.name().toString();
            for (const QXmlStreamAttribute& a : reader.attributes())
                e.attributes.append({a.qualifiedName().toString(), a.value().toString()});
            stack.push_back(std::move(e));
            break;
        }
        case QXmlStreamReader::EndElement: {
            XmlElement done = std::move(stack.back());
            stack.pop_back();
            if (stack.empty())
                document = XmlDocument{std::move(done)};
            else
                stack.back().children.push_back(std::move(done));
            break;
        }
        default:
            break;
        }
    }
    if (reader.hasError() || !document) {
        if (error) {
            *error = reader.hasError() ? QStringLiteral("%1 (line %2, column %3)")
                                             .arg(reader.errorString())
                                             .arg(reader.lineNumber())
                                             .arg(reader.columnNumber())
                                       : QStringLiteral("no document element");
        }
        return std::nullopt;
    }
    return document;
}

namespace {

void writeElement(QXmlStreamWriter& writer, const XmlElement& e) {
    writer.writeStartElement(e.name);
    for (const auto& [name, value] : e.attributes)
        writer.writeAttribute(name, value);
    for (const XmlElement& c : e.children)
        writeElement(writer, c);
    writer.writeEndElement();
}

bool isNameStart(char32_t c) {
    return (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') || (c >= 0xC0 && c <= 0xD6) ||
           (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) || (c >= 0x370 && c <= 0x37D) ||
           (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) || (c >= 0xF900 && c <= 0xFDCF) ||
           (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c) {
    return isNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

} // namespace

QByteArray writeXml(const XmlDocument& document) {
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(false);
    writeElement(writer, document.root);
    return bytes;
}

bool isXmlName(const QString& name) {
    const QList<uint> points = name.toUcs4();
    if (points.isEmpty() || !isNameStart(points.front())) return false;
    for (uint c : points) {
        if (!isNameChar(c)) return false;
    }
    return true;
}

} // namespace zanfold
