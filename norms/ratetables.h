#pragma once

#include "norm.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// The overhead (НР, order 812/пр) and profit (СП, order 774/пр) norms by type of work, as
// percentages of the wage fund: the editions the program ships and those loaded over them.
// A norm's reference «Пр/812-012.0» keys item «012.0» of the overhead table, «Пр/774-012.0» of
// the profit one.
namespace norms::rates {

enum class Kind
{
    Overhead, // НР: three columns, by where the work is done
    Profit,   // СП: one column
};

// «НР», «СП».
QString kindAbbreviation(Kind kind);

struct Row
{
    QString item; // «012.0»
    QString name;
    double percent = 0; // НР: «Территория» (ordinary areas); СП: the one column
    std::optional<double> mprks; // НР: areas equal to the Far North (МПРКС)
    std::optional<double> rks;   // НР: the Far North (РКС)

    friend bool operator==(const Row &, const Row &) = default;
};

struct Edition
{
    Kind kind = Kind::Overhead;
    QString title; // the order and its amendments
    QString date;  // the date of the edition, «12.09.2022»
    // Where a loaded edition came from and when it was loaded; empty for the shipped one.
    QString sourceFile;
    QString loadedAt;
    QList<Row> rows; // in the order of the items

    const Row *row(QStringView item) const;
    bool shipped() const { return sourceFile.isEmpty(); }
    // «Приказ … 812/пр в ред. … (редакция от 12.09.2022)», with the file of a loaded one.
    QString description() const;
};

// The edition the program ships.
const Edition &shipped(Kind kind);

// The item a reference keys in the table of that kind: «Пр/812-012.0» → «012.0»; empty when the
// reference is to another order or not of that form.
QString itemOf(QStringView reference, Kind kind);

// A norm's reference in words, with the items' names and percentages: «НР 109 % (Пр/812-012.0
// Кровли), СП 57 %»; a reference the tables lack is named: «Пр/812-999.0 — нет в таблице НР».
QString reasonText(const Reason &reason, const Edition &overhead, const Edition &profit);
// All of a norm's references, one after another: «Нормативы НР и СП: …; …»; empty for none.
QString reasonsText(const QList<Reason> &reasons, const Edition &overhead, const Edition &profit);

} // namespace norms::rates
