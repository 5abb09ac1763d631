#include "foundationpage.h"

#include "common/errorreport.h"
#include "explanations.h"
#include "foundation.h"
#include "resulttext.h"
#include "rownorms.h"
#include "vor.h"
#include "widgets/clickablelabel.h"
#include "widgets/fieldgroup.h"
#include "widgets/resultrows.h"
#include "widgets/variantlist.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QStringList kSizeClasses{
    QStringLiteral("Объмом до 3 м3, опалубка"), QStringLiteral("Объемом до 5 м3, опалубка"),
    QStringLiteral("Объемом более 5м3, опалубка"), QStringLiteral("Объемом до 25 м3, опалубка"),
    QStringLiteral("Объемом более 25 м3, опалубка")};

QLabel *namedLabel(const char *name, const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QList<std::optional<double>> figuresInRowOrder(const calc::FoundationMaterials &materials)
{
    return {materials.concreteM3, materials.formworkPanelsM2, materials.boards, materials.nails,
            materials.wire,       materials.lubricant};
}

} // namespace

FoundationPage::FoundationPage(Journal &journal, NormBase *normBase, QWidget *parent)
    : CalculatorPage(QStringLiteral("TabSheet2"), journal, parent)
{
    auto *sizes =
        new FieldGroup(QStringLiteral("GroupBox4"), QStringLiteral("Размеры конструкции"));
    const auto field = [sizes](const char *captionName, const char *caption, const char *name) {
        return sizes->addField(QString::fromLatin1(captionName), QString::fromUtf8(caption),
                               new InputField(QString::fromLatin1(name), QStringLiteral("0"),
                                              InputField::ClearOnClick));
    };
    m_length = field("Label31", "Длина конструкции", "Edit8");
    m_width = field("Label32", "Ширина конструкции", "Edit9");
    m_height = field("Label33", "Высота конструкции", "Edit10");

    QLabel *volumeCaption = namedLabel("Label34", QStringLiteral("Расчет объема, м3 - "));
    QFont bold = volumeCaption->font();
    bold.setBold(true);
    volumeCaption->setFont(bold);
    m_volume = namedLabel("Label35", QStringLiteral("0"));
    auto *link = new ClickableLabel(QStringLiteral("Label36"));
    link->setText(QStringLiteral("Нажать для расчета"));
    link->showAsLink();
    sizes->addValueRow(volumeCaption, m_volume, link);
    column()->addWidget(sizes);
    connect(link, &ClickableLabel::clicked, this, &FoundationPage::Label36Click);

    m_sizeClasses = new VariantList(
        QStringLiteral("RadioGroup1"),
        QStringLiteral("Устройство бетонных (ж.б) фундаментов под колонны"), kSizeClasses);
    column()->addWidget(m_sizeClasses);
    connect(m_sizeClasses, &VariantList::selectionChanged, this, &FoundationPage::explainFigures);

    m_results = new ResultRows(QStringLiteral("GroupBox3"), QStringLiteral("Материалы"),
                               {{"Label24", "Бетон, м3", "Label30"},
                                {"Label25", "Щиты опалубки 25 мм.", "Label37"},
                                {"Label26", "Доски 40 мм", "Label38"},
                                {"Label27", "Гвозди строительные 100 мм", "Label39"},
                                {"Label28", "Проволока стальная 4 мм", "Label40"},
                                {"Label29", "Смазка", "Label41"}},
                               QStringLiteral("0"), true);
    column()->addWidget(m_results);
    offerCopy(m_results);
    m_norms = new RowNorms({QStringLiteral("foundation"), QStringLiteral("м3"),
                            QStringLiteral("м3 бетона"), QStringLiteral("фундамент столбч"), false,
                            calc::foundationFigures(),
                            [](int sizeClass) {
                                return calc::foundationBases(sizeClass);
                            }},
                           normBase, *m_results, this);
    connect(m_norms, &RowNorms::choicesChanged, this,
            [this] { explainFigures(m_sizeClasses->selectedIndex()); });
    explainFigures(-1);
    // The values shown from the start are those of the starting dimensions, so that clearing and
    // computing again brings back the same texts (docs/decisions.md, "Foundation figures").
    showFigures(calc::computeFoundationMaterials(input(), m_sizeClasses->selectedIndex()));

    addButtons(QStringLiteral("BitBtn1"), QStringLiteral("BitBtn2"));
    connect(clearButton(), &QPushButton::clicked, this, &FoundationPage::BitBtn1Click);
    connect(computeButton(), &QPushButton::clicked, this, &FoundationPage::BitBtn2Click);
}

