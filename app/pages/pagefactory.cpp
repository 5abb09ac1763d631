#include "pagefactory.h"

#include "foundationpage.h"
#include "gatespage.h"
#include "grasspage.h"
#include "masonrypage.h"
#include "paintingpage.h"
#include "tilespage.h"
#include "underlaypage.h"

namespace pages {

CalculatorPages createCalculatorPages(Journal &journal, QWidget *pageSet, NormBase *normBase)
{
    CalculatorPages pages;
    pages.masonry = new MasonryPage(journal, pageSet);
    pages.byId = {
        {PageId::Masonry, pages.masonry},
        {PageId::Foundation, new FoundationPage(journal, normBase, pageSet)},
        {PageId::Grass, new GrassPage(journal, normBase, pageSet)},
        {PageId::Painting, new PaintingPage(journal, pageSet)},
        {PageId::Underlay, new UnderlayPage(journal, pageSet)},
        {PageId::Tiles, new TilesPage(journal, pageSet)},
        {PageId::Gates, new GatesPage(journal, pageSet)},
    };
    return pages;
}

} // namespace pages
