#include "norm.h"

namespace norms {

ResourceGroup groupOfCode(const QString &code)
{
    if (code == u"1" || code == u"2" || code.startsWith(u"1-") || code.startsWith(u"2-") ||
        code.startsWith(u"3-"))
        return ResourceGroup::Labour;
    if (code.startsWith(u"91."))
        return ResourceGroup::Machine;
    return ResourceGroup::Material;
}

namespace {

struct GroupNames
{
    ResourceGroup group;
    QStringView kind;
    QStringView key;
    QStringView title;
};

constexpr std::array<GroupNames, 3> kGroupNames{{
    {ResourceGroup::Material, u"Материал", u"material", u"Материалы"},
    {ResourceGroup::Labour, u"Труд", u"labour", u"Затраты труда"},
    {ResourceGroup::Machine, u"Машины", u"machine", u"Машины и механизмы"},
}};

const GroupNames &namesOf(ResourceGroup group)
{
    for (const GroupNames &names : kGroupNames)
        if (names.group == group)
            return names;
    return kGroupNames.front();
}

template <QStringView GroupNames::*field> std::optional<ResourceGroup> groupNamed(QStringView text)
{
    for (const GroupNames &names : kGroupNames)
        if (names.*field == text)
            return names.group;
    return std::nullopt;
}

} // namespace

QString groupKind(ResourceGroup group)
{
    return namesOf(group).kind.toString();
}

std::optional<ResourceGroup> groupOfKind(QStringView kind)
{
    return groupNamed<&GroupNames::kind>(kind);
}

QString groupKey(ResourceGroup group)
{
    return namesOf(group).key.toString();
}

std::optional<ResourceGroup> groupOfKey(QStringView key)
{
    return groupNamed<&GroupNames::key>(key);
}

QString groupTitle(ResourceGroup group)
{
    return namesOf(group).title.toString();
}

QString fullCode(const QString &prefix, const QString &code, bool firm)
{
    return firm || prefix.isEmpty() ? code : prefix + u' ' + code;
}

QString Norm::fullCode() const
{
    return norms::fullCode(prefix, code, firm);
}

QString resourceName(const NormResource &resource)
{
    if (!resource.abstract || resource.technologyGroups.isEmpty())
        return resource.name;
    return resource.name +
           QStringLiteral(" (технологическая группа %1)").arg(resource.technologyGroups);
}

QString lineKey(const NormResource &resource)
{
    return resource.code.isEmpty() ? u'\n' + resource.name : resource.code;
}

const NormResource *sameLine(const QList<NormResource> &lines, const NormResource &line)
{
    const QString key = lineKey(line);
    for (const NormResource &kept : lines)
        if (lineKey(kept) == key)
            return &kept;
    return nullptr;
}

namespace {

// Hours carry no unit in the files; their unit follows from the code.
QString unitOf(ResourceGroup group, const QString &unit)
{
    switch (group) {
    case ResourceGroup::Labour:
        return QStringLiteral("чел.-ч");
    case ResourceGroup::Machine:
        return QStringLiteral("маш.-ч");
    case ResourceGroup::Material:
        break;
    }
    return unit;
}

QString nameOf(const QString &code, const QString &name)
{
    if (!name.isEmpty())
        return name;
    if (code == u"1")
        return QStringLiteral("Затраты труда (всего)");
    if (code == u"2")
        return QStringLiteral("Затраты труда машинистов");
    return code;
}

} // namespace

NormResource storedLine(const QString &code, const QString &name, const QString &unit,
                        std::optional<int> group)
{
    NormResource resource;
    resource.code = code;
    resource.group = group ? ResourceGroup(*group) : groupOfCode(code);
    resource.name = group ? name : nameOf(code, name);
    resource.unit = group && !unit.isEmpty() ? unit : unitOf(resource.group, unit);
    return resource;
}

} // namespace norms
