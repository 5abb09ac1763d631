#include "estimatetree.h"

#include "common/codecolumn.h"
#include "estimatetexts.h"

#include <QHeaderView>

namespace {

constexpr int kPlaceRole = Qt::UserRole;

QVariant placeData(EstimateTree::Place::Kind kind, int section, int position, int line)
{
    return QVariantList{int(kind), section, position, line};
}

// Figures stand to the right, as in the printed form.
void setFigure(QTreeWidgetItem *item, int column, const QString &text, const QString &how = {})
{
    item->setText(column, text);
    item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    if (!how.isEmpty())
        item->setToolTip(column, how);
}

QString coefficientsText(const lsr::Line &line)
{
    QStringList parts;
    if (line.quantityCoefficient != 1)
        parts << QStringLiteral("к расходу %1")
                     .arg(estimatetexts::quantity(line.quantityCoefficient));
    if (line.priceCoefficient != 1)
        parts << QStringLiteral("к цене %1").arg(estimatetexts::quantity(line.priceCoefficient));
    return parts.join(QStringLiteral("; "));
}

} // namespace

EstimateTree::EstimateTree(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("EstimatePositions"));
    setAccessibleName(QStringLiteral("Позиции сметы"));
    setColumnCount(ColumnCount);
    setHeaderLabels({QStringLiteral("№"), QStringLiteral("Код"), QStringLiteral("Наименование"),
                     QStringLiteral("Ед. изм."), QStringLiteral("На ед."), QStringLiteral("Коэф."),
                     QStringLiteral("Количество"), QStringLiteral("Базисная цена"),
                     QStringLiteral("Индекс"), QStringLiteral("Текущая цена"),
                     QStringLiteral("Стоимость"), QStringLiteral("Источник цены")});
    const int widths[] = {62, 0, 210, 56, 64, 46, 78, 84, 52, 84, 104, 150};
    for (int column = 0; column < ColumnCount; ++column)
        setColumnWidth(column, widths[column]);
    setColumnWidth(CodeColumn, codecolumn::width(this, codecolumn::kResourceSample) + 12);
    setUniformRowHeights(true);
    setIndentation(14);
    setAlternatingRowColors(true);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem *item) {
        const Place at = place(item);
        if (at.kind == Place::Kind::Position)
            m_opened.insert({at.section, at.position});
    });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem *item) {
        const Place at = place(item);
        if (at.kind == Place::Kind::Position)
            m_opened.remove({at.section, at.position});
    });
}

EstimateTree::Place EstimateTree::place(const QTreeWidgetItem *item) const
{
    if (!item)
        return {};
    const QVariantList kept = item->data(0, kPlaceRole).toList();
    if (kept.size() != 4)
        return {};
    return {Place::Kind(kept.at(0).toInt()), kept.at(1).toInt(), kept.at(2).toInt(),
            kept.at(3).toInt()};
}

void EstimateTree::show(const lsr::Estimate &estimate)
{
    const Place current = currentPlace();
    // Filling the tree expands rows; those are not the user's.
    const QSet<QPair<int, int>> opened = m_opened;
    blockSignals(true);
    clear();
    for (int s = 0; s < estimate.sections.size(); ++s) {
        const lsr::Section &section = estimate.sections.at(s);
        auto *item = new QTreeWidgetItem(this);
        item->setData(0, kPlaceRole, placeData(Place::Kind::Section, s, -1, -1));
        item->setText(CodeColumn, QStringLiteral("Раздел %1").arg(section.code));
        item->setText(NameColumn, section.name);
        QFont bold = item->font(0);
        bold.setBold(true);
        for (int column = 0; column < ColumnCount; ++column)
            item->setFont(column, bold);
        setFigure(item, CostColumn, estimatetexts::money(section.totals.total));
        for (int p = 0; p < section.positions.size(); ++p)
            addPosition(item, section.positions.at(p), s, p);
        item->setExpanded(true);
    }
    blockSignals(false);
    m_opened = opened;
    for (const auto &[s, p] : std::as_const(m_opened))
        if (QTreeWidgetItem *item = itemAt(s, p, -1))
            item->setExpanded(true);
    if (current.kind != Place::Kind::None)
        select(current.section, current.position, current.line);
}

