#pragma once

#include <QProcess>
#include <QString>

// What the two validators the expertise formats are checked with say of a file: python3-xmlschema
// against the XSD 1.1 schema, then xmllint against the one libxml2 reads (the same file where the
// schema has no construct libxml2 refuses). Empty when both accept it.
inline QString schemaProblems(const QString &xsd11, const QString &xsdForXmllint,
                              const QString &file)
{
    QProcess python;
    // Debian's own interpreter, the one its python3-xmlschema package serves.
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, xmlschema\n"
                                 "xmlschema.XMLSchema11(sys.argv[1]).validate(sys.argv[2])"),
                  xsd11, file});
    if (!python.waitForFinished(180000) || python.exitCode() != 0)
        return QStringLiteral("xmlschema: ") + QString::fromUtf8(python.readAllStandardError());
    QProcess xmllint;
    xmllint.start(QStringLiteral("xmllint"),
                  {QStringLiteral("--noout"), QStringLiteral("--schema"), xsdForXmllint, file});
    if (!xmllint.waitForFinished(180000) || xmllint.exitCode() != 0)
        return QStringLiteral("xmllint: ") + QString::fromUtf8(xmllint.readAllStandardError());
    return {};
}
