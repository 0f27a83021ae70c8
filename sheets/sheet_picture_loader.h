#pragma once

#include "sheets/save_routine.h"

class CAlbDoc;

// The loader the sheet's preview and save use: the image view's, which decodes the item's frames
// at the percentage (freeing other pictures when memory runs short) into the one picture the
// item keeps for every window, and takes that picture when it is fine enough. Below full size it
// tries ever smaller scales while decoding fails; at full size, which a save needs, it does not.
// decoder reads the file (tests count and fail decodings).
ItemPictureLoader SheetPictureLoader(const CAlbDoc &doc,
                                     FramesDecoder decoder = DefaultFramesDecoder());
