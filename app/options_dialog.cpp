#include "app/options_dialog.h"

#include "app/app_settings.h"
#include "app/cell_sizes.h"
#include "app/dialog_controls.h"
#include "app/settings_writes.h"
#include "common/error_report.h"
#include "common/host_path.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "platform/display_path.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr std::uint32_t kHelpContext = 116;
constexpr int kColorModes = 5;

QString tableText(std::uint32_t id)
{
    std::string text;
    LoadString(id, text);
    return QString::fromStdString(text);
}

QRadioButton *radio(const char *id, const char *text, QWidget *parent)
{
    auto *button = new QRadioButton(QString::fromUtf8(text), parent);
    button->setObjectName(QString::fromUtf8(id));
    return button;
}

QWidget *radioPair(QRadioButton *first, QRadioButton *second, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(first);
    layout->addWidget(second);
    // Each pair is its own group: exclusivity is per parent widget otherwise.
    auto *group = new QButtonGroup(row);
    group->addButton(first);
    group->addButton(second);
    return row;
}

} // namespace

OptionsDialog::OptionsDialog(AppSettings &appSettings, SettingsStore &settingsStore,
                             QWidget *parent)
    : QDialog(parent),
      settings(appSettings),
      store(settingsStore),
      folderChooser(ChooseFolderWithFileDialog)
{
    setObjectName(QStringLiteral("116"));
    setWindowTitle(QStringLiteral("Options"));
    buildControls();
    loadSettings();
}

void OptionsDialog::buildControls()
{
    colorList = new QComboBox(this);
    colorList->setObjectName(QStringLiteral("1059"));
    colorList->addItems(tableText(Msg::ColorOptimizationList).split(QLatin1Char('|')));
    leftButton = radio("1028", "Left", this);
    rightButton = radio("1029", "Right", this);
    smallButton = radio("1030", "Small", this);
    largeButton = radio("1031", "Large", this);
    sharedCacheBox = new QCheckBox(QStringLiteral("Use the desktop's thumbnail cache"), this);
    sharedCacheBox->setObjectName(QStringLiteral("sharedThumbnails"));
    homeField = new QLineEdit(this);
    homeField->setObjectName(QStringLiteral("1076"));
    homeField->setAccessibleName(QStringLiteral("Home:"));
    homeField->setReadOnly(true);
    auto *change = new QPushButton(QStringLiteral("Change..."), this);
    change->setObjectName(QStringLiteral("1078"));
    connect(change, &QPushButton::clicked, this, &OptionsDialog::changeHome);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Color optimization:"), colorList);
    form->addRow(QStringLiteral("Auto rotate:"), radioPair(leftButton, rightButton, this));
    form->addRow(QStringLiteral("Thumbnail size:"), radioPair(smallButton, largeButton, this));
    form->addRow(QString(), sharedCacheBox);
    auto *homeRow = new QHBoxLayout;
    homeRow->addWidget(homeField, 1);
    homeRow->addWidget(change);
    form->addRow(QStringLiteral("Home:"), homeRow);

    QDialogButtonBox *buttons = AddOkCancelHelp(*this, kHelpContext);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void OptionsDialog::loadSettings()
{
    colorList->setCurrentIndex(std::min(settings.colorOptimization(), kColorModes - 1));
    (settings.rotateLeft() ? leftButton : rightButton)->setChecked(true);
    loadedSmall = settings.prefs.cellWidth == kSmallCell.width;
    (loadedSmall ? smallButton : largeButton)->setChecked(true);
    sharedCacheBox->setChecked(settings.sharedThumbnails());
    homeField->setText(DisplayPathText(settings.homeFolder));
}

void OptionsDialog::changeHome()
{
    std::string prompt;
    LoadString(Msg::SelectHomeFolder, prompt);
    std::optional<std::string> chosen =
            folderChooser ? folderChooser(this, settings.homeFolder, prompt) : std::nullopt;
    if (!chosen)
        return;
    settings.homeFolder = *chosen;
    homeField->setText(DisplayPathText(settings.homeFolder));
}

// The larger sizes of Ctrl+wheel show as Large; they stay unless Small or Large is chosen.
void OptionsDialog::applyThumbnailSize(bool small)
{
    if (small == loadedSmall)
        return;
    if (SetCellSize(settings, small ? kSmallCell : kLargeCell))
        sizeChanged = true;
}

void OptionsDialog::accept()
{
    PreferencesBlock &prefs = settings.prefs;
    if (leftButton->isChecked())
        prefs.prefFlags |= PrefFlag::RotateLeft;
    else
        prefs.prefFlags &= ~PrefFlag::RotateLeft;
    if (sharedCacheBox->isChecked())
        prefs.prefFlags &= ~PrefFlag::NoSharedThumbnails;
    else
        prefs.prefFlags |= PrefFlag::NoSharedThumbnails;
    applyThumbnailSize(smallButton->isChecked());
    auto mode = static_cast<std::uint32_t>(std::max(colorList->currentIndex(), 0));
    prefs.prefFlags = (prefs.prefFlags & ~(7u << PrefFlag::ColorOptimizationShift))
            | (mode << PrefFlag::ColorOptimizationShift);
    // The choices stay in force for this run even when storing them fails.
    WriteSettings([&] { WritePreferences(store, prefs); });
    QDialog::accept();
}

std::optional<std::string> ChooseFolderWithFileDialog(QWidget *parent, const std::string &start,
                                                      const std::string &prompt)
{
    QString folder = QFileDialog::getExistingDirectory(parent, QString::fromStdString(prompt),
                                                       QString::fromStdString(HostPath(start)));
    if (folder.isEmpty())
        return std::nullopt;
    return DevicePath(folder.toStdString());
}

OptionsOutcome RunOptionsDialog(AppSettings &settings, SettingsStore &store)
{
    OptionsDialog dialog(settings, store, QApplication::activeWindow());
    OptionsOutcome outcome;
    outcome.accepted = dialog.exec() == QDialog::Accepted;
    outcome.thumbnailsChanged = outcome.accepted && dialog.thumbnailsChanged();
    return outcome;
}
