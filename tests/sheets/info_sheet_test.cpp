// The information sheet over a real document: which pages it has, what each shows, and what OK
// keeps.
#include "sheets/info_sheet.h"

#include "codecs/gif_writer.h"
#include "codecs/jpeg_writer.h"
#include "common/host_path.h"
#include "platform/display_path.h"
#include "sheets/folder_page.h"
#include "sheets/output_page.h"
#include "sheets/prop_page.h"
#include "sheets/prop_sheet.h"
#include "tests/app/doc_test_support.h"
#include "tests/platform/scoped_env.h"
#include "tests/support/exif_jpeg.h"
#include "tests/support/qt_test_app.h"
#include "views/view_picture.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

// Readable failures.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

// Facts of a made-up machine.
SystemFacts acmeFacts()
{
    SystemFacts facts;
    facts.model = "Acme Box";
    facts.processor = "Acme CPU";
    facts.osName = "Acme OS";
    facts.kernelMajor = 6;
    facts.kernelMinor = 1;
    facts.storage = MemoryFigures{ 3u << 20, 1024 };
    facts.memory = MemoryFigures{ 1u << 20, 3u << 19 };
    return facts;
}

class InfoSheetTest : public DocTest
{
protected:
    InfoSheetTest() { EnsureTestApplication(); }

    std::unique_ptr<CPropSheet> makeSheet(SystemFacts facts = acmeFacts())
    {
        InfoSheetSources sources = HostInfoSheetSources();
        sources.systemFacts = [facts] {
            return facts;
        };
        auto sheet = MakeInfoSheet(doc, nullptr, sources);
        sheet->show();
        return sheet;
    }

    static QStringList titles(const CPropSheet &sheet)
    {
        QStringList list;
        for (const CPropPage *page : sheet.pages())
            list << page->title();
        return list;
    }

    // The text of a control on a page, the page brought to front first (which fills it).
    static QString text(CPropSheet &sheet, const char *page, const char *id)
    {
        auto *found = sheet.findChild<CPropPage *>(QString::fromUtf8(page));
        EXPECT_NE(found, nullptr) << page;
        if (!found)
            return {};
        sheet.tabWidget()->setCurrentWidget(found);
        if (auto *label = found->findChild<QLabel *>(QString::fromUtf8(id)))
            return label->text();
        if (auto *field = found->findChild<QLineEdit *>(QString::fromUtf8(id)))
            return field->text();
        ADD_FAILURE() << "no control " << id << " on page " << page;
        return {};
    }

    void writeJpeg(const std::string &devicePath, int width, int height, int bytesPerPixel, int dpi)
    {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width * height * 3), 0x80);
        JpegWriter writer;
        writer.xResolution = writer.yResolution = dpi;
        writer.write(host(devicePath),
                     PixelSpan::Padded(pixels.data(), width, height, 0, bytesPerPixel));
    }

    void writeGif(const std::string &devicePath, int colours)
    {
        ImagePalette palette;
        palette.count = static_cast<std::uint16_t>(colours);
        for (int i = 0; i < colours; ++i)
            palette.entries[i] = { std::uint8_t(i * 40), 0, 0, 0 };
        std::vector<std::uint8_t> pixels(8 * 8, 1);
        GifWriter writer;
        writer.write(host(devicePath), PixelSpan::Padded(pixels.data(), 8, 8, 0, 1, &palette));
    }

    std::uint64_t fileSize(const std::string &devicePath) const
    {
        return std::filesystem::file_size(host(devicePath));
    }
};

