#include "capture/capture_file_format_dialog.h"

#include "app/dialog_controls.h"
#include "common/alb_exception.h"
#include "common/error_report.h"
#include "common/path_names.h"
#include "common/string_ids.h"
#include "common/string_table.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>
#include <utility>

namespace {

constexpr std::uint32_t kDialogId = 105;
constexpr int kMaxPrefixChars = 50;
// List entry i holds format kEntryFormats[i]: BMP, GIF, JPEG from the string table, then PNG.
constexpr std::array<std::int32_t, 4> kEntryFormats = { 0, 2, 1, 3 };
constexpr int kTableEntries = 3;

QStringList formatEntries()
{
    std::string list;
    LoadString(Msg::CaptureFormatList, list);
    QStringList entries = QString::fromStdString(list).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    while (entries.size() < kTableEntries)
        entries.append(QString());
    entries = entries.mid(0, kTableEntries);
    entries.append(QStringLiteral("PNG files (*.png)"));
    return entries;
}

} // namespace

std::int32_t CaptureFormatOfEntry(int entry)
{
    if (entry < 0 || entry >= static_cast<int>(kEntryFormats.size()))
        return kEntryFormats[0];
    return kEntryFormats[static_cast<std::size_t>(entry)];
}

int CaptureEntryOfFormat(std::int32_t format)
{
    for (std::size_t i = 0; i < kEntryFormats.size(); ++i) {
        if (kEntryFormats[i] == format)
            return static_cast<int>(i);
    }
    return 0;
}

CaptureFileFormatDialog::CaptureFileFormatDialog(std::string captureFolder,
                                                 const std::string &prefix, std::int32_t format,
                                                 CaptureNamer namer, QWidget *parent)
    : QDialog(parent),
      folder(std::move(captureFolder)),
      nextName(std::move(namer)),
      chosenPrefix(prefix),
      chosenFormat(format)
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Capture File Format"));
    buildControls();
    formatList->setCurrentIndex(CaptureEntryOfFormat(format));
    prefixField->setText(QString::fromStdString(prefix));
    prefixField->selectAll();
    prefixField->setFocus();
    choicesChanged();
    connect(prefixField, &QLineEdit::textChanged, this, &CaptureFileFormatDialog::choicesChanged);
    connect(formatList, &QComboBox::currentIndexChanged, this,
            &CaptureFileFormatDialog::choicesChanged);
}

void CaptureFileFormatDialog::buildControls()
{
    auto *intro = new QLabel(
            QStringLiteral("Enter a filename prefix for naming the captured files. "), this);
    intro->setWordWrap(true);
    sample = NamedControl(new QLineEdit(this), "2001", QStringLiteral("Sample:"));
    sample->setReadOnly(true);
    prefixField = NamedControl(new QLineEdit(this), "1016", QStringLiteral("Prefix:"));
    prefixField->setMaxLength(kMaxPrefixChars);
    formatList = NamedControl(new QComboBox(this), "1027",
                              QStringLiteral("Select the capture file format:"));
    formatList->addItems(formatEntries());

    QDialogButtonBox *buttons = AddOkCancelHelp(*this, kDialogId);

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Sample:"), this), 0, 0);
    grid->addWidget(sample, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Prefix:"), this), 1, 0);
    grid->addWidget(prefixField, 1, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(grid);
    // The list's accessible name on this desktop is its entry: its label is its buddy.
    auto *formatLabel = new QLabel(QStringLiteral("Select the capture file format:"), this);
    formatLabel->setBuddy(formatList);
    layout->addWidget(formatLabel);
    layout->addWidget(formatList);
    layout->addWidget(buttons);
}

void CaptureFileFormatDialog::choicesChanged()
{
    chosenPrefix = prefixField->text().trimmed().toStdString();
    chosenFormat = CaptureFormatOfEntry(formatList->currentIndex());
    if (nextName)
        sample->setText(QString::fromStdString(nextName(folder, chosenPrefix, chosenFormat)));
}

void CaptureFileFormatDialog::accept()
{
    choicesChanged();
    if (!chosenPrefix.empty()) {
        CAlbException failure;
        if (!CheckFileName(chosenPrefix, folder, std::nullopt, &failure)) {
            ShowErrorMessage(this, 0, 0, MessageBoxType::IconWarning, 0, 0, 0, &failure);
            return;
        }
    }
    QDialog::accept();
}
