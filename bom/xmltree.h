#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Reading the expertise body's XML files (the bill of quantities, the local estimate): the file
// as a tree of elements with their texts and places, and failures that tell the user where the
// file goes wrong.
namespace xmltree {

struct Node
{
    QString name;
    QString text;
    qint64 line = 0;
    qint64 column = 0;
    QList<Node> children;

    const Node *child(const QString &wanted) const;
};

// What the file is, in the words of its failures: «Файл ВОР», «ведомость» (whose end the file
// may lack), «ведомость объемов работ» (what a file of another root is not).
struct Kind
{
    QString file;
    QString whole;
    QString document;
};

// Thrown by every reading step; what holds the sentence for the user.
struct Failure
{
    QString what;
};

[[noreturn]] void fail(const Kind &kind, const QString &what, qint64 line, qint64 column);
[[noreturn]] void fail(const Kind &kind, const Node &node, const QString &what);
const Node &required(const Kind &kind, const Node &parent, const QString &name);
// A number as the schemas' xs:decimal writes it: a point, no exponent, no separators.
double decimal(const Kind &kind, const Node &node);

// The root element «Construction» of the bytes with everything in it; throws Failure.
Node readRoot(const Kind &kind, const QByteArray &bytes);

// The bytes of a file, at most maxBytes and one more to tell a larger file, or why not.
struct FileBytes
{
    QByteArray bytes;
    QString failure;
};
FileBytes readFile(const QString &path, qint64 maxBytes);

} // namespace xmltree
