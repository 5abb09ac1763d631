#pragma once

#include "common/pageid.h"

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

// The pages are made inside the page set, so that the tab orders they set are the window's.
CalculatorPages createCalculatorPages(Journal &journal, QWidget *pageSet);

} // namespace pages
