#pragma once

#include <QByteArray>

// The statements that the schema's migrations and the import's rebuilding of the indexes both
// run, written once: an import that made the full-text indexes or the norms' ranks its own way
// would quietly undo the migration that changed them.
namespace norms::schema {

// The text with its placeholders expanded: {words} the full-text index's column and tokenizer
// (inside «fts5(…)»), {rank} the statement that gives every federal norm its rank in code order
// as its place, {firm} the firm's kind of collection.
QByteArray expanded(const char *text);

} // namespace norms::schema
