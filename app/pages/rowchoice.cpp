#include "rowchoice.h"

#include "common/settings.h"
#include <QSettings>

#include <memory>

namespace rowchoices {

namespace {

QString groupOf(const RowPlace &place)
{
    return QStringLiteral("rowNorms/%1/%2/%3")
        .arg(place.page, QString::number(place.variant), QString::number(place.row));
}

} // namespace

std::optional<RowChoice> remembered(const RowPlace &place)
{
    const std::unique_ptr<QSettings> store = programSettings();
    const QString group = groupOf(place);
    const QString norm = store->value(group + QStringLiteral("/norm")).toString();
    if (norm.isEmpty())
        return std::nullopt;
    return RowChoice{norm, store->value(group + QStringLiteral("/resource")).toString(),
                     store->value(group + QStringLiteral("/position"), -1).toInt()};
}

void remember(const RowPlace &place, const RowChoice &choice)
{
    const std::unique_ptr<QSettings> store = programSettings();
    const QString group = groupOf(place);
    store->setValue(group + QStringLiteral("/norm"), choice.norm);
    store->setValue(group + QStringLiteral("/resource"), choice.resource);
    store->setValue(group + QStringLiteral("/position"), choice.position);
}

void forget(const RowPlace &place)
{
    programSettings()->remove(groupOf(place));
}

} // namespace rowchoices
