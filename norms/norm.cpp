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

QString Norm::fullCode() const
{
    return firm || prefix.isEmpty() ? code : prefix + u' ' + code;
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