TEST_F(InfoSheetTest, ShowsTheSelectedPictureItsSizeTheFolderAndTheMachine)
{
    makeFolder("\\Pictures");
    writeJpeg("\\Pictures\\a.jpg", 8, 8, 3, 96);
    writeJpeg("\\Pictures\\b.jpg", 640, 480, 3, 72);
    doc.ChangeFolder("\\Pictures");
    ASSERT_EQ(doc.Count(), 2);
    doc.ClearSelection();
    doc.SelectItem(doc.ItemAt(1), true);
    SetSizeUnit(settings, 1);

    auto sheet = makeSheet();
    EXPECT_EQ(sheet->windowTitle(), "Vistrel");
    EXPECT_EQ(titles(*sheet), (QStringList{ "Image", "Size", "Folder", "System" }));
    // Only the page on show has been filled.
    EXPECT_TRUE(sheet->pages()[0]->filled());
    EXPECT_FALSE(sheet->pages()[1]->filled());

    EXPECT_EQ(text(*sheet, "112", "1010"), "JPEG");
    EXPECT_EQ(text(*sheet, "112", "1011"), "16.78 M");
    EXPECT_EQ(text(*sheet, "112", "1013"), "640 x 480");
    EXPECT_EQ(text(*sheet, "112", "1016"), "b.jpg");
    EXPECT_EQ(text(*sheet, "112", "1017"),
              QString::fromStdString(DateText(doc.ItemAt(1)->lastWriteTime)));
    EXPECT_EQ(text(*sheet, "112", "1018"),
              QString::fromStdString(ByteSizeText(fileSize("\\Pictures\\b.jpg"))));

    // The Size page opens in the stored unit and follows the unit list.
    const QStringList inches = { "640", "480", "72", "72", "8.8", "6.6" };
    const QStringList centimetres = { "640", "480", "28", "28", "22.5", "16.9" };
    const char *const ids[] = { "2001", "2002", "2011", "2012", "2021", "2022" };
    auto sizeTexts = [&] {
        QStringList list;
        for (const char *id : ids)
            list << text(*sheet, "113", id);
        return list;
    };
    auto *units = sheet->findChild<QComboBox *>("1075");
    ASSERT_NE(units, nullptr);
    EXPECT_EQ(sizeTexts(), inches);
    EXPECT_TRUE(units->isEnabled());
    EXPECT_EQ(sheet->findChild<QGroupBox *>("2020")->title(), "Output size (Inches)");
    units->setCurrentIndex(0);
    EXPECT_EQ(sizeTexts(), centimetres);
    EXPECT_EQ(sheet->findChild<QGroupBox *>("2010")->title(), "Resolution (Pixel/Centimeter)");

    EXPECT_EQ(text(*sheet, "114", "1015"), DisplayPathText("\\Pictures"));
    EXPECT_EQ(text(*sheet, "114", "1019"), "2");
    EXPECT_EQ(text(*sheet, "114", "1018"),
              QString::fromStdString(
                      ByteSizeText(fileSize("\\Pictures\\a.jpg") + fileSize("\\Pictures\\b.jpg"))));
    EXPECT_NE(text(*sheet, "114", "1017"), "N/A");

    QStringList system;
    for (const char *id :
         { "1055", "1054", "1051", "1052", "1046", "1047", "1048", "1049", "1050" })
        system << text(*sheet, "115", id);
    // The total memory is the RAM alone; storage is the device root's file system.
    EXPECT_EQ(system,
              (QStringList{ "Acme Box", "Acme CPU", "Acme OS", "6.1", "1 MB", "3 MB", "1 KB",
                            "1 MB", "1.50 MB" }));

    // OK keeps the unit chosen; the settings are unchanged until then.
    EXPECT_EQ(SizeUnit(settings), 1);
    sheet->accept();
    EXPECT_EQ(SizeUnit(settings), 0);
}

// The Folder page reads as the desktop writes paths: "~" for the root when it is the home folder.
TEST_F(InfoSheetTest, FolderPageShowsTheFolderInTheDesktopsForm)
{
    struct Row
    {
        std::string home;
        const char *folder;
        const char *shown;
    };

    const Row rows[] = {
        { DeviceRoot(), "\\Pictures\\2024 a", "~/Pictures/2024 a" },
        { DeviceRoot(), "\\", "~" },
        { "/nowhere/else", "\\Pictures\\2024 a", "/Pictures/2024 a" },
        { "/nowhere/else", "\\", "/" },
    };
    for (const Row &row : rows) {
        ScopedEnv home("HOME", row.home);
        CFolderPage page(row.folder, 0, 0);
        page.fillOnce();
        auto *field = page.findChild<QLineEdit *>(QStringLiteral("1015"));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->text().toStdString(), row.shown) << row.folder;
    }
}

TEST_F(InfoSheetTest, EmptyRootFolderHasOnlyFolderAndSystemWithoutADate)
{
    doc.ChangeFolder("\\");
    ASSERT_EQ(doc.Count(), 0);
    SetSizeUnit(settings, 1);
    auto sheet = makeSheet(SystemFacts{});
    EXPECT_EQ(titles(*sheet), (QStringList{ "Folder", "System" }));
    EXPECT_EQ(text(*sheet, "114", "1019"), "0");
    EXPECT_EQ(text(*sheet, "114", "1018"), "0 B");
    EXPECT_EQ(text(*sheet, "114", "1017"), "N/A");
    // A machine that tells nothing.
    QStringList system;
    for (const char *id : { "1055", "1054", "1051", "1052", "1046", "1047", "1049" })
        system << text(*sheet, "115", id);
    EXPECT_EQ(system,
              (QStringList{ "Unknown", "Unknown", "Linux", "Unknown", "N/A", "N/A", "N/A" }));
    // Without a Size page, OK leaves the unit alone.
    sheet->accept();
    EXPECT_EQ(SizeUnit(settings), 1);
}