calc::FoundationInput FoundationPage::input() const
{
    return {m_length->text(), m_width->text(), m_height->text()};
}

calc::FoundationRateTable FoundationPage::rates() const
{
    return m_norms->over(calc::foundationRates(), calc::foundationRateOf);
}

// Reads the chosen norms as the base has them now, for the explanations and the figures after.
void FoundationPage::explainFigures(int sizeClass)
{
    m_norms->read(sizeClass);
    m_results->setExplanations(m_norms->explained(
        explanations::of(m_results->captions(), calc::foundationBases(sizeClass, rates()))));
}

void FoundationPage::Label36Click()
{
    errorreport::guarded([this] {
        m_volume->setText(
            calc::resultText(calc::computeFoundationVolume(input()), calc::kFormat4x3));
    });
}

void FoundationPage::showFigures(const calc::FoundationMaterials &materials)
{
    const QList<std::optional<double>> figures = figuresInRowOrder(materials);
    for (int i = 0; i < m_results->count(); ++i)
        showFigure(m_results->row(i), m_norms->figure(i), figures[i], calc::kFormat4x3,
                   m_norms->valueUnit(i));
}

// Computes whether or not a size class is chosen: the figures of the dimensions alone are
// filled either way. The volume label keeps what its own link last computed.
void FoundationPage::BitBtn2Click()
{
    errorreport::guarded([this] {
        setValuesVisible(*m_results, true);
        const int sizeClass = m_sizeClasses->selectedIndex();
        explainFigures(sizeClass);
        const calc::FoundationRateTable table = rates();
        const calc::FoundationMaterials materials =
            calc::computeFoundationMaterials(input(), sizeClass, table);
        showFigures(materials);
        keepFoundationVolume(materials.concreteM3, sizeClass, table);
        appendRowLines(*m_results);
    });
}

// The concrete's volume is the work; the formwork follows from the faces, the other rows from
// their rates per m3 of concrete.
void FoundationPage::keepFoundationVolume(double volumeM3, int sizeClass,
                                          const calc::FoundationRateTable &table)
{
    const calc::FoundationInput typed = input();
    const auto number = [](const calc::InputNumber &field) {
        return bom::formulaNumber(double(field.value()));
    };
    const QString volume =
        number(typed.lengthM) + u'*' + number(typed.widthM) + u'*' + number(typed.heightM);
    QHash<QString, QString> formulas{
        {formulaKey(m_norms->figure(0)), volume},
        {formulaKey(m_norms->figure(1)),
         QStringLiteral("2*(%1+%2)*%3")
             .arg(number(typed.lengthM), number(typed.widthM), number(typed.heightM))}};
    QList<std::pair<calc::BillFigure, const calc::SourcedRate *>> rows;
    if (sizeClass >= 0 && sizeClass < calc::kFoundationClassCount) {
        const calc::FoundationClassRates &perM3 = table.at(std::size_t(sizeClass));
        const calc::SourcedRate *rated[] = {&perM3.boards, &perM3.nails, &perM3.wire,
                                            &perM3.lubricant};
        for (int i = 0; i < 4; ++i)
            rows.append({m_norms->figure(i + 2), rated[i]});
    }
    keepRatedVolume({QStringLiteral("м3"), volumeM3, volume}, rows, formulas);
}

void FoundationPage::BitBtn1Click()
{
    setValuesVisible(*m_results, false);
}
