#include "billmodels.h"

#include "billbook.h"
#include "billreadings.h"
#include "billtexts.h"
#include "common/refusedcolours.h"
#include "vormodel.h"

#include <QColor>
#include <QFont>
#include <QPalette>

QVariant BillTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const auto refused = m_refused.constFind({index.row(), index.column()});
    if (refused != m_refused.cend()) {
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return refused->text;
        case Qt::ToolTipRole:
            return refused->reason;
        case Qt::ForegroundRole:
            return refusedcolours::text();
        case Qt::BackgroundRole:
            return refusedcolours::background();
        default:
            break;
        }
    }
    return cellData(index, role);
}

bool BillTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString text = value.toString();
    const std::pair<int, int> cell{index.row(), index.column()};
    // Forgotten first: a taken text changes the bill, which redraws the cell.
    const bool wasRefused = m_refused.remove(cell) > 0;
    if (const std::optional<bom::Refusal> refusal = apply(index, text)) {
        m_refused.insert(cell, {text, refusal->reason});
        emit dataChanged(index, index);
        emit refused(index, refusal->reason);
        return false;
    }
    if (wasRefused)
        emit dataChanged(index, index);
    return true;
}

namespace {

QVariant alignment(bool number)
{
    return number ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                  : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
}

QString catalogueText(const BillReadings &readings, const bom::MaterialKey &key)
{
    const std::optional<BillReadings::BasePrice> base = readings.basePrice(key);
    if (!base)
        return {};
    const std::optional<qint64> kopecks = bom::cataloguePrice(base->cost, 1, 1);
    return kopecks ? bom::groupedMoneyText(*kopecks) : QString();
}

QString catalogueTip(const BillReadings &readings, const bom::MaterialKey &key)
{
    if (!key.hasCode())
        return QStringLiteral("Материал без кода: свяжите его с ресурсом ФСБЦ (контекстное меню)");
    const std::optional<BillReadings::BasePrice> base = readings.basePrice(key);
    if (!base)
        return QStringLiteral("Ресурса нет в ФСБЦ или его единица не пересчитывается в «%1»")
            .arg(key.unit);
    return QStringLiteral("Сметная цена ФСБЦ на %1 за %2, без индекса").arg(base->level, key.unit);
}

QVariant catalogueHeading(int role)
{
    if (role == Qt::DisplayRole)
        return QStringLiteral("ФСБЦ 01.01.2022, руб.");
    if (role == Qt::ToolTipRole)
        return QStringLiteral("Сметная цена единицы по федеральному сборнику сметных цен, в ценах "
                              "01.01.2022; «Цены из ФСБЦ» умножает ее на индекс");
    return {};
}

// The views are told of the rows whose resource was read anew: their catalogue prices change.
template <typename Rows>
void showResources(QAbstractTableModel &model, const Rows &rows, int column,
                   const QStringList &codes)
{
    for (int row = 0; row < int(rows.size()); ++row) {
        if (rows.at(row).key.hasCode() && codes.contains(rows.at(row).key.code))
            emit model.dataChanged(model.index(row, column), model.index(row, column));
    }
}

} // namespace

EntriesModel::EntriesModel(const BillBook &book, const BillReadings &readings, QObject *parent)
    : BillTableModel(parent), m_book(book), m_readings(readings)
{
    // An entry's formula gives its volume; a section's name shows in every entry of it.
    connect(&book, &BillBook::entryChanged, this,
            [this](int row) { emit dataChanged(index(row, 0), index(row, ColumnCount - 1)); });
    connect(&book, &BillBook::vorChanged, this, [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0, Section), index(rowCount() - 1, Section));
    });
    connect(&book, &BillBook::entriesChanged, this, [this] {
        beginResetModel();
        forgetRefusals();
        endResetModel();
    });
    // A firm norm's new version shows in the work of the entries computed on it.
    connect(&readings, &BillReadings::normVersionsChanged, this, [this](const QStringList &codes) {
        for (int row = 0; row < rowCount(); ++row)
            if (codes.contains(m_book.bill().entries.at(row).normCode))
                emit dataChanged(index(row, Work), index(row, Work),
                                 {Qt::DisplayRole, Qt::EditRole, Qt::ToolTipRole});
    });
}

int EntriesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_book.bill().entries.size());
}

int EntriesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant EntriesModel::cellData(const QModelIndex &index, int role) const
{
    const bom::Entry &entry = m_book.bill().entries.at(index.row());
    if (role == Qt::TextAlignmentRole)
        return alignment(index.column() == Count);
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case Added:
        return billtexts::addedText(entry.added);
    case Work: {
        // A firm norm changed since the entry was computed: the user sees it at the entry.
        const QString outdated = m_readings.outdatedNote(entry);
        return outdated.isEmpty() ? entry.work : entry.work + QStringLiteral(" — ") + outdated;
    }
    case Count:
        return QString::number(entry.count);
    case Inputs:
        return entry.inputs;
    case Materials:
        return billtexts::materialsText(entry);
    case Note:
        return entry.note;
    default:
        return vormodel::cell(m_book.bill(), index.row(), index.column());
    }
}

