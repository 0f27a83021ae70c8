#include "sheets/save_routine.h"

#include "tests/sheets/sheet_test_support.h"
#include "tests/support/file_size_limit.h"
#include "views/thumbnail_cache.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

constexpr SaveOptions kGif16{ 3, -1, -1, 16 };
constexpr SaveOptions kBmp24{ 1, 0, 0, kTrueColourCount };

class SaveRoutineTest : public SheetTest
{
protected:
    SaveRoutineTest() { loadSized({ { 40, 30 } }); }

    ImageItem &item() { return *doc.ItemAt(0); }

    CropOutcome crop(const CropBox &box, const std::string &folder, const std::string &appendage,
                     const SaveOptions &options)
    {
        const ItemPictureLoader load = SheetPictureLoader(doc);
        const PictureSaver save = [&](ImageItem &i, const std::string &path, const SaveOptions &o,
                                      const Rect *r) {
            savePicture(i, path, o, r, load);
        };
        return cropAndSave(doc, nullptr, CropJob{ &item(), box, folder, appendage, options }, save);
    }

    std::vector<std::string> filesIn(const std::string &folder) const
    {
        std::vector<std::string> names;
        for (const auto &entry : fs::directory_iterator(host(folder)))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(SaveRoutineTest, ANewFileInTheShownFolderJoinsTheAlbum)
{
    const CropOutcome outcome = crop({ 5, 6, 10, 8 }, "\\pics", "_c", kGif16);
    EXPECT_EQ(outcome.result, CropOutcome::Saved);
    EXPECT_EQ(outcome.name, "p0_c.gif");
    EXPECT_FALSE(outcome.replacedItem);
    EXPECT_EQ(PictureSize("\\pics\\p0_c.gif"), (Size{ 10, 8 }));
    EXPECT_EQ(names(), (std::vector<std::string>{ "p0.bmp", "p0_c.gif" }));
    EXPECT_TRUE(answers.asked.empty());
    // The picture decoded for the save is let go again; the views decode it when they need it.
    EXPECT_TRUE(item().frames.empty());
    EXPECT_FALSE(item().has(ItemFlag::ViewCached));
}

TEST_F(SaveRoutineTest, AFileInAnotherFolderLeavesTheAlbumAlone)
{
    makeFolder("\\out");
    EXPECT_EQ(crop({ 0, 0, 40, 30 }, "\\out\\", "", kBmp24).result, CropOutcome::Saved);
    EXPECT_EQ(PictureSize("\\out\\p0.bmp"), (Size{ 40, 30 }));
    EXPECT_EQ(doc.Count(), 1);
}

TEST_F(SaveRoutineTest, OnlyYesOverwritesAnExistingFile)
{
    makeTextFile("\\pics\\p0_c.gif", "keep me");
    const std::vector<std::uint8_t> before = ReadBytes(host("\\pics\\p0_c.gif"));
    for (int answer : { ConfirmAnswer::No, ConfirmAnswer::Cancel, ConfirmAnswer::YesToAll }) {
        answers.reply = answer;
        EXPECT_EQ(crop({ 0, 0, 4, 4 }, "\\pics", "_c", kGif16).result, CropOutcome::Declined);
        EXPECT_EQ(ReadBytes(host("\\pics\\p0_c.gif")), before) << answer;
    }
    ASSERT_FALSE(answers.asked.empty());
    EXPECT_EQ(answers.asked[0].title, "Crop");
    EXPECT_EQ(answers.asked[0].text,
              "Image file p0_c.gif already exists; are you sure you want to overwrite this file?");

    answers.reply = ConfirmAnswer::Yes;
    EXPECT_EQ(crop({ 0, 0, 4, 4 }, "\\pics", "_c", kGif16).result, CropOutcome::Saved);
    EXPECT_EQ(PictureSize("\\pics\\p0_c.gif"), (Size{ 4, 4 }));
}

// The item of exactly that name, not its twin that differs in case alone.
TEST_F(SaveRoutineTest, OverwritingAListedPictureReadsItsItemAgain)
{
    makeSized("\\pics\\p0_c.bmp", 20, 20);
    makeSized("\\pics\\P0_C.bmp", 20, 20);
    doc.ChangeFolder("\\pics");
    ImageItem *other = doc.ItemAt(2);
    other->setSelected(true);
    ASSERT_EQ(other->fileName, "p0_c.bmp");
    EXPECT_EQ(crop({ 0, 0, 7, 9 }, "\\pics", "_c", kBmp24).result, CropOutcome::Saved);
    EXPECT_EQ(doc.Count(), 3);
    EXPECT_EQ(other->info.width, 7);
    EXPECT_EQ(other->info.height, 9);
    EXPECT_TRUE(other->selected());
}

TEST_F(SaveRoutineTest, SavingOverTheOwnFileReplacesItAndReadsTheItemAgain)
{
    EXPECT_TRUE(EnsureThumbnail(doc, item(), false));
    const CropOutcome outcome = crop({ 10, 10, 12, 5 }, "\\pics", "", kBmp24);
    EXPECT_EQ(outcome.result, CropOutcome::Saved);
    EXPECT_TRUE(outcome.replacedItem);
    ASSERT_EQ(answers.asked.size(), 1u);
    EXPECT_EQ(doc.Count(), 1);
    EXPECT_EQ(item().info.width, 12);
    EXPECT_EQ(item().info.height, 5);
    // The thumbnail of the old picture is gone with it.
    EXPECT_FALSE(item().has(ItemFlag::ThumbCached));
}

TEST_F(SaveRoutineTest, AFailedWriteOverTheOwnFileKeepsItByteForByte)
{
    const std::vector<std::uint8_t> before = ReadBytes(host("\\pics\\p0.bmp"));
    CropOutcome outcome;
    {
        FileSizeLimit limit(64);
        outcome = crop({ 0, 0, 40, 30 }, "\\pics", "", kBmp24);
    }
    EXPECT_EQ(outcome.result, CropOutcome::Failed);
    EXPECT_EQ(ReadBytes(host("\\pics\\p0.bmp")), before);
    // No temporary file and no second item are left behind.
    EXPECT_EQ(filesIn("\\pics"), (std::vector<std::string>{ "p0.bmp" }));
    EXPECT_EQ(doc.Count(), 1);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0].text.rfind("Failed to crop image file to 'p0.bmp'.\n47000:105:1\n", 0),
              0u)
            << sink.shown[0].text;
}

