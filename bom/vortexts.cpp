#include "vortexts.h"

namespace vortexts {

bool showsSections(const bom::Bill &bill)
{
    return bill.sections.size() > 1 ||
           (bill.sections.size() == 1 && bill.sections.first().name != bom::firstSectionName());
}

bool showsLinks(const bom::Bill &bill)
{
    for (const bom::Entry &entry : bill.entries) {
        if (!entry.links.isEmpty())
            return true;
    }
    return false;
}

QString sectionHeading()
{
    return QStringLiteral("Раздел");
}

QString linksHeading()
{
    return QStringLiteral("Основание");
}

QString sectionText(const bom::Bill &bill, const bom::Entry &entry)
{
    return bill.sections.value(entry.section).name;
}

} // namespace vortexts
