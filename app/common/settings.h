#pragma once

#include <QSettings>

#include <memory>

// The program's settings: an INI file in the user's place, which tests move elsewhere with
// QSettings::setPath.
std::unique_ptr<QSettings> programSettings();
