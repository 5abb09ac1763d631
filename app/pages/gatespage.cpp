#include "gatespage.h"

#include "explanations.h"
#include "gates.h"
#include "resulttext.h"
#include "shell/errorreport.h"
#include "widgets/fieldgroup.h"
#include "widgets/resultrows.h"
#include "widgets/variantlist.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct GatesWork
{
    const char *item;
    const char *journalName;
};

// clang-format off
const GatesWork kWorks[] = {
    {"Устройство глухих ворот с устновкой столбов", "Устройство глухих ворот с устновкой столбов"},
    {"Устройство решетчитых ворот высотой 1,2 метра", "Устройство решетчитых ворот высотой 1,2 метра"},
    {"То же, высотой 1,6 метра", "Устройство решетчитых ворот высотой 1,6 метра"},
    {"То же, высотой 2,0 метра", "Устройство решетчитых ворот высотой 2,0 метра"},
    {"Устройство глухих ворот при установ. столбах", "Устройство глухих ворот при установ. столбах"},
    {"Устройство решетчитых ворот высотой 1,2 метра", "Устройство решетчитых ворот высотой 1,2 метра"},
    {"То же, высотой 1,6 метра", "Устройство глухих ворот при установ. столбах высотой 1,6 метра"},
    {"То же, высотой 2,0 метра", "Устройство глухих ворот при установ. столбах высотой 2,0 метра"},
};

const QList<ResultRowSpec> kRows = {
    {"Label118", "Бревна 180 мм., м3", "Label125"},
    {"Label119", "Бруски 50-60 мм., м3", "Label126"},
    {"Label120", "Доски 19-22 мм, м3", "Label127"},
    {"Label121", "Доск 25-32 мм., м3", "Label128"},
    {"Label122", "Болты и поковки, кг.", "Label129"},
    {"Label123", "Смола, кг.", "Label130"},
    {"Label124", "Гвозди, кг.", "Label131"},
};
// clang-format on

} // namespace

GatesPage::GatesPage(Journal &journal, QWidget *parent)
    : CalculatorPage(QStringLiteral("TabSheet10"), journal, parent)
{
    QStringList items;
    for (const GatesWork &work : kWorks)
        items.append(QString::fromUtf8(work.item));
    m_works =
        new VariantList(QStringLiteral("RadioGroup6"), QStringLiteral("Перчень работ"), items);
    column()->addWidget(m_works);

    auto *area = new FieldGroup(QStringLiteral("AreaRow"), QString());
    area->setFlat(true);
    m_areaUnit = new QLabel(QStringLiteral("100 м2 ворот"));
    m_areaUnit->setObjectName(QStringLiteral("Label117"));
    m_area = area->addField(
        QStringLiteral("Label106"), QStringLiteral("Площадь конструкций"),
        new InputField(QStringLiteral("Edit17"), QStringLiteral("1"), InputField::KeepOnClick),
        m_areaUnit);
    m_areaCaption = area->findChild<QLabel *>(QStringLiteral("Label106"));
    column()->addWidget(area);

    m_results = new ResultRows(QStringLiteral("GroupBox12"), QStringLiteral("Расход материалов"),
                               kRows, QStringLiteral("0,00"), false);
    column()->addWidget(m_results);
    offerCopy(m_results);
    for (int work = -1; work < int(calc::kGatesRates.size()); ++work)
        m_explanations.append(explanations::gates(work, m_results->captions()));
    explainFigures(-1);

    addButtons(QStringLiteral("Button6"), QStringLiteral("Button5"));
    setTabOrder(m_works, m_area);
    setTabOrder(m_area, computeButton());
    setTabOrder(computeButton(), clearButton());

    connect(m_works, &VariantList::selectionChanged, this, &GatesPage::RadioGroup6Click);
    connect(computeButton(), &QPushButton::clicked, this, &GatesPage::Button5Click);
    connect(clearButton(), &QPushButton::clicked, this, &GatesPage::Button6Click);
}

// With no kind of work chosen nothing is computed, and nothing is logged either: results of an
// earlier computation must not be recorded against conditions they were not computed for.
void GatesPage::Button5Click()
{
    const int work = m_works->selectedIndex();
    if (work < 0)
        return;
    errorreport::guarded([this, work] {
        const std::array<double, calc::kGatesRowCount> values =
            calc::computeGates(work, m_area->text());
        setValuesVisible(*m_results, true);
        QStringList lines;
        for (int i = 0; i < m_results->count(); ++i) {
            m_results->row(i).value->setText(calc::resultText(values[i], calc::kGatesFormat));
            lines.append(m_results->row(i).journalLine());
        }
        appendComputationBlock(QString::fromUtf8(kWorks[work].journalName),
                               m_areaCaption->text() + QStringLiteral(": ") + m_area->text() +
                                   QStringLiteral(" - ед.изм.( ") + m_areaUnit->text() +
                                   QStringLiteral(" )"),
                               lines);
    });
}

void GatesPage::RadioGroup6Click(int index)
{
    appendLine(QStringLiteral("Выбрано:  ") + QString::fromUtf8(kWorks[index].journalName));
    explainFigures(index);
}

void GatesPage::Button6Click()
{
    setValuesVisible(*m_results, false);
    m_area->resetToDefault();
    m_works->clearSelection();
    explainFigures(-1);
}

void GatesPage::explainFigures(int work)
{
    m_results->setExplanations(m_explanations.at(work + 1));
}
