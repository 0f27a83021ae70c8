#include "platform/clipboard_offer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

void OfferPictureToClipboard(const QByteArray &png)
{
    auto *data = new QMimeData;
    data->setImageData(QImage::fromData(png, "PNG"));
    data->setData(QStringLiteral("image/png"), png);
    // The clipboard owns the data from here on.
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

bool HoldsClipboard()
{
    return QGuiApplication::clipboard()->ownsClipboard();
}
