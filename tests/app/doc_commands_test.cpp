#include "app/doc_commands.h"
#include "app/file_commands.h"

#include "app/window_messages.h"
#include "common/string_ids.h"
#include "tests/app/doc_test_support.h"

#include <gtest/gtest.h>

namespace {

class DocCommandsTest : public DocTest
{
protected:
    void SetUp() override
    {
        makeFolder("\\album");
        for (const char *name : { "a.bmp", "b.bmp", "c.bmp" })
            makePicture(std::string("\\album\\") + name);
        makeFolder("\\empty");
    }

    // The state as the route decides it: the document, then the file commands after it.
    CommandState stateOf(std::uint32_t id)
    {
        CommandState state;
        EXPECT_TRUE(doc.onCommandState(id, state) || files.onCommandState(id, state)) << id;
        EXPECT_TRUE(state.handled);
        return state;
    }

    FileCommands files{ doc, store };
};

// One situation: folder, view mode and selected count; then the expected enabled state of the
// commands whose state depends on them.
TEST_F(DocCommandsTest, EnablingRules)
{
    struct Row
    {
        const char *label;
        const char *folder;
        std::int32_t mode;
        int selected;
        std::vector<std::pair<std::uint32_t, bool>> enabled;
    } rows[] = {
        { "thumbnails, none selected",
          "\\album",
          ViewMode::Thumbnail,
          0,
          { { DocCmd::NewFolder, true },
            { DocCmd::DeleteFolder, true },
            { DocCmd::DeletePictures, false },
            { DocCmd::SelectAll, true },
            { DocCmd::SelectView, true },
            { DocCmd::FullScreenView, true },
            { DocCmd::SendInfrared, false },
            { DocCmd::Crop, false } } },
        { "thumbnails, two selected",
          "\\album",
          ViewMode::Thumbnail,
          2,
          { { DocCmd::DeletePictures, true },
            { DocCmd::SendInfrared, false },
            { DocCmd::Crop, true } } },
        { "select view",
          "\\album",
          ViewMode::Select,
          1,
          { { DocCmd::NewFolder, false },
            { DocCmd::DeleteFolder, false },
            { DocCmd::DeletePictures, true },
            { DocCmd::SelectAll, false },
            { DocCmd::SendInfrared, true },
            { DocCmd::Crop, true } } },
        { "full screen",
          "\\album",
          ViewMode::FullScreen,
          1,
          { { DocCmd::NewFolder, true },
            { DocCmd::DeletePictures, false },
            { DocCmd::SelectAll, false } } },
        { "empty folder",
          "\\empty",
          ViewMode::Thumbnail,
          0,
          { { DocCmd::SelectAll, false },
            { DocCmd::ThumbnailView, true },
            { DocCmd::SelectView, false },
            { DocCmd::FullScreenView, false } } },
    };

    for (const Row &row : rows) {
        doc.ChangeFolder(row.folder);
        settings.viewMode = row.mode;
        doc.ClearSelection();
        for (int i = 0; i < row.selected; ++i)
            doc.ItemAt(i)->setSelected(true);
        for (auto [id, enabled] : row.enabled)
            EXPECT_EQ(stateOf(id).enabled, enabled) << row.label << " " << id;
    }
    for (std::uint32_t id :
         { DocCmd::GoToButton, DocCmd::ImageInfo, DocCmd::ImageInfoButton, DocCmd::CaptureSettings,
           DocCmd::Options, DocCmd::Help, DocCmd::AutoRotate, 31000u, 31099u })
        EXPECT_TRUE(stateOf(id).enabled) << id;
    CommandState other;
    EXPECT_FALSE(doc.onCommandState(30106, other));
    EXPECT_FALSE(doc.onCommandState(31100, other));
}

TEST_F(DocCommandsTest, ViewModesAreRadioCheckedAndAutoRotateFollowsTheSetting)
{
    doc.ChangeFolder("\\album");
    doc.onCommand(DocCmd::SelectView);
    for (std::uint32_t id : { DocCmd::ThumbnailView, DocCmd::SelectView, DocCmd::FullScreenView }) {
        CommandState state = stateOf(id);
        EXPECT_TRUE(state.radio);
        EXPECT_EQ(state.checked, id == DocCmd::SelectView) << id;
    }
    bool before = settings.autoRotate();
    doc.onCommand(DocCmd::AutoRotate);
    EXPECT_NE(settings.autoRotate(), before);
    EXPECT_EQ(stateOf(DocCmd::AutoRotate).checked, !before);
}

TEST_F(DocCommandsTest, NewFolderStateRebuildsTheGoToSubmenu)
{
    doc.ChangeFolder("\\album");
    stateOf(DocCmd::NewFolder);
    ASSERT_EQ(frame.submenu.size(), 5u);
    EXPECT_EQ(frame.submenu.back().id, DocCmd::GoToRecentFirst);
}

TEST_F(DocCommandsTest, SelectAllOnlyInThumbnailView)
{
    doc.ChangeFolder("\\album");
    settings.viewMode = ViewMode::Select;
    doc.onCommand(DocCmd::SelectAll);
    EXPECT_EQ(doc.SelectedCount(), 0);
    settings.viewMode = ViewMode::Thumbnail;
    doc.onCommand(DocCmd::SelectAll);
    EXPECT_EQ(doc.SelectedCount(), 3);
}

TEST_F(DocCommandsTest, InformationSheetWritesUiInfoOnlyAfterOk)
{
    const std::string key = SettingsSectionKey("UI Info");
    bool answer = false;
    int shown = 0;
    doc.setInfoSheetRunner([&](CAlbDoc &) {
        ++shown;
        settings.ui.captureFlags ^= 1u << CaptureFlag::SizeUnitShift;
        return answer;
    });
    doc.onCommand(DocCmd::ImageInfo);
    EXPECT_FALSE(store.readBinary(key, "Values"));
    answer = true;
    doc.onCommand(DocCmd::ImageInfoButton);
    EXPECT_EQ(shown, 2);
    auto block = store.readBinary(key, "Values");
    ASSERT_TRUE(block);
    ASSERT_EQ(block->size(), 12u);
    EXPECT_EQ((*block)[9], 0x04); // sizeUnit bit 10, toggled twice, as written after OK
}

TEST_F(DocCommandsTest, OptionsMessagesAfterTheDialogCloses)
{
    doc.ChangeFolder("\\album");
    doc.SwitchView(ViewMode::Select);
    doc.ItemAt(0)->thumbnail = std::make_unique<ImageBuffer>();
    doc.ItemAt(0)->flags |= ItemFlag::ThumbCached;
    OptionsOutcome outcome{ true, false };
    doc.setOptionsRunner([&](CAlbDoc &) { return outcome; });

    frame.calls.clear();
    doc.onCommand(DocCmd::Options);
    EXPECT_EQ(frame.count("image", WM_LIST_CHANGED, 1), 1);
    EXPECT_EQ(frame.count("thumbs", WM_LIST_CHANGED, 1), 0);
    EXPECT_NE(doc.ItemAt(0)->thumbnail, nullptr);

    outcome.thumbnailsChanged = true;
    doc.onCommand(DocCmd::Options);
    EXPECT_EQ(frame.count("thumbs", WM_LIST_CHANGED, 1), 1);
    EXPECT_EQ(doc.ItemAt(0)->thumbnail, nullptr);
    EXPECT_FALSE(doc.ItemAt(0)->has(ItemFlag::ThumbCached));
}

TEST_F(DocCommandsTest, FailuresAreReportedNotThrown)
{
    doc.setOptionsRunner([](CAlbDoc &) -> OptionsOutcome { ThrowAlb(Msg::NotEnoughMemory); });
    EXPECT_TRUE(doc.onCommand(DocCmd::Options));
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_NE(sink.shown[0].text.find("Not enough memory."), std::string::npos);
}

TEST_F(DocCommandsTest, WithoutFrameNothingIsAsked)
{
    doc.setFrame(nullptr);
    doc.ChangeFolder("\\album");
    doc.onCommand(DocCmd::FullScreenView);
    doc.onCommand(DocCmd::ReloadFromTree);
    EXPECT_EQ(settings.viewMode, 0);
    EXPECT_EQ(doc.Count(), 3);
    EXPECT_TRUE(frame.calls.empty());
}

} // namespace
