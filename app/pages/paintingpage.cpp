#include "paintingpage.h"

#include "common/errorreport.h"
#include "explanations.h"
#include "painting.h"
#include "resulttext.h"
#include "widgets/fieldgroup.h"
#include "widgets/resultrows.h"
#include "widgets/variantlist.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QStringList kCoats{QStringLiteral("Окраска в один слой"),
                         QStringLiteral("Окраска в два слоя")};

QLabel *namedLabel(const char *name, const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

PaintingPage::PaintingPage(Journal &journal, QWidget *parent)
    : CalculatorPage(QStringLiteral("TabSheet5"), journal, parent)
{
    auto *sizes = new FieldGroup(QStringLiteral("GroupBox7"),
                                 QStringLiteral("Размеры окрашиваемой поверхности"));
    m_firstSide = sizes->addField(
        QStringLiteral("Label60"), QStringLiteral("Длина (или ширина) поверхности, м"),
        new InputField(QStringLiteral("Edit13"), QStringLiteral("0"), InputField::ClearOnClick));
    m_secondSide = sizes->addField(
        QStringLiteral("Label61"), QStringLiteral("Ширина (или высота) поверхности, м"),
        new InputField(QStringLiteral("Edit14"), QStringLiteral("0"), InputField::ClearOnClick));
    m_area = namedLabel("Label104", QString());
    m_area->setVisible(false);
    m_area->setIndent(6);
    m_areaCaption =
        namedLabel("Label103", QStringLiteral("Площадь окрашиваемой поверхности, м2  -"));
    m_area->setAccessibleDescription(m_areaCaption->text());
    sizes->addValueRow(m_areaCaption, m_area);
    column()->addWidget(sizes);

    m_coats =
        new VariantList(QStringLiteral("RadioGroup3"), QStringLiteral("Перечень работ"), kCoats);
    m_coats->select(0);
    column()->addWidget(m_coats);

    m_priming = new ResultRows(
        QStringLiteral("GroupBox9"), QStringLiteral("Материалы для проолифки"),
        {{"Label62", "Олифа, кг", "Label69"}, {"Label63", "Краски тертые, кг", "Label70"}},
        QStringLiteral("0"), false);
    column()->addWidget(m_priming);
    m_paint = new ResultRows(QStringLiteral("GroupBox10"), QStringLiteral("Материалы для окраски"),
                             {{"Label64", "Состав окрасочный, кг", "Label71"},
                              {"Label66", "Сурик железный тертый, кг.", "Label72"},
                              {"Label67", "Олифа,кг ", "Label73"},
                              {"Label68", "Ветошь,кг", "Label74"}},
                             QStringLiteral("0"), false);
    m_paint->insertNote(1, namedLabel("Label65", QStringLiteral("в том числе:")));
    column()->addWidget(m_paint);
    offerCopy(m_priming);
    offerCopy(m_paint);

    const QStringList captions =
        QStringList{m_areaCaption->text()} + m_priming->captions() + m_paint->captions();
    for (int coats = 0; coats < kCoats.size(); ++coats)
        m_explanations.append(explanations::of(captions, calc::paintingBases(coats)));
    explainFigures(0);
    connect(m_coats, &VariantList::selectionChanged, this, &PaintingPage::explainFigures);

    addButtons(QStringLiteral("BitBtn5"), QStringLiteral("BitBtn6"));
    connect(clearButton(), &QPushButton::clicked, this, &PaintingPage::clear);
    connect(computeButton(), &QPushButton::clicked, this, &PaintingPage::compute);
}

void PaintingPage::keepPaintingVolume(double areaM2, int coats)
{
    // The painted area, length × width, and each material per 100 m2 of it; the ground paints
    // go by the priming oil.
    const QString area =
        bom::formulaNumber(double(calc::InputNumber(m_firstSide->text()).value())) + u'*' +
        bom::formulaNumber(double(calc::InputNumber(m_secondSide->text()).value()));
    const calc::PaintingRates &rates = calc::kPaintingRates.at(static_cast<std::size_t>(coats));
    const auto perArea = [&area](calc::Extended rate) {
        return area + u'*' + bom::formulaNumber(double(rate)) + u'/' +
               bom::formulaNumber(double(calc::kPaintingRateMeasureM2));
    };
    const QString oil = perArea(rates.primingOilKgPer100M2);
    const QString formulas[] = {oil,
                                oil + u'*' +
                                    bom::formulaNumber(double(calc::kGroundPaintsKgPerKgOil)),
                                perArea(rates.compositionKgPer100M2),
                                perArea(rates.redOxideKgPer100M2),
                                perArea(rates.paintOilKgPer100M2),
                                perArea(calc::kRagsKgPer100M2)};
    QHash<QString, QString> byFigure;
    for (int i = 0; i < int(std::size(formulas)); ++i)
        byFigure.insert(formulaKey(calc::paintingFigures().at(i)), formulas[i]);
    keepVolume({QStringLiteral("м2"), areaM2, area}, byFigure);
}

void PaintingPage::compute()
{
    errorreport::guarded([this] {
        const double area = calc::paintedAreaM2(m_firstSide->text(), m_secondSide->text());
        m_area->setText(calc::resultText(area, calc::kPaintingFormat));

        // All six are formed before any is written: an overflow leaves only the area changed.
        const int coats = m_coats->selectedIndex();
        const calc::PaintingResult result = calc::computePainting(area, coats);
        keepPaintingVolume(area, coats);
        const double values[] = {result.primingOilKg, result.groundPaintsKg, result.compositionKg,
                                 result.redOxideKg,   result.paintOilKg,     result.ragsKg};
        QList<ResultRow> rows;
        for (const ResultRows *group : {m_priming, m_paint}) {
            for (int i = 0; i < group->count(); ++i)
                rows.append(group->row(i));
        }
        for (int i = 0; i < rows.size(); ++i)
            showFigure(rows[i], calc::paintingFigures().at(i), values[i], calc::kPaintingFormat);
        appendLine(QStringLiteral("Условия расчета:"));
        appendLine(kCoats.at(coats));

        setValuesVisible(*m_priming, true);
        m_area->setVisible(true);
        setValuesVisible(*m_paint, true);

        appendLine(QStringLiteral("Необходимые материалы:"));
        appendRowLines(*m_priming);
        appendRowLines(*m_paint);
    });
}

void PaintingPage::explainFigures(int coats)
{
    const QStringList &texts = m_explanations.at(coats);
    m_areaCaption->setToolTip(texts.at(0));
    m_area->setToolTip(texts.at(0));
    m_priming->setExplanations(texts.mid(1, m_priming->count()));
    m_paint->setExplanations(texts.mid(1 + m_priming->count()));
}

QList<std::pair<QString, QString>> PaintingPage::shownResults() const
{
    QList<std::pair<QString, QString>> rows;
    if (m_area->isVisibleTo(this))
        rows.append({m_areaCaption->text(), m_area->text()});
    return rows + CalculatorPage::shownResults();
}

void PaintingPage::clear()
{
    m_area->setVisible(false);
    m_area->setIndent(6);
    setValuesVisible(*m_priming, false);
    setValuesVisible(*m_paint, false);
}
