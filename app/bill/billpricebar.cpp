#include "billpricebar.h"

#include "billbook.h"
#include "billbutton.h"
#include "billpricing.h"
#include "billreadings.h"
#include "common/errorreport.h"
#include "common/refusedcolours.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

const QString kIndexTip =
    QStringLiteral("Во сколько раз нынешние цены выше цен ФСБЦ на 01.01.2022, например 9,12");

QString indexText(const std::optional<double> &index)
{
    return index ? bom::quantityText(*index) : QString();
}

} // namespace

BillPriceBar::BillPriceBar(BillBook &book, BillReadings &readings, QWidget *parent)
    : QWidget(parent), m_book(book), m_readings(readings), m_index(new QLineEdit(this))
{
    auto *line = new QHBoxLayout(this);
    line->setContentsMargins(0, 0, 0, 0);
    m_index->setObjectName(QStringLiteral("BillPriceIndex"));
    m_index->setAccessibleName(QStringLiteral("Индекс к ценам 01.01.2022"));
    m_index->setToolTip(kIndexTip);
    m_index->setFixedWidth(m_index->fontMetrics().horizontalAdvance(QStringLiteral("0000,0000")) +
                           16);
    auto *label = new QLabel(QStringLiteral("Индекс к &ценам 01.01.2022:"), this);
    label->setBuddy(m_index);
    QPushButton *fill = billButton("BillFillPrices", QStringLiteral("Цены из &ФСБЦ"), this);
    fill->setToolTip(QStringLiteral("Заполнить пустые цены материалов с кодом и машин ценами ФСБЦ "
                                    "× индекс; введенные цены не меняются"));
    connect(fill, &QPushButton::clicked, this, &BillPriceBar::fillCataloguePrices);
    connect(m_index, &QLineEdit::editingFinished, this, [this] {
        if (!m_asking)
            takeIndex();
    });
    line->addWidget(label);
    line->addWidget(m_index);
    line->addWidget(fill);
    line->addStretch(1);
    connect(&book, &BillBook::contentChanged, this, &BillPriceBar::showIndex);
    showIndex();
}

BillPriceBar::~BillPriceBar()
{
    // The field finishes its editing while the bar's children go.
    m_index->disconnect(this);
}

void BillPriceBar::showIndex()
{
    const std::optional<double> index = m_book.bill().priceIndex;
    const bom::IndexEdit shown = bom::readPriceIndex(m_index->text());
    if (shown.refusal || shown.index != index)
        m_index->setText(indexText(index));
}

void BillPriceBar::takePending()
{
    // The index as shown is the bill's own, though it may show fewer digits than the bill keeps;
    // one that cannot be read stays marked in its field, as leaving the field leaves it.
    if (m_index->text() != indexText(m_book.bill().priceIndex))
        takeIndex();
}

std::optional<QString> BillPriceBar::takeIndex()
{
    const bom::IndexEdit edit = bom::readPriceIndex(m_index->text());
    std::optional<bom::Refusal> refusal = edit.refusal;
    if (!refusal && edit.index != m_book.bill().priceIndex) {
        if (edit.index && *edit.index > bom::kIndexToAsk) {
            m_asking = true;
            const bool goAhead = errorreport::askToGoAhead(
                QStringLiteral("Индекс %1 больше 100: цены ФСБЦ станут в %1 раз выше цен "
                               "01.01.2022. Принять такой индекс?")
                    .arg(m_index->text().trimmed()),
                QStringLiteral("Принять"), QStringLiteral("Отмена"), window());
            m_asking = false;
            if (!goAhead) {
                // The bill keeps its index, and the field shows it again.
                m_index->setText(indexText(m_book.bill().priceIndex));
                return QString();
            }
        }
        refusal = billpricing::setPriceIndex(m_book, m_readings, edit.index);
    }
    refusedcolours::mark(m_index, refusal.has_value());
    m_index->setToolTip(refusal ? refusal->reason : kIndexTip);
    if (refusal)
        return refusal->reason;
    return std::nullopt;
}

void BillPriceBar::fillCataloguePrices()
{
    // A typed index counts even before its field is left.
    if (const std::optional<QString> why = takeIndex()) {
        if (!why->isEmpty())
            errorreport::show(*why, window());
        return;
    }
    if (const std::optional<QString> why = billpricing::fillCataloguePrices(m_book, m_readings))
        errorreport::show(*why, window());
}
