#pragma once

#include "sheets/info_texts.h"
#include "sheets/prop_page.h"

class QComboBox;
class QGroupBox;
class QLabel;
struct AppSettings;

// Page 113, "Size": the picture's pixels, its resolution and the size it prints at, in
// centimetres or inches. The unit chosen is kept in the settings' sizeUnit when the sheet ends
// with OK.
class COutputPage : public CPropPage
{
    Q_OBJECT

public:
    COutputPage(PictureFacts picture, AppSettings &settings, QWidget *parent = nullptr);

    void onOk() override;

protected:
    void fill() override;

private:
    void showUnit(int unit);

    PictureFacts picture;
    AppSettings &settings;
    QLabel *pixelWidth = nullptr;
    QLabel *pixelHeight = nullptr;
    QGroupBox *resolutionGroup = nullptr;
    QLabel *horizontal = nullptr;
    QLabel *vertical = nullptr;
    QGroupBox *outputGroup = nullptr;
    QLabel *width = nullptr;
    QLabel *height = nullptr;
    QComboBox *unitList = nullptr;
};

// The settings' sizeUnit: 0 centimetres, 1 inches.
int SizeUnit(const AppSettings &settings);
void SetSizeUnit(AppSettings &settings, int unit);
