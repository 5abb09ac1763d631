#pragma once

#include <QString>

namespace norms {

// A name as the full-text index keeps it and a query is matched against it: lower case, «ё» as
// «е», so that either spelling finds the other.
QString foldedWords(const QString &text);

} // namespace norms
