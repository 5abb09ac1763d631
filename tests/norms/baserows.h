#pragma once

#include "sqlite.h"

#include <QString>

// Every row an import writes, as text, to see that a failed import changed nothing.
inline QString baseRows(const QString &path)
{
    norms::sql::Connection connection(path, true);
    QString all;
    for (const char *query :
         {"SELECT group_concat(id || kind || prefix || source_file || imported_at, ';') FROM "
          "collections",
          "SELECT group_concat(id || '/' || ifnull(parent_id, '') || type || code || name, ';') "
          "FROM sections",
          "SELECT group_concat(id || code || name || measure || content, ';') FROM norms",
          "SELECT group_concat(norm_id || '/' || position || code || name || unit || "
          "ifnull(quantity, 'NULL'), ';') FROM resources",
          "SELECT group_concat(norm_id || '/' || position || nr || sp, ';') FROM norm_reasons",
          "SELECT group_concat(code || name || unit || driver_code || machinist_grade, ';') FROM "
          "catalogue",
          "SELECT group_concat(rowid || words, ';') FROM norm_words"}) {
        norms::sql::Statement statement(connection.handle(), query);
        all += (statement.next() ? statement.text(0) : QString()) + u'\n';
    }
    return all;
}
