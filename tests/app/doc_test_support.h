#pragma once

#include "app/alb_doc.h"
#include "app/app_settings.h"
#include "app/document_frame.h"
#include "codecs/bmp_writer.h"
#include "common/error_report.h"
#include "common/host_path.h"
#include "platform/settings_store.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

// One call the document made of the main window.
struct FrameCall
{
    std::string what;
    std::uint32_t msg = 0;
    std::intptr_t lParam = 0;
    bool post = false;
};

// A main window that records what the document asks of it.
class RecordingFrame final : public DocumentFrame
{
public:
    void sendCommand(std::uint32_t id) override { commands.push_back(id); }

    void arrangePanes(std::int32_t viewMode, std::int32_t) override
    {
        calls.push_back({ "panes", std::uint32_t(viewMode) });
    }

    void setFullScreen(bool on, std::uint32_t toolbarId) override
    {
        fullScreen = on;
        toolbar = toolbarId;
    }

    void relayoutAndPaint() override { calls.push_back({ "paint" }); }

    void messageToTree(std::uint32_t msg, std::uintptr_t, std::intptr_t l, bool post) override
    {
        calls.push_back({ "tree", msg, l, post });
    }

    void messageToThumbnails(std::uint32_t msg, std::uintptr_t, std::intptr_t l, bool post) override
    {
        calls.push_back({ "thumbs", msg, l, post });
    }

    void messageToImageView(std::uint32_t msg, std::uintptr_t, std::intptr_t l, bool post) override
    {
        calls.push_back({ "image", msg, l, post });
    }

    std::string treeFolder() const override { return tree; }

    void rebuildTree(const std::string &folder) override { tree = folder; }

    void beginWaitCursor() override { ++waitDepth; }

    void endWaitCursor() override { --waitDepth; }

    void refreshViews(int firstSelected) override { refreshedAt.push_back(firstSelected); }

    void refreshTree() override { ++treeRefreshes; }

    void setGoToSubmenu(const std::vector<MenuEntry> &entries) override { submenu = entries; }

    // The calls of one kind with one message, for checks.
    int count(const std::string &what, std::uint32_t msg, std::intptr_t lParam) const
    {
        int n = 0;
        for (const FrameCall &call : calls)
            n += call.what == what && call.msg == msg && call.lParam == lParam;
        return n;
    }

    std::vector<std::uint32_t> commands;
    std::vector<FrameCall> calls;
    std::vector<int> refreshedAt;
    std::vector<MenuEntry> submenu;
    std::string tree;
    bool fullScreen = false;
    std::uint32_t toolbar = 0;
    int waitDepth = 0;
    int treeRefreshes = 0;
};

// Catches every message box instead of showing it.
class RecordingSink final : public MessageBoxSink
{
public:
    RecordingSink() { previous = SetMessageBoxSink(this); }

    ~RecordingSink() override { SetMessageBoxSink(previous); }

    int show(const MessageBoxRequest &request) override
    {
        shown.push_back(request);
        return MessageBoxAnswer::Ok;
    }

    bool isLiveWindow(WindowHandle) const override { return false; }

    WindowHandle mainWindow() const override { return nullptr; }

    std::vector<MessageBoxRequest> shown;

private:
    MessageBoxSink *previous = nullptr;
};

// A device root of its own with a settings file, the settings and a document with a recording
// frame. Folders and pictures are made by device path.
class DocTest : public ::testing::Test
{
protected:
    DocTest()
        : rootEnv("VISTREL_ROOT", root.path().string()),
          store((root.path() / "settings.conf").string())
    {
        doc.setFrame(&frame);
    }

    static std::string host(const std::string &devicePath) { return HostPath(devicePath); }

    void makeFolder(const std::string &devicePath)
    {
        std::filesystem::create_directories(host(devicePath));
    }

    // A real 2 x 2 BMP whatever the name's extension: the reader goes by content.
    void makePicture(const std::string &devicePath, std::int32_t width = 2)
    {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width + 3) * 3 * 2, 0x80);
        BmpWriter writer;
        writer.write(host(devicePath),
                     PixelSpan::Padded(pixels.data(), width, 2, RowPadFor(width)));
    }

    void makeTextFile(const std::string &devicePath, const std::string &text = "not a picture")
    {
        WriteBytes(host(devicePath), std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    std::vector<std::string> names() const { return doc.FileNames(); }

    TempDir root;
    ScopedEnv rootEnv;
    SettingsStore store;
    AppSettings settings;
    RecordingFrame frame;
    RecordingSink sink;
    CAlbDoc doc{ settings, store };
};
