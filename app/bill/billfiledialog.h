#pragma once

#include "billfiles.h"

// The file dialog for each of the bill's file choices: its title, its filter and, for a file to
// write, the name proposed with its suffix. Empty when the user cancelled.
namespace billfiledialog {

QString suffixOf(BillFiles::FileChoice choice);

QString choose(QWidget *parent, BillFiles::FileChoice choice, const QString &name);

} // namespace billfiledialog
