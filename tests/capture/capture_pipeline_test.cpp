// The capture from trigger to file: which triggers start it, the direct path's names and album
// update, the grab failures and write failures with their locations, the sound, and the
// confirmation path (re-entrance, abort, replace, a failed replacement).
#include "capture/capture_album.h"
#include "operations/capture_file.h"
#include "platform/button_hot_key.h"
#include "tests/capture/capture_test_support.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/test_files.h"

namespace {

TEST_F(CaptureTest, HotKeysAndTheTimerStartTheSameCapture)
{
    struct Case
    {
        const char *name;
        std::function<void(CapturePipeline &)> trigger;
        bool captures;
    };

    const Case cases[] = {
        { "key 33 ignored", [](CapturePipeline &p) { p.onHotKey(33 << 16); }, false },
        { "key 34 ignored", [](CapturePipeline &p) { p.onHotKey(34 << 16 | 5); }, false },
        { "key 0", [](CapturePipeline &p) { p.onHotKey(0); }, true },
        { "key 35", [](CapturePipeline &p) { p.onHotKey(35 << 16); }, true },
        { "low word is not the key", [](CapturePipeline &p) { p.onHotKey(33); }, true },
        { "capture timer", [](CapturePipeline &p) { EXPECT_TRUE(p.onTimer(CaptureTimer)); }, true },
        { "other timer", [](CapturePipeline &p) { EXPECT_FALSE(p.onTimer(25)); }, false },
    };
    int files = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const int before = grabs;
        c.trigger(pipeline);
        files += c.captures;
        EXPECT_EQ(grabs - before, c.captures ? 1 : 0);
        EXPECT_EQ(shots().size(), static_cast<std::size_t>(files));
        EXPECT_FALSE(pipeline.busy());
        EXPECT_FALSE(pipeline.holdsGrab());
    }
    EXPECT_EQ(killed, std::vector<std::uint32_t>{ CaptureTimer }) << "the timer fires once";
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_TRUE(sound.sounds.empty()) << "no sound unless asked for";
}

TEST_F(CaptureTest, DirectPathNamesFilesInTurnAndAddsThemToTheAlbumOnShow)
{
    makePicture("\\Shots\\ornsnap002.bmp");
    doc.ScanFolder();
    ASSERT_EQ(names(), std::vector<std::string>{ "ornsnap002.bmp" });
    pipeline.capture();
    pipeline.capture();
    EXPECT_EQ(names(),
              (std::vector<std::string>{ "ornsnap002.bmp", "ornsnap001.bmp", "ornsnap003.bmp" }));
    EXPECT_EQ(doc.ItemAt(1)->info.width, 13) << "the new item was read";

    // Into another folder than the one on show: the file is written, the album stays.
    settings.currentFolder = "\\Elsewhere";
    setFlag(2u << CaptureFlag::FileFormatShift, true);
    pipeline.capture();
    EXPECT_EQ(doc.Count(), 3);
    EXPECT_EQ(shots(),
              (std::vector<std::string>{ "ornsnap001.bmp", "ornsnap001.gif", "ornsnap002.bmp",
                                         "ornsnap003.bmp" }));

    // A trailing backslash on one side still means the same folder; format value 3 writes a PNG
    // and names it so.
    settings.currentFolder = "\\Shots\\";
    setFlag(3u << CaptureFlag::FileFormatShift, true);
    pipeline.capture();
    EXPECT_EQ(doc.Count(), 4);
    EXPECT_EQ(doc.ItemAt(3)->fileName, "ornsnap001.png");
    EXPECT_EQ(doc.ItemAt(3)->info.format, 4) << "PNG";
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(CaptureTest, GrabFailuresAreReportedAndTheNextTriggerWorks)
{
    struct Case
    {
        GrabFailure failure;
        const char *text;
    };

    for (const Case &c :
         { Case{ GrabFailure::NoSurface, "Not enough memory.\n36007:3000:5" },
           Case{ GrabFailure::NoStore, "Unable to create snap image\n36007:3000:10" },
           Case{ GrabFailure::CopyFailed, "Unable to create snap image\n36007:3000:20" } }) {
        SCOPED_TRACE(c.text);
        sink.shown.clear();
        grabFailure = c.failure;
        pipeline.capture();
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_EQ(sink.shown[0].text, c.text);
        EXPECT_EQ(sink.shown[0].type, MessageBoxType::IconWarning);
        EXPECT_EQ(sink.shown[0].title, "Vistrel");
        EXPECT_FALSE(pipeline.busy());
    }
    grabFailure.reset();
    pipeline.capture();
    EXPECT_EQ(shots(), std::vector<std::string>{ "ornsnap001.bmp" });
}

TEST_F(CaptureTest, DirectWriteFailureIsReportedWithTheWritersReason)
{
    settings.snapPath = "\\Missing";
    setFlag(CaptureFlag::CaptureSound, true);
    pipeline.capture();
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(reported().rfind("Unable to save snap file.\n36007:3000:40\n", 0), 0u) << reported();
    EXPECT_NE(reported().find("No such file or directory"), std::string::npos);
    EXPECT_EQ(sound.sounds, std::vector<std::string>{ "Critical" });
    EXPECT_FALSE(pipeline.busy());
    EXPECT_FALSE(pipeline.holdsGrab());
}

TEST_F(CaptureTest, TheButtonsChordsAndTheSettingChooseTheArea)
{
    struct Case
    {
        const char *name;
        CaptureArea setting;
        std::function<void(CapturePipeline &)> trigger;
        CaptureArea grabbed;
    };

    const std::intptr_t print = ButtonHotKeyParameter(1);
    const Case cases[] = {
        { "button", CaptureArea::Monitor, [&](auto &p) { p.onHotKey(print); },
          CaptureArea::Monitor },
        { "timer", CaptureArea::Window, [](auto &p) { p.onTimer(CaptureTimer); },
          CaptureArea::Window },
        { "button with Shift", CaptureArea::Monitor,
          [&](auto &p) { p.onHotKey(ButtonHotKeyParameter(1, kHotKeyShift)); },
          CaptureArea::Region },
        { "button with Alt", CaptureArea::Screen,
          [&](auto &p) { p.onHotKey(ButtonHotKeyParameter(1, kHotKeyAlt)); }, CaptureArea::Window },
        { "a stored area out of range is the screen", static_cast<CaptureArea>(9),
          [&](auto &p) { p.onHotKey(print); }, CaptureArea::Screen },
    };
    region = Rect{ 0, 0, 1, 1 };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        settings.capture.area = static_cast<std::uint32_t>(c.setting);
        areas.clear();
        c.trigger(pipeline);
        EXPECT_EQ(areas, std::vector<CaptureArea>{ c.grabbed });
    }
}

