#include "calculatorpage.h"

#include "journal.h"
#include "resulttext.h"
#include "units.h"
#include "widgets/inputfield.h"
#include "widgets/resultrows.h"
#include "widgets/variantlist.h"

#include <QAbstractButton>
#include <QAction>
#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *pageButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter presses a button that has the focus, as Space does. No button is the default one,
    // and a main window has no default button anyway, so Enter in a field computes nothing.
    button->setAutoDefault(true);
    button->setDefault(false);
    button->setMinimumWidth(90);
    return button;
}

} // namespace

CalculatorPage::CalculatorPage(const QString &name, Journal &journal, QWidget *parent)
    : QWidget(parent), m_journal(journal), m_column(new QVBoxLayout(this))
{
    setObjectName(name);
    m_column->setContentsMargins(8, 8, 8, 8);
    m_column->setSpacing(8);
}

void CalculatorPage::addButtons(const QString &clearName, const QString &computeName)
{
    m_column->addStretch(1);
    auto *line = new QHBoxLayout;
    m_clear = pageButton(clearName, QStringLiteral("&Очистить"), this);
    m_compute = pageButton(computeName, QStringLiteral("&Расчет"), this);
    line->addStretch(1);
    line->addWidget(m_clear);
    line->addWidget(m_compute);
    m_column->addLayout(line);
    // Connected before the page's own compute, so the figures it writes come after this mark.
    connect(m_compute, &QPushButton::clicked, this, [this] {
        m_computedAt = m_writes;
        m_inputsAtCompute = inputState();
    });
}

