#pragma once

#include "sheets/save_routine.h"

class CAlbDoc;

// The decode percentage for a preview at zoom: the smallest of 13, 25, 50 and 100 whose picture
// is not visibly coarser than the zoom shows it.
std::int32_t SheetDecodePercent(std::int32_t zoom);

// The loader the sheet's preview and save use: decodes every frame of the item's file in the
// document's folder at the percentage, keeping what the item holds when it already has frames at
// least that fine. A shortage of memory frees the decoded pictures of other items and tries
// again. (Meant to become the image view's own loader once both live in one place.)
ItemPictureLoader SheetPictureLoader(const CAlbDoc &doc);