QVariant EntriesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    static const char *const headings[] = {
        "Добавлено", "Работа",     "Кол-во",       "Условия",        "Материалы", "Примечание",
        "Раздел",    "Ед. объема", "Объем работы", "Формула объема", "Основание"};
    static const char *const tips[] = {
        "Когда запись добавлена в ведомость",
        "Вид работ и выбранный вариант",
        "Сколько одинаковых работ: материалы записи умножаются на это число",
        "Данные расчета, как они введены",
        "Материалы одной работы; объемы работ и составы в итоги не входят",
        "Примечание к записи",
        "Раздел ведомости объемов работ: название или номер",
        "Единица измерения объема одной работы",
        "Объем одной работы",
        "Как получен объем одной работы, числа с точкой: 12.3*3*0.38",
        "Ссылки на страницы проектной документации (двойной щелчок — изменить)"};
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(headings[section]);
    if (role == Qt::ToolTipRole)
        return QString::fromUtf8(tips[section]);
    return {};
}

Qt::ItemFlags EntriesModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() != Added && index.column() != Work && index.column() != Inputs &&
        index.column() != Materials && index.column() != Basis)
        flags |= Qt::ItemIsEditable;
    return flags;
}

std::optional<bom::Refusal> EntriesModel::apply(const QModelIndex &index, const QString &text)
{
    if (index.column() >= Section) {
        const vormodel::Edit edit =
            vormodel::apply(m_book.bill(), index.row(), index.column(), text);
        if (edit.entry)
            emit entryEdited(index.row(), *edit.entry, edit.what);
        return edit.refusal;
    }
    if (index.column() != Count) {
        emit noteEdited(index.row(), text);
        return std::nullopt;
    }
    const bom::CountEdit edit = bom::readCount(text);
    if (!edit.refusal)
        emit countEdited(index.row(), edit.count);
    return edit.refusal;
}

TotalsModel::TotalsModel(const BillBook &book, const BillReadings &readings, QObject *parent)
    : BillTableModel(parent), m_book(book), m_readings(readings)
{
    const auto reset = [this] {
        beginResetModel();
        forgetRefusals();
        endResetModel();
    };
    connect(&book, &BillBook::entriesChanged, this, reset);
    connect(&book, &BillBook::entryChanged, this, reset);
    connect(&book, &BillBook::termsChanged, this, [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    });
    connect(&readings, &BillReadings::resourcesChanged, this, [this](const QStringList &codes) {
        showResources(*this, m_book.totals().rows, CatalogueColumn, codes);
    });
}

int TotalsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_book.totals().rows.size());
}

int TotalsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CatalogueColumn + 1;
}

QVariant TotalsModel::cellData(const QModelIndex &index, int role) const
{
    const bom::Total &row = m_book.totals().rows.at(index.row());
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column == CatalogueColumn)
            return catalogueText(m_readings, row.key);
        return column == CodeColumn ? row.key.code : billtexts::totalsCells(row).at(column);
    case Qt::EditRole:
        if (column == CatalogueColumn)
            return catalogueText(m_readings, row.key);
        // A price is edited as the number it is, without the spaces between its thousands.
        return column == CodeColumn
                   ? row.key.code
                   : billtexts::totalsCells(row, billtexts::MoneyForm::Plain).at(column);
    case Qt::ToolTipRole:
        if (column == billtexts::Material && !row.linked.isEmpty())
            return QStringLiteral("Связано с ресурсом ФСБЦ %1:\n%2")
                .arg(row.key.code, billtexts::linkedText(row));
        if (column == billtexts::UnitPrice && row.terms.priceOrigin)
            return billtexts::priceOriginText(row.terms);
        if (column == CatalogueColumn)
            return catalogueTip(m_readings, row.key);
        if (column == billtexts::Quantity && !bom::isShownQuantity(row.quantity))
            return QStringLiteral("Количество больше, чем можно показать; в итоги не вошло");
        if (column == billtexts::Quantity && row.dashes > 0)
            return QStringLiteral("Без нормы (—) в записях: %1").arg(row.dashes);
        if (column == billtexts::Sum && row.sumTooLarge)
            return QStringLiteral("Сумма больше, чем можно показать: проверьте цену и количество");
        if (column == billtexts::Sum && row.needsPackSize)
            return QStringLiteral("Цена указана за упаковку: заполните «Фасовка»");
        return {};
    case Qt::TextAlignmentRole:
        return alignment(column >= billtexts::Quantity && column != CodeColumn);
    case Qt::FontRole:
        if (column == billtexts::ToBuy) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant TotalsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section == CatalogueColumn)
        return catalogueHeading(role);
    if (role == Qt::DisplayRole)
        return section == CodeColumn ? billtexts::codeHeading()
                                     : billtexts::totalsHeadings().at(section);
    if (role == Qt::ToolTipRole)
        return section == CodeColumn ? billtexts::codeHeadingTip()
                                     : billtexts::totalsHeadingTips().at(section);
    return {};
}

