#include "sheets/output_page.h"

#include "app/app_settings.h"
#include "common/string_ids.h"
#include "common/string_table.h"
#include "sheets/info_texts.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr std::uint32_t kSizeUnitMask = 3u << CaptureFlag::SizeUnitShift;

} // namespace

int SizeUnit(const AppSettings &settings)
{
    return static_cast<int>((settings.ui.captureFlags & kSizeUnitMask) >> CaptureFlag::SizeUnitShift);
}

void SetSizeUnit(AppSettings &settings, int unit)
{
    settings.ui.captureFlags = (settings.ui.captureFlags & ~kSizeUnitMask)
            | ((static_cast<std::uint32_t>(unit) << CaptureFlag::SizeUnitShift) & kSizeUnitMask);
}

COutputPage::COutputPage(PictureFacts facts, AppSettings &appSettings, QWidget *parent)
    : CPropPage(QStringLiteral("113"), QStringLiteral("Size"), parent),
      picture(std::move(facts)),
      settings(appSettings)
{
    QFormLayout *pixels = addGroup(QStringLiteral("Image size (Pixels)"));
    pixelWidth = addValue(pixels, QStringLiteral("Width:"), "2001");
    pixelHeight = addValue(pixels, QStringLiteral("Height:"), "2002");
    QFormLayout *resolution = addGroup(QString(), "2010");
    resolutionGroup = static_cast<QGroupBox *>(resolution->parentWidget());
    horizontal = addValue(resolution, QStringLiteral("Horizontal:"), "2011");
    vertical = addValue(resolution, QStringLiteral("Vertical:"), "2012");
    QFormLayout *output = addGroup(QString(), "2020");
    outputGroup = static_cast<QGroupBox *>(output->parentWidget());
    width = addValue(output, QStringLiteral("Width:"), "2021");
    height = addValue(output, QStringLiteral("Height:"), "2022");

    unitList = new QComboBox(this);
    unitList->setObjectName(QStringLiteral("1075"));
    unitList->setAccessibleName(QStringLiteral("Unit:"));
    std::string units;
    LoadString(Msg::SizeUnitList, units);
    unitList->addItems(QString::fromStdString(units).split(QLatin1Char('|')));
    auto *unitRow = new QFormLayout;
    unitRow->addRow(QStringLiteral("Unit:"), unitList);
    auto *column = static_cast<QVBoxLayout *>(layout());
    column->insertLayout(column->count() - 1, unitRow);
}

void COutputPage::fill()
{
    setText(pixelWidth, std::to_string(picture.width));
    setText(pixelHeight, std::to_string(picture.height));
    unitList->setCurrentIndex(SizeUnit(settings) != 0 ? 1 : 0);
    showUnit(unitList->currentIndex());
    connect(unitList, &QComboBox::currentIndexChanged, this, &COutputPage::showUnit);
}

void COutputPage::showUnit(int unit)
{
    const bool inches = unit == 1;
    resolutionGroup->setTitle(QString::fromStdString(ResolutionCaption(unit)));
    outputGroup->setTitle(QString::fromStdString(OutputSizeCaption(unit)));
    const OutputSizeTexts texts = OutputSize(picture.width, picture.height, picture.xResolution,
                                             picture.yResolution, inches);
    setText(horizontal, texts.horizontal);
    setText(vertical, texts.vertical);
    setText(width, texts.width);
    setText(height, texts.height);
    unitList->setEnabled(texts.known);
}

void COutputPage::onOk()
{
    // A page never shown has no choice of its own; the stored unit stays.
    if (filled())
        SetSizeUnit(settings, unitList->currentIndex() == 1 ? 1 : 0);
}
