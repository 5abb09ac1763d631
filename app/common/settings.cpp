#include "settings.h"

std::unique_ptr<QSettings> programSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("merilon"), QStringLiteral("merilon"));
}
