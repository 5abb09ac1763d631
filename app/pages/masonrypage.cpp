#include "masonrypage.h"

#include "common/errorreport.h"
#include "explanations.h"
#include "masonry.h"
#include "resulttext.h"
#include "widgets/fieldgroup.h"
#include "widgets/resultrows.h"

#include <QPushButton>
#include <QVBoxLayout>

MasonryPage::MasonryPage(Journal &journal, QWidget *parent)
    : CalculatorPage(QStringLiteral("TabSheet1"), journal, parent)
{
    auto *conditions =
        new FieldGroup(QStringLiteral("GroupBox1"), QStringLiteral("Условия расчета"));
    const auto typed = [this, conditions](const char *captionName, const char *caption,
                                          const char *fieldName) {
        auto *field = new InputField(QString::fromLatin1(fieldName), QStringLiteral("0"),
                                     InputField::ClearOnClick);
        m_typedFields.append(field);
        conditions->addField(QString::fromLatin1(captionName), QString::fromUtf8(caption), field);
    };
    conditions->addHeading(QStringLiteral("Label3"), QStringLiteral("Стена"));
    typed("Label4", "Длина стены по периметру, м.", "Edit1");
    typed("Label5", "Высота стены по периметру, м.", "Edit2");
    m_thickness =
        new InputField(QStringLiteral("Edit3"), QStringLiteral("0,25"), InputField::KeepOnClick);
    m_thickness->setReadOnly(true);
    conditions->addField(QStringLiteral("Label6"), QStringLiteral("Толщина кладки, м."),
                         m_thickness);
    conditions->addHeading(QStringLiteral("Label7"), QStringLiteral("Оконные проемы:"));
    typed("Label8", "Общая длина оконных проемов, м.", "Edit4");
    typed("Label9", "Общая высота оконных проемов, м.", "Edit5");
    conditions->addHeading(QStringLiteral("Label10"), QStringLiteral("Дверные проемы"));
    typed("Label11", "Общая длина дверных проемов, м.", "Edit6");
    typed("Label12", "Общая высота дверных проемов, м.", "Edit7");
    column()->addWidget(conditions);

    m_results = new ResultRows(QStringLiteral("GroupBox2"), QStringLiteral("Итоги расчета"),
                               {{"Label22", "Объем кирпичной кладки, м3.", "Label23"},
                                {"Label13", "Кирпич глиняный обыкновенный, шт.", "Label17"},
                                {"Label14", "Раствор, м3", "Label18"},
                                {"Label15", "Пробки деревянные, м3", "Label19"}},
                               QStringLiteral("0"), false);
    column()->addWidget(m_results);
    offerCopy(m_results);
    m_explanations = explanations::byChoice(
        int(calc::kMasonryKinds.size()), m_results->captions(), [](int kind) {
            return calc::masonryBases(kind < 0 ? std::nullopt : std::optional<int>(kind));
        });
    m_results->setExplanations(m_explanations.first());

    addButtons(QStringLiteral("BitBtn8"), QStringLiteral("BitBtn9"));
    connect(clearButton(), &QPushButton::clicked, this, &MasonryPage::BitBtn8Click);
    connect(computeButton(), &QPushButton::clicked, this, &MasonryPage::BitBtn9Click);
}

void MasonryPage::setMasonryKind(int kind)
{
    m_kind = kind;
    m_results->setExplanations(m_explanations.at(kind + 1));
}

void MasonryPage::setThicknessText(const QString &text)
{
    m_thickness->setText(text);
}

void MasonryPage::BitBtn9Click()
{
    errorreport::guarded([this] {
        // The values appear before any field is read: a failed read leaves the old ones shown.
        setValuesVisible(*m_results, true);

        const std::optional<int> kind = m_kind < 0 ? std::nullopt : std::optional<int>(m_kind);
        const calc::MasonryInput input{m_typedFields[0]->text(), m_typedFields[1]->text(),
                                       m_typedFields[2]->text(), m_typedFields[3]->text(),
                                       m_typedFields[4]->text(), m_typedFields[5]->text(),
                                       m_thickness->text()};
        const calc::MasonryResult result = calc::computeMasonry(input, kind);
        keepMasonryVolume(input, kind, result.volumeM3);
        const calc::MasonryFormats &formats = calc::kMasonryFormats;
        const std::pair<double, calc::ResultFormat> shown[] = {{result.volumeM3, formats.volumeM3},
                                                               {result.bricks, formats.bricks},
                                                               {result.mortarM3, formats.mortarM3},
                                                               {result.plugsM3, formats.plugsM3}};
        for (int i = 0; i < m_results->count(); ++i)
            showFigure(m_results->row(i), calc::masonryFigures().at(i), shown[i].first,
                       shown[i].second);

        appendLine(QStringLiteral("Итоги произведенного расчета:"));
        appendRowLines(*m_results);
    });
}

void MasonryPage::keepMasonryVolume(const calc::MasonryInput &input, std::optional<int> kind,
                                    double volumeM3)
{
    // The formula of the explanation with the figures typed: the wall less its openings, times
    // the thickness; an opening of no area is left out.
    const auto number = [](const calc::InputNumber &field) {
        return bom::formulaNumber(double(field.value()));
    };
    const auto area = [&number](const calc::InputNumber &length, const calc::InputNumber &height) {
        return double(length.value()) * double(height.value()) == 0
                   ? QString()
                   : number(length) + u'*' + number(height);
    };
    QString net = area(input.lengthM, input.heightM);
    if (net.isEmpty())
        net = QStringLiteral("0");
    bool less = false;
    for (const QString &opening : {area(input.windowLengthM, input.windowHeightM),
                                   area(input.doorLengthM, input.doorHeightM)}) {
        if (!opening.isEmpty()) {
            net += u'-' + opening;
            less = true;
        }
    }
    const QString volume = (less ? u'(' + net + u')' : net) + u'*' + number(input.thicknessM);
    QHash<QString, QString> formulas;
    const QList<calc::BillFigure> &figures = calc::masonryFigures();
    formulas.insert(formulaKey(figures.at(0)), volume);
    if (kind) {
        const calc::MasonryKind &rates = calc::kMasonryKinds.at(static_cast<std::size_t>(*kind));
        const calc::Extended perM3[] = {rates.bricksPerM3, rates.mortarM3PerM3, rates.plugsM3PerM3};
        for (int i = 0; i < 3; ++i)
            formulas.insert(formulaKey(figures.at(i + 1)),
                            volume + u'*' + bom::formulaNumber(double(perM3[i])));
    } else {
        // No kind chosen: the materials are nought.
        for (int i = 1; i < figures.size(); ++i)
            formulas.insert(formulaKey(figures.at(i)), QStringLiteral("0"));
    }
    keepVolume({figures.at(0).unit, volumeM3, volume}, formulas);
}

void MasonryPage::BitBtn8Click()
{
    for (InputField *field : m_typedFields)
        field->resetToDefault();
    setValuesVisible(*m_results, false);
}
