#pragma once

#include "billfigure.h"
#include "figurebasis.h"
#include "normrate.h"
#include "rowchoice.h"
#include "sourcedrate.h"

#include <QByteArray>
#include <QHash>
#include <QObject>

#include <functional>
#include <optional>

class NormBase;
class QPoint;
class QWidget;
class ResultRows;

// What the chooser of a norm is asked for one row.
struct RowNormRequest
{
    QWidget *parent = nullptr;
    NormBase *base = nullptr; // none: the program has no norm base
    QString caption;          // the row's caption
    QString work;             // the words a search for the page's work starts from
    normrate::RowUnit unit;
    std::optional<RowChoice> current;
};

// The rows of a page that have no published rate, whose rate the user may take from a norm of
// the base: offered in the row's tooltip and context menu, remembered per row and variant, and
// read from the base as it is at each computation, so that a new version of a norm counts.
class RowNorms : public QObject
{
    Q_OBJECT

public:
    struct Page
    {
        QString name;     // the page's name in the settings
        QString work;     // the unit of work the page's rates are per, «м3»
        QString workName; // «м3 бетона»
        // The beginnings of the words that name the page's work in the norms, «фундамент
        // столбч»: the search the choice of a norm starts from.
        QString searchWords;
        // Whether the captions name the rows' units; where they do not, a value taken from a
        // norm is shown with its unit.
        bool captionUnits = false;
        QList<calc::BillFigure> figures; // the published ones, in row order
        std::function<calc::FigureBases(int variant)> publishedBases;
    };

    RowNorms(Page page, NormBase *base, ResultRows &rows, QObject *parent);

    // Reads the variant's chosen norms from the base as it has them now.
    void read(int variant);

    // The rates over the published ones, for the variant last read. The cells point to texts
    // this object keeps until the next read.
    template <typename Table, typename CellOf> Table over(Table rates, CellOf cellOf) const
    {
        for (auto row = m_chosen.cbegin(); row != m_chosen.cend(); ++row) {
            if (calc::SourcedRate *cell = cellOf(rates, m_variant, row.key()))
                *cell = {row->perUnit, row->unit.constData(), row->source.constData()};
        }
        return rates;
    }
    // What the bill takes for a row: in the row's own unit, naming the norm, when one is chosen.
    calc::BillFigure figure(int row) const;
    // The unit to write after the row's value: the row's own, for a value from a norm in a row
    // whose caption names no unit; empty otherwise.
    QString valueUnit(int row) const;
    // The explanations with the offer to choose a norm, or why a chosen one gives no rate.
    QStringList explained(QStringList texts) const;

    // Tests answer in place of the dialog; an empty chooser brings the dialog back.
    using Chooser = std::function<std::optional<RowChoice>(const RowNormRequest &)>;
    static void setChooser(Chooser chooser);

signals:
    // A choice was made or forgotten, or the base changed: the explanations are to be read anew.
    void choicesChanged();

private:
    struct Chosen
    {
        calc::Extended perUnit = 0;
        QByteArray unit;
        QByteArray source;
        calc::BillFigure figure;
    };
    bool offers(int row) const;
    normrate::RowUnit unitOf(int row) const;
    // Takes the row's rate from the chosen norm; otherwise says why not. Throws sql::Failure.
    QString take(int row, const RowChoice &choice);
    RowPlace placeOf(int row) const { return {m_page.name, m_variant, row}; }
    void showMenu(int row, const QPoint &where);
    void choose(int row);
    void forget(int row);

    Page m_page;
    NormBase *m_base;
    ResultRows &m_rows;
    int m_variant = -1;
    calc::FigureBases m_published; // of the variant
    QHash<int, Chosen> m_chosen;
    QHash<int, QString> m_problems; // why a chosen norm gives a row no rate
};
