#include "sheets/save_sheet.h"

#include "common/string_ids.h"
#include "sheets/crop_command.h"
#include "sheets/crop_page.h"
#include "sheets/crop_preview.h"
#include "sheets/format_page.h"
#include "sheets/location_page.h"
#include "tests/sheets/sheet_test_support.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <memory>

namespace {

// Three selected pictures, the second smaller than the first.
class SaveSheetTest : public SheetTest
{
protected:
    void open(const std::vector<Size> &sizes = { { 240, 320 }, { 120, 80 }, { 60, 40 } })
    {
        loadSized(sizes);
        sheet = std::make_unique<CSaveSheet>(doc, nullptr, SheetPictureLoader(doc));
        sheet->resize(400, 500);
        sheet->show();
        QCoreApplication::processEvents();
    }

    template <typename T>
    T *control(QWidget *page, int id) const
    {
        T *found = page->findChild<T *>(QString::number(id));
        EXPECT_NE(found, nullptr) << id;
        return found;
    }

    QWidget *cropPage() const { return sheet->cropPage(); }

    QWidget *formatPage() const { return sheet->formatPage(); }

    void click(QWidget *page, int id) { control<QPushButton>(page, id)->click(); }

    bool enabled(QWidget *page, int id) { return control<QWidget>(page, id)->isEnabled(); }

    void mouse(QWidget *target, QEvent::Type type, QPoint at)
    {
        const Qt::MouseButtons held =
                type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), changed, held,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    // Keys as the keyboard sends them to the control that has the focus.
    static void typeKeys(QWidget *target, const QString &text, int finalKey)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + c.digitValue(), Qt::NoModifier, c);
            QApplication::sendEvent(target, &press);
        }
        QKeyEvent press(QEvent::KeyPress, finalKey, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    std::unique_ptr<CSaveSheet> sheet;
    SoundRecorder sound;
};

TEST_F(SaveSheetTest, StepsThroughTheSelectionAndKeepsTheRectangleInside)
{
    open();
    EXPECT_EQ(sheet->currentItem(), doc.ItemAt(0));
    EXPECT_FALSE(enabled(cropPage(), 1118));
    EXPECT_TRUE(enabled(cropPage(), 1119));
    EXPECT_FALSE(enabled(cropPage(), 1113)); // no rectangle yet

    sheet->cropPage()->setCrop({ 100, 100, 200, 200 });
    EXPECT_EQ(sheet->cropPage()->crop(), (CropBox{ 100, 100, 140, 200 }));
    EXPECT_TRUE(enabled(formatPage(), 1113));

    click(formatPage(), 1119);
    EXPECT_EQ(sheet->currentItem(), doc.ItemAt(1));
    // The rectangle is cut to the 120 x 80 picture at once, not only when the Crop page shows.
    EXPECT_EQ(sheet->cropPage()->crop(), (CropBox{ 100, 80, 20, 0 }));
    EXPECT_EQ(control<QSpinBox>(cropPage(), 1134)->value(), 0);
    EXPECT_FALSE(enabled(cropPage(), 1113));

    click(cropPage(), 1119);
    EXPECT_EQ(sheet->currentItem(), doc.ItemAt(2));
    EXPECT_FALSE(enabled(sheet->locationPage(), 1119));
    EXPECT_TRUE(enabled(sheet->locationPage(), 1118));
    click(cropPage(), 1118);
    EXPECT_EQ(sheet->currentItem(), doc.ItemAt(1));
}

TEST_F(SaveSheetTest, TheEditsAreLimitedToThePicture)
{
    open();
    auto *x = control<QSpinBox>(cropPage(), 1129);
    auto *w = control<QSpinBox>(cropPage(), 1133);
    x->setValue(100);
    w->setValue(5000);
    EXPECT_EQ(w->value(), 140);
    x->setValue(9999);
    EXPECT_EQ(x->value(), 240);
    EXPECT_EQ(w->value(), 0);
}

