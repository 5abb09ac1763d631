#pragma once

#include "bill.h"

#include <QStringList>

// What the CSV, the workbook and the printout add for a bill of quantities: the entry's section
// and its references, only in a bill that has them, so that a bill without them is written as
// it always was.
namespace vortexts {

// More than the one section of a new bill, or that one renamed.
bool showsSections(const bom::Bill &bill);
bool showsLinks(const bom::Bill &bill);

QString sectionHeading(); // «Раздел»
QString linksHeading();   // «Основание»
QString sectionText(const bom::Bill &bill, const bom::Entry &entry);

} // namespace vortexts
