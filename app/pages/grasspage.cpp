#include "grasspage.h"

#include "common/errorreport.h"
#include "explanations.h"
#include "grass.h"
#include "rownorms.h"
#include "vor.h"
#include "widgets/fieldgroup.h"
#include "widgets/resultrows.h"
#include "widgets/variantlist.h"

#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QStringList kWays{QStringLiteral("Посев трав в ручную"),
                        QStringLiteral("Посев трав с помощью механизмов"),
                        QStringLiteral("Посев трав гидропосевом, 1000 м2")};

QList<const calc::GrassFigure *> figuresInRowOrder(const calc::GrassMaterials &materials)
{
    return {&materials.turfM2,          &materials.woodenPinsM3,  &materials.seedsKg,
            &materials.vegetableSoilM3, &materials.fertilizersKg, &materials.bitumenEmulsionL,
            &materials.latexEmulsionL,  &materials.sawdustM3};
}

} // namespace

GrassPage::GrassPage(Journal &journal, NormBase *normBase, QWidget *parent)
    : CalculatorPage(QStringLiteral("TabSheet4"), journal, parent)
{
    auto *plot = new FieldGroup(QStringLiteral("GroupBox5"), QStringLiteral("Размеры площадки"));
    m_length = plot->addField(
        QStringLiteral("Label42"), QStringLiteral("Длина конструкции, м"),
        new InputField(QStringLiteral("Edit11"), QStringLiteral("0"), InputField::ClearOnClick));
    m_width = plot->addField(
        QStringLiteral("Label43"), QStringLiteral("Ширина конструкции, м"),
        new InputField(QStringLiteral("Edit12"), QStringLiteral("0"), InputField::ClearOnClick));
    column()->addWidget(plot);

    m_ways =
        new VariantList(QStringLiteral("RadioGroup2"), QStringLiteral("Перечень работ"), kWays);
    column()->addWidget(m_ways);
    connect(m_ways, &VariantList::selectionChanged, this, &GrassPage::explainFigures);

    m_results = new ResultRows(QStringLiteral("GroupBox6"), QStringLiteral("Материалы"),
                               {{"Label48", "Дерн, м2", "Label54"},
                                {"Label49", "Спицы  деревянные, м3", "Label55"},
                                {"Label50", "Семена трав, кг", "Label56"},
                                {"Label51", "Земля растительная, м3", "Label57"},
                                {"Label52", "Удобрения, кг", "Label58"},
                                {"Label53", "Эмульсия битумная, л.", "Label59"},
                                {"Label44", "Эмульсия латексная, л.", "Label45"},
                                {"Label46", "Опилки, м3", "Label47"}},
                               QStringLiteral("0"), false);
    column()->addWidget(m_results);
    offerCopy(m_results);
    m_norms =
        new RowNorms({QStringLiteral("grass"), QStringLiteral("м2"), QStringLiteral("м2 площадки"),
                      QStringLiteral("посев газон"), true, calc::grassFigures(),
                      [](int way) {
                          return calc::grassBases(way);
                      }},
                     normBase, *m_results, this);
    connect(m_norms, &RowNorms::choicesChanged, this,
            [this] { explainFigures(m_ways->selectedIndex()); });
    explainFigures(-1);

    addButtons(QStringLiteral("BitBtn3"), QStringLiteral("BitBtn4"));
    connect(clearButton(), &QPushButton::clicked, this, &GrassPage::BitBtn3Click);
    connect(computeButton(), &QPushButton::clicked, this, &GrassPage::BitBtn4Click);
}

calc::GrassRateTable GrassPage::rates() const
{
    return m_norms->over(calc::grassRates(), calc::grassRateOf);
}

// Reads the chosen norms as the base has them now, for the explanations and the figures after.
void GrassPage::explainFigures(int way)
{
    m_norms->read(way);
    m_results->setExplanations(m_norms->explained(
        explanations::of(m_results->captions(), calc::grassBases(way, rates()))));
}

void GrassPage::BitBtn4Click()
{
    // docs/decisions.md, "Gates and grass with no variant".
    const int way = m_ways->selectedIndex();
    if (way < 0)
        return;
    errorreport::guarded([this, way] {
        explainFigures(way);
        const calc::GrassRateTable table = rates();
        const calc::GrassInput typed{m_length->text(), m_width->text()};
        const calc::GrassMaterials materials = calc::computeGrassMaterials(typed, way, table);
        keepGrassVolume(typed, materials.areaM2, table.at(std::size_t(way)));
        const QList<const calc::GrassFigure *> figures = figuresInRowOrder(materials);
        QStringList lines;
        for (int i = 0; i < m_results->count(); ++i) {
            showFigure(m_results->row(i), m_norms->figure(i), *figures[i]);
            lines.append(m_results->row(i).journalLine());
        }
        setValuesVisible(*m_results, true);
        appendComputationBlock(kWays.at(way),
                               QStringLiteral("Размеры площадки: ") + m_length->text() +
                                   QStringLiteral(" x ") + m_width->text() + QStringLiteral(" м"),
                               lines);
    });
}

// The plot's area is the work; every row is rated per m2 of it.
void GrassPage::keepGrassVolume(const calc::GrassInput &typed, double areaM2,
                                const calc::GrassWayRates &perM2)
{
    const QString area = bom::formulaNumber(double(typed.lengthM.value())) + u'*' +
                         bom::formulaNumber(double(typed.widthM.value()));
    const calc::SourcedRate *rated[] = {
        &perM2.turf,        &perM2.woodenPins,      &perM2.seeds,         &perM2.vegetableSoil,
        &perM2.fertilizers, &perM2.bitumenEmulsion, &perM2.latexEmulsion, &perM2.sawdust};
    QList<std::pair<calc::BillFigure, const calc::SourcedRate *>> rows;
    for (int i = 0; i < m_results->count(); ++i)
        rows.append({m_norms->figure(i), rated[i]});
    keepRatedVolume({QStringLiteral("м2"), areaM2, area}, rows);
}

void GrassPage::BitBtn3Click()
{
    setValuesVisible(*m_results, false);
}