// Enter in an edit applies what was typed, as leaving it does; the sheet's OK never sees it (it
// would ask to quit before a crop and close the sheet after one).
TEST_F(SaveSheetTest, EnterInAnEditAppliesItAndKeepsTheSheetOpen)
{
    open();
    for (const auto &[id, typed] : { std::pair{ 1129, "100" }, std::pair{ 1133, "5000" } }) {
        auto *edit = control<QSpinBox>(cropPage(), id);
        edit->selectAll();
        typeKeys(edit, QString::fromLatin1(typed), Qt::Key_Return);
    }
    EXPECT_EQ(sheet->cropPage()->crop().x, 100);
    EXPECT_EQ(sheet->cropPage()->crop().width, 140);
    EXPECT_TRUE(answers.asked.empty());
    EXPECT_TRUE(sheet->keepRunning());
    EXPECT_TRUE(sheet->isVisible());
}

TEST_F(SaveSheetTest, SeveralSelectedShowTheNoticeAndStayOpen)
{
    open();
    sheet->cropPage()->setCrop({ 10, 20, 30, 40 });
    click(cropPage(), 1113);
    EXPECT_EQ(PictureSize("\\pics\\p0_c.bmp"), (Size{ 30, 40 }));
    EXPECT_TRUE(sheet->keepRunning());
    EXPECT_TRUE(sheet->isVisible());
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, "Image file p0_c.bmp has been cropped.");
    // Ready for the next picture: no rectangle, so Crop is off again.
    EXPECT_TRUE(sheet->cropPage()->crop().isEmpty());
    EXPECT_FALSE(enabled(cropPage(), 1113));
    EXPECT_FALSE(sheet->nothingSaved());
    // The new file is in the shown folder: it joined the album, unselected.
    ASSERT_EQ(doc.Count(), 4);
    EXPECT_FALSE(doc.ItemAt(3)->selected());
    EXPECT_NE(NextSelected(doc, doc.ItemAt(1), true), doc.ItemAt(3));
}

