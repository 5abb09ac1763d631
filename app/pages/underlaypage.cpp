#include "underlaypage.h"

#include "explanations.h"
#include "resulttext.h"
#include "shell/errorreport.h"
#include "underlay.h"
#include "widgets/fieldgroup.h"
#include "widgets/resultrows.h"
#include "widgets/variantlist.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct UnderlayKind
{
    const char *item;
    const char *selectionLine;
    const char *computedWork;
};

// clang-format off
const UnderlayKind kKinds[] = {
    {"Устройство подстилающего слоя из песка",
     "Устройство подстилающего слоя из песка",
     "Устройство подстилающего слоя из песка"},
    {"Устройство подстилающего слоя из шлака",
     "Устройство подстилающего слоя из шлака",
     "Устройство подстилающего слоя из шлака"},
    {"Устройство подстиляющего слоя из щебня",
     "Устройство подстиляющего слоя из щебня",
     "Устройство подстиляющего слоя из щебня"},
    {"Устройство глинобитного подстилающего слоя",
     "Устройство глинобитного подстилающего слоя без добавок",
     "Устройство глинобитного подстилающего слоя без добавок"},
    {"То же с масляннистыми добавками",
     "Устройство глинобитного подстилающего слоя с масляннистыми добавками",
     "Устройство глинобитного подстилающего слоя с масляннистыми добавками"},
    {"То же с добавкой щебня",
     "Устройство глинобитного подстилающего слоя с добавлением щебня",
     "Устройство глинобитного подстилающего слоя с добавкой щебня"},
    {"Устройство глинобетонного подстилающего слоя",
     "Устройство глинобетонного подстилающего слоя",
     "Устройство глинобетонного подстилающего слоя"},
    {"Устройство булыжного подстилающего слоя",
     "Устройство булыжного подстилающего слоя",
     "Устройство булыжного подстилающего слоя"},
    {"Устройство бетонного подстилающего слоя",
     "Устройство бетонного подстилающего слоя",
     "Устройство бетонного подстилающего слоя"},
    // The acid-resistant layer has always been logged under the concrete layer's name.
    {"Устройство кислотоупорного подстилающего слоя",
     "Устройство кислотоупорного подстилающего слоя",
     "Устройство бетонного подстилающего слоя"},
};

const QList<ResultRowSpec> kRows = {
    {"Label79", "Песок, куб. метр", "Label90"},
    {"Label80", "Шлак или гравий, куб. метр", "Label91"},
    {"Label81", "Щебень, куб. метр", "Label92"},
    {"Label82", "Клинец, куб. метр", "Label93"},
    {"Label83", "Каменная мелочь. куб. метр", "Label94"},
    {"Label84", "Глина, куб. метр", "Label95"},
    {"Label85", "Битум БН-60/90, кг.", "Label96"},
    {"Label86", "Глина Песок, куб. метр", "Label97"},
    {"Label87", "Бетон, куб. метр", "Label98"},
    {"Label88", "Бетон кислоупорный, куб. метр", "Label99"},
    {"Label89", "Водный раствор серной кислоты, кг.", "Label100"},
    {"Label101", "Камень булыжный, м3", "Label102"},
};
// clang-format on

} // namespace

UnderlayPage::UnderlayPage(Journal &journal, QWidget *parent)
    : CalculatorPage(QStringLiteral("TabSheet7"), journal, parent)
{
    QStringList items;
    for (const UnderlayKind &kind : kKinds)
        items.append(QString::fromUtf8(kind.item));
    m_kinds = new VariantList(QStringLiteral("RadioGroup4"),
                              QStringLiteral("Устройство подстилающего слоя"), items);
    column()->addWidget(m_kinds);

    auto *volume = new FieldGroup(QStringLiteral("VolumeRow"), QString());
    volume->setFlat(true);
    m_volumeUnit = new QLabel(QStringLiteral("куб. метр(ов)"));
    m_volumeUnit->setObjectName(QStringLiteral("Label78"));
    m_volume = volume->addField(
        QStringLiteral("Label20"), QStringLiteral("Объем подстилающего слоя"),
        new InputField(QStringLiteral("Edit15"), QStringLiteral("1"), InputField::KeepOnClick),
        m_volumeUnit);
    m_volumeCaption = volume->findChild<QLabel *>(QStringLiteral("Label20"));
    column()->addWidget(volume);

    m_results = new ResultRows(QStringLiteral("GroupBox8"), QStringLiteral("Материалы"), kRows,
                               QStringLiteral("0,00"), false);
    column()->addWidget(m_results);
    offerCopy(m_results);
    for (int kind = -1; kind < int(calc::kUnderlayVariants.size()); ++kind)
        m_explanations.append(explanations::underlay(kind, m_results->captions()));
    explainFigures(-1);

    addButtons(QStringLiteral("Button2"), QStringLiteral("Button1"));
    setTabOrder(computeButton(), m_kinds);
    setTabOrder(m_kinds, m_volume);
    setTabOrder(m_volume, clearButton());

    connect(m_kinds, &VariantList::selectionChanged, this, &UnderlayPage::RadioGroup4Click);
    connect(computeButton(), &QPushButton::clicked, this, &UnderlayPage::Button1Click);
    connect(clearButton(), &QPushButton::clicked, this, &UnderlayPage::Button2Click);
}

void UnderlayPage::Button1Click()
{
    const int kind = m_kinds->selectedIndex();
    if (kind < 0)
        return;
    errorreport::guarded([this, kind] {
        const QList<calc::UnderlayQuantity> quantities =
            calc::computeUnderlay(kind, m_volume->text());
        const calc::ResultFormat format = calc::kUnderlayVariants[kind].format;
        QStringList lines;
        for (const calc::UnderlayQuantity &quantity : quantities) {
            const ResultRow &row = m_results->row(quantity.row - 1);
            row.value->setVisible(true);
            row.value->setText(calc::resultText(quantity.value, format));
            lines.append(row.journalLine());
        }
        // The volume is logged as typed, not as read.
        appendComputationBlock(QString::fromUtf8(kKinds[kind].computedWork),
                               m_volumeCaption->text() + QStringLiteral(": ") + m_volume->text() +
                                   u' ' + m_volumeUnit->text(),
                               lines);
    });
}

void UnderlayPage::RadioGroup4Click(int index)
{
    appendLine(QStringLiteral("Выбрано:  ") + QString::fromUtf8(kKinds[index].selectionLine));
    wipeValues();
    explainFigures(index);
}

void UnderlayPage::Button2Click()
{
    m_kinds->clearSelection();
    m_volume->resetToDefault();
    wipeValues();
    explainFigures(-1);
}

void UnderlayPage::explainFigures(int kind)
{
    m_results->setExplanations(m_explanations.at(kind + 1));
}

void UnderlayPage::wipeValues()
{
    resetValues(*m_results, QStringLiteral("0.00"));
    setValuesVisible(*m_results, false);
}
