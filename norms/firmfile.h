#pragma once

#include "firmnorm.h"
#include "normxml.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class QIODevice;

// The firm's file of norms: the federal files' structure, which a federal reader takes as a
// collection of norms with their current resources, and beside it what only this program reads —
// every norm's source, origin and whole history, each version a full draft.
namespace norms::firm {

// One norm of the file, its versions oldest first; the last is the current one.
struct FileNorm
{
    QList<Version> history;
};

struct FirmFile
{
    QString prefix;
    QList<FileNorm> norms;
};

QByteArray encodeFirmFile(const FirmFile &file);

// Reads the firm categories of a file, skipping any other. A fault is told as the federal reader
// tells it (Malformed with its place, OtherKind), so the import describes both alike.
// Texts the journal writes come in a spelling it keeps (firm::journalSpelling); respelled names
// the norms whose texts changed so.
struct FirmFileReading
{
    FirmFile file;
    xml::ReadResult result;
    QStringList respelled;
};
FirmFileReading readFirmFile(QIODevice &device);

} // namespace norms::firm
