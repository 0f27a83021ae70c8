// The album's other writes on a full file system: a crop saved over its own picture, the settings
// file and a folder's order file. What was on the disk stays byte for byte, no temporary file is
// left, failures are reported as the album reports them (the order file's quietly, as on every
// folder change), and the album goes on working.
#include "app/app_settings.h"
#include "app/order_file.h"
#include "sheets/save_routine.h"
#include "tests/faults/fault_test_support.h"
#include "tests/sheets/sheet_test_support.h"

namespace {

constexpr SaveOptions kBmp24{ 1, 0, 0, kTrueColourCount };

class CropFaultTest : public OnSmallFileSystem<SheetTest>
{
protected:
    CropOutcome crop(const CropBox &box)
    {
        const ItemPictureLoader load = SheetPictureLoader(doc);
        const PictureSaver save = [&](ImageItem &i, const std::string &path, const SaveOptions &o,
                                      const Rect *r) {
            savePicture(i, path, o, r, load);
        };
        return cropAndSave(doc, nullptr, CropJob{ doc.ItemAt(0), box, "\\pics", "", kBmp24 }, save);
    }
};

TEST_F(CropFaultTest, ACropSavedOverItsPictureOnAFullDiskKeepsThePicture)
{
    mountOver(host("\\pics"));
    loadSized({ { 40, 30 } });
    const std::vector<std::uint8_t> before = ReadBytes(host("\\pics\\p0.bmp"));
    disk->fill();

    EXPECT_EQ(crop({ 0, 0, 40, 30 }).result, CropOutcome::Failed);
    ASSERT_EQ(sink.shown.size(), 1u);
    const std::string &report = sink.shown[0].text;
    EXPECT_TRUE(report.starts_with("Failed to crop image file to 'p0.bmp'.\n47000:105:1\n"))
            << report;
    EXPECT_NE(report.find("No space left on device"), std::string::npos) << report;
    EXPECT_EQ(ReadBytes(host("\\pics\\p0.bmp")), before);
    EXPECT_EQ(VisibleNames(host("\\pics")), std::vector<std::string>{ "p0.bmp" });
    EXPECT_FALSE(HoldsTemporaryFile(host("\\pics")));
    ASSERT_EQ(doc.Count(), 1);
    EXPECT_EQ(doc.ItemAt(0)->info.width, 40);

    disk->makeRoom();
    EXPECT_EQ(crop({ 10, 10, 12, 5 }).result, CropOutcome::Saved);
    EXPECT_EQ(PictureSize("\\pics\\p0.bmp"), (Size{ 12, 5 }));
    EXPECT_EQ(doc.ItemAt(0)->info.width, 12);
    EXPECT_EQ(sink.shown.size(), 1u);
}

using SettingsFaultTest = OnSmallFileSystem<DocTest>;

TEST_F(SettingsFaultTest, AFullDiskKeepsTheSettingsFileAndReportsOnce)
{
    mountOver(root.path());
    makeFolder("\\a");
    makeFolder("\\b");
    makePicture("\\b\\p.bmp");
    doc.ChangeFolder("\\a");
    const std::string strings = SettingsSectionKey("Strings");
    ASSERT_EQ(store.readString(strings, "Path"), "\\a");
    const std::vector<std::uint8_t> before = ReadBytes(store.filePath());
    disk->fill();

    // The folder change writes the recent folders and the path: the same failure, shown once.
    doc.ChangeFolder("\\b");
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text, store.filePath() + ": No space left on device.");
    EXPECT_EQ(sink.shown[0].type, MessageBoxType::IconError);
    EXPECT_EQ(ReadBytes(store.filePath()), before);
    EXPECT_FALSE(HoldsTemporaryFile(root.path()));
    EXPECT_EQ(names(), std::vector<std::string>{ "p.bmp" }) << "the album shows the new folder";

    disk->makeRoom();
    doc.ChangeFolder("\\a");
    EXPECT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(store.readString(strings, "Path"), "\\a");
}

using OrderFileFaultTest = OnSmallFileSystem<DocTest>;

TEST_F(OrderFileFaultTest, AFullDiskKeepsTheOldOrderFileAndTheFolderChangeGoesOn)
{
    mountOver(host("\\a"));
    makeFolder("\\b");
    makePicture("\\a\\p1.bmp");
    makePicture("\\a\\p2.bmp");
    const std::string orderFile = host("\\a\\" + OrderFileName());
    const auto leaveFor = [this](const std::string &folder) {
        frame.tree = folder;
        doc.ReloadFromTree();
    };
    doc.ChangeFolder("\\a");
    leaveFor("\\b");
    ASSERT_TRUE(std::filesystem::exists(orderFile));
    const std::vector<std::uint8_t> before = ReadBytes(orderFile);
    makePicture("\\a\\p3.bmp");
    leaveFor("\\a");
    disk->fill();

    leaveFor("\\b");
    EXPECT_TRUE(sink.shown.empty());
    EXPECT_EQ(settings.currentFolder, "\\b");
    EXPECT_EQ(ReadBytes(orderFile), before);
    EXPECT_FALSE(HoldsTemporaryFile(host("\\a")));

    disk->makeRoom();
    leaveFor("\\a");
    EXPECT_EQ(names(), (std::vector<std::string>{ "p1.bmp", "p2.bmp", "p3.bmp" }));
    leaveFor("\\b");
    const std::vector<unsigned char> expected = OrderFileBytes({ "p1.bmp", "p2.bmp", "p3.bmp" });
    EXPECT_EQ(ReadBytes(orderFile), std::vector<std::uint8_t>(expected.begin(), expected.end()));
    EXPECT_TRUE(sink.shown.empty());
}

} // namespace
