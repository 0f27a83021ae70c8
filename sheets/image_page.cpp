#include "sheets/image_page.h"

#include "common/host_path.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cstdio>

CImagePage::CImagePage(PictureFacts facts, std::string names, QWidget *parent)
    : CPropPage(QStringLiteral("112"), QStringLiteral("Image"), parent),
      picture(std::move(facts)),
      formatNames(std::move(names))
{
    QFormLayout *image = addGroup(QStringLiteral("Image information"));
    type = addValue(image, QStringLiteral("Type:"), "1010");
    colours = addValue(image, QStringLiteral("Colors:"), "1011");
    dimension = addValue(image, QStringLiteral("Dimension:"), "1013");
    QFormLayout *file = addGroup(QStringLiteral("File information"));
    fileName = addField(file, QStringLiteral("Filename:"), "1016");
    date = addValue(file, QStringLiteral("Date:"), "1017");
    size = addValue(file, QStringLiteral("Size:"), "1018");
}

void CImagePage::fill()
{
    setText(type, TypeText(picture.format, formatNames));
    setText(colours, picture.colours);
    char text[48];
    std::snprintf(text, sizeof text, "%lu x %lu",
                  static_cast<unsigned long>(std::max(picture.width, 0)),
                  static_cast<unsigned long>(std::max(picture.height, 0)));
    setText(dimension, text);
    fileName->setText(QString::fromStdString(ShownName(picture.fileName)));
    setText(date, DateText(picture.lastWriteTime));
    setText(size, ByteSizeText(picture.fileSize));
}
