#include "estimatehead.h"

#include "common/errorreport.h"
#include "estimatebook.h"
#include "estimatetexts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum LegalColumn
{
    ActName,
    ActType,
    ActDate,
    ActNumber,
    ActOrders,
    ActColumns
};

const QString kDateFormat = QStringLiteral("dd.MM.yyyy");

QLineEdit *field(QWidget *parent, const char *name, const QString &accessible)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(accessible);
    return edit;
}

QLabel *shown(QWidget *parent, const char *name, const QString &accessible)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAccessibleName(accessible);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

EstimateHead::EstimateHead(EstimateBook *book, QWidget *parent)
    : QWidget(parent), m_book(book),
      m_number(field(this, "EstimateNumber", QStringLiteral("Номер ЛСР"))),
      m_name(field(this, "EstimateName", QStringLiteral("Наименование ЛСР"))),
      m_reason(field(this, "EstimateReason", QStringLiteral("Основание"))),
      m_salaryAct(field(this, "EstimateSalaryAct",
                        QStringLiteral("Акт региона о сметных ценах на оплату труда"))),
      m_list(new QComboBox(this)), m_territory(new QComboBox(this)),
      m_region(shown(this, "EstimateRegion", QStringLiteral("Субъект и зона"))),
      m_level(shown(this, "EstimateLevel", QStringLiteral("Текущий уровень цен"))),
      m_composer(shown(this, "EstimateComposer", QStringLiteral("Составил"))),
      m_verifier(shown(this, "EstimateVerifier", QStringLiteral("Проверил")))
{
    m_list->setObjectName(QStringLiteral("EstimatePriceList"));
    m_list->setAccessibleName(QStringLiteral("Прайс-лист"));
    m_list->setMinimumContentsLength(24);
    m_territory->setObjectName(QStringLiteral("EstimateTerritory"));
    m_territory->setAccessibleName(QStringLiteral("Территория"));
    for (const bom::Territory territory :
         {bom::Territory::Ordinary, bom::Territory::Mprks, bom::Territory::Rks})
        m_territory->addItem(estimatetexts::territoryName(territory), int(territory));
    m_territory->setToolTip(QStringLiteral("Столбец норм накладных расходов: обычная территория, "
                                           "местности, приравненные к районам Крайнего Севера "
                                           "(МПРКС), или районы Крайнего Севера (РКС)"));

    auto *layout = new QHBoxLayout(this);
    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    const auto row = [&](const QString &caption, QWidget *widget) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(widget);
        form->addRow(label, widget);
    };
    row(QStringLiteral("&Номер ЛСР:"), m_number);
    row(QStringLiteral("Наименован&ие:"), m_name);
    row(QStringLiteral("Основани&е:"), m_reason);
    row(QStringLiteral("Прайс-&лист:"), m_list);
    form->addRow(QStringLiteral("Субъект, зона:"), m_region);
    form->addRow(QStringLiteral("Уровень цен:"), m_level);
    row(QStringLiteral("Террит&ория:"), m_territory);
    row(QStringLiteral("Оплата тр&уда:"), m_salaryAct);
    m_salaryAct->setToolTip(QStringLiteral("Акт региона, утвердивший сметные цены на оплату "
                                           "труда рабочих"));
    form->addRow(QStringLiteral("Составил:"), m_composer);
    form->addRow(QStringLiteral("Проверил:"), m_verifier);
    layout->addLayout(form, 2);
    layout->addWidget(createLegal(), 3);

    const bool editable = m_book != nullptr;
    for (QLineEdit *edit : {m_number, m_name, m_reason, m_salaryAct}) {
        edit->setReadOnly(!editable);
        connect(edit, &QLineEdit::editingFinished, this, &EstimateHead::takeTexts);
    }
    m_list->setEnabled(editable);
    m_territory->setEnabled(editable);
    connect(m_territory, &QComboBox::activated, this, &EstimateHead::takeTerritory);
    connect(m_list, &QComboBox::activated, this, &EstimateHead::takeList);
}

