#include "normsample.h"

#include <QBuffer>
#include <QXmlStreamWriter>

#include <array>

namespace normsample {

namespace {

constexpr int kNormsPerTable = 8;
constexpr int kTablesPerSubdivision = 6;
constexpr int kSubdivisionsPerDivision = 4;
constexpr int kDivisionsPerCollection = 5;
constexpr int kTablesPerCollection =
    kTablesPerSubdivision * kSubdivisionsPerDivision * kDivisionsPerCollection;

constexpr std::array kCollections{
    u"Земляные работы",
    u"Фундаменты",
    u"Бетонные и железобетонные конструкции монолитные",
    u"Бетонные и железобетонные конструкции сборные",
    u"Конструкции из кирпича и блоков",
    u"Строительные металлические конструкции",
    u"Деревянные конструкции",
    u"Полы",
    u"Кровли",
    u"Защита строительных конструкций от коррозии",
    u"Отделочные работы",
    u"Стяжки и подготовки",
    u"Теплоизоляционные работы",
    u"Гидроизоляция подземных сооружений",
    u"Облицовка фасадов",
    u"Перекрытия и покрытия",
};

// A table's works: an action on a structure, in a material.
constexpr std::array kActions{
    u"Устройство", u"Кладка",  u"Разработка",      u"Монтаж",      u"Облицовка",
    u"Разборка",   u"Окраска", u"Оштукатуривание", u"Армирование", u"Бетонирование",
    u"Изоляция",   u"Засыпка", u"Покрытие",        u"Установка",   u"Заделка",
};
constexpr std::array kStructures{
    u"стен наружных",
    u"стен внутренних",
    u"перегородок",
    u"фундаментов ленточных",
    u"фундаментов столбчатых",
    u"плит перекрытий",
    u"стяжек цементных",
    u"кровель скатных",
    u"кровель плоских",
    u"полов дощатых",
    u"подготовки бетонной",
    u"колонн",
    u"лестничных маршей",
    u"перемычек",
    u"карнизов",
    u"котлованов",
    u"траншей",
    u"откосов",
    u"цоколей",
    u"балконных плит",
};
constexpr std::array kMaterials{
    u"из кирпича керамического",  u"из бетона тяжелого",
    u"из блоков газобетонных",    u"из мелкоштучных камней",
    u"из листов профилированных", u"из рулонных материалов",
    u"из плиток керамических",    u"из досок хвойных пород",
    u"раствором цементным",       u"мастикой битумной",
    u"из минераловатных плит",    u"из щебня гранитного",
    u"из песка природного",       u"из черепицы",
    u"из стали листовой",
};
constexpr std::array kEnds{
    u"толщиной 20 мм",
    u"толщиной 40 мм",
    u"толщиной в 1 кирпич",
    u"толщиной в 1,5 кирпича",
    u"при высоте этажа до 4 м",
    u"при высоте этажа до 6 м",
    u"площадью до 10 м2",
    u"площадью более 10 м2",
    u"глубиной до 3 м",
    u"класса В15",
    u"марки М150",
    u"на каждые 10 мм изменения толщины",
};
constexpr std::array kMeasures{u"100 м2", u"100 м3", u"1 м3", u"10 м3", u"100 м", u"1 т"};

// The shared vocabulary: an action, then words of structures and materials.
constexpr std::array kSharedActions{
    u"Устройство", u"Монтаж",  u"Кладка",        u"Облицовка",
    u"Разборка",   u"Окраска", u"Бетонирование", u"Изоляция",
};
constexpr std::array kSharedWords{
    u"бетонных",  u"фундаментов", u"конструкций",   u"металлических", u"кирпичных",  u"стен",
    u"наружных",  u"внутренних",  u"перегородок",   u"плит",          u"перекрытий", u"стяжек",
    u"цементных", u"кровель",     u"полов",         u"колонн",        u"балок",      u"лестниц",
    u"из",        u"кирпича",     u"керамического", u"бетона",        u"тяжелого",   u"блоков",
    u"стали",     u"листовой",    u"раствором",     u"толщиной",      u"мм",         u"до",
    u"м",         u"высотой",
};
static_assert(kSharedActions.size() + kSharedWords.size() == 40);

struct Named
{
    const char16_t *code;
    const char16_t *name;
    const char16_t *unit;
};
constexpr std::array kMachines{
    Named{u"91.05.05-015", u"Краны на автомобильном ходу, грузоподъемность 16 т", u"маш.-ч"},
    Named{u"91.14.02-001", u"Автомобили бортовые, грузоподъемность до 5 т", u"маш.-ч"},
    Named{u"91.06.06-042", u"Подъемники грузоподъемностью до 0,5 т", u"маш.-ч"},
    Named{u"91.07.04-001", u"Вибраторы глубинные", u"маш.-ч"},
    Named{u"91.01.01-035", u"Бульдозеры, мощность 79 кВт (108 л.с.)", u"маш.-ч"},
};
constexpr std::array kMaterialsUsed{
    Named{u"01.7.15.06-0111", u"Гвозди строительные", u"т"},
    Named{u"04.1.02.05-0006", u"Смеси бетонные тяжелого бетона, класс В15", u"м3"},
    Named{u"04.3.01.09-0014", u"Раствор готовый кладочный, цементный, М150", u"м3"},
    Named{u"06.1.01.05-0035", u"Кирпич керамический одинарный, марка 150", u"1000 шт"},
    Named{u"08.3.03.06-0002", u"Проволока горячекатаная в мотках, диаметр 6,3-6,5 мм", u"т"},
    Named{u"11.1.03.06-0095", u"Доска обрезная, хвойных пород, толщина 44 мм", u"м3"},
    Named{u"12.1.02.06-0022", u"Рубероид кровельный РКП-350", u"м2"},
    Named{u"12.2.05.03-0011", u"Плиты минераловатные теплоизоляционные", u"м3"},
    Named{u"14.4.01.02-0012", u"Грунтовка битумная", u"т"},
    Named{u"02.3.01.02-1012", u"Песок природный для строительных работ", u"м3"},
    Named{u"02.2.05.04-1777", u"Щебень из природного камня, фракция 20-40 мм", u"м3"},
};

QString twoDigits(int value)
{
    return QString::number(value).rightJustified(2, u'0');
}

QString tableCode(int table)
{
    const int collection = table / kTablesPerCollection + 1;
    const int inCollection = table % kTablesPerCollection;
    const int division = inCollection / (kTablesPerSubdivision * kSubdivisionsPerDivision) + 1;
    return QStringLiteral("%1-%2-%3")
        .arg(twoDigits(collection), twoDigits(division))
        .arg(inCollection + 1, 3, 10, QLatin1Char('0'));
}

template <std::size_t N> QString pick(const std::array<const char16_t *, N> &words, qint64 seed)
{
    return QString::fromUtf16(words[std::size_t(seed % qint64(N))]);
}

// A table's common beginning; its norms differ by their ends.
QString tableName(int table, bool shared = false)
{
    if (shared) {
        QString name = pick(kSharedActions, table);
        for (const qint64 seed : {qint64(table) * 7 + 1, qint64(table) * 13 + table / 32 + 5,
                                  qint64(table) * 3 + table / 7 + 11, qint64(table) / 5 + 17})
            name += u' ' + pick(kSharedWords, seed);
        return name;
    }
    return pick(kActions, table) + u' ' + pick(kStructures, table / 3 + table * 7) + u' ' +
           pick(kMaterials, table / 5 + table * 11);
}

QString normEnd(int index, bool shared = false)
{
    if (shared)
        return pick(kSharedWords, qint64(index) * 5 + 3) + u' ' +
               pick(kSharedWords, qint64(index) * 11 + index / 8);
    return pick(kEnds, index * 5 + index / kNormsPerTable);
}

void writeSectionStart(QXmlStreamWriter &xml, const QString &type, const QString &code,
                       const QString &name)
{
    xml.writeStartElement(QStringLiteral("Section"));
    xml.writeAttribute(QStringLiteral("Name"), name);
    xml.writeAttribute(QStringLiteral("Type"), type);
    xml.writeAttribute(QStringLiteral("Code"), code);
}

void writeResources(QXmlStreamWriter &xml, int index, int count)
{
    xml.writeStartElement(QStringLiteral("Resources"));
    for (int r = 0; r < count; ++r) {
        const qint64 seed = qint64(index) * 31 + r * 7;
        const QString quantity = (index + r) % 17 == 0
                                     ? QStringLiteral("П")
                                     : QString::number(double(seed % 9973) / 100.0, 'f', 3);
        if (r == 0) {
            xml.writeEmptyElement(QStringLiteral("Resource"));
            xml.writeAttribute(QStringLiteral("Code"),
                               QStringLiteral("1-100-%1").arg(20 + index % 30));
            xml.writeAttribute(
                QStringLiteral("EndName"),
                QStringLiteral("Средний разряд работы %1,%2").arg(2 + index % 4).arg(index % 10));
        } else if (r == 1) {
            xml.writeEmptyElement(QStringLiteral("Resource"));
            xml.writeAttribute(QStringLiteral("Code"), QStringLiteral("2"));
        } else if (r <= 3) {
            const Named &machine = kMachines[std::size_t(seed % qint64(kMachines.size()))];
            xml.writeEmptyElement(QStringLiteral("Resource"));
            xml.writeAttribute(QStringLiteral("Code"), QString::fromUtf16(machine.code));
            xml.writeAttribute(QStringLiteral("EndName"), QString::fromUtf16(machine.name));
        } else if (r == 4 && index % 3 == 0) {
            // Named only in the price catalogue.
            xml.writeEmptyElement(QStringLiteral("Resource"));
            xml.writeAttribute(QStringLiteral("Code"), QString::fromUtf16(kUnnamedMaterialCode));
        } else if (r == count - 1 && index % 4 == 0) {
            xml.writeEmptyElement(QStringLiteral("AbstractResource"));
            xml.writeAttribute(QStringLiteral("Code"), QStringLiteral("01.2.03.03"));
            xml.writeAttribute(QStringLiteral("Name"), QStringLiteral("Мастики битумосодержащие"));
            xml.writeAttribute(QStringLiteral("MeasureUnit"), QStringLiteral("т"));
            xml.writeAttribute(QStringLiteral("TechnologyGroups"), QStringLiteral("27.03.039"));
        } else {
            const Named &material =
                kMaterialsUsed[std::size_t(seed % qint64(kMaterialsUsed.size()))];
            xml.writeEmptyElement(QStringLiteral("Resource"));
            xml.writeAttribute(QStringLiteral("Code"), QString::fromUtf16(material.code));
            xml.writeAttribute(QStringLiteral("EndName"), QString::fromUtf16(material.name));
            xml.writeAttribute(QStringLiteral("MeasureUnit"), QString::fromUtf16(material.unit));
        }
        xml.writeAttribute(QStringLiteral("Quantity"), quantity);
    }
    xml.writeEndElement();
}

void writeWork(QXmlStreamWriter &xml, int index, const BaseShape &shape)
{
    const int resources = shape.resourcesPerNorm;
    xml.writeStartElement(QStringLiteral("Work"));
    xml.writeAttribute(QStringLiteral("Code"), normCode(index));
    xml.writeAttribute(QStringLiteral("EndName"), normEnd(index, shape.sharedWords));
    xml.writeAttribute(QStringLiteral("MeasureUnit"), pick(kMeasures, index / kNormsPerTable));
    // Every other norm lists its own work; the rest take their table's.
    if (index % 2 == 0) {
        xml.writeStartElement(QStringLiteral("Content"));
        for (const QString &item : {QStringLiteral("Подготовка основания с очисткой от мусора."),
                                    QStringLiteral("Приготовление раствора и подача материалов."),
                                    QStringLiteral("Устройство ") + normEnd(index + 3) + u'.'}) {
            xml.writeEmptyElement(QStringLiteral("Item"));
            xml.writeAttribute(QStringLiteral("Text"), item);
        }
        xml.writeEndElement();
    }
    writeResources(xml, index, resources);
    // The references to the overhead and profit norms as the published files write them; every
    // fifth norm has two.
    xml.writeStartElement(QStringLiteral("NrSp"));
    for (int reason = 0; reason < (index % 5 == 0 ? 2 : 1); ++reason) {
        const QString item = reasonItem(index + reason);
        xml.writeEmptyElement(QStringLiteral("ReasonItem"));
        xml.writeAttribute(QStringLiteral("Nr"), QStringLiteral("Пр/812-") + item);
        xml.writeAttribute(QStringLiteral("Sp"), QStringLiteral("Пр/774-") + item);
    }
    xml.writeEndElement();
    xml.writeEndElement();
}

} // namespace

QString reasonItem(int index)
{
    return QStringLiteral("%1.0").arg(index % 41 + 1, 3, 10, QLatin1Char('0'));
}

QString normCode(int index)
{
    return tableCode(index / kNormsPerTable) + u'-' + twoDigits(index % kNormsPerTable + 1);
}

QString normName(int index)
{
    return tableName(index / kNormsPerTable) + u':' + u' ' + normEnd(index);
}

void writeBase(QIODevice &out, const BaseShape &shape)
{
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("base"));
    xml.writeAttribute(QStringLiteral("BaseName"), QStringLiteral("Сметные нормативы"));
    xml.writeAttribute(QStringLiteral("BaseType"), QStringLiteral("ГЭСН"));
    xml.writeAttribute(QStringLiteral("PriceLevel"), QStringLiteral("01.01.2022"));
    xml.writeAttribute(QStringLiteral("CreationDate"), QStringLiteral("15.03.2022"));
    xml.writeStartElement(QStringLiteral("ResourcesDirectory"));
    xml.writeStartElement(QStringLiteral("ResourceCategory"));
    xml.writeAttribute(QStringLiteral("Type"), shape.categoryType);
    xml.writeAttribute(QStringLiteral("CodePrefix"), shape.prefix);
    const int tables = (shape.norms + kNormsPerTable - 1) / kNormsPerTable;
    for (int table = 0; table < tables; ++table) {
        const int inCollection = table % kTablesPerCollection;
        const int collection = table / kTablesPerCollection;
        const int division = inCollection / (kTablesPerSubdivision * kSubdivisionsPerDivision);
        const int subdivision = inCollection / kTablesPerSubdivision;
        const bool opensDivision =
            inCollection % (kTablesPerSubdivision * kSubdivisionsPerDivision) == 0;
        if (inCollection == 0) {
            if (table > 0)
                for (int level = 0; level < 3; ++level)
                    xml.writeEndElement();
            writeSectionStart(xml, QStringLiteral("Сборник"), twoDigits(collection + 1),
                              pick(kCollections, collection));
        } else if (opensDivision) {
            xml.writeEndElement();
            xml.writeEndElement();
        } else if (inCollection % kTablesPerSubdivision == 0) {
            xml.writeEndElement();
        }
        if (opensDivision)
            writeSectionStart(xml, QStringLiteral("Раздел"), QString::number(division + 1),
                              QStringLiteral("Раздел %1. ").arg(division + 1) +
                                  pick(kStructures, collection + division));
        if (inCollection % kTablesPerSubdivision == 0)
            writeSectionStart(xml, QStringLiteral("Подраздел"),
                              QStringLiteral("%1.%2").arg(division + 1).arg(subdivision + 1),
                              pick(kActions, subdivision + collection) + u' ' +
                                  pick(kStructures, subdivision));
        const QString name = tableName(table, shape.sharedWords);
        writeSectionStart(xml, QStringLiteral("Таблица"), tableCode(table), name);
        xml.writeStartElement(QStringLiteral("Content"));
        xml.writeEmptyElement(QStringLiteral("Item"));
        xml.writeAttribute(QStringLiteral("Text"),
                           QStringLiteral("Установка и разборка подмостей."));
        xml.writeEmptyElement(QStringLiteral("Item"));
        xml.writeAttribute(QStringLiteral("Text"),
                           QStringLiteral("Выполнение работ: ") + name + u'.');
        xml.writeEndElement();
        xml.writeStartElement(QStringLiteral("NameGroup"));
        xml.writeAttribute(QStringLiteral("BeginName"), name + u':');
        for (int n = 0; n < kNormsPerTable; ++n) {
            const int index = table * kNormsPerTable + n;
            if (index >= shape.norms)
                break;
            writeWork(xml, index, shape);
        }
        xml.writeEndElement(); // NameGroup
        xml.writeEndElement(); // Таблица
    }
    xml.writeEndDocument();
}

