#pragma once

#include "tablerows.h"

#include <QList>
#include <QString>

#include <optional>
#include <utility>

// The region's quarterly price list as published («сплит-форма»): title rows stating the subject
// of the federation, the price zone and the quarter; a header row found by its cell «Код
// ресурса, услуги», whose texts say which column is which; a row numbering the columns; then a
// resource a row, with group headings between. A resource's current price is the column «Сметная
// цена в текущем уровне» where it holds a number, else the base-level estimate price times the
// group's index; a labour code's is an hourly rate.
namespace norms {

struct PriceListTitle
{
    QString subject; // «г. Москва»
    QString zone;
    int year = 0;
    int quarter = 0; // 1…4
};

// The list as the user chooses it: «Москва, 2 кв. 2026»; the zone is named where it is not the
// subject itself or its base zone.
QString priceListName(const PriceListTitle &title);

enum class PriceKind
{
    Current = 0, // the current price given
    Indexed = 1, // the base price times the group's index
    Labour = 2,  // an hourly rate, руб./чел.-ч
};

struct ResourcePriceRow
{
    QString code; // as the norm base writes it, without a base's prefix
    QString unit;
    double price = 0;
    PriceKind kind = PriceKind::Current;
    // For a price by index: the base-level estimate price (column 5) and the group's index
    // (column 9) it was made of.
    std::optional<double> basePrice;
    std::optional<double> index;
};

// Where the rows read go: the title once, before the first price.
class PriceRowSink
{
public:
    virtual ~PriceRowSink() = default;
    virtual void title(const PriceListTitle &title) = 0;
    virtual void price(const ResourcePriceRow &row) = 0;
    // Asked between rows; true stops the reading.
    virtual bool stopRequested() { return false; }
};

struct PriceListCounts
{
    qint64 read = 0; // rows below the header with anything in them
    qint64 current = 0;
    qint64 indexed = 0;
    qint64 labour = 0;
    QList<std::pair<QString, qint64>> skipped; // by reason, in order of first seen
};

class PriceListParser : public table::RowSink
{
public:
    PriceListParser(QString fileName, PriceRowSink &sink)
        : m_file(std::move(fileName)), m_sink(sink)
    {
    }

    bool row(qint64 number, const QStringList &cells) override;
    // Once read to the end: why the file is no price list, or does not say whose it is; empty
    // when it is one.
    QString refusal() const;
    bool stopped() const { return m_stopped; }
    const PriceListCounts &counts() const { return m_counts; }
    const PriceListTitle &title() const { return m_title; }

private:
    enum class Stage
    {
        Title,
        Numbers, // the row numbering the columns may follow the header
        Data,
        Refused,
    };
    bool readTitle(qint64 number, const QStringList &cells);
    bool readHeader(qint64 number, const QStringList &cells);
    void readResource(const QStringList &cells);
    void skip(const QString &reason);

    QString m_file;
    PriceRowSink &m_sink;
    Stage m_stage = Stage::Title;
    PriceListTitle m_title;
    QString m_refusal;
    bool m_stopped = false;
    PriceListCounts m_counts;
    // The columns by what they hold, from the header's texts; -1 where it has none.
    int m_code = -1, m_unit = -1, m_base = -1, m_current = -1, m_index = -1;
};

// A price's figure: none for «-» or nothing, the value, or a text that is no number.
struct Figure
{
    enum class Kind
    {
        None,
        Number,
        Bad,
    };
    Kind kind = Kind::None;
    double value = 0;
};
// «1 036,96», «1036.96», «-».
Figure readFigure(QStringView text);

// «ФСБЦ-01.7.15.06-0111» → «01.7.15.06-0111»; a code without a prefix as it is.
QString withoutBasePrefix(QStringView code);

} // namespace norms
