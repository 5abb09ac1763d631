#include "pricepanel.h"

#include "common/settings.h"
#include "normbase.h"
#include "pricestore.h"
#include "totals.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kKeyRole = Qt::UserRole + 1;
const QString kSettingsKey = QStringLiteral("norms/priceList");

// A list is remembered by what makes it one: its subject, zone and quarter.
QString listKey(const norms::PriceListTitle &title)
{
    return QStringLiteral("%1|%2|%3|%4")
        .arg(title.subject, title.zone, QString::number(title.year),
             QString::number(title.quarter));
}

QString howPriced(norms::PriceKind kind)
{
    switch (kind) {
    case norms::PriceKind::Current:
        return QStringLiteral("текущая цена");
    case norms::PriceKind::Indexed:
        return QStringLiteral("базисная цена × индекс группы");
    case norms::PriceKind::Labour:
        return QStringLiteral("часовая ставка");
    }
    return {};
}

} // namespace

PricePanel::PricePanel(NormBase &base, QWidget *parent) : QWidget(parent), m_base(base)
{
    // The price takes a line of its own: beside the list a long one wrapped and was cut.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *chooser = new QHBoxLayout;
    // «Г» and «U» are keys no other accelerator of «Нормы» takes.
    auto *caption = new QLabel(QStringLiteral("Цены ре&гиона:"), this);
    m_list = new QComboBox(this);
    m_list->setObjectName(QStringLiteral("PriceList"));
    m_list->setAccessibleName(QStringLiteral("Сметные цены региона"));
    m_list->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    caption->setBuddy(m_list);
    m_price = new QLabel(this);
    m_price->setObjectName(QStringLiteral("ResourcePrice"));
    m_price->setWordWrap(true);
    m_price->setTextInteractionFlags(Qt::TextSelectableByMouse);
    chooser->addWidget(caption);
    chooser->addWidget(m_list);
    chooser->addStretch(1);
    layout->addLayout(chooser);
    layout->addWidget(m_price);
    connect(m_list, &QComboBox::activated, this, &PricePanel::choose);
    reload();
}

void PricePanel::remember(const norms::PriceListTitle &title)
{
    programSettings()->setValue(kSettingsKey, listKey(title));
}

void PricePanel::reload()
{
    const QString remembered = programSettings()->value(kSettingsKey).toString();
    m_list->clear();
    try {
        if (norms::NormDatabase *database = m_base.database()) {
            for (const norms::StoredPriceList &list : norms::storedPriceLists(*database)) {
                m_list->addItem(list.name, QVariant::fromValue(list.id));
                m_list->setItemData(m_list->count() - 1, listKey(list.title), kKeyRole);
                if (listKey(list.title) == remembered)
                    m_list->setCurrentIndex(m_list->count() - 1);
            }
        }
    } catch (const norms::sql::Failure &) {
        // The window's own reading of the base says what is wrong with it.
        m_list->clear();
    }
    m_list->setEnabled(m_list->count() > 0);
    showPrice();
}

void PricePanel::choose()
{
    programSettings()->setValue(kSettingsKey, m_list->currentData(kKeyRole));
    showPrice();
}

void PricePanel::showResource(const QString &code)
{
    m_code = code;
    showPrice();
}

void PricePanel::showPrice()
{
    if (m_list->count() == 0) {
        m_price->setText(QStringLiteral("Сметные цены региона не загружены: Действия → Загрузить "
                                        "сметные цены региона..."));
        return;
    }
    if (m_code.isEmpty()) {
        m_price->setText(QStringLiteral("Выберите строку ресурса: здесь будет его текущая цена."));
        return;
    }
    const QString listName = m_list->currentText();
    std::optional<norms::ResourcePrice> price;
    try {
        if (norms::NormDatabase *database = m_base.database())
            price = norms::resourcePrice(*database, m_list->currentData().toLongLong(), m_code);
    } catch (const norms::sql::Failure &) {
    }
    if (!price) {
        m_price->setText(QStringLiteral("%1: нет в ценах «%2».").arg(m_code, listName));
        return;
    }
    const QString money = bom::groupedMoneyText(std::llround(price->price * 100.0));
    const QString unit = price->unit.isEmpty() ? QString() : u'/' + price->unit;
    m_price->setText(QStringLiteral("%1: %2 руб.%3 — %4 (%5)")
                         .arg(m_code, money, unit, listName, howPriced(price->kind)));
}
