#pragma once

// Takes a base of today's schema back to the one before the search's ranks and resource index
// (schema 3): the words keyed by the norms' ids, no places, no index of the resources.
inline constexpr char kUndoSearchRanks[] = R"sql(
DROP TABLE resource_words; DROP TABLE resource_names; DROP INDEX resources_kind;
CREATE VIRTUAL TABLE id_words USING fts5(words, tokenize='unicode61', prefix='1 2 3');
INSERT INTO id_words(rowid, words) SELECT n.id, w.words FROM norm_words w
  JOIN norms n ON n.place = w.rowid;
DROP TABLE norm_words; ALTER TABLE id_words RENAME TO norm_words;
DROP INDEX norms_place; DROP INDEX norms_code; ALTER TABLE norms DROP COLUMN place;
CREATE INDEX norms_code ON norms(code);
)sql";
