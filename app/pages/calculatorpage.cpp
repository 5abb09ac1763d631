#include "calculatorpage.h"

#include "journal.h"
#include "resulttext.h"
#include "widgets/resultrows.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *pageButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    // Enter in a field must not compute.
    button->setAutoDefault(false);
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

QString CalculatorPage::figureText(const std::optional<double> &value)
{
    return value ? calc::resultText(*value, calc::kFormat4x3) : QStringLiteral("—");
}

void CalculatorPage::offerCopy(QWidget *area)
{
    auto *copy = new QAction(QStringLiteral("Копировать результаты"), area);
    copy->setObjectName(QStringLiteral("CopyResults"));
    connect(copy, &QAction::triggered, this, &CalculatorPage::copyResults);
    area->addAction(copy);
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
