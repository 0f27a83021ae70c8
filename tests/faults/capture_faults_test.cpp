// A capture into a folder on a full or read-only file system, by the direct path (a new name) and
// by the confirmation path (replacing a capture): the captures there stay byte for byte, no
// partial or temporary file is left, the album reports the failure with its message and location
// and lists what it listed, and the next capture works once the folder can take it.
#include "codecs/detecting_codec.h"
#include "image/rect.h"
#include "tests/capture/capture_test_support.h"
#include "tests/faults/fault_test_support.h"
#include "tests/support/test_files.h"

namespace {

class CaptureFaultTest : public OnSmallFileSystem<CaptureTest>
{
protected:
    // Triggers a capture and, when it waits for confirmation, delivers the message it posted.
    void captureOnce()
    {
        posted.clear();
        pipeline.capture();
        if (!posted.empty())
            pipeline.onConfirm(posted[0].first, posted[0].second);
    }

};

TEST_F(CaptureFaultTest, AFullOrReadOnlyFolderKeepsItsCapturesAndTheNextCaptureWorks)
{
    struct Case
    {
        const char *name;
        bool readOnly;
        bool confirm;
        const char *reportStart;
        const char *reason;
    };

    const Case cases[] = {
        { "full, new name", false, false, "Unable to save snap file.\n36007:3000:40\n",
          "No space left on device" },
        { "full, replacing", false, true, "Unable to save snap file.\n36007:3300:30\n",
          "No space left on device" },
        { "read-only, new name", true, false, "Unable to save snap file.\n36007:3000:40\n",
          "Read-only file system" },
        { "read-only, replacing", true, true, "Unable to save snap file.\n36007:3300:30\n",
          "Read-only file system" },
    };
    dialog = [](const CaptureDialogRequest &) {
        return CaptureDialogOutcome{ true, "ornsnap001.bmp", false };
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        mountOver(host("\\Shots"));
        makePicture("\\Shots\\ornsnap001.bmp", 40);
        doc.ChangeFolder("\\Shots");
        setFlag(CaptureFlag::ConfirmBeforeSave, c.confirm);
        const std::vector<std::uint8_t> before = ReadBytes(host("\\Shots\\ornsnap001.bmp"));
        if (c.readOnly)
            ASSERT_TRUE(disk->setReadOnly(true));
        else
            disk->fill();

        sink.shown.clear();
        captureOnce();
        ASSERT_EQ(sink.shown.size(), 1u);
        EXPECT_TRUE(sink.shown[0].text.starts_with(c.reportStart)) << sink.shown[0].text;
        EXPECT_NE(sink.shown[0].text.find(c.reason), std::string::npos) << sink.shown[0].text;
        EXPECT_EQ(ReadBytes(host("\\Shots\\ornsnap001.bmp")), before);
        EXPECT_EQ(VisibleNames(host("\\Shots")), std::vector<std::string>{ "ornsnap001.bmp" });
        EXPECT_FALSE(HoldsTemporaryFile(host("\\Shots")));
        EXPECT_EQ(names(), std::vector<std::string>{ "ornsnap001.bmp" });
        EXPECT_FALSE(pipeline.busy());
        EXPECT_FALSE(pipeline.holdsGrab());

        if (c.readOnly)
            ASSERT_TRUE(disk->setReadOnly(false));
        else
            disk->makeRoom();
        sink.shown.clear();
        captureOnce();
        EXPECT_TRUE(sink.shown.empty()) << sink.shown[0].text;
        const std::string written = c.confirm ? "ornsnap001.bmp" : "ornsnap002.bmp";
        EXPECT_EQ(PictureSize("\\Shots\\" + written), (Size{ 13, 5 }));
        EXPECT_EQ(doc.Count(), c.confirm ? 1 : 2);
        EXPECT_FALSE(HoldsTemporaryFile(host("\\Shots")));
    }
}

} // namespace