QWidget *EstimateHead::createLegal()
{
    auto *box = new QGroupBox(QStringLiteral("Нормативные акты"), this);
    box->setObjectName(QStringLiteral("EstimateLegalBox"));
    auto *layout = new QVBoxLayout(box);
    m_legal = new QTableWidget(0, ActColumns, box);
    m_legal->setObjectName(QStringLiteral("EstimateLegal"));
    m_legal->setAccessibleName(QStringLiteral("Нормативные акты"));
    m_legal->setHorizontalHeaderLabels({QStringLiteral("Наименование"), QStringLiteral("Вид"),
                                        QStringLiteral("Дата"), QStringLiteral("№ в реестре"),
                                        QStringLiteral("Изменения")});
    m_legal->horizontalHeaderItem(ActDate)->setToolTip(
        QStringLiteral("Дата включения в федеральный реестр, например 01.03.2022"));
    m_legal->verticalHeader()->hide();
    m_legal->setColumnWidth(ActName, 260);
    m_legal->setColumnWidth(ActType, 90);
    m_legal->setColumnWidth(ActDate, 80);
    m_legal->setColumnWidth(ActNumber, 80);
    m_legal->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_legal);
    auto *buttons = new QHBoxLayout;
    auto *add = new QPushButton(QStringLiteral("Добавить акт"), box);
    add->setObjectName(QStringLiteral("EstimateAddAct"));
    auto *remove = new QPushButton(QStringLiteral("Удалить акт"), box);
    remove->setObjectName(QStringLiteral("EstimateRemoveAct"));
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    if (m_book) {
        connect(m_legal, &QTableWidget::cellChanged, this, &EstimateHead::takeLegal);
        connect(add, &QPushButton::clicked, this, &EstimateHead::addAct);
        connect(remove, &QPushButton::clicked, this, &EstimateHead::removeAct);
    } else {
        m_legal->setEditTriggers(QAbstractItemView::NoEditTriggers);
        add->hide();
        remove->hide();
    }
    return box;
}

void EstimateHead::fillLists(const bom::PriceListRef &chosen)
{
    m_list->clear();
    if (!m_book) {
        m_list->addItem(QStringLiteral("%1, %2").arg(
            chosen.subject, estimatetexts::levelText(chosen.quarter, chosen.year)));
        return;
    }
    const QList<norms::StoredPriceList> lists = m_book->engine().priceLists();
    int current = -1;
    for (const norms::StoredPriceList &list : lists) {
        if (list.title.subject == chosen.subject && list.title.zone == chosen.zone &&
            list.title.year == chosen.year && list.title.quarter == chosen.quarter)
            current = m_list->count();
        m_list->addItem(list.name, list.id);
        m_list->setItemData(m_list->count() - 1, list.sourceFile, Qt::ToolTipRole);
    }
    if (current < 0) {
        // The list the estimate was priced from is not in this base: said, not replaced.
        m_list->insertItem(
            0, chosen.isNull() ? QStringLiteral("— прайс-лист не выбран —")
                               : QStringLiteral("%1, %2 — нет в базе")
                                     .arg(chosen.subject,
                                          estimatetexts::levelText(chosen.quarter, chosen.year)));
        current = 0;
    }
    m_list->setCurrentIndex(current);
}

void EstimateHead::restore()
{
    // Not from within the table's own signal: its cell is still being committed.
    QTimer::singleShot(0, this, [this] { show(m_head); });
}

void EstimateHead::show(const lsr::Head &head)
{
    m_head = head;
    m_showing = true;
    const bom::EstimateTerms &terms = head.terms;
    for (const auto &[edit, text] :
         {std::pair{m_number, terms.number}, std::pair{m_name, terms.name},
          std::pair{m_reason, terms.reason}})
        if (!edit->hasFocus() || !edit->isModified())
            edit->setText(text);
    fillLists(terms.priceList);
    m_territory->setCurrentIndex(m_territory->findData(int(terms.territory)));
    m_region->setText(QStringLiteral("%1 %2%3").arg(
        terms.regionCode >= 0 ? QStringLiteral("%1").arg(terms.regionCode, 2, 10, QChar(u'0'))
                              : QStringLiteral("—"),
        terms.regionName,
        terms.zoneName.isEmpty() ? QString() : QStringLiteral(", зона %1").arg(terms.zoneName)));
    m_level->setText(QStringLiteral("текущий %1, базисный 01.01.%2")
                         .arg(estimatetexts::levelText(head.currentQuarter, head.currentYear))
                         .arg(head.baseYear));
    m_composer->setText(head.composer.isEmpty() ? QStringLiteral("— (шапка ведомости)")
                                                : head.composer);
    m_verifier->setText(head.verifier.isEmpty() ? QStringLiteral("— (шапка ведомости)")
                                                : head.verifier);
    m_legal->blockSignals(true);
    m_legal->setRowCount(int(terms.legal.size()));
    for (int row = 0; row < terms.legal.size(); ++row) {
        const bom::LegalAct &act = terms.legal.at(row);
        const QString texts[] = {
            act.name, act.type, act.date.isValid() ? act.date.toString(kDateFormat) : QString(),
            act.registerNumber ? QString::number(act.registerNumber) : QString(), act.orders};
        for (int column = 0; column < ActColumns; ++column) {
            auto *item = new QTableWidgetItem(texts[column]);
            item->setToolTip(texts[column]);
            m_legal->setItem(row, column, item);
        }
    }
    m_legal->blockSignals(false);
    m_showing = false;
}

