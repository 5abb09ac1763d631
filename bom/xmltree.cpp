#include "xmltree.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>

namespace xmltree {

namespace {

inline constexpr int kMaxDepth = 32;

// The reader's own words are English; the user is told what kind of damage it is.
QString xmlError(const Kind &kind, const QXmlStreamReader &xml)
{
    switch (xml.error()) {
    case QXmlStreamReader::PrematureEndOfDocumentError:
        return QStringLiteral("файл обрывается раньше, чем кончается %1").arg(kind.whole);
    case QXmlStreamReader::NoError:
        return QStringLiteral("в файле нет ни одного элемента XML");
    default:
        return QStringLiteral("это не XML или XML с ошибкой разметки");
    }
}

Node readElement(const Kind &kind, QXmlStreamReader &xml, int depth)
{
    Node node{xml.name().toString(), QString(), xml.lineNumber(), xml.columnNumber(), {}};
    if (depth > kMaxDepth)
        fail(kind, QStringLiteral("элементы вложены слишком глубоко"), node.line, node.column);
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            node.children.append(readElement(kind, xml, depth + 1));
            break;
        case QXmlStreamReader::Characters:
            node.text += xml.text();
            break;
        case QXmlStreamReader::EndElement:
            return node;
        default:
            break;
        }
    }
    return node; // the reader's error is reported by the caller
}

} // namespace

const Node *Node::child(const QString &wanted) const
{
    for (const Node &node : children) {
        if (node.name == wanted)
            return &node;
    }
    return nullptr;
}

void fail(const Kind &kind, const QString &what, qint64 line, qint64 column)
{
    throw Failure{QStringLiteral("%1 не прочитан: %2 (строка %3, столбец %4).")
                      .arg(kind.file, what, QString::number(line), QString::number(column + 1))};
}

void fail(const Kind &kind, const Node &node, const QString &what)
{
    fail(kind, what, node.line, node.column);
}

const Node &required(const Kind &kind, const Node &parent, const QString &name)
{
    const Node *node = parent.child(name);
    if (!node)
        fail(kind, parent, QStringLiteral("в «%1» нет элемента «%2»").arg(parent.name, name));
    return *node;
}

double decimal(const Kind &kind, const Node &node)
{
    static const QRegularExpression form(QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    const QString text = node.text.trimmed();
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!form.match(text).hasMatch() || !ok || !std::isfinite(value))
        fail(kind, node, QStringLiteral("в «%1» ожидалось число с точкой").arg(node.name));
    return value;
}

Node readRoot(const Kind &kind, const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd() && xml.readNext() != QXmlStreamReader::StartElement) {
    }
    if (xml.hasError() || xml.atEnd())
        fail(kind, xmlError(kind, xml), xml.lineNumber(), xml.columnNumber());
    if (xml.name() != QStringLiteral("Construction") || !xml.namespaceUri().isEmpty())
        fail(kind,
             QStringLiteral("это не %1 — корневой элемент «%2», а не «Construction»")
                 .arg(kind.document, xml.name().toString()),
             xml.lineNumber(), xml.columnNumber());
    Node root = readElement(kind, xml, 0);
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        fail(kind, xmlError(kind, xml), xml.lineNumber(), xml.columnNumber());
    return root;
}

FileBytes readFile(const QString &path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{},
                file.exists() ? QStringLiteral("Файл «%1» нельзя открыть: нет доступа.").arg(path)
                              : QStringLiteral("Файл «%1» не найден.").arg(path)};
    FileBytes read{file.read(maxBytes + 1), QString()};
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("Файл «%1» не удалось прочитать.").arg(path)};
    return read;
}

} // namespace xmltree
