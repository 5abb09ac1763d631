#pragma once

#include <QString>

namespace norms {

// A name as the full-text index keeps it and a query is matched against it: lower case, «ё» as
// «е», so that either spelling finds the other.
QString foldedWords(const QString &text);

// The full-text query that finds names with a word beginning with each word of the text, every
// run of letters and digits a word as the index splits the names; empty for a text of none.
QString wordBeginningsQuery(const QString &text);

} // namespace norms