void CalculatorPage::setTabChain(const QList<QWidget *> &stops)
{
    QList<QWidget *> chain;
    for (QWidget *stop : stops) {
        if (auto *list = qobject_cast<VariantList *>(stop))
            chain.append(list->items());
        else
            chain.append(stop);
    }
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void CalculatorPage::appendLine(const QString &line)
{
    m_journal.append(line);
}

void CalculatorPage::appendRowLines(const ResultRows &rows)
{
    for (int i = 0; i < rows.count(); ++i)
        m_journal.append(rows.row(i).journalLine());
}

void CalculatorPage::appendComputationBlock(const QString &work, const QString &condition,
                                            const QStringList &materialLines)
{
    if (!work.isEmpty())
        m_journal.append(QStringLiteral("Произведен расчет: ") + work);
    m_journal.append(QStringLiteral("Условия расчета:"));
    m_journal.append(condition);
    m_journal.append(QStringLiteral("Итоги расчета: необходимо материалов:"));
    for (const QString &line : materialLines)
        m_journal.append(line);
}

void CalculatorPage::resetValues(const ResultRows &rows, const QString &text)
{
    for (int i = 0; i < rows.count(); ++i)
        rows.row(i).value->setText(text);
}

void CalculatorPage::setValuesVisible(const ResultRows &rows, bool visible)
{
    for (int i = 0; i < rows.count(); ++i)
        rows.row(i).value->setVisible(visible);
}

void CalculatorPage::offerCopy(QWidget *area)
{
    auto *copy = new QAction(QStringLiteral("Копировать результаты"), area);
    copy->setObjectName(QStringLiteral("CopyResults"));
    connect(copy, &QAction::triggered, this, &CalculatorPage::copyResults);
    area->addAction(copy);
    auto *add = new QAction(QStringLiteral("Добавить в ведомость"), area);
    add->setObjectName(QStringLiteral("AddResultsToBill"));
    connect(add, &QAction::triggered, this, &CalculatorPage::addToBillRequested);
    area->addAction(add);
    area->setContextMenuPolicy(Qt::ActionsContextMenu);
}

QList<std::pair<QString, QString>> CalculatorPage::shownResults() const
{
    QList<std::pair<QString, QString>> rows;
    for (const ResultRows *group : findChildren<ResultRows *>()) {
        for (int i = 0; i < group->count(); ++i) {
            const ResultRow &row = group->row(i);
            if (row.value->isVisibleTo(this))
                rows.append({row.caption->text(), row.value->text()});
        }
    }
    return rows;
}

QString CalculatorPage::shownResultsText() const
{
    QString text;
    for (const auto &[caption, value] : shownResults())
        text += caption.trimmed() + u'\t' + value + u'\n';
    return text;
}

void CalculatorPage::copyResults() const
{
    QGuiApplication::clipboard()->setText(shownResultsText());
}

void CalculatorPage::showFigure(const ResultRow &row, const calc::BillFigure &what,
                                const std::optional<double> &value, calc::ResultFormat format,
                                const QString &unit)
{
    if (!value)
        row.value->setText(QStringLiteral("—"));
    else
        row.value->setText(calc::resultText(*value, format) +
                           (unit.isEmpty() ? QString() : u' ' + unit));
    keepFigures(row.value, {{what, value}});
}

void CalculatorPage::keepFigures(QLabel *label, const QList<Figure> &figures)
{
    m_kept.insert(label, Kept{label->text(), figures, ++m_writes});
}

namespace {

// The unit label that stands right of a field in its grid row, if there is one.
QString unitBeside(const QWidget *field)
{
    const auto *grid = qobject_cast<const QGridLayout *>(field->parentWidget()->layout());
    const int index = grid ? grid->indexOf(field) : -1;
    if (index < 0)
        return QString();
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    const QLayoutItem *item = grid->itemAtPosition(row, column + 1);
    const auto *label = item ? qobject_cast<const QLabel *>(item->widget()) : nullptr;
    return label ? label->text() : QString();
}

} // namespace

QStringList CalculatorPage::inputState() const
{
    QStringList state;
    for (const InputField *field : findChildren<InputField *>())
        state.append(field->text());
    for (const VariantList *list : findChildren<VariantList *>())
        state.append(QString::number(list->selectedIndex()));
    return state;
}

QString CalculatorPage::inputsText() const
{
    QStringList parts;
    for (const InputField *field : findChildren<InputField *>()) {
        const bom::Caption caption = bom::splitCaption(field->accessibleName());
        const QString unit =
            bom::normalUnit(caption.unit.isEmpty() ? unitBeside(field) : caption.unit);
        QString part = caption.name + u' ' + field->text();
        // "100 м2 ворот" is a unit of a hundred square metres.
        if (!unit.isEmpty())
            part += (unit.front().isDigit() ? QStringLiteral(" × ") : QStringLiteral(" ")) + unit;
        parts.append(part);
    }
    return parts.join(QStringLiteral("; "));
}

QString CalculatorPage::variantText() const
{
    QStringList chosen;
    for (const VariantList *list : findChildren<VariantList *>()) {
        const int index = list->selectedIndex();
        const auto *item = index < 0 ? nullptr
                                     : list->findChild<QAbstractButton *>(
                                           list->objectName() + u'_' + QString::number(index));
        if (item)
            chosen.append(item->text());
    }
    return chosen.join(QStringLiteral("; "));
}

void CalculatorPage::keepVolume(const bom::Volume &volume, const QHash<QString, QString> &formulas)
{
    m_volume = volume;
    m_formulas = formulas;
}

void CalculatorPage::keepRatedVolume(
    const bom::Volume &volume,
    const QList<std::pair<calc::BillFigure, const calc::SourcedRate *>> &rows,
    QHash<QString, QString> formulas)
{
    // A product stays one; a sum or a difference is bracketed before it is multiplied.
    const bool sum = volume.formula.contains(u'+') || volume.formula.contains(u'-');
    const QString base = sum ? u'(' + volume.formula + u')' : volume.formula;
    for (const auto &[figure, rate] : rows) {
        if (rate && rate->perUnit)
            formulas.insert(formulaKey(figure),
                            base + u'*' + bom::formulaNumber(double(*rate->perUnit)));
    }
    keepVolume(volume, formulas);
}

std::optional<CalculatorPage::Results> CalculatorPage::currentResults(QString *whyNot) const
{
    const auto refuse = [whyNot](const char *reason) {
        if (whyNot)
            *whyNot = QString::fromUtf8(reason);
        return std::nullopt;
    };
    if (!m_computedAt)
        return refuse("на этой странице еще не было расчета");
    Results results;
    bool stale = false;
    // Labels in page order, so that the figures come in the order the page shows them.
    for (const QLabel *label : findChildren<QLabel *>()) {
        const auto kept = m_kept.constFind(label);
        if (kept == m_kept.cend() || !label->isVisibleTo(this))
            continue;
        if (kept->written <= *m_computedAt || label->text() != kept->text) {
            stale = true;
            continue;
        }
        results.figures += kept->figures;
    }
    if (stale)
        return refuse("последний расчет не дал результатов — исправьте данные и выполните "
                      "расчет");
    if (results.figures.isEmpty())
        return refuse("результаты скрыты или очищены — выполните расчет");
    if (inputState() != m_inputsAtCompute)
        return refuse("данные изменены после расчета — нажмите «Расчет», чтобы получить "
                      "результаты для них");
    results.variant = variantText();
    results.inputs = inputsText();
    results.volume = m_volume;
    results.formulas = m_formulas;
    return results;
}

std::optional<bom::Entry> CalculatorPage::billEntry(const QString &node, QString *whyNot) const
{
    const std::optional<Results> results = currentResults(whyNot);
    if (!results)
        return std::nullopt;
    QStringList work;
    if (!node.isEmpty())
        work.append(node);
    if (!results->variant.isEmpty())
        work.append(results->variant);
    bom::Entry entry;
    entry.work = work.join(QStringLiteral(": "));
    entry.inputs = results->inputs;
    entry.volume = results->volume;
    for (const Figure &figure : results->figures) {
        entry.materials.append(bom::material(figure.what.name, figure.what.unit, figure.value,
                                             bom::kindOf(figure.what.kind), figure.what.partOf,
                                             figure.what.source));
        entry.materials.back().formula = results->formulas.value(formulaKey(figure.what));
    }
    return entry;
}