TEST_F(SaveRoutineTest, AFailedNewFileLeavesNothingBehind)
{
    // An empty rectangle is nothing to save: refused before anything is written.
    EXPECT_EQ(crop({ 40, 30, 0, 0 }, "\\pics", "_c", kGif16).result, CropOutcome::Failed);
    EXPECT_EQ(filesIn("\\pics"), (std::vector<std::string>{ "p0.bmp" }));
    EXPECT_EQ(doc.Count(), 1);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_NE(sink.shown[0].text.find("p0_c.gif"), std::string::npos);
    EXPECT_TRUE(item().frames.empty());
}

// A save takes the picture a window shows when it is at full size, and otherwise decodes the
// full size for itself and gives the window its smaller picture back; the picture goes when the
// last window showing it lets go.
TEST_F(SaveRoutineTest, APictureOnShowIsLentAtFullSizeOrGivenBackToItsWindows)
{
    std::vector<int> widths;
    const ItemPictureLoader load = SheetPictureLoader(
            doc, [&](const std::string &path, ImageInfo &info, FrameArray &frames, Size size) {
                widths.push_back(size.width);
                DefaultFramesDecoder()(path, info, frames, size);
            });
    ASSERT_EQ(load(item(), 50), 0u);
    HoldViewFrames(item(), PictureUser::ImageView);
    const ImageFrame *shown = item().frames.front().get();
    const Rect crop{ 1, 2, 11, 9 };
    savePicture(item(), "\\pics\\a.bmp", kBmp24, &crop, load);
    EXPECT_EQ(PictureSize("\\pics\\a.bmp"), (Size{ 10, 7 }));
    EXPECT_EQ(item().frames.front().get(), shown);
    EXPECT_EQ(item().framesPercent, 50);
    EXPECT_TRUE(item().has(ItemFlag::ViewCached));

    ASSERT_EQ(load(item(), 100), 0u);
    HoldViewFrames(item(), PictureUser::CropPreview);
    savePicture(item(), "\\pics\\b.bmp", kBmp24, nullptr, load);
    EXPECT_EQ(widths, (std::vector<int>{ 20, 40, 40 }));
    EXPECT_EQ(item().framesPercent, 100);

    LetGoViewFrames(item(), PictureUser::CropPreview);
    EXPECT_FALSE(item().frames.empty());
    LetGoViewFrames(item(), PictureUser::ImageView);
    EXPECT_TRUE(item().frames.empty());
    EXPECT_FALSE(item().has(ItemFlag::ViewCached));
}

TEST_F(SaveRoutineTest, SavePictureReportsTheLoadersFailure)
{
    const auto failing = [](ImageItem &, std::int32_t) -> std::uint32_t {
        return 20004;
    };
    const auto empty = [](ImageItem &, std::int32_t) -> std::uint32_t {
        return 0;
    };
    for (const auto &[loader, expected] :
         { std::pair<ItemPictureLoader, std::uint32_t>{ failing, 20004 }, { empty, 46040 } }) {
        try {
            savePicture(item(), "\\pics\\x.bmp", kBmp24, nullptr, loader);
            ADD_FAILURE() << "no exception";
        } catch (const CAlbException &failure) {
            EXPECT_EQ(failure.messageId, expected);
        }
    }
    EXPECT_FALSE(fs::exists(host("\\pics\\x.bmp")));
}

} // namespace
