#pragma once

#include <QString>

// The norm base import measured against a bare pass of Qt's XML reader over the same file.
namespace normimportbench {

// Writes the full-size sample base (45 000 norms, 450 000 resource lines) into the folder once
// and returns its path.
QString fullSizeBase(const QString &folder);

// Writes the materials' price catalogue of 150 000 priced materials beside it once, and returns
// its path.
QString fullSizeCatalogue(const QString &folder);

// Milliseconds of a QXmlStreamReader pass over the files that reads every token and every
// attribute value.
double bareReadMilliseconds(const QStringList &files);

struct ImportRun
{
    double milliseconds = -1; // negative when the import failed
    qint64 peakKib = 0;       // the process's largest resident size, 0 when unknown
    QString output;
};

// Runs `merilon --import-norms files` (or the option given) in the folder (its database goes to
// folder/data/), under /usr/bin/time for the peak resident size when that is there.
ImportRun importWithProgram(const QString &program, const QString &folder, const QStringList &files,
                            const QString &option = QStringLiteral("--import-norms"));

} // namespace normimportbench
