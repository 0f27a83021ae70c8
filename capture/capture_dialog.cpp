#include "capture/capture_dialog.h"

#include "app/app_settings.h"
#include "app/dialog_controls.h"
#include "capture/capture_settings.h"
#include "common/error_report.h"
#include "common/message_format.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "platform/display_path.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr std::uint32_t kDialogId = 107;
// Locations of the dialog's reports: module 36003, place 600, step.
constexpr std::uint32_t kModule = 36003;
constexpr std::uint32_t kPlace = 600;
constexpr std::uint32_t kStepNoFrame = 5;
constexpr std::uint32_t kStepDisengage = 10;
constexpr std::uint32_t kStepRegister = 30;
const char *const kSeparator = "-----------------";
// The capture area list, in the order of the area values.
const char *const kAreaNames[] = { "Whole screen", "Monitor under the pointer", "Active window",
                                   "Region" };

QString entryText(std::uint32_t id, int value)
{
    std::string format;
    LoadString(id, format);
    return QString::fromStdString(FormatMessage(format, { static_cast<long long>(value) }));
}

} // namespace

const std::vector<int> &CaptureResolutions()
{
    static const std::vector<int> dpi = { 60,  72,  75,  80,  90,  96,  100,
                                          110, 120, 125, 150, 200, 250, 300 };
    return dpi;
}

const std::vector<int> &CaptureDelays()
{
    static const std::vector<int> seconds = { 10, 15, 20, 25, 30, 40, 50, 60 };
    return seconds;
}

CaptureDialog::CaptureDialog(AppSettings &appSettings, SettingsStore &settingsStore,
                             std::vector<std::string> buttons, CaptureSettingsHost dialogHost,
                             QWidget *parent)
    : QDialog(parent),
      settings(appSettings),
      store(settingsStore),
      buttonNames(std::move(buttons)),
      host(std::move(dialogHost))
{
    setObjectName(QString::number(kDialogId));
    setWindowTitle(QStringLiteral("Capture"));
    buildControls();
    loadSettings();
    updateEnabling();
}

void CaptureDialog::buildControls()
{
    enableBox = NamedControl(new QCheckBox(QStringLiteral("Enable Screen Capture"), this), "1021",
                             QStringLiteral("Enable Screen Capture"));
    triggerLabel = new QLabel(QStringLiteral("Perform capture using:"), this);
    triggerList = NamedControl(new QComboBox(this), "1015", triggerLabel->text());
    resolutionLabel = NamedControl(new QLabel(QStringLiteral("File resolution:"), this), "1024",
                                   QStringLiteral("File resolution:"));
    resolutionList = NamedControl(new QComboBox(this), "1025", resolutionLabel->text());
    confirmBox = NamedControl(new QCheckBox(QStringLiteral("Confirm before file saving"), this),
                              "1023", QStringLiteral("Confirm before file saving"));
    soundBox = NamedControl(new QCheckBox(QStringLiteral("Enable capture sound"), this), "1026",
                            QStringLiteral("Enable capture sound"));
    // A list's accessible name on this desktop is its entry: the label that names it is its buddy.
    triggerLabel->setBuddy(triggerList);
    resolutionLabel->setBuddy(resolutionList);
    // Checked or cleared in any way (a click, the keys, a screen reader's toggle).
    connect(enableBox, &QCheckBox::toggled, this, &CaptureDialog::updateEnabling);

    QDialogButtonBox *buttons = AddOkCancelHelp(*this, kDialogId);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(enableBox);
    layout->addWidget(triggerLabel);
    layout->addWidget(triggerList);
    auto *resolutionRow = new QHBoxLayout;
    resolutionRow->addWidget(resolutionLabel);
    resolutionRow->addWidget(resolutionList, 1);
    layout->addLayout(resolutionRow);
    layout->addWidget(confirmBox);
    layout->addWidget(soundBox);
    layout->addWidget(buildFolderGroup());
    layout->addLayout(buildAreaControls());
    layout->addWidget(buttons);
}

QLayout *CaptureDialog::buildAreaControls()
{
    areaLabel = new QLabel(QStringLiteral("Capture area:"), this);
    areaList = NamedControl(new QComboBox(this), "1040", areaLabel->text());
    for (const char *name : kAreaNames)
        areaList->addItem(QString::fromLatin1(name));
    areaLabel->setBuddy(areaList);
    clipboardBox = NamedControl(new QCheckBox(QStringLiteral("Copy to the clipboard"), this),
                                "1041", QStringLiteral("Copy to the clipboard"));
    noticeBox = NamedControl(new QCheckBox(QStringLiteral("Show a notice after capture"), this),
                             "1042", QStringLiteral("Show a notice after capture"));
    auto *column = new QVBoxLayout;
    auto *areaRow = new QHBoxLayout;
    areaRow->addWidget(areaLabel);
    areaRow->addWidget(areaList, 1);
    column->addLayout(areaRow);
    column->addWidget(clipboardBox);
    column->addWidget(noticeBox);
    return column;
}

