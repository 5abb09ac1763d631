#include "underlaypage.h"

#include "common/errorreport.h"
#include "explanations.h"
#include "resulttext.h"
#include "underlay.h"
#include "widgets/inputfield.h"
#include "widgets/variantlist.h"

#include <QPushButton>

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

const QList<ResultRowLabels> kRows{
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

QStringList kindItems()
{
    QStringList items;
    for (const UnderlayKind &kind : kKinds)
        items.append(QString::fromUtf8(kind.item));
    return items;
}

} // namespace

UnderlayPage::UnderlayPage(Journal &journal, QWidget *parent)
    : VariantFormPage({"TabSheet7", "RadioGroup4", "Устройство подстилающего слоя", kindItems(),
                       "Label20", "Объем подстилающего слоя", "Edit15", "Label78", "куб. метр(ов)",
                       "GroupBox8", "Материалы", kRows, "Button2", "Button1"},
                      journal, parent)
{
    setExplanations(explanations::byChoice(int(calc::kUnderlayVariants.size()),
                                           results()->captions(), calc::underlayBases));

    setTabChain({computeButton(), variants(), input(), clearButton()});

    connect(variants(), &VariantList::selectionChanged, this, &UnderlayPage::RadioGroup4Click);
    connect(computeButton(), &QPushButton::clicked, this, &UnderlayPage::Button1Click);
    connect(clearButton(), &QPushButton::clicked, this, &UnderlayPage::Button2Click);
}

void UnderlayPage::Button1Click()
{
    const int kind = variants()->selectedIndex();
    if (kind < 0)
        return;
    errorreport::guarded([this, kind] {
        const QList<calc::UnderlayQuantity> quantities =
            calc::computeUnderlay(kind, input()->text());
        const calc::ResultFormat format =
            calc::kUnderlayVariants[static_cast<std::size_t>(kind)].format;
        // The layer's volume as typed, and each material per cubic metre of it.
        const double volume = double(calc::InputNumber(input()->text()).value());
        const QString typed = bom::formulaNumber(volume);
        QHash<QString, QString> formulas;
        for (const calc::UnderlayMaterial &material :
             calc::kUnderlayVariants.at(static_cast<std::size_t>(kind)).materials)
            formulas.insert(formulaKey(calc::underlayFigures().at(material.row - 1)),
                            typed + u'*' + bom::formulaNumber(double(material.perM3)));
        keepVolume({QStringLiteral("м3"), volume, typed}, formulas);
        QStringList lines;
        for (const calc::UnderlayQuantity &quantity : quantities) {
            const ResultRow &row = results()->row(quantity.row - 1);
            row.value->setVisible(true);
            showFigure(row, calc::underlayFigures().at(quantity.row - 1), quantity.value, format);
            lines.append(row.journalLine());
        }
        // The volume is logged as typed, not as read.
        appendComputationBlock(
            QString::fromUtf8(kKinds[kind].computedWork),
            inputCaption() + QStringLiteral(": ") + input()->text() + u' ' + inputUnit(), lines);
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
    variants()->clearSelection();
    input()->resetToDefault();
    wipeValues();
    explainFigures(-1);
}

void UnderlayPage::wipeValues()
{
    resetValues(*results(), QStringLiteral("0.00"));
    setValuesVisible(*results(), false);
}
