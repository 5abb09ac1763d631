#include "tilespage.h"

#include "common/artwork.h"
#include "common/errorreport.h"
#include "explanations.h"
#include "resulttext.h"
#include "tiles.h"
#include "widgets/clickablelabel.h"
#include "widgets/inputfield.h"
#include "widgets/variantlist.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct TileType
{
    const char *item;
    const char *journalName;
};

const TileType kTypes[] = {
    {"квадрат", "квадрат"},
    {"шестигранник", "шестигранник"},
    {"облицовочная плитка- дикий камень", "облицовочный камень - дикий камень"},
    {"облицовочная плитка - сланец", "облицовочный камень - сланец"},
    {"брусчатка", "брусчатка"},
    {"соты", "соты"},
    {"фиалка", "фиалка"},
    {"крест", "крест"},
    {"солнечный", "солнечный"},
    {"треугольник", "треугольник"},
};

struct TilePicture
{
    const char *name;
    const char *file;
    const char *toolTip;
    int type;
};

// Two rows of five, in the order they stand on the page.
const TilePicture kPictures[] = {
    {"Image9", ":/tile_honeycomb.jpg", "Соты", 5},
    {"Image10", ":/tile_violet.jpg", "фиалка", 6},
    {"Image11", ":/tile_cross.jpg", "крест", 7},
    {"Image12", ":/tile_sun.jpg", "солнечный", 8},
    {"Image13", ":/tile_pavers.jpg", "брусчатка", 4},
    {"Image14", ":/tile_square.jpg", "квадрат", 0},
    {"Image15", ":/tile_hexagon.jpg", "шестигранник", 1},
    {"Image16", ":/tile_wildstone.jpg", "облицовочная плитка- дикий камень", 2},
    {"Image17", ":/tile_slate.jpg", "облицовочная плитка - сланец", 3},
    {"Image18", ":/tile_triangle.jpg", "треугольник", 9},
};