QByteArray base(const BaseShape &shape)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    writeBase(buffer, shape);
    return bytes;
}

void writeCatalogue(QIODevice &out, int moreMaterials)
{
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("ResourceCatalog"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"),
                       QStringLiteral("xsi"));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema"), QStringLiteral("xsd"));
    xml.writeEmptyElement(QStringLiteral("Decrees"));
    xml.writeAttribute(QStringLiteral("ApprovingActNumber"), QStringLiteral("490/пр"));
    xml.writeAttribute(QStringLiteral("ApprovingActDate"), QStringLiteral("14.08.2025"));
    xml.writeStartElement(QStringLiteral("ResourcesDirectory"));
    xml.writeStartElement(QStringLiteral("ResourceCategory"));
    xml.writeAttribute(QStringLiteral("Type"), QStringLiteral("Материал"));
    writeSectionStart(xml, QStringLiteral("Книга"), QStringLiteral("01"),
                      QStringLiteral("Материалы для общестроительных работ"));
    std::array entries = kMaterialsUsed;
    QList<Named> all(entries.begin(), entries.end());
    all.append({kUnnamedMaterialCode, kUnnamedMaterialName, kUnnamedMaterialUnit});
    const auto writeResource = [&xml](const QString &code, const QString &name, const QString &unit,
                                      int cents) {
        xml.writeStartElement(QStringLiteral("Resource"));
        xml.writeAttribute(QStringLiteral("Code"), code);
        xml.writeAttribute(QStringLiteral("Name"), name);
        xml.writeAttribute(QStringLiteral("MeasureUnit"), unit);
        xml.writeStartElement(QStringLiteral("Prices"));
        xml.writeEmptyElement(QStringLiteral("Price"));
        xml.writeAttribute(QStringLiteral("Cost"), QString::number(double(cents) / 100, 'f', 2));
        xml.writeAttribute(QStringLiteral("OptCost"),
                           QString::number(double(cents) * 0.7 / 100, 'f', 2));
        xml.writeEndElement();
        xml.writeEndElement();
    };
    for (const Named &entry : all)
        writeResource(QString::fromUtf16(entry.code), QString::fromUtf16(entry.name),
                      QString::fromUtf16(entry.unit), 123456);
    xml.writeEndElement(); // Книга
    // Groups of a hundred materials each, named from the words of the norms' materials.
    writeSectionStart(xml, QStringLiteral("Книга"), QStringLiteral("20"),
                      QStringLiteral("Материалы прочие"));
    for (int index = 0; index < moreMaterials; ++index) {
        const int group = index / 100;
        if (index % 100 == 0) {
            if (index > 0)
                xml.writeEndElement();
            writeSectionStart(xml, QStringLiteral("Группа"),
                              QStringLiteral("20.%1.%2").arg(group / 100).arg(group % 100),
                              QStringLiteral("Группа %1").arg(group + 1));
        }
        const Named &like = kMaterialsUsed[std::size_t(index) % kMaterialsUsed.size()];
        writeResource(QStringLiteral("20.%1.%2-%3")
                          .arg(group / 100)
                          .arg(group % 100, 2, 10, QLatin1Char('0'))
                          .arg(index % 100, 4, 10, QLatin1Char('0')),
                      QString::fromUtf16(like.name) + u' ' + pick(kMaterials, index / 7) + u' ' +
                          pick(kEnds, index / 3),
                      QString::fromUtf16(like.unit), 100 + (index * 37) % 500000);
    }
    if (moreMaterials > 0)
        xml.writeEndElement();
    xml.writeEndDocument();
}

} // namespace normsample
