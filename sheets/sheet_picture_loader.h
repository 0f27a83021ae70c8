#pragma once

#include "sheets/save_routine.h"

class CAlbDoc;

// The loader the sheet's preview and save use: the image view's, which decodes the item's frames
// at the percentage (freeing other pictures when memory runs short). Below full size it tries
// ever smaller scales while decoding fails; at full size, which a save needs, it does not.
ItemPictureLoader SheetPictureLoader(const CAlbDoc &doc);