QWidget *CaptureDialog::buildFolderGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Set folder and filename"), this);
    folderField = NamedControl(new QLineEdit(group), "1013", QStringLiteral("Folder:"));
    folderField->setReadOnly(true);
    nameField = NamedControl(new QLineEdit(group), "1016", QStringLiteral("Filename:"));
    nameField->setReadOnly(true);
    auto *changeFolderButton = NamedControl(new QPushButton(QStringLiteral("Change..."), group),
                                            "1011", QStringLiteral("Change folder"));
    auto *changeNameButton = NamedControl(new QPushButton(QStringLiteral("Change..."), group),
                                          "1012", QStringLiteral("Change filename"));
    changeFolderButton->setAutoDefault(false);
    changeNameButton->setAutoDefault(false);
    connect(changeFolderButton, &QPushButton::clicked, this, [this] {
        changeFolder();
        updateEnabling();
    });
    connect(changeNameButton, &QPushButton::clicked, this, [this] {
        changeFileName();
        updateEnabling();
    });
    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Folder:"), group), 0, 0);
    grid->addWidget(changeFolderButton, 0, 1);
    grid->addWidget(folderField, 1, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Filename:"), group), 2, 0);
    grid->addWidget(changeNameButton, 2, 1);
    grid->addWidget(nameField, 3, 0, 1, 2);
    return group;
}

void CaptureDialog::loadSettings()
{
    const std::vector<int> &dpi = CaptureResolutions();
    for (int value : dpi)
        resolutionList->addItem(entryText(Msg::DpiEntry, value));
    resolutionList->setCurrentIndex(-1);
    for (std::size_t i = 0; i < dpi.size(); ++i) {
        if (dpi[i] == settings.ui.resolutionDpi)
            resolutionList->setCurrentIndex(static_cast<int>(i));
    }
    enableBox->setChecked(CaptureSettings::enabled(settings));
    confirmBox->setChecked(CaptureSettings::confirmBeforeSave(settings));
    soundBox->setChecked(CaptureSettings::sound(settings));
    areaList->setCurrentIndex(static_cast<int>(CaptureSettings::area(settings)));
    clipboardBox->setChecked(CaptureSettings::copyToClipboard(settings));
    noticeBox->setChecked(CaptureSettings::notice(settings));

    for (const std::string &name : buttonNames)
        triggerList->addItem(QString::fromStdString(name));
    triggerList->addItem(QString::fromLatin1(kSeparator));
    for (int seconds : CaptureDelays())
        triggerList->addItem(entryText(Msg::DelayEntry, seconds));
    const int entry = CaptureSettings::trigger(settings) - 1;
    triggerList->setCurrentIndex(entry >= 0 && entry < triggerList->count() ? entry : 0);

    folder = settings.snapPath.empty() ? settings.currentFolder : settings.snapPath;
    prefix = settings.snapName;
    showFolder();
    showFileName();
}

void CaptureDialog::updateEnabling()
{
    const bool on = enableBox->isChecked();
    for (QWidget *control :
         { static_cast<QWidget *>(triggerLabel), static_cast<QWidget *>(triggerList),
           static_cast<QWidget *>(confirmBox), static_cast<QWidget *>(soundBox),
           static_cast<QWidget *>(areaLabel), static_cast<QWidget *>(areaList),
           static_cast<QWidget *>(clipboardBox), static_cast<QWidget *>(noticeBox) })
        control->setEnabled(on);
    const bool resolutionApplies =
            on && CaptureSettings::fileFormat(settings) != CaptureSettings::kGifFormat;
    resolutionLabel->setEnabled(resolutionApplies);
    resolutionList->setEnabled(resolutionApplies);
}

void CaptureDialog::showFolder()
{
    // The one place the dialog shows the capture folder's path to the user. The field is
    // read-only: the device path itself stays in folder and is what OK stores.
    folderField->setText(DisplayPathText(folder));
}

void CaptureDialog::showFileName()
{
    const std::string name = host.nextName
            ? host.nextName(folder, prefix, CaptureSettings::fileFormat(settings))
            : std::string();
    nameField->setText(QString::fromStdString(name));
}

void CaptureDialog::changeFolder()
{
    if (!host.chooseFolder)
        return;
    std::string prompt;
    LoadString(Msg::SelectSnapFolder, prompt);
    std::optional<std::string> chosen = host.chooseFolder(this, folder, prompt);
    if (!chosen || chosen->empty() || *chosen == folder)
        return;
    folder = *chosen;
    showFolder();
    showFileName();
}

