#pragma once

#include <QByteArray>

// Puts a PNG picture on the desktop's clipboard: as image/png exactly as given, and as the image
// itself, which Qt offers in its other forms too (programs that paste pixels ask for those). The
// program holds the clipboard until another one takes it; on X11 the program must keep running
// for the picture to stay pasteable. Needs a QGuiApplication.
void OfferPictureToClipboard(const QByteArray &png);

// Whether this program still holds the clipboard.
bool HoldsClipboard();