TEST_F(SaveSheetTest, OneSelectedClosesAfterTheCrop)
{
    open({ { 50, 50 } });
    sheet->cropPage()->setCrop({ 0, 0, 10, 10 });
    click(cropPage(), 1113);
    EXPECT_FALSE(sheet->keepRunning());
    EXPECT_EQ(sheet->result(), QDialog::Accepted);
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(SaveSheetTest, AFailedCropKeepsTheSheetOpen)
{
    open({ { 50, 50 } });
    sheet->setSaver([](ImageItem &, const std::string &, const SaveOptions &, const Rect *) {
        ThrowAlb(Msg::NotEnoughMemory);
    });
    sheet->cropPage()->setCrop({ 0, 0, 10, 10 });
    click(cropPage(), 1113);
    EXPECT_TRUE(sheet->keepRunning());
    EXPECT_EQ(sheet->cropPage()->crop(), (CropBox{ 0, 0, 10, 10 }));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_NE(sink.shown[0].text.find("Failed to crop image file to 'p0_c.bmp'."),
              std::string::npos);
}

TEST_F(SaveSheetTest, OkBeforeAnyCropAsksOnce)
{
    open();
    answers.reply = ConfirmAnswer::No;
    sheet->accept();
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(answers.asked[0].text, "Quit without doing anything?");
    EXPECT_EQ(answers.asked[0].title, "Crop");
    EXPECT_TRUE(sheet->keepRunning());
    sheet->accept();
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_FALSE(sheet->keepRunning());
}

TEST_F(SaveSheetTest, CancelEndsTheSheet)
{
    open();
    sheet->reject();
    EXPECT_FALSE(sheet->keepRunning());
    EXPECT_EQ(sheet->result(), QDialog::Rejected);
    EXPECT_TRUE(answers.asked.empty());
}

TEST_F(SaveSheetTest, TheFormatDecidesControlsAndName)
{
    open();
    sheet->tabs()->setCurrentIndex(1);
    auto *name = control<QLineEdit>(formatPage(), 1115);
    EXPECT_EQ(name->text().toStdString(), "p0_c.bmp");

    struct Row
    {
        int radio;
        const char *name;
        bool quality, gif, bmp, resolution;
        std::int32_t format;
    };

    const Row rows[] = {
        { 1124, "p0_c.gif", false, true, false, false, 3 },
        { 1122, "p0_c.jpg", true, false, false, true, 2 },
        { 1140, "p0_c.png", false, false, false, true, 4 },
        { 1126, "p0_c.bmp", false, false, true, true, 1 },
    };
    // Checked as a screen reader's toggle checks it, without a click.
    for (const Row &row : rows) {
        control<QAbstractButton>(formatPage(), row.radio)->setChecked(true);
        EXPECT_EQ(name->text().toStdString(), row.name);
        EXPECT_EQ(enabled(formatPage(), 1123), row.quality) << row.name;
        EXPECT_EQ(enabled(formatPage(), 1125), row.gif) << row.name;
        EXPECT_EQ(enabled(formatPage(), 1127), row.bmp) << row.name;
        EXPECT_EQ(enabled(formatPage(), 1120), row.resolution) << row.name;
        EXPECT_EQ(enabled(formatPage(), 1121), row.resolution) << row.name;
        EXPECT_EQ(sheet->formatPage()->options().format, row.format);
    }
    // The Location page shows the same name.
    EXPECT_EQ(control<QLineEdit>(sheet->locationPage(), 1115)->text().toStdString(), "p0_c.bmp");
    // GIF colours come from the chosen entry, "16 colors", and a resolution chosen from its list
    // is taken at once, however they were chosen.
    control<QAbstractButton>(formatPage(), 1124)->setChecked(true);
    control<QComboBox>(formatPage(), 1125)->setCurrentIndex(3);
    EXPECT_EQ(sheet->formatPage()->options().colours, 16);
    control<QComboBox>(formatPage(), 1121)->setCurrentIndex(0);
    EXPECT_EQ(sheet->formatPage()->options().yResolution, 60);
    // The Crop page's modes are one choice, followed the same way.
    sheet->tabs()->setCurrentIndex(0);
    auto *crp = control<QAbstractButton>(cropPage(), 1120);
    control<QAbstractButton>(cropPage(), 1115)->setChecked(true);
    EXPECT_TRUE(sheet->cropPage()->panMode());
    EXPECT_FALSE(crp->isChecked());
    crp->setChecked(true);
    EXPECT_FALSE(sheet->cropPage()->panMode());
}

TEST_F(SaveSheetTest, ResolutionTextIsCheckedWhenTheListIsLeft)
{
    open();
    auto *x = control<QComboBox>(formatPage(), 1120);
    // The BMPs were written at 96 dpi (3780 pixels per metre): no entry was added.
    EXPECT_EQ(x->count(), 14);
    EXPECT_EQ(x->currentText(), QStringLiteral("96"));
    for (const char *bad : { "96a", "0" }) {
        x->setEditText(QString::fromUtf8(bad));
        EXPECT_FALSE(sheet->formatPage()->takeResolution(true)) << bad;
        EXPECT_EQ(x->currentText(), QStringLiteral("96")) << bad;
    }
    ASSERT_EQ(sink.shown.size(), 2u);
    EXPECT_EQ(sink.shown[1].text, "Not a valid number.");
    x->setEditText(QStringLiteral("150"));
    EXPECT_TRUE(sheet->formatPage()->takeResolution(true));
    EXPECT_EQ(sheet->formatPage()->options().xResolution, 150);

    // Leaving the list checks it, once.
    sheet->tabs()->setCurrentIndex(1);
    sheet->activateWindow();
    x->setFocus();
    QCoreApplication::processEvents();
    x->setEditText(QStringLiteral("7z"));
    control<QComboBox>(formatPage(), 1121)->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(sink.shown.size(), 3u);
    EXPECT_EQ(x->currentText(), QStringLiteral("150"));
}

TEST_F(SaveSheetTest, TheAppendageIsCheckedAsAName)
{
    open();
    QLineEdit *edit = sheet->locationPage()->appendageEdit();
    auto *name = control<QLineEdit>(sheet->locationPage(), 1115);
    const auto type = [&](const char *text) {
        edit->setText(QString::fromUtf8(text));
    };
    type("_v");
    EXPECT_EQ(name->text().toStdString(), "p0_v.bmp");
    type("a*b");
    EXPECT_EQ(name->text().toStdString(), "p0_v.bmp");
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sheet->locationPage()->appendage(), "_v");
    type("");
    EXPECT_EQ(name->text().toStdString(), "p0.bmp");
}

