#pragma once

#include "capture/capture_namer.h"

#include <QDialog>

#include <cstdint>
#include <string>

class QComboBox;
class QLineEdit;

// The capture file formats in the order of the dialog's list ("Bitmap files", "GIF files",
// "JPEG files", "PNG files"): list entry i is format CaptureFormatOfEntry(i).
std::int32_t CaptureFormatOfEntry(int entry);
// The list entry of a format; the first entry for a value that is no format.
int CaptureEntryOfFormat(std::int32_t format);

// Dialog 105, "Capture File Format": the file-name prefix (at most 50 characters) and the file
// format of captures, with a sample of the name the next capture would get. OK refuses a prefix
// that is not a valid file name and stays open; an empty prefix closes the dialog (the caller
// ignores it).
class CaptureFileFormatDialog : public QDialog
{
    Q_OBJECT

public:
    // folder is where captures go: the sample is counted there and the prefix checked for it.
    CaptureFileFormatDialog(std::string folder, const std::string &prefix, std::int32_t format,
                            CaptureNamer namer, QWidget *parent = nullptr);

    // The prefix without leading and trailing blanks, and the chosen format.
    const std::string &prefix() const { return chosenPrefix; }

    std::int32_t format() const { return chosenFormat; }

    void accept() override;

private:
    void buildControls();
    void choicesChanged();

    std::string folder;
    CaptureNamer nextName;
    std::string chosenPrefix;
    std::int32_t chosenFormat;
    QLineEdit *sample = nullptr;
    QLineEdit *prefixField = nullptr;
    QComboBox *formatList = nullptr;
};
