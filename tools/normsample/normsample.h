#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

// Files laid out as the federal norm base publishes them, written from a fixed recipe so that the
// same shape always gives the same bytes: small ones for tests and fuzz seeds, a full-size one
// (45 000 norms, 450 000 resource lines, about 85 MB) for the import benchmark.
namespace normsample {

struct BaseShape
{
    QString prefix = QStringLiteral("ГЭСН");
    QString categoryType = QStringLiteral("СТРОИТЕЛЬНЫЕ РАБОТЫ");
    int norms = 45000;
    int resourcesPerNorm = 10;
    // Names made of 40 words that most of them share, as real names share «устройство»,
    // «монтаж», «бетон», «кладка»: the widest case for a search by words.
    bool sharedWords = false;
};

// A norm base file: collections («Сборник») of divisions («Раздел»), subdivisions
// («Подраздел») and tables («Таблица») of eight norms each, named from the words of everyday
// building work, each norm with its content and resource lines.
void writeBase(QIODevice &out, const BaseShape &shape);
QByteArray base(const BaseShape &shape);

// What writeBase writes for its norm number index (from 0).
QString normCode(int index);
QString normName(int index);
// The item of the overhead and profit tables its first reference keys: «001.0» … «041.0»; a norm
// of an index divisible by five has a second one, the next index's.
QString reasonItem(int index);

// The materials' price catalogue (ФСБЦ_Мат&Оборуд.xml, root ResourceCatalog) that names and
// prices the materials writeBase lists, the one it lists by code alone among them, and as many
// more materials again, each with its estimate and release price: 150 000 for the benchmark.
void writeCatalogue(QIODevice &out, int moreMaterials = 0);
// A code writeBase lists without name or unit, and what the catalogue calls it.
inline constexpr char16_t kUnnamedMaterialCode[] = u"01.7.03.01-0001";
inline constexpr char16_t kUnnamedMaterialName[] = u"Вода";
inline constexpr char16_t kUnnamedMaterialUnit[] = u"м3";

} // namespace normsample
