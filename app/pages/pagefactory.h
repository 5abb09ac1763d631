#pragma once

#include "shell/catalogue.h"

#include <QHash>

class Journal;
class MasonryPage;
class QWidget;

namespace pages {

struct CalculatorPages
{
    QHash<PageId, QWidget *> byId;
    MasonryPage *masonry;
};

CalculatorPages createCalculatorPages(Journal &journal, const Catalogue &catalogue);

} // namespace pages
