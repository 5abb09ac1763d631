#include "gatespage.h"

#include "common/errorreport.h"
#include "explanations.h"
#include "gates.h"
#include "resulttext.h"
#include "widgets/inputfield.h"
#include "widgets/variantlist.h"

#include <QPushButton>

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

const QList<ResultRowLabels> kRows{
    {"Label118", "Бревна 180 мм., м3", "Label125"},
    {"Label119", "Бруски 50-60 мм., м3", "Label126"},
    {"Label120", "Доски 19-22 мм, м3", "Label127"},
    {"Label121", "Доск 25-32 мм., м3", "Label128"},
    {"Label122", "Болты и поковки, кг.", "Label129"},
    {"Label123", "Смола, кг.", "Label130"},
    {"Label124", "Гвозди, кг.", "Label131"},
};
// clang-format on

QStringList workItems()
{
    QStringList items;
    for (const GatesWork &work : kWorks)
        items.append(QString::fromUtf8(work.item));
    return items;
}

} // namespace

GatesPage::GatesPage(Journal &journal, QWidget *parent)
    : VariantFormPage({"TabSheet10", "RadioGroup6", "Перчень работ", workItems(), "Label106",
                       "Площадь конструкций", "Edit17", "Label117", "100 м2 ворот", "GroupBox12",
                       "Расход материалов", kRows, "Button6", "Button5"},
                      journal, parent)
{
    setExplanations(explanations::byChoice(int(calc::kGatesRates.size()), results()->captions(),
                                           calc::gatesBases));

    setTabChain({variants(), input(), computeButton(), clearButton()});

    connect(variants(), &VariantList::selectionChanged, this, &GatesPage::RadioGroup6Click);
    connect(computeButton(), &QPushButton::clicked, this, &GatesPage::Button5Click);
    connect(clearButton(), &QPushButton::clicked, this, &GatesPage::Button6Click);
}

// With no kind of work chosen nothing is computed, and nothing is logged either: results of an
// earlier computation must not be recorded against conditions they were not computed for.
void GatesPage::Button5Click()
{
    // No kind of work, no block: it would log an earlier result under today's conditions
    // (docs/decisions.md, "Gates and grass with no variant").
    const int work = variants()->selectedIndex();
    if (work < 0)
        return;
    errorreport::guarded([this, work] {
        const std::array<double, calc::kGatesRowCount> values =
            calc::computeGates(work, input()->text());
        setValuesVisible(*results(), true);
        // The area as typed, in hundreds of square metres, and each material per 100 m2 of it.
        const double area = double(calc::InputNumber(input()->text()).value());
        const QString typed = bom::formulaNumber(area);
        const calc::GatesRates &rates = calc::kGatesRates.at(static_cast<std::size_t>(work));
        QHash<QString, QString> formulas;
        for (int i = 0; i < calc::kGatesRowCount; ++i)
            formulas.insert(formulaKey(calc::gatesFigures().at(i)),
                            typed + u'*' +
                                bom::formulaNumber(double(rates[static_cast<std::size_t>(i)])));
        keepVolume({QStringLiteral("100 м2"), area, typed}, formulas);
        QStringList lines;
        for (int i = 0; i < results()->count(); ++i) {
            showFigure(results()->row(i), calc::gatesFigures().at(i),
                       values[static_cast<std::size_t>(i)], calc::kGatesFormat);
            lines.append(results()->row(i).journalLine());
        }
        // The area is logged as typed, not as read.
        appendComputationBlock(QString::fromUtf8(kWorks[work].journalName),
                               inputCaption() + QStringLiteral(": ") + input()->text() +
                                   QStringLiteral(" - ед.изм.( ") + inputUnit() +
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
    setValuesVisible(*results(), false);
    input()->resetToDefault();
    variants()->clearSelection();
    explainFigures(-1);
}