void EstimateHead::focusField(const QString &field)
{
    const std::pair<const char *, QWidget *> fields[] = {{"number", m_number},  {"name", m_name},
                                                         {"reason", m_reason},  {"legal", m_legal},
                                                         {"priceList", m_list}, {"region", m_list}};
    for (const auto &[name, widget] : fields)
        if (field == QLatin1String(name))
            widget->setFocus();
}

void EstimateHead::report(const std::optional<QString> &refusal)
{
    if (refusal)
        errorreport::show(*refusal, window());
}

void EstimateHead::takeTexts()
{
    if (m_showing || !m_book)
        return;
    bom::EstimateTerms terms = m_book->terms();
    terms.number = m_number->text().trimmed();
    terms.name = m_name->text().trimmed();
    terms.reason = m_reason->text().trimmed();
    terms.salaryAct = m_salaryAct->text().trimmed();
    report(m_book->setTerms(QStringLiteral("шапка сметы"), terms));
}

void EstimateHead::takeTerritory(int index)
{
    if (!m_book)
        return;
    bom::EstimateTerms terms = m_book->terms();
    terms.territory = bom::Territory(m_territory->itemData(index).toInt());
    report(m_book->setTerms(
        QStringLiteral("территория «%1»").arg(estimatetexts::territoryName(terms.territory)),
        terms));
}

void EstimateHead::takeList(int index)
{
    if (!m_book)
        return;
    const QVariant id = m_list->itemData(index);
    for (const norms::StoredPriceList &list : m_book->engine().priceLists())
        if (id.isValid() && list.id == id.toLongLong()) {
            report(m_book->setPriceList(list));
            return;
        }
}

void EstimateHead::takeLegal()
{
    if (m_showing || !m_book)
        return;
    bom::EstimateTerms terms = m_book->terms();
    QList<bom::LegalAct> acts;
    for (int row = 0; row < m_legal->rowCount(); ++row) {
        bom::LegalAct act = row < terms.legal.size() ? terms.legal.at(row) : bom::LegalAct{};
        const auto text = [&](int column) {
            const QTableWidgetItem *item = m_legal->item(row, column);
            return item ? item->text().trimmed() : QString();
        };
        act.name = text(ActName);
        act.type = text(ActType);
        act.orders = text(ActOrders);
        if (text(ActDate).isEmpty())
            act.date = QDate();
        else if (const QDate date = QDate::fromString(text(ActDate), kDateFormat); date.isValid())
            act.date = date;
        else {
            restore();
            report(QStringLiteral("Дата акта — день, месяц и год, например 01.03.2022"));
            return;
        }
        bool number = true;
        act.registerNumber = text(ActNumber).isEmpty() ? 0 : text(ActNumber).toInt(&number);
        if (!number || act.registerNumber < 0) {
            restore();
            report(QStringLiteral("Номер в реестре — целое число, например 1003"));
            return;
        }
        acts.append(act);
    }
    terms.legal = acts;
    report(m_book->setTerms(QStringLiteral("нормативные акты"), terms));
}

void EstimateHead::addAct()
{
    bom::EstimateTerms terms = m_book->terms();
    bom::LegalAct act;
    act.name = QStringLiteral("Новый акт");
    act.type = QStringLiteral("Справочная информация");
    terms.legal.append(act);
    report(m_book->setTerms(QStringLiteral("нормативный акт добавлен"), terms));
}

void EstimateHead::removeAct()
{
    const int row = m_legal->currentRow();
    bom::EstimateTerms terms = m_book->terms();
    if (row < 0 || row >= terms.legal.size())
        return;
    terms.legal.removeAt(row);
    report(m_book->setTerms(QStringLiteral("нормативный акт удален"), terms));
}
