#pragma once

// The pages of the window, named where the catalogue, the page set and the pages meet.
enum class PageId
{
    Home,
    Overview,
    Masonry,
    Foundation,
    Gates,
    Painting,
    Underlay,
    Tiles,
    Grass
};
