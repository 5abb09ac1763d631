#pragma once

#include "normsearch.h"

#include <QAbstractTableModel>
#include <QList>

// The norms a search found, a row each: code, name, measure and whether the firm made it, and
// for a search by resource the line found with its rate and unit. «Нормы» shows all of it; a
// page row's choice of a norm the first four.
class NormHitsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        CodeColumn,
        NameColumn,
        MeasureColumn,
        KindColumn,
        // A search by resource: the line found, its rate per measure and its unit.
        ResourceColumn,
        RateColumn,
        UnitColumn,
    };
    enum class Style
    {
        Window, // every column; every cell's whole text under the pointer; a firm norm says
                // which federal norm it follows
        Choice, // the norm's columns; the name under the pointer; a firm norm is just marked
    };

    explicit NormHitsModel(Style style, QObject *parent = nullptr);

    void setHits(const QList<norms::ResourceHit> &hits);
    void setHits(const QList<norms::NormHit> &hits);
    void clear() { setHits(QList<norms::NormHit>()); }

    qint64 normId(int row) const { return m_hits.at(row).norm.id; }
    // The code of the resource found by a search by resource.
    QString resourceCode(int row) const { return m_hits.at(row).resource.code; }
    // The code as the list shows it.
    QString code(int row) const { return text(m_hits.at(row), CodeColumn); }
    // Whether a firm norm is among those found: only then is the kind worth its column.
    bool hasFirm() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString text(const norms::ResourceHit &hit, int column) const;

    Style m_style;
    QList<norms::ResourceHit> m_hits;
    bool m_lines = false; // found by resource, with the lines
};
