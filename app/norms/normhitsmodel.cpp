#include "normhitsmodel.h"

#include "normcompute.h"

#include <algorithm>

NormHitsModel::NormHitsModel(Style style, QObject *parent)
    : QAbstractTableModel(parent), m_style(style)
{
}

void NormHitsModel::setHits(const QList<norms::ResourceHit> &hits)
{
    beginResetModel();
    m_hits = hits;
    m_lines = true;
    endResetModel();
}

void NormHitsModel::setHits(const QList<norms::NormHit> &hits)
{
    beginResetModel();
    m_hits.clear();
    m_hits.reserve(hits.size());
    for (const norms::NormHit &hit : hits)
        m_hits.append({hit, {}});
    m_lines = false;
    endResetModel();
}

bool NormHitsModel::hasFirm() const
{
    return std::any_of(m_hits.cbegin(), m_hits.cend(),
                       [](const norms::ResourceHit &found) { return found.norm.firm; });
}

int NormHitsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

int NormHitsModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_style == Style::Window ? UnitColumn + 1 : KindColumn + 1;
}

QString NormHitsModel::text(const norms::ResourceHit &found, int column) const
{
    const norms::NormHit &hit = found.norm;
    const norms::NormResource &line = found.resource;
    const bool window = m_style == Style::Window;
    switch (Column(column)) {
    case CodeColumn:
        return hit.fullCode();
    case NameColumn:
        return hit.name;
    case MeasureColumn:
        return hit.measure;
    case KindColumn:
        if (window && !hit.basedOn.isEmpty())
            return QStringLiteral("фирменная, на основе ") + hit.basedOn;
        return hit.firm ? QStringLiteral("фирменная") : QString();
    case ResourceColumn:
    case RateColumn:
    case UnitColumn:
        break;
    }
    if (!m_lines)
        return {};
    if (column == ResourceColumn)
        return QStringList{line.code, norms::resourceName(line)}.join(u' ').trimmed();
    return column == RateColumn ? norms::rateText(line.rate) : line.unit;
    return {};
}

QVariant NormHitsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const norms::ResourceHit &found = m_hits.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return text(found, index.column());
    case Qt::ToolTipRole:
        // Full names run long; the whole of one shows under the pointer.
        if (m_style == Style::Window || index.column() == NameColumn)
            return text(found, index.column());
        return {};
    case Qt::TextAlignmentRole:
        if (m_style == Style::Window && m_lines && index.column() == RateColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return {};
    default:
        return {};
    }
}

QVariant NormHitsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList titles{QStringLiteral("Код"),        QStringLiteral("Наименование"),
                                    QStringLiteral("Измеритель"), QStringLiteral("Вид"),
                                    QStringLiteral("Ресурс"),     QStringLiteral("Норма"),
                                    QStringLiteral("Ед. изм.")};
    return titles.value(section);
}
