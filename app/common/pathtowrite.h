#pragma once

#include <QString>

class QWidget;

// The file a chosen name is written to, with its suffix. A dialog asks before it returns an
// existing file; where the suffix is added here (a dialog of the system may not add it), the
// question is asked here, for the file that will be written. Empty when the user does not want
// it replaced, or chose nothing.
QString pathToWrite(const QString &chosen, const QString &suffix, QWidget *parent);
