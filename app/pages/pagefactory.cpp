#include "pagefactory.h"

#include "foundationpage.h"
#include "gatespage.h"
#include "grasspage.h"
#include "masonrypage.h"
#include "paintingpage.h"
#include "tilespage.h"
#include "underlaypage.h"

namespace pages {

CalculatorPages createCalculatorPages(Journal &journal, const Catalogue &catalogue)
{
    CalculatorPages pages;
    pages.masonry = new MasonryPage(journal, catalogue);
    pages.byId = {
        {PageId::Masonry, pages.masonry},
        {PageId::Foundation, new FoundationPage(journal)},
        {PageId::Grass, new GrassPage(journal)},
        {PageId::Painting, new PaintingPage(journal)},
        {PageId::Underlay, new UnderlayPage(journal)},
        {PageId::Tiles, new TilesPage(journal)},
        {PageId::Gates, new GatesPage(journal)},
    };
    return pages;
}

} // namespace pages
