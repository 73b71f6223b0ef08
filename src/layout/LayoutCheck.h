// What a layout that loads may still get wrong on paper: forms whose elements, grid points or the
// blocks their grid points accept reach outside the page, and forms whose content covers only a
// small corner of the page (a print size written in other units than the elements, since scale
// multiplies the elements' lengths but not the print width and height).
//
// The page is the paper: the print width and height in the layout's unit, as printing takes them.
#pragma once

#include <string>
#include <vector>

class MLayout;

// One line per finding, in form order (Shift-JIS, as the names in them); empty when all is well.
std::vector<std::string> LayoutWarnings(const MLayout& layout);
