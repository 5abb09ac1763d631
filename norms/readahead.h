#pragma once

#include "normxml.h"

#include <QString>

#include <atomic>

// Reading the XML and writing the database take about the same time, so the file is read on a
// thread of its own, a few hundred norms ahead of the writer, which roughly halves an import on
// a machine with two cores.
namespace norms {

// Reads the file at path on a second thread and replays what it reads into sink on the calling
// thread, in the same order. bytesRead follows the reading (for progress). When sink asks to
// stop or throws, the reading stops too; the exception is passed on once the thread has ended.
// The file must be readable: the caller opens it first to tell the user otherwise.
xml::ReadResult readAhead(const QString &path, xml::Sink &sink, std::atomic<qint64> &bytesRead);

} // namespace norms