void CaptureDialog::changeFileName()
{
    if (!host.chooseFormat)
        return;
    const CaptureFormatChoice current{ prefix, CaptureSettings::fileFormat(settings) };
    std::optional<CaptureFormatChoice> choice = host.chooseFormat(this, folder, current);
    if (!choice)
        return;
    if (!choice->prefix.empty() && choice->prefix != prefix)
        prefix = choice->prefix;
    // The format is the settings' own at once: it stays even when this dialog is cancelled.
    CaptureSettings::setFileFormat(settings, choice->format);
    showFileName();
}

void CaptureDialog::applyButton(int entry)
{
    // The new button is claimed before the old one is let go (the button's own rule), rather
    // than releasing first: a refused change then keeps the button held before, never two and
    // never none, and the dialog shows that button. Without one, capture is off and the check
    // box says so.
    const int previous = CaptureSettings::trigger(settings);
    CaptureButtonControl *button = host.button;
    if (button && button->registerButton(entry + 1))
        return;
    ShowErrorMessage(this, Msg::UnableToRegisterButton, 0, MessageBoxType::IconWarning, kModule,
                     kPlace, kStepRegister, nullptr);
    if (button && CaptureSettings::enabled(settings) && previous >= 1
        && previous <= static_cast<int>(buttonNames.size())
        && button->registeredButton() == previous) {
        triggerList->setCurrentIndex(previous - 1);
        return;
    }
    enableBox->setChecked(false);
}

void CaptureDialog::accept()
{
    if (!host.frame) {
        ShowErrorMessage(this, Msg::NotEnoughMemory, 0, MessageBoxType::IconWarning, kModule,
                         kPlace, kStepNoFrame, nullptr);
        return;
    }
    const int entry = triggerList->currentIndex();
    const int buttons = static_cast<int>(buttonNames.size());
    std::optional<int> delay;
    if (entry < buttons && enableBox->isChecked()) {
        applyButton(std::max(entry, 0));
    } else if (entry > buttons) {
        delay = CaptureDelays().at(static_cast<std::size_t>(entry - buttons - 1));
    } else if (entry == buttons) {
        enableBox->setChecked(false);
        triggerList->setCurrentIndex(0);
    }
    // Capture switched off gives the button back whichever entry is chosen: a grab left behind
    // would go on capturing with capture off.
    if (!enableBox->isChecked() && CaptureSettings::enabled(settings)
        && !(host.button && host.button->unregisterButton())) {
        ShowErrorMessage(this, Msg::UnableToDisengageButton, 0, MessageBoxType::IconWarning,
                         kModule, kPlace, kStepDisengage, nullptr);
        enableBox->setChecked(true);
    }
    updateEnabling();
    applySettings(delay);
    storeSettings();
    QDialog::accept();
}

void CaptureDialog::applySettings(std::optional<int> delaySeconds)
{
    CaptureSettings::setBit(settings, CaptureFlag::CaptureEnabled, enableBox->isChecked());
    CaptureSettings::setBit(settings, CaptureFlag::ConfirmBeforeSave, confirmBox->isChecked());
    CaptureSettings::setBit(settings, CaptureFlag::CaptureSound, soundBox->isChecked());
    CaptureSettings::setTrigger(settings, std::max(triggerList->currentIndex(), 0) + 1);
    CaptureSettings::setArea(settings,
                             static_cast<CaptureArea>(std::max(areaList->currentIndex(), 0)));
    CaptureSettings::setOption(settings, CaptureOption::Clipboard, clipboardBox->isChecked());
    CaptureSettings::setOption(settings, CaptureOption::Notice, noticeBox->isChecked());
    settings.snapPath = folder;
    settings.snapName = prefix;
    if (delaySeconds && host.startDelay)
        host.startDelay(*delaySeconds * 1000);
    const int resolution = resolutionList->currentIndex();
    if (resolution >= 0)
        settings.ui.resolutionDpi = CaptureResolutions().at(static_cast<std::size_t>(resolution));
}

void CaptureDialog::storeSettings()
{
    try {
        WriteUiInfo(store, settings.ui);
        WriteCaptureOptions(store, settings.capture);
        WriteStringSetting(store, "Snap Path", settings.snapPath);
        WriteStringSetting(store, "Snap Name", settings.snapName);
    } catch (const CAlbExceptionBase &failure) {
        // The choices are in force for this run; only storing them failed.
        ShowErrorMessage(this, 0, 0, MessageBoxType::IconWarning, 0, 0, 0, &failure);
    }
}
