#pragma once

#include "common/pageid.h"

#include <QHash>

class Journal;
class MasonryPage;
class NormBase;
class QWidget;

namespace pages {

struct CalculatorPages
{
    QHash<PageId, QWidget *> byId;
    MasonryPage *masonry;
};

// The pages are made inside the page set, so that the tab orders they set are the window's. The
// pages without published rates for some rows take them from norms of the base, if there is one.
CalculatorPages createCalculatorPages(Journal &journal, QWidget *pageSet, NormBase *normBase);

} // namespace pages
