#include "estimateeditor.h"

#include "bill.h"
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
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLineEdit *field(QWidget *parent, const char *name, const QString &accessible,
                 const QString &placeholder = {})
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setAccessibleName(accessible);
    edit->setPlaceholderText(placeholder);
    return edit;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *push = new QPushButton(text, parent);
    push->setObjectName(QString::fromLatin1(name));
    return push;
}

// A norm's line priced by the design: its group code is abstract, its material chosen apart.
bool isByDesign(const lsr::Line &line)
{
    return line.kind == lsr::LineKind::Design ||
           (line.kind == lsr::LineKind::Unpriced && line.unit != u"чел.-ч" && line.code != u"1" &&
            line.code != u"2");
}

} // namespace

EstimateEditor::EstimateEditor(EstimateBook &book, QWidget *parent)
    : QWidget(parent), m_book(book), m_nothing(new QLabel(this))
{
    setObjectName(QStringLiteral("EstimateEditor"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_nothing->setWordWrap(true);
    m_nothing->setText(QStringLiteral("Выберите строку ресурса, чтобы задать его цену, или "
                                      "позицию, чтобы выбрать НР и СП и добавить коэффициенты."));
    layout->addWidget(m_nothing);
    layout->addWidget(createPrice());
    layout->addWidget(createDesign());
    layout->addWidget(createPosition());
    layout->addStretch(1);
    showPlace({});
}

QGroupBox *EstimateEditor::createPrice()
{
    m_priceBox = new QGroupBox(QStringLiteral("Цена ресурса"), this);
    m_priceBox->setObjectName(QStringLiteral("EstimatePriceBox"));
    auto *form = new QFormLayout(m_priceBox);
    m_resource = new QLabel(m_priceBox);
    m_resource->setObjectName(QStringLiteral("EstimatePriceResource"));
    m_resource->setWordWrap(true);
    form->addRow(m_resource);
    m_priceKind = new QComboBox(m_priceBox);
    m_priceKind->setObjectName(QStringLiteral("EstimatePriceKind"));
    m_priceKind->setAccessibleName(QStringLiteral("Что задано"));
    m_priceKind->addItem(QStringLiteral("Текущая цена, руб."), int(bom::TypedPrice::Kind::Current));
    m_priceKind->addItem(QStringLiteral("Индекс к базисной цене"),
                         int(bom::TypedPrice::Kind::Index));
    form->addRow(QStringLiteral("Задано:"), m_priceKind);
    m_priceValue = field(m_priceBox, "EstimatePriceValue", QStringLiteral("Цена или индекс"),
                         QStringLiteral("например 509,53"));
    auto *valueLabel = new QLabel(QStringLiteral("Цен&а:"), m_priceBox);
    valueLabel->setBuddy(m_priceValue);
    form->addRow(valueLabel, m_priceValue);
    m_priceBasis = field(m_priceBox, "EstimatePriceBasis", QStringLiteral("Обоснование цены"),
                         QStringLiteral("Конъюнктурный анализ, счет № …"));
    auto *basisLabel = new QLabel(QStringLiteral("О&боснование:"), m_priceBox);
    basisLabel->setBuddy(m_priceBasis);
    form->addRow(basisLabel, m_priceBasis);
    auto *buttons = new QHBoxLayout;
    QPushButton *set = button(m_priceBox, "EstimateSetPrice", QStringLiteral("Задать цену"));
    m_removePrice = button(m_priceBox, "EstimateRemovePrice", QStringLiteral("Снять"));
    buttons->addWidget(set);
    buttons->addWidget(m_removePrice);
    form->addRow(buttons);
    connect(set, &QPushButton::clicked, this, &EstimateEditor::setPrice);
    connect(m_priceValue, &QLineEdit::returnPressed, this, &EstimateEditor::setPrice);
    connect(m_priceBasis, &QLineEdit::returnPressed, this, &EstimateEditor::setPrice);
    connect(m_removePrice, &QPushButton::clicked, this, &EstimateEditor::removePrice);
    return m_priceBox;
}

QGroupBox *EstimateEditor::createDesign()
{
    m_designBox = new QGroupBox(QStringLiteral("Ресурс по проекту"), this);
    m_designBox->setObjectName(QStringLiteral("EstimateDesignBox"));
    auto *form = new QFormLayout(m_designBox);
    m_designQuery =
        field(m_designBox, "EstimateDesignSearch", QStringLiteral("Поиск ресурса в каталоге"),
              QStringLiteral("слова названия или начало кода"));
    form->addRow(QStringLiteral("Поиск:"), m_designQuery);
    m_designHits = new QListWidget(m_designBox);
    m_designHits->setObjectName(QStringLiteral("EstimateDesignHits"));
    m_designHits->setAccessibleName(QStringLiteral("Найденные ресурсы"));
    m_designHits->setMinimumHeight(70);
    form->addRow(m_designHits);
    m_designQuantity =
        field(m_designBox, "EstimateDesignQuantity", QStringLiteral("Расход на единицу расценки"),
              QStringLiteral("на единицу расценки"));
    form->addRow(QStringLiteral("Расход:"), m_designQuantity);
    QPushButton *set = button(m_designBox, "EstimateSetDesign", QStringLiteral("Выбрать ресурс"));
    form->addRow(set);
    connect(m_designQuery, &QLineEdit::returnPressed, this, &EstimateEditor::search);
    connect(set, &QPushButton::clicked, this, &EstimateEditor::setDesign);
    return m_designBox;
}

QGroupBox *EstimateEditor::createPosition()
{
    m_positionBox = new QGroupBox(QStringLiteral("Позиция"), this);
    m_positionBox->setObjectName(QStringLiteral("EstimatePositionBox"));
    auto *form = new QFormLayout(m_positionBox);
    m_reference = new QComboBox(m_positionBox);
    m_reference->setObjectName(QStringLiteral("EstimateReference"));
    m_reference->setAccessibleName(QStringLiteral("Нормы НР и СП"));
    form->addRow(QStringLiteral("НР и СП:"), m_reference);
    m_coefficients = new QTableWidget(0, 4, m_positionBox);
    m_coefficients->setObjectName(QStringLiteral("EstimateCoefficients"));
    m_coefficients->setAccessibleName(QStringLiteral("Коэффициенты позиции"));
    m_coefficients->setHorizontalHeaderLabels({QStringLiteral("К чему"), QStringLiteral("Знач."),
                                               QStringLiteral("Наименование"),
                                               QStringLiteral("Обоснование")});
    m_coefficients->verticalHeader()->hide();
    m_coefficients->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_coefficients->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_coefficients->setColumnWidth(0, 50);
    m_coefficients->setColumnWidth(1, 50);
    m_coefficients->setMinimumHeight(70);
    m_coefficients->horizontalHeader()->setStretchLastSection(true);
    form->addRow(m_coefficients);
    m_coefficientTarget = new QComboBox(m_positionBox);
    m_coefficientTarget->setObjectName(QStringLiteral("EstimateCoefficientTarget"));
    m_coefficientTarget->setAccessibleName(QStringLiteral("К чему коэффициент"));
    for (const bom::CoefficientTarget target : estimatetexts::targets())
        m_coefficientTarget->addItem(estimatetexts::targetName(target), int(target));
    m_coefficientValue = field(m_positionBox, "EstimateCoefficientValue",
                               QStringLiteral("Значение коэффициента"), QStringLiteral("1,15"));
    auto *line = new QHBoxLayout;
    line->addWidget(m_coefficientTarget);
    line->addWidget(m_coefficientValue);
    form->addRow(QStringLiteral("Коэффициент:"), line);
    m_coefficientName =
        field(m_positionBox, "EstimateCoefficientName", QStringLiteral("Наименование коэффициента"),
              QStringLiteral("Производство работ в стесненных условиях"));
    form->addRow(QStringLiteral("Наименование:"), m_coefficientName);
    m_coefficientReason = field(m_positionBox, "EstimateCoefficientReason",
                                QStringLiteral("Обоснование коэффициента"),
                                QStringLiteral("МДС 81-35.2004, прил. 1, п. 1.1"));
    form->addRow(QStringLiteral("Обоснование:"), m_coefficientReason);
    auto *buttons = new QHBoxLayout;
    QPushButton *add =
        button(m_positionBox, "EstimateAddCoefficient", QStringLiteral("Добавить коэффициент"));
    QPushButton *remove =
        button(m_positionBox, "EstimateRemoveCoefficient", QStringLiteral("Снять"));
    buttons->addWidget(add);
    buttons->addWidget(remove);
    form->addRow(buttons);
    connect(m_reference, &QComboBox::activated, this, &EstimateEditor::setReference);
    connect(add, &QPushButton::clicked, this, &EstimateEditor::addCoefficient);
    connect(remove, &QPushButton::clicked, this, &EstimateEditor::removeCoefficient);
    return m_positionBox;
}

const lsr::Position *EstimateEditor::position() const
{
    const lsr::Estimate &estimate = m_book.estimate();
    if (m_place.section < 0 || m_place.section >= estimate.sections.size())
        return nullptr;
    const lsr::Section &section = estimate.sections.at(m_place.section);
    if (m_place.position < 0 || m_place.position >= section.positions.size())
        return nullptr;
    return &section.positions.at(m_place.position);
}

const lsr::Line *EstimateEditor::line() const
{
    const lsr::Position *at = position();
    if (!at || m_place.kind != EstimateTree::Place::Kind::Line || m_place.line < 0 ||
        m_place.line >= at->lines.size())
        return nullptr;
    return &at->lines.at(m_place.line);
}

void EstimateEditor::showPlace(const EstimateTree::Place &place)
{
    const bool samePlace = place.kind == m_place.kind && place.section == m_place.section &&
                           place.position == m_place.position && place.line == m_place.line;
    m_place = place;
    const lsr::Position *at = position();
    const lsr::Line *resource = line();
    const bool priced =
        resource && !resource->code.isEmpty() && resource->kind != lsr::LineKind::Unpriced;
    const bool design = resource && at && at->norm && isByDesign(*resource);
    const bool norm = at && at->norm && place.kind != EstimateTree::Place::Kind::Line;
    m_priceBox->setVisible(priced);
    m_designBox->setVisible(design);
    m_positionBox->setVisible(norm);
    m_nothing->setVisible(!priced && !design && !norm);
    if (priced) {
        m_resource->setText(
            QStringLiteral("%1 %2, %3").arg(resource->code, resource->name, resource->unit));
        m_resource->setToolTip(resource->how);
        std::optional<bom::TypedPrice> typed;
        for (const bom::TypedPrice &price : m_book.terms().prices)
            if (price.code == resource->code)
                typed = price;
        m_removePrice->setEnabled(typed.has_value());
        if (!samePlace) {
            m_priceKind->setCurrentIndex(
                m_priceKind->findData(int(typed ? typed->kind : bom::TypedPrice::Kind::Current)));
            m_priceValue->setText(typed ? estimatetexts::quantity(typed->value) : QString());
            m_priceBasis->setText(typed ? typed->basis : QString());
        }
    }
    if (design && !samePlace) {
        m_designHits->clear();
        m_designQuery->setText(resource->kind == lsr::LineKind::Design ? resource->code
                                                                       : QString());
        m_designQuantity->setText(resource->kind == lsr::LineKind::Design
                                      ? estimatetexts::quantity(resource->perUnit)
                                      : QString());
    }
    if (norm) {
        m_positionBox->setTitle(
            QStringLiteral("Позиция %1, %2").arg(at->num).arg(estimatetexts::positionCode(*at)));
        m_reference->clear();
        const QString code = estimatetexts::positionCode(*at);
        for (const EstimateEngine::Reference &reference : m_book.engine().references(code))
            m_reference->addItem(QStringLiteral("%1, %2").arg(reference.overhead, reference.profit),
                                 reference.overhead);
        const QString picked = at->overhead ? at->overhead->reason : QString();
        int current = -1;
        for (int i = 0; i < m_reference->count(); ++i)
            if (!picked.isEmpty() && picked.startsWith(m_reference->itemData(i).toString()))
                current = i;
        m_reference->setEnabled(m_reference->count() > 1);
        // A norm of several references prices nothing until one is picked.
        if (current < 0 && m_reference->count() > 1) {
            m_reference->insertItem(0, QStringLiteral("— выберите норматив —"));
            current = 0;
        }
        m_reference->setCurrentIndex(std::max(current, 0));
        m_coefficients->setRowCount(int(at->coefficients.size()));
        for (int row = 0; row < at->coefficients.size(); ++row) {
            const bom::Coefficient &coefficient = at->coefficients.at(row);
            const QString texts[] = {estimatetexts::targetName(coefficient.target),
                                     estimatetexts::quantity(coefficient.value), coefficient.name,
                                     coefficient.reason};
            for (int column = 0; column < 4; ++column) {
                auto *item = new QTableWidgetItem(texts[column]);
                item->setToolTip(texts[column]);
                m_coefficients->setItem(row, column, item);
            }
        }
    }
}

void EstimateEditor::report(const std::optional<QString> &refusal)
{
    if (refusal)
        errorreport::show(*refusal, window());
}

void EstimateEditor::setPrice()
{
    const lsr::Line *resource = line();
    if (!resource)
        return;
    bom::TypedPrice price;
    price.code = resource->code;
    price.kind = bom::TypedPrice::Kind(m_priceKind->currentData().toInt());
    price.basis = m_priceBasis->text().trimmed();
    if (price.kind == bom::TypedPrice::Kind::Current) {
        const bom::PriceEdit edit = bom::readPrice(m_priceValue->text());
        if (edit.refusal || !edit.kopecks) {
            report(edit.refusal ? edit.refusal->reason
                                : QStringLiteral("Введите цену, например 509,53"));
            return;
        }
        price.value = double(*edit.kopecks) / 100;
    } else {
        const bom::IndexEdit edit = bom::readPriceIndex(m_priceValue->text());
        if (edit.refusal || !edit.index) {
            report(edit.refusal ? edit.refusal->reason
                                : QStringLiteral("Введите индекс, например 9,12"));
            return;
        }
        price.value = *edit.index;
    }
    report(m_book.setPrice(price));
}

void EstimateEditor::removePrice()
{
    if (const lsr::Line *resource = line())
        m_book.removePrice(resource->code);
}

void EstimateEditor::search()
{
    m_designHits->clear();
    for (const norms::CatalogueResource &found : m_book.engine().search(m_designQuery->text())) {
        auto *item = new QListWidgetItem(
            QStringLiteral("%1 %2, %3").arg(found.code, found.name, found.unit), m_designHits);
        item->setData(Qt::UserRole, QStringList{found.code, found.name, found.unit});
        item->setToolTip(item->text());
    }
    if (m_designHits->count() > 0)
        m_designHits->setCurrentRow(0);
}

void EstimateEditor::setDesign()
{
    const lsr::Position *at = position();
    const lsr::Line *resource = line();
    if (!at || !resource)
        return;
    const QListWidgetItem *hit = m_designHits->currentItem();
    if (!hit) {
        report(QStringLiteral("Найдите ресурс каталога и выберите его в списке"));
        return;
    }
    const bom::QuantityEdit quantity = bom::readQuantity(m_designQuantity->text());
    if (quantity.refusal) {
        report(quantity.refusal->reason);
        return;
    }
    const QStringList found = hit->data(Qt::UserRole).toStringList();
    bom::DesignChoice choice;
    choice.abstractCode =
        resource->kind == lsr::LineKind::Design ? resource->designOf : resource->code;
    choice.code = found.value(0);
    choice.name = found.value(1);
    choice.unit = found.value(2);
    choice.perUnit = quantity.quantity;
    report(m_book.setDesignChoice(*at, choice));
}

void EstimateEditor::setReference(int index)
{
    if (m_reference->itemData(index).toString().isEmpty())
        return;
    if (const lsr::Position *at = position())
        report(m_book.setReference(*at, m_reference->itemData(index).toString()));
}

void EstimateEditor::addCoefficient()
{
    const lsr::Position *at = position();
    if (!at)
        return;
    const bom::IndexEdit value = bom::readPriceIndex(m_coefficientValue->text());
    if (value.refusal || !value.index) {
        report(QStringLiteral("Коэффициент — число больше нуля, например 1,15"));
        return;
    }
    bom::Coefficient coefficient;
    coefficient.name = m_coefficientName->text().trimmed();
    coefficient.reason = m_coefficientReason->text().trimmed();
    coefficient.target = bom::CoefficientTarget(m_coefficientTarget->currentData().toInt());
    coefficient.value = *value.index;
    const std::optional<QString> refusal = m_book.addCoefficient(*at, coefficient);
    report(refusal);
    if (!refusal) {
        m_coefficientName->clear();
        m_coefficientReason->clear();
        m_coefficientValue->clear();
    }
}

void EstimateEditor::removeCoefficient()
{
    if (const lsr::Position *at = position())
        m_book.removeCoefficient(*at, m_coefficients->currentRow());
}
