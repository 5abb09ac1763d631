#include "pagefactory.h"

#include "masonrypage.h"

namespace pages {

CalculatorPages createCalculatorPages(Journal &journal, const Catalogue &catalogue)
{
    CalculatorPages pages;
    pages.masonry = new MasonryPage(journal, catalogue);
    pages.byId.insert(PageId::Masonry, pages.masonry);
    const struct
    {
        PageId id;
        const char *name;
    } others[] = {{PageId::Foundation, "TabSheet2"}, {PageId::Grass, "TabSheet4"},
                  {PageId::Painting, "TabSheet5"},   {PageId::Underlay, "TabSheet7"},
                  {PageId::Tiles, "TabSheet9"},      {PageId::Gates, "TabSheet10"}};
    for (const auto &other : others) {
        auto *page = new CalculatorPage(QString::fromLatin1(other.name), journal);
        pages.byId.insert(other.id, page);
    }
    return pages;
}

} // namespace pages
