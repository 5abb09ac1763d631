#include "billfigure.h"

namespace calc {

namespace {

struct Row
{
    const char *name;
    const char *unit;
    const char *caption;
    FigureKind kind = FigureKind::Material;
    const char *partOf = nullptr;
};

QList<BillFigure> table(const char *source, std::initializer_list<Row> rows)
{
    QList<BillFigure> figures;
    for (const Row &row : rows)
        figures.append({QString::fromUtf8(row.name), QString::fromUtf8(row.unit), row.kind,
                        row.partOf ? QString::fromUtf8(row.partOf) : QString(),
                        QString::fromUtf8(source), QString::fromUtf8(row.caption)});
    return figures;
}

constexpr auto kVolume = FigureKind::WorkVolume;
constexpr auto kComposite = FigureKind::Composite;
constexpr auto kMaterial = FigureKind::Material;

} // namespace

const QList<BillFigure> &masonryFigures()
{
    static const QList<BillFigure> figures =
        table("Кирпичная кладка",
              {{"Объем кирпичной кладки", "м3", "Объем кирпичной кладки, м3.", kVolume},
               {"Кирпич глиняный обыкновенный", "шт.", "Кирпич глиняный обыкновенный, шт."},
               {"Раствор", "м3", "Раствор, м3"},
               {"Пробки деревянные", "м3", "Пробки деревянные, м3"}});
    return figures;
}

const QList<BillFigure> &foundationFigures()
{
    static const QList<BillFigure> figures =
        table("Фундаменты под колонны",
              {{"Бетон", "м3", "Бетон, м3"},
               {"Щиты опалубки 25 мм", "м2", "Щиты опалубки 25 мм."},
               {"Доски 40 мм", "м3", "Доски 40 мм"},
               {"Гвозди строительные 100 мм", "кг", "Гвозди строительные 100 мм"},
               {"Проволока стальная 4 мм", "кг", "Проволока стальная 4 мм"},
               {"Смазка", "кг", "Смазка"}});
    return figures;
}

const QList<BillFigure> &paintingFigures()
{
    static const QList<BillFigure> figures = table(
        "Окраска поверхностей", {{"Олифа", "кг", "Олифа, кг"},
                                 {"Краски тертые", "кг", "Краски тертые, кг"},
                                 {"Состав окрасочный", "кг", "Состав окрасочный, кг", kComposite},
                                 {"Сурик железный тертый", "кг", "Сурик железный тертый, кг.",
                                  kMaterial, "Состав окрасочный"},
                                 {"Олифа", "кг", "Олифа,кг ", kMaterial, "Состав окрасочный"},
                                 {"Ветошь", "кг", "Ветошь,кг"}});
    return figures;
}

const QList<BillFigure> &gatesFigures()
{
    static const QList<BillFigure> figures =
        table("Деревянные ворота", {{"Бревна 180 мм", "м3", "Бревна 180 мм., м3"},
                                    {"Бруски 50-60 мм", "м3", "Бруски 50-60 мм., м3"},
                                    {"Доски 19-22 мм", "м3", "Доски 19-22 мм, м3"},
                                    {"Доски 25-32 мм", "м3", "Доск 25-32 мм., м3"},
                                    {"Болты и поковки", "кг", "Болты и поковки, кг."},
                                    {"Смола", "кг", "Смола, кг."},
                                    {"Гвозди", "кг", "Гвозди, кг."}});
    return figures;
}

const QList<BillFigure> &grassFigures()
{
    static const QList<BillFigure> figures =
        table("Посев трав", {{"Дерн", "м2", "Дерн, м2"},
                             {"Спицы деревянные", "м3", "Спицы  деревянные, м3"},
                             {"Семена трав", "кг", "Семена трав, кг"},
                             {"Земля растительная", "м3", "Земля растительная, м3"},
                             {"Удобрения", "кг", "Удобрения, кг"},
                             {"Эмульсия битумная", "л", "Эмульсия битумная, л."},
                             {"Эмульсия латексная", "л", "Эмульсия латексная, л."},
                             {"Опилки", "м3", "Опилки, м3"}});
    return figures;
}

const QList<BillFigure> &underlayFigures()
{
    static const QList<BillFigure> figures =
        table("Подстилающие слои",
              {{"Песок", "м3", "Песок, куб. метр"},
               {"Шлак или гравий", "м3", "Шлак или гравий, куб. метр"},
               {"Щебень", "м3", "Щебень, куб. метр"},
               {"Клинец", "м3", "Клинец, куб. метр"},
               {"Каменная мелочь", "м3", "Каменная мелочь. куб. метр"},
               {"Глина", "м3", "Глина, куб. метр"},
               {"Битум БН-60/90", "кг", "Битум БН-60/90, кг."},
               {"Глина Песок", "м3", "Глина Песок, куб. метр"},
               {"Бетон", "м3", "Бетон, куб. метр"},
               {"Бетон кислоупорный", "м3", "Бетон кислоупорный, куб. метр"},
               {"Водный раствор серной кислоты", "кг", "Водный раствор серной кислоты, кг."},
               {"Камень булыжный", "м3", "Камень булыжный, м3"}});
    return figures;
}

BillFigure tilesFigure(const QString &tileName)
{
    const QString name = QStringLiteral("Плитка «%1»").arg(tileName);
    return {name,
            QStringLiteral("шт."),
            kMaterial,
            QString(),
            QStringLiteral("Тротуарная плитка"),
            name + QStringLiteral(", шт.")};
}

QList<BillFigure> pageFigures()
{
    QList<BillFigure> figures;
    for (const QList<BillFigure> *page :
         {&masonryFigures(), &foundationFigures(), &paintingFigures(), &gatesFigures(),
          &grassFigures(), &underlayFigures()})
        figures += *page;
    return figures;
}

} // namespace calc