Qt::ItemFlags TotalsModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    switch (index.column()) {
    case billtexts::Reserve:
    case billtexts::PackSize:
    case billtexts::UnitPrice:
    case billtexts::PackPrice:
        flags |= Qt::ItemIsEditable;
        break;
    default:
        break;
    }
    return flags;
}

std::optional<bom::Refusal> TotalsModel::apply(const QModelIndex &index, const QString &text)
{
    const bom::MaterialKey key = m_book.totals().rows.at(index.row()).key;
    bom::Terms terms = m_book.totals().rows.at(index.row()).terms;
    std::optional<bom::Refusal> refusal;
    switch (index.column()) {
    case billtexts::Reserve: {
        const bom::ReserveEdit edit = bom::readReserve(text);
        refusal = edit.refusal;
        terms.reservePercent = edit.percent;
        break;
    }
    case billtexts::PackSize: {
        const bom::PackSizeEdit edit = bom::readPackSize(text);
        refusal = edit.refusal;
        terms.packSize = edit.size;
        break;
    }
    default: {
        const bom::PriceEdit edit = bom::readPrice(text);
        refusal = edit.refusal;
        const bom::PriceBasis basis = index.column() == billtexts::PackPrice
                                          ? bom::PriceBasis::PerPack
                                          : bom::PriceBasis::PerUnit;
        // One price per material: clearing the other column's price leaves it as it was.
        if (!edit.kopecks && terms.priceBasis != basis)
            break;
        terms.priceKopecks = edit.kopecks;
        terms.priceBasis = edit.kopecks ? basis : bom::PriceBasis::PerUnit;
        // A price typed over the catalogue's is the user's own.
        terms.priceOrigin.reset();
        break;
    }
    }
    if (!refusal)
        emit termsEdited(key, terms);
    return refusal;
}

HoursModel::HoursModel(const BillBook &book, const BillReadings &readings, QObject *parent)
    : BillTableModel(parent), m_book(book), m_readings(readings)
{
    const auto reset = [this] {
        beginResetModel();
        forgetRefusals();
        endResetModel();
    };
    connect(&book, &BillBook::entriesChanged, this, reset);
    connect(&book, &BillBook::entryChanged, this, reset);
    // Not a reset: the price just typed is still being committed by its editor.
    connect(&book, &BillBook::termsChanged, this, [this] {
        if (rowCount() > 0)
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    });
    connect(&readings, &BillReadings::resourcesChanged, this, [this](const QStringList &codes) {
        showResources(*this, m_book.totals().hours, CatalogueColumn, codes);
    });
}

int HoursModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_book.totals().hours.size());
}

int HoursModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CatalogueColumn + 1;
}

QVariant HoursModel::cellData(const QModelIndex &index, int role) const
{
    const bom::HoursTotal &row = m_book.totals().hours.at(index.row());
    if (role == Qt::TextAlignmentRole)
        return alignment(index.column() == billtexts::HoursQuantity ||
                         index.column() == billtexts::HoursColumnCount ||
                         index.column() == billtexts::HoursColumnCount + 1 ||
                         index.column() == CatalogueColumn);
    if (index.column() == CatalogueColumn) {
        if (row.kind != bom::MaterialKind::Machine)
            return {};
        if (role == Qt::DisplayRole)
            return catalogueText(m_readings, row.key);
        return role == Qt::ToolTipRole ? QVariant(catalogueTip(m_readings, row.key)) : QVariant();
    }
    // A price is edited as the number it is, without the spaces between its thousands.
    if (role == Qt::EditRole)
        return billtexts::hoursCells(row, true, billtexts::MoneyForm::Plain).at(index.column());
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    return billtexts::hoursCells(row, true).at(index.column());
}

Qt::ItemFlags HoursModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == PriceColumn &&
        m_book.totals().hours.at(index.row()).kind == bom::MaterialKind::Machine)
        flags |= Qt::ItemIsEditable;
    return flags;
}

std::optional<bom::Refusal> HoursModel::apply(const QModelIndex &index, const QString &text)
{
    const bom::HoursTotal &row = m_book.totals().hours.at(index.row());
    const bom::PriceEdit edit = bom::readPrice(text);
    if (edit.refusal)
        return edit.refusal;
    bom::Terms terms = row.terms;
    terms.priceKopecks = edit.kopecks;
    terms.priceBasis = bom::PriceBasis::PerUnit;
    // A price typed over the catalogue's is the user's own, and «Цены из ФСБЦ» leaves it.
    terms.priceOrigin.reset();
    emit termsEdited(row.key, terms);
    return std::nullopt;
}

QVariant HoursModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section == CatalogueColumn)
        return catalogueHeading(role);
    return role == Qt::DisplayRole ? QVariant(billtexts::hoursHeadings(true).at(section))
                                   : QVariant();
}
