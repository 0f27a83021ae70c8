#pragma once

#include "platform/delete_file_force.h"

class CAlbDoc;

// Delete (30003): asks about each selected picture in album order (Yes, Yes to All when more
// than one is selected, No, Cancel) and deletes it from the folder on show; the list follows
// every deleted file at once. Afterwards the picture now at the place of the first selected one
// is selected (else the last picture) and the views are brought up to date. Failures are
// reported; nothing already deleted comes back.
void DeletePictures(CAlbDoc &doc, DeleteTarget target);
