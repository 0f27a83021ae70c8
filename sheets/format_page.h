#pragma once

#include "operations/save_picture.h"
#include "sheets/sheet_parts.h"

#include <QWidget>

#include <array>

class CSaveSheet;
class QComboBox;
class QLabel;
class QRadioButton;

// The Format page: the file format with its quality or colours, and the resolution in dpi.
// Its choices are the options every save of the sheet uses; stepping to another picture keeps
// them.
class CFormatPage : public QWidget
{
    Q_OBJECT

public:
    CFormatPage(CSaveSheet &sheet, QImage noPicture, QWidget *parent = nullptr);

    const StepButtons &buttons() const { return steps; }

    const SaveOptions &options() const { return saveOptions; }

    // Fills the lists and checks the format of options (the first picture's).
    void initOptions(const SaveOptions &options);
    void setItem(ImageItem *item);
    // The page is shown: the options follow the controls.
    void activate();
    // Follows the chosen format and list entries into the options and the enabling.
    void formatChanged();
    // The resolution list lost the focus: its text is taken, or refused with a warning.
    bool takeResolution(bool horizontal);
    void showFacts();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QComboBox *list(int id, std::uint32_t stringId, const QString &name);
    QComboBox *resolutionList(int id, const QString &name);
    void fillResolution(QComboBox *list, std::int32_t value);

    CSaveSheet &sheet;
    SaveOptions saveOptions;
    ItemPreview *thumb = nullptr;
    PictureFactLabels facts;
    QRadioButton *jpegButton = nullptr;
    QRadioButton *gifButton = nullptr;
    QRadioButton *bmpButton = nullptr;
    QRadioButton *pngButton = nullptr;
    QLabel *qualityLabel = nullptr;
    QComboBox *qualityList = nullptr;
    QComboBox *gifList = nullptr;
    QComboBox *bmpList = nullptr;
    QComboBox *xList = nullptr;
    QComboBox *yList = nullptr;
    std::array<QWidget *, 5> resolutionControls{};
    StepButtons steps;
    // While the controls are filled, their changes are no choices of the user's.
    bool filling = true;
};
