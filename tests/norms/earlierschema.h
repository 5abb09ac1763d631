#pragma once

// Takes a base of today's schema back to schema 8, whose lines were indexed by code and name.
inline constexpr char kUndoCodeIndex[] = R"sql(
DROP INDEX resources_code; CREATE INDEX resources_kind ON resources(code, name);
)sql";

// Takes a base of schema 8 back to schema 6, before the regions' price lists and their base
// prices and indexes.
inline constexpr char kUndoPriceLists[] = R"sql(
DROP TABLE price_lists; DROP TABLE resource_prices;
)sql";

// Takes a base of schema 6 back to schema 5, before the norms' references to the overhead
// and profit norms, the machines' machinists and the editions of those tables.
inline constexpr char kUndoReferences[] = R"sql(
DROP TRIGGER norm_reasons_gone; DROP TRIGGER collection_reasons_gone;
DROP TABLE norm_reasons; DROP TABLE rate_rows; DROP TABLE rate_editions;
ALTER TABLE catalogue DROP COLUMN driver_code; ALTER TABLE catalogue DROP COLUMN machinist_grade;
ALTER TABLE firm_versions DROP COLUMN reasons;
)sql";

// Takes a base of schema 5 back to the one before the search's ranks and resource index
// (schema 3): no triggers, the words keyed by the norms' ids, no places, no index of the
// resources.
inline constexpr char kUndoSearchRanks[] = R"sql(
DROP TRIGGER norm_gone; DROP TRIGGER collection_gone; DROP TRIGGER firm_norm_gone;
DROP TABLE resource_words; DROP TABLE resource_names; DROP INDEX resources_kind;
CREATE VIRTUAL TABLE id_words USING fts5(words, tokenize='unicode61', prefix='1 2 3');
INSERT INTO id_words(rowid, words) SELECT n.id, w.words FROM norm_words w
  JOIN norms n ON n.place = w.rowid;
DROP TABLE norm_words; ALTER TABLE id_words RENAME TO norm_words;
DROP INDEX norms_place; DROP INDEX norms_code; ALTER TABLE norms DROP COLUMN place;
CREATE INDEX norms_code ON norms(code);
)sql";

// Takes a base of schema 3 back to the one before the prices (schema 2): the catalogue without
// prices and its words, the collections without the approving act.
inline constexpr char kUndoPrices[] = R"sql(
DROP TABLE catalogue_words; ALTER TABLE catalogue DROP COLUMN machine;
ALTER TABLE catalogue DROP COLUMN cost; ALTER TABLE catalogue DROP COLUMN release_cost;
ALTER TABLE catalogue DROP COLUMN machinist_wage; ALTER TABLE catalogue DROP COLUMN machinist_hours;
ALTER TABLE collections DROP COLUMN act_number; ALTER TABLE collections DROP COLUMN act_date;
CREATE INDEX catalogue_collection ON catalogue(collection_id);
)sql";

// Takes a base of schema 2 without firm norms back to the first schema.
inline constexpr char kUndoFirmNorms[] = R"sql(
DROP TABLE firm_norms; DROP TABLE firm_versions; DROP TABLE firm_conflicts;
ALTER TABLE resources DROP COLUMN resource_group;
)sql";
