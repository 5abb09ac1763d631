#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

// A norm and its resource lines, as the window shows them and computations take them.
namespace norms {

enum class ResourceGroup
{
    Material,
    Labour,  // workers' and machinists' hours
    Machine, // machine hours
};

// In the order the norm window and the editor list them.
inline constexpr std::array kResourceGroups{ResourceGroup::Material, ResourceGroup::Labour,
                                            ResourceGroup::Machine};

// A group as a firm file's Kind and the editor name it: «Материал», «Труд», «Машины».
QString groupKind(ResourceGroup group);
std::optional<ResourceGroup> groupOfKind(QStringView kind);
// A group as a version's JSON keeps it: «material», «labour», «machine».
QString groupKey(ResourceGroup group);
std::optional<ResourceGroup> groupOfKey(QStringView key);
// A group as the norm window titles its lines: «Материалы», «Затраты труда», …
QString groupTitle(ResourceGroup group);

// Labour: workers' «1-…», machinists' «2», and in the commissioning and assembly collections
// the norm's total «1» with its lines by grade «2-…» (workers) and «3-…» (engineers). Machines
// begin «91.».
ResourceGroup groupOfCode(const QString &code);

struct NormResource
{
    QString code;
    QString name;
    QString unit;
    std::optional<double> rate; // per measure; none where the norm says «П», по проекту
    ResourceGroup group = ResourceGroup::Material;
    bool abstract = false;    // a material chosen by technology group
    QString technologyGroups; // of an abstract resource

    friend bool operator==(const NormResource &, const NormResource &) = default;
};

// A norm's whole labour, where a collection writes it as a line of its own: its other labour
// lines, the machinists' apart, are summed into it.
inline bool isLabourTotal(const NormResource &resource)
{
    return resource.group == ResourceGroup::Labour && resource.code == u"1";
}
inline bool isMachinistLabour(const NormResource &resource)
{
    return resource.group == ResourceGroup::Labour && resource.code == u"2";
}

// A norm's reference to the overhead (НР) and profit (СП) norms, as the files write it:
// «Пр/812-012.0», «Пр/774-012.0».
struct Reason
{
    QString nr;
    QString sp;

    friend bool operator==(const Reason &, const Reason &) = default;
};

struct Norm
{
    qint64 id = 0;
    QString prefix; // «ГЭСН», «ГЭСНр», …
    QString code;   // «06-01-001-01»
    QString name;   // the full name
    QString measure;
    QString content; // the work content, one item a line
    QList<NormResource> resources;
    QList<Reason> reasons; // in the file's order
    // The firm's own norm: its code is whole («ФН-06-01-001-01»), and it has a version, the text
    // of the calculation it was approved by, and the federal norm it was made from, if any
    // («ГЭСН 06-01-001-01»).
    bool firm = false;
    int version = 0;
    QString source;
    QString origin;

    // «ГЭСН 06-01-001-01»; a firm norm's own code
    QString fullCode() const;
};

// A norm's code as the user reads and types it: «ГЭСН 06-01-001-01»; the code alone for a firm
// norm, whose code is whole, and for a collection without a prefix.
QString fullCode(const QString &prefix, const QString &code, bool firm);

// What makes a line the same resource in two versions of a norm, and in a firm norm and the
// federal one it was made from: its code, or, for a line without one, its name.
QString lineKey(const NormResource &resource);
// The line among lines that is the same resource as line; null when none is.
const NormResource *sameLine(const QList<NormResource> &lines, const NormResource &line);

// A resource's name as every list of resources shows it, with the technology group of an
// abstract one.
QString resourceName(const NormResource &resource);

// A line as stored (its group where the line says it) with the name and unit the norm shows.
NormResource storedLine(const QString &code, const QString &name, const QString &unit,
                        std::optional<int> group);

} // namespace norms