void EstimateTree::addPosition(QTreeWidgetItem *parent, const lsr::Position &position, int section,
                               int index)
{
    auto *item = new QTreeWidgetItem(parent);
    item->setData(0, kPlaceRole, placeData(Place::Kind::Position, section, index, -1));
    item->setText(NumColumn, QString::number(position.num));
    item->setText(CodeColumn, estimatetexts::positionCode(position));
    item->setText(NameColumn, position.name);
    item->setToolTip(NameColumn, position.note.isEmpty()
                                     ? position.name
                                     : position.name + QStringLiteral("\n") + position.note);
    item->setText(UnitColumn, position.unit);
    QStringList coefficients;
    for (const bom::Coefficient &coefficient : position.coefficients)
        coefficients << QStringLiteral("%1 %2 — %3 (%4)")
                            .arg(estimatetexts::targetName(coefficient.target),
                                 estimatetexts::quantity(coefficient.value), coefficient.name,
                                 coefficient.reason);
    if (!coefficients.isEmpty()) {
        item->setText(CoefficientColumn, QString::number(coefficients.size()));
        item->setToolTip(CoefficientColumn, coefficients.join(u'\n'));
    }
    setFigure(item, QuantityColumn, estimatetexts::quantity(position.quantityTotal),
              position.formula.isEmpty()
                  ? QString()
                  : QStringLiteral("%1 = %2").arg(estimatetexts::quantity(position.quantity),
                                                  position.formula));
    setFigure(item, CostColumn, estimatetexts::money(position.total),
              QStringLiteral("Прямые затраты %1 + НР %2 + СП %3")
                  .arg(estimatetexts::money(position.direct),
                       estimatetexts::money(position.overhead ? position.overhead->amount : 0),
                       estimatetexts::money(position.profit ? position.profit->amount : 0)));
    for (int l = 0; l < position.lines.size(); ++l) {
        const lsr::Line &line = position.lines.at(l);
        auto *row = new QTreeWidgetItem(item);
        row->setData(0, kPlaceRole, placeData(Place::Kind::Line, section, index, l));
        row->setText(CodeColumn, line.code);
        row->setText(NameColumn, line.kind == lsr::LineKind::Machinist
                                     ? QStringLiteral("%1, разряд %2").arg(line.name, line.grade)
                                     : line.name);
        row->setToolTip(NameColumn, row->text(NameColumn));
        row->setText(UnitColumn, line.unit);
        setFigure(row, PerUnitColumn, estimatetexts::quantity(line.perUnit));
        row->setText(CoefficientColumn, coefficientsText(line));
        setFigure(row, QuantityColumn, estimatetexts::quantity(line.quantity));
        setFigure(row, BasePriceColumn,
                  line.basePrice ? estimatetexts::money(*line.basePrice) : QString());
        setFigure(row, IndexColumn, line.index ? estimatetexts::quantity(*line.index) : QString());
        if (line.kind != lsr::LineKind::Unpriced) {
            setFigure(row, PriceColumn, estimatetexts::money(line.price), line.how);
            setFigure(row, CostColumn, estimatetexts::money(line.cost), line.how);
        }
        row->setText(SourceColumn, estimatetexts::sourceName(line));
        row->setToolTip(SourceColumn, row->text(SourceColumn));
        if (line.source == lsr::PriceSource::None && line.kind != lsr::LineKind::Unpriced)
            for (int column = 0; column < ColumnCount; ++column)
                row->setForeground(column, QColor(0xb0, 0x00, 0x20));
    }
    const auto addCharge = [&](const QString &title, const std::optional<lsr::Charge> &charge) {
        auto *row = new QTreeWidgetItem(item);
        row->setData(0, kPlaceRole, placeData(Place::Kind::Charge, section, index, -1));
        row->setText(NameColumn, title);
        if (!charge)
            return;
        row->setText(CodeColumn, charge->reason);
        row->setToolTip(NameColumn, charge->name);
        setFigure(row, QuantityColumn,
                  QStringLiteral("%1 %").arg(estimatetexts::quantity(charge->percentTotal)),
                  charge->how);
        setFigure(row, CostColumn, estimatetexts::money(charge->amount), charge->how);
    };
    addCharge(QStringLiteral("НР от ФОТ"), position.overhead);
    addCharge(QStringLiteral("СП от ФОТ"), position.profit);
    auto *total = new QTreeWidgetItem(item);
    total->setData(0, kPlaceRole, placeData(Place::Kind::Charge, section, index, -1));
    total->setText(NameColumn, QStringLiteral("Всего по позиции"));
    setFigure(total, CostColumn, estimatetexts::money(position.total), item->toolTip(CostColumn));
    QFont bold = total->font(NameColumn);
    bold.setBold(true);
    total->setFont(NameColumn, bold);
    total->setFont(CostColumn, bold);
}

QTreeWidgetItem *EstimateTree::itemAt(int section, int position, int line) const
{
    QTreeWidgetItem *item = topLevelItem(section);
    if (item && position >= 0)
        item = item->child(position);
    if (item && line >= 0)
        item = item->child(line);
    return item;
}

void EstimateTree::select(int section, int position, int line)
{
    QTreeWidgetItem *item = itemAt(section, position, line);
    if (!item)
        return;
    for (QTreeWidgetItem *parent = item->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    setCurrentItem(item);
    scrollToItem(item);
}