// Region: the chooser gets the frozen grab and the region chosen last; what it takes is the file,
// the clipboard's picture and the notice's, and the next region offered. Cancelling makes no
// capture at all.
TEST_F(CaptureTest, ARegionIsChosenOnTheGrabAndCancellingMakesNothing)
{
    settings.capture.area = static_cast<std::uint32_t>(CaptureArea::Region);
    settings.capture.flags = CaptureOption::Clipboard | CaptureOption::Notice;
    setFlag(CaptureFlag::CaptureSound, true);

    region = std::nullopt;
    pipeline.capture();
    EXPECT_TRUE(shots().empty());
    EXPECT_TRUE(sound.sounds.empty());
    EXPECT_TRUE(clipboard.empty());
    EXPECT_TRUE(notices.empty());
    EXPECT_FALSE(pipeline.busy());
    EXPECT_FALSE(pipeline.holdsGrab());

    region = Rect{ 2, 1, 9, 4 };
    pipeline.capture();
    EXPECT_EQ(PictureSize("\\Shots\\ornsnap001.bmp"), (Size{ 7, 3 }));
    EXPECT_EQ(clipboard, std::vector<Size>{ (Size{ 7, 3 }) });
    EXPECT_EQ(notices, std::vector<std::string>{ "\\Shots\\ornsnap001.bmp 7x3" });
    EXPECT_EQ(sound.sounds, std::vector<std::string>{ "Critical" });

    // Cut to the screen; a region beside it is none.
    region = Rect{ 10, 3, 20, 20 };
    pipeline.capture();
    EXPECT_EQ(PictureSize("\\Shots\\ornsnap002.bmp"), (Size{ 3, 2 }));
    region = Rect{ 13, 0, 20, 5 };
    pipeline.capture();
    EXPECT_EQ(shots().size(), 2u);
    EXPECT_EQ(offered,
              (std::vector<Rect>{ Rect{}, Rect{}, Rect{ 2, 1, 9, 4 }, Rect{ 10, 3, 13, 5 } }));
    EXPECT_EQ(settings.capture.lastRegion, (Rect{ 10, 3, 13, 5 }));
    EXPECT_TRUE(sink.shown.empty());

    // A clipboard that fails is reported, and the file is written all the same.
    clipboardFails = true;
    region = Rect{ 0, 0, 2, 2 };
    pipeline.capture();
    EXPECT_EQ(shots().size(), 3u);
    EXPECT_EQ(reported().rfind("Not enough memory.", 0), 0u) << reported();
}

// Confirmation on: the grab waits in the slot for WM_CAPTURE_CONFIRM.
class ConfirmTest : public CaptureTest
{
protected:
    ConfirmTest() { setFlag(CaptureFlag::ConfirmBeforeSave, true); }

    // Triggers a capture and delivers the message it posted.
    void captureAndConfirm()
    {
        posted.clear();
        pipeline.capture();
        ASSERT_EQ(posted.size(), 1u);
        pipeline.onConfirm(posted[0].first, posted[0].second);
    }
};