QLabel *namedLabel(const char *name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

TilesPage::TilesPage(Journal &journal, QWidget *parent)
    : CalculatorPage(QStringLiteral("TabSheet9"), journal, parent)
{
    QStringList items;
    for (const TileType &type : kTypes)
        items.append(QString::fromUtf8(type.item));
    m_types = new VariantList(QStringLiteral("RadioGroup5"), QStringLiteral("Тип плитки"), items);
    column()->addWidget(m_types);
    column()->addWidget(createPictures());

    auto *area = new QGroupBox(QStringLiteral("Расчет площади покрытия"), this);
    area->setObjectName(QStringLiteral("GroupBox13"));
    auto *areaLayout = new QGridLayout(area);
    areaLayout->setContentsMargins(8, 4, 8, 6);
    m_length = new InputField(QStringLiteral("Edit19"), QStringLiteral("1"),
                              InputField::ClearOnClick, area);
    m_width = new InputField(QStringLiteral("Edit16"), QStringLiteral("1"),
                             InputField::ClearOnClick, area);
    QLabel *lengthCaption = namedLabel("Label77", QStringLiteral("Длина, м."), area);
    QLabel *widthCaption = namedLabel("Label105", QStringLiteral("Ширина, м."), area);
    m_length->setAccessibleName(lengthCaption->text());
    m_width->setAccessibleName(widthCaption->text());
    areaLayout->addWidget(lengthCaption, 0, 0);
    areaLayout->addWidget(widthCaption, 0, 2);
    areaLayout->addWidget(m_length, 1, 0);
    areaLayout->addWidget(namedLabel("Label107", QStringLiteral("X"), area), 1, 1, Qt::AlignCenter);
    areaLayout->addWidget(m_width, 1, 2);
    column()->addWidget(area);

    auto *count = new QGroupBox(QStringLiteral("Расчет количества плитки"), this);
    count->setObjectName(QStringLiteral("GroupBox14"));
    auto *countLayout = new QVBoxLayout(count);
    countLayout->setContentsMargins(8, 4, 8, 6);
    m_result = namedLabel("Label110", QStringLiteral("Расчет не проведен"), count);
    m_result->setWordWrap(true);
    m_result->setAccessibleDescription(count->title());
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    countLayout->addWidget(m_result);
    column()->addWidget(count);
    offerCopy(count);
    for (int type = -1; type < int(std::size(kTypes)); ++type)
        m_explanations.append(
            explanations::of(QStringLiteral("Плитки"), calc::tilesBasis(type),
                             type < 0 ? QString() : QString::fromUtf8(kTypes[type].item)));
    explainFigure(-1);

    addButtons(QStringLiteral("Button4"), QStringLiteral("Button3"));
    setTabChain({m_types, m_length, m_width, computeButton(), clearButton()});

    connect(m_types, &VariantList::selectionChanged, this, &TilesPage::RadioGroup5Click);
    connect(computeButton(), &QPushButton::clicked, this, &TilesPage::Button3Click);
    connect(clearButton(), &QPushButton::clicked, this, &TilesPage::Button4Click);
}

QWidget *TilesPage::createPictures()
{
    auto *group = new QGroupBox(QStringLiteral("Внешний вид плитки"), this);
    group->setObjectName(QStringLiteral("GroupBox11"));
    auto *grid = new QGridLayout(group);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setSpacing(8);
    for (int i = 0; i < int(std::size(kPictures)); ++i) {
        const TilePicture &entry = kPictures[i];
        auto *picture = new ClickableLabel(QString::fromLatin1(entry.name), group);
        artwork::showWhenShown(picture, QString::fromLatin1(entry.file));
        picture->setFixedSize(50, i == int(std::size(kPictures)) - 1 ? 49 : 50);
        picture->setToolTip(QString::fromUtf8(entry.toolTip));
        picture->setAccessibleName(picture->toolTip());
        grid->addWidget(picture, i / 5, i % 5, Qt::AlignCenter);
        connect(picture, &ClickableLabel::clicked, this,
                [this, type = entry.type] { m_types->select(type); });
    }
    return group;
}

void TilesPage::Button3Click()
{
    const int type = m_types->selectedIndex();
    if (type < 0)
        return;
    errorreport::guarded([this, type] {
        const calc::TileResult result = calc::computeTiles(type, m_length->text(), m_width->text());
        const QString line =
            QStringLiteral("Итого плитки: ") + calc::resultText(result.count, calc::kTileFormat) +
            QStringLiteral(" шт. на площади ") +
            calc::resultText(result.areaM2, calc::kTileFormat) + QStringLiteral(" кв. метров");
        m_result->setText(line);
        const calc::BillFigure tiles = calc::tilesFigure(QString::fromUtf8(kTypes[type].item));
        // The paved area, length × width, and the tiles as so many a square metre of it.
        const QString area =
            bom::formulaNumber(double(calc::InputNumber(m_length->text()).value())) + u'*' +
            bom::formulaNumber(double(calc::InputNumber(m_width->text()).value()));
        keepVolume({QStringLiteral("м2"), result.areaM2, area},
                   {{formulaKey(tiles), area + u'*' +
                                            bom::formulaNumber(double(calc::kTilesPerM2.at(
                                                static_cast<std::size_t>(type))))}});
        keepFigures(m_result, {{tiles, result.count}});
        appendLine(line);
    });
}

void TilesPage::RadioGroup5Click(int index)
{
    appendLine(QStringLiteral("Выбранный тип плитки: ") +
               QString::fromUtf8(kTypes[index].journalName));
    explainFigure(index);
}

void TilesPage::Button4Click()
{
    m_width->resetToDefault();
    m_length->resetToDefault();
    m_types->clearSelection();
    explainFigure(-1);
}

void TilesPage::explainFigure(int type)
{
    m_result->setToolTip(m_explanations.at(type + 1));
}

QList<std::pair<QString, QString>> TilesPage::shownResults() const
{
    const auto *group = static_cast<const QGroupBox *>(m_result->parentWidget());
    return {{group->title(), m_result->text()}};
}
