#include "billmemory.h"

#include "common/settings.h"

#include <QSettings>

#include <memory>

namespace {

// Material names may hold any character; the key of the settings file must not. A norm's
// resource is remembered by its code, whatever name it came with.
QString hex(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toHex());
}

// A coded material is its code, name and unit together: two layers of a roof under one code keep
// their own terms.
QString settingsKey(const bom::MaterialKey &key)
{
    const QString nameAndUnit = hex(key.name + u'\x1f' + key.unit);
    if (key.hasCode())
        return QStringLiteral("billTerms/code-") + hex(key.code) + u'-' + nameAndUnit;
    return QStringLiteral("billTerms/") + nameAndUnit;
}

// Where terms of a coded material were kept by its code alone.
QString codeOnlyKey(const bom::MaterialKey &key)
{
    return QStringLiteral("billTerms/code-") + hex(key.code);
}

QString linkKey(const bom::MaterialKey &material)
{
    return QStringLiteral("billLinks/") + hex(material.name + u'\x1f' + material.unit);
}

} // namespace

namespace billmemory {

std::optional<bom::Terms> rememberedTerms(const bom::MaterialKey &key)
{
    const std::unique_ptr<QSettings> owner = programSettings();
    const QSettings &store = *owner;
    QString group = settingsKey(key);
    if (!store.contains(group + QStringLiteral("/reservePercent")) && key.hasCode())
        group = codeOnlyKey(key);
    if (!store.contains(group + QStringLiteral("/reservePercent")))
        return std::nullopt;
    bom::Terms terms;
    terms.reservePercent = store.value(group + QStringLiteral("/reservePercent")).toDouble();
    const QVariant pack = store.value(group + QStringLiteral("/packSize"));
    if (pack.isValid() && !pack.toString().isEmpty())
        terms.packSize = pack.toDouble();
    // A settings file edited by hand must not bring in what a cell would refuse.
    if (bom::refusalOfReserve(terms.reservePercent) ||
        (terms.packSize && bom::refusalOfPackSize(*terms.packSize)))
        return std::nullopt;
    return terms;
}

std::optional<bom::ResourceLink> rememberedLink(const bom::MaterialKey &material)
{
    const std::unique_ptr<QSettings> owner = programSettings();
    const QSettings &store = *owner;
    const QString group = linkKey(material);
    const QString code = store.value(group + QStringLiteral("/code")).toString();
    if (code.trimmed().isEmpty())
        return std::nullopt;
    // The units are checked again: a settings file edited by hand brings no link a user could
    // not make.
    return bom::linkOf(material, code, store.value(group + QStringLiteral("/name")).toString(),
                       store.value(group + QStringLiteral("/unit")).toString())
        .link;
}

void rememberTerms(const bom::MaterialKey &key, const bom::Terms &terms)
{
    const std::unique_ptr<QSettings> owner = programSettings();
    QSettings &store = *owner;
    const QString group = settingsKey(key);
    store.setValue(group + QStringLiteral("/reservePercent"), terms.reservePercent);
    store.setValue(group + QStringLiteral("/packSize"),
                   terms.packSize ? QVariant(*terms.packSize) : QVariant(QString()));
    // A price belongs to its bill: a later bill starts without one. What an earlier run kept of
    // prices goes at the material's next change.
    store.remove(group + QStringLiteral("/priceKopecks"));
    store.remove(group + QStringLiteral("/priceBasis"));
}

void rememberLink(const bom::MaterialKey &material, const std::optional<bom::ResourceLink> &link)
{
    const std::unique_ptr<QSettings> owner = programSettings();
    QSettings &store = *owner;
    const QString group = linkKey(material);
    if (!link) {
        store.remove(group);
        return;
    }
    store.setValue(group + QStringLiteral("/code"), link->code);
    store.setValue(group + QStringLiteral("/name"), link->name);
    store.setValue(group + QStringLiteral("/unit"), link->unit);
}

} // namespace billmemory