TEST_F(ConfirmTest, TriggersWhileTheDialogIsOpenAreIgnored)
{
    pipeline.capture();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].message, WM_CAPTURE_CONFIRM);
    EXPECT_EQ(posted[0].first, 1u) << "the first grab's number";
    EXPECT_EQ(posted[0].second, 3) << "the row padding of 13 pixels";
    EXPECT_TRUE(pipeline.busy());
    EXPECT_TRUE(pipeline.holdsGrab());
    // A message that names another grab leaves this one waiting.
    pipeline.onConfirm(posted[0].first + 1, posted[0].second);
    EXPECT_EQ(dialogs, 0);
    EXPECT_TRUE(pipeline.holdsGrab());

    dialog = [this](const CaptureDialogRequest &request) {
        EXPECT_EQ(request.folder, "\\Shots");
        EXPECT_EQ(request.prefix, "ornsnap");
        pipeline.onHotKey(0);
        pipeline.onTimer(CaptureTimer);
        return CaptureDialogOutcome{ true, "mine.bmp", true };
    };
    pipeline.onConfirm(posted[0].first, posted[0].second);
    EXPECT_EQ(grabs, 1);
    EXPECT_EQ(posted.size(), 1u);
    EXPECT_EQ(shots(), std::vector<std::string>{ "mine.bmp" });
    EXPECT_EQ(names(), std::vector<std::string>{ "mine.bmp" });
    EXPECT_FALSE(settings.ui.captureFlags & CaptureFlag::ConfirmBeforeSave);
    EXPECT_FALSE(pipeline.busy());
    EXPECT_FALSE(pipeline.holdsGrab());

    // A message that names no grab held does nothing.
    pipeline.onConfirm(posted[0].first, posted[0].second);
    EXPECT_EQ(dialogs, 1);
}

// The confirmed capture goes to the clipboard once the dialog says OK; only a file written at
// once gets a notice.
TEST_F(ConfirmTest, TheClipboardFollowsTheDialogAndNoNoticeIsGiven)
{
    settings.capture.flags = CaptureOption::Clipboard | CaptureOption::Notice;
    for (bool ok : { false, true }) {
        dialog = [ok](const CaptureDialogRequest &) {
            return CaptureDialogOutcome{ ok, "mine.bmp", false };
        };
        captureAndConfirm();
    }
    EXPECT_EQ(shots(), std::vector<std::string>{ "mine.bmp" });
    EXPECT_EQ(clipboard, std::vector<Size>{ (Size{ 13, 5 }) });
    EXPECT_TRUE(notices.empty());
}

TEST_F(ConfirmTest, AbortWritesNothingAndStillAppliesTheCheckBox)
{
    for (bool dontShow : { true, false }) {
        SCOPED_TRACE(dontShow);
        dialog = [&](const CaptureDialogRequest &) {
            return CaptureDialogOutcome{ false, {}, dontShow };
        };
        setFlag(CaptureFlag::ConfirmBeforeSave, true);
        captureAndConfirm();
        EXPECT_TRUE(shots().empty());
        EXPECT_EQ((settings.ui.captureFlags & CaptureFlag::ConfirmBeforeSave) == 0, dontShow);
        EXPECT_FALSE(pipeline.busy());
        EXPECT_FALSE(pipeline.holdsGrab());
    }
    EXPECT_EQ(doc.Count(), 0);
}

TEST_F(ConfirmTest, ReplacingKeepsTheItemAndAFailedReplacementKeepsTheFile)
{
    makePicture("\\Shots\\old.bmp", 40);
    doc.ScanFolder();
    ASSERT_EQ(doc.Count(), 1);
    dialog = [](const CaptureDialogRequest &) {
        return CaptureDialogOutcome{ true, "old.bmp", true };
    };
    const std::vector<std::uint8_t> before = ReadBytes(host("\\Shots\\old.bmp"));
    {
        FileSizeLimit limit(100);
        captureAndConfirm();
    }
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(reported().rfind("Unable to save snap file.\n36007:3300:30\n", 0), 0u) << reported();
    EXPECT_EQ(ReadBytes(host("\\Shots\\old.bmp")), before) << "the old file is untouched";
    EXPECT_EQ(shots(), std::vector<std::string>{ "old.bmp" }) << "no temporary file left";
    EXPECT_TRUE(settings.ui.captureFlags & CaptureFlag::ConfirmBeforeSave)
            << "a failed confirmation leaves the check box unapplied";
    EXPECT_FALSE(pipeline.busy());

    captureAndConfirm();
    EXPECT_NE(ReadBytes(host("\\Shots\\old.bmp")), before);
    EXPECT_EQ(doc.Count(), 1) << "the replaced file's item is checked again, not added";
    EXPECT_EQ(doc.ItemAt(0)->info.width, 13);
    EXPECT_EQ(sink.shown.size(), 1u);
}

} // namespace
