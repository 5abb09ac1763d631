#include "calculatorpage.h"

#include "journal.h"
#include "widgets/resultrows.h"

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