TEST_F(InfoSheetTest, TypeAndColoursOfEachKindOfPicture)
{
    makeFolder("\\p");
    writeJpeg("\\p\\gray.jpg", 8, 8, 1, 72);
    writeGif("\\p\\four.gif", 4);
    makePicture("\\p\\rgb.bmp");
    doc.ChangeFolder("\\p");
    ASSERT_EQ(doc.Count(), 3);

    struct Row
    {
        const char *name, *type, *colours;
    } rows[] = {
        { "four.gif", "GIF", "4" },
        { "gray.jpg", "JPEG", "Grayscale" },
        { "rgb.bmp", "BMP", "16.78 M" },
    };

    for (const Row &row : rows) {
        doc.ClearSelection();
        doc.SelectByName(row.name);
        auto sheet = makeSheet();
        EXPECT_EQ(text(*sheet, "112", "1016"), row.name);
        EXPECT_EQ(text(*sheet, "112", "1010"), row.type) << row.name;
        EXPECT_EQ(text(*sheet, "112", "1011"), row.colours) << row.name;
    }
}

// A GIF whose only palette is a 16-colour local table: its colours are known once the image view
// has decoded it.
TEST_F(InfoSheetTest, ColoursCountThePaletteOfThePictureOnShow)
{
    const std::vector<std::uint8_t> gif = [] {
        std::vector<std::uint8_t> bytes = { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0,
                                            // 1 x 1 at 0, 0 with a local table of 16 entries
                                            0x2c, 0, 0, 0, 0, 1, 0, 1, 0, 0x83 };
        bytes.resize(bytes.size() + 16 * 3, 0x40);
        // Code size 4: clear, index 0, end.
        bytes.insert(bytes.end(), { 4, 2, 0x10, 0x44, 0, 0x3b });
        return bytes;
    }();
    makeFolder("\\p");
    WriteBytes(host("\\p\\local.gif"), gif);
    doc.ChangeFolder("\\p");
    ASSERT_EQ(doc.Count(), 1);
    ImageItem &item = *doc.ItemAt(0);
    EXPECT_EQ(FactsOf(item).colours, "256");
    ASSERT_EQ(LoadViewFrames(doc, item, 100), 0u);
    EXPECT_EQ(FactsOf(item).colours, "16");
}

TEST_F(InfoSheetTest, PictureWithoutDescriptionShowsEmptyFacts)
{
    ImageItem item;
    item.info.format = 2;
    item.info.width = 640;
    item.info.xResolution = item.info.yResolution = 72;
    COutputPage page(FactsOf(item), settings);
    page.fillOnce();
    EXPECT_EQ(page.findChild<QLabel *>("2021")->text(), "N/A");
    EXPECT_EQ(page.findChild<QLabel *>("2001")->text(), "0");
    EXPECT_FALSE(page.findChild<QComboBox *>("1075")->isEnabled());
    EXPECT_EQ(FactsOf(item).colours, "0");
}

TEST_F(InfoSheetTest, DetailsPageOnlyForAPhotoWithAnIntactExifBlock)
{
    makeFolder("\\photos");
    ASSERT_TRUE(WriteExifJpeg(host("\\photos\\cut.jpg"), 40, 30));
    ASSERT_TRUE(TruncateExifSegment(host("\\photos\\cut.jpg"), 200));
    ASSERT_TRUE(WriteExifJpeg(host("\\photos\\whole.jpg"), 40, 30));
    doc.ChangeFolder("\\photos");
    ASSERT_EQ(doc.Count(), 2);

    doc.SelectByName("whole.jpg");
    auto sheet = makeSheet();
    EXPECT_EQ(titles(*sheet), (QStringList{ "Image", "Size", "Details", "Folder", "System" }));
    for (const ExifFact &fact : KnownExifFacts())
        EXPECT_EQ(text(*sheet, "Details", fact.name.c_str()), QString::fromStdString(fact.value));

    doc.ClearSelection();
    doc.SelectByName("cut.jpg");
    sheet = makeSheet();
    EXPECT_EQ(titles(*sheet), (QStringList{ "Image", "Size", "Folder", "System" }));
    EXPECT_EQ(text(*sheet, "112", "1013"), "40 x 30");
    EXPECT_TRUE(sink.shown.empty());
}

} // namespace
