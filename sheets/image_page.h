#pragma once

#include "sheets/info_texts.h"
#include "sheets/prop_page.h"

#include <string>

class QLabel;
class QLineEdit;

// Page 112, "Image": type, colours and dimensions of a picture, and its file's name, date and size.
class CImagePage : public CPropPage
{
    Q_OBJECT

public:
    // formatNames is the "BMP|GIF|JPEG" list the type is chosen from.
    CImagePage(PictureFacts picture, std::string formatNames, QWidget *parent = nullptr);

protected:
    void fill() override;

private:
    PictureFacts picture;
    std::string formatNames;
    QLabel *type = nullptr;
    QLabel *colours = nullptr;
    QLabel *dimension = nullptr;
    QLineEdit *fileName = nullptr;
    QLabel *date = nullptr;
    QLabel *size = nullptr;
};