TEST_F(SaveSheetTest, TheStylusDrawsTheRectangleIntoTheEdits)
{
    open();
    CropPreview *preview = sheet->cropPage()->preview();
    const ImageZoom::PictureZoom place = preview->placement();
    ASSERT_GT(place.zoomed.width, 0);
    // The window position of the picture's first pixel.
    const QPoint origin(-place.offsetX, -place.offsetY);
    const QPoint start(origin.x() + 10, origin.y() + 10);
    const QPoint end(origin.x() + place.zoomed.width + 20, origin.y() + place.zoomed.height / 2);
    mouse(preview, QEvent::MouseButtonPress, start);
    mouse(preview, QEvent::MouseMove, end);
    mouse(preview, QEvent::MouseButtonRelease, end);
    const CropBox box = sheet->cropPage()->crop();
    EXPECT_EQ(box.x, ImageZoom::WindowToPicture(start.x(), place.zoom, place.offsetX));
    // Past the right edge the rectangle ends exactly at the picture's edge.
    EXPECT_EQ(box.x + box.width, 240);
    EXPECT_EQ(control<QSpinBox>(cropPage(), 1133)->value(), box.width);
    EXPECT_TRUE(enabled(cropPage(), 1113));
    EXPECT_EQ(sound.beeps(), 0);
}

// The preview decodes a picture when it shows it, not for pictures stepped past on another
// page, and the preview and the save take a picture the image view shows as it is; what the
// preview held alone is let go when the sheet closes.
TEST_F(SaveSheetTest, PicturesAreDecodedOnlyWhereShownAndShareTheViewsPicture)
{
    loadSized({ { 240, 320 }, { 120, 80 }, { 60, 40 } });
    ImageItem &viewed = *doc.ItemAt(2);
    ASSERT_EQ(LoadViewFrames(doc, viewed, 100), 0u);
    HoldViewFrames(viewed, PictureUser::ImageView);
    std::vector<int> widths;
    sheet = std::make_unique<CSaveSheet>(
            doc, nullptr,
            SheetPictureLoader(
                    doc,
                    [&](const std::string &path, ImageInfo &info, FrameArray &frames, Size size) {
                        widths.push_back(size.width);
                        DefaultFramesDecoder()(path, info, frames, size);
                    }));
    sheet->resize(400, 500);
    sheet->show();
    QCoreApplication::processEvents();
    sheet->tabs()->setCurrentIndex(1);
    click(formatPage(), 1119);
    click(formatPage(), 1119);
    sheet->cropPage()->setCrop({ 0, 0, 10, 10 });
    click(formatPage(), 1113);
    sheet->tabs()->setCurrentIndex(0);
    QCoreApplication::processEvents();
    EXPECT_EQ(PictureSize("\\pics\\p2_c.bmp"), (Size{ 10, 10 }));
    EXPECT_EQ(widths, std::vector<int>{ 240 });

    sheet.reset();
    EXPECT_TRUE(doc.ItemAt(0)->frames.empty());
    EXPECT_TRUE(doc.ItemAt(1)->frames.empty());
    EXPECT_FALSE(viewed.frames.empty());
}

TEST_F(SheetTest, TheCropCommandRunsTheSheetOnlyWithASelection)
{
    loadSized({ { 20, 20 } });
    CropCommand command(doc, nullptr, nullptr);
    int runs = 0;
    command.setSheetRunner([&](CAlbDoc &, const ImageLists *, QWidget *) { ++runs; });
    CommandState state;
    EXPECT_TRUE(command.onCommandState(CropCommand::kCommandId, state));
    EXPECT_TRUE(state.enabled);
    EXPECT_TRUE(command.onCommand(CropCommand::kCommandId));
    EXPECT_EQ(runs, 1);
    doc.ClearSelection();
    EXPECT_TRUE(command.onCommand(CropCommand::kCommandId));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(command.onCommandState(CropCommand::kCommandId, state));
    EXPECT_FALSE(state.enabled);
    EXPECT_FALSE(command.onCommand(30305));
    // The document leaves the command to the unit.
    EXPECT_FALSE(doc.onCommand(CropCommand::kCommandId));
}

} // namespace
