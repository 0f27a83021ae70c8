#include "common/alb_exception.h"

#include "common/string_ids.h"
#include "common/utf8.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string messageText(const CAlbExceptionBase &exception, std::size_t capacity = 512)
{
    std::string text;
    EXPECT_TRUE(exception.GetMessageText(text, capacity));
    return text;
}

constexpr std::uint32_t kNoSuchString = 12345;

} // namespace

TEST(AlbExceptionTest, TextBuiltOrComposedLater)
{
    struct Row
    {
        const char *label;
        CAlbException exception;
        const char *storedText; // the text right after construction
        const char *reported; // what GetMessageText gives
    };

    const std::vector<Row> rows = {
        { "not built", CAlbException(Msg::AccessDenied), "", "File access was denied." },
        { "built", CAlbException(Msg::AccessDenied, 0, 0, 0, 0, true), "File access was denied.",
          "File access was denied." },
        { "built with location", CAlbException(Msg::UnableToSaveSnapFile, 36007, 3000, 40, 0, true),
          "Unable to save snap file.\n36007:3000:40:0",
          "Unable to save snap file.\n36007:3000:40:0" },
        { "built with argument",
          CAlbException(Msg::FailedToCrop, 47000, 105, 1, 0, true, { std::string("x_c.jpg") }),
          "Failed to crop image file to 'x_c.jpg'.\n47000:105:1:0",
          "Failed to crop image file to 'x_c.jpg'.\n47000:105:1:0" },
        // Built: an unknown message falls back without a location. Composed later: with one.
        { "unknown, built", CAlbException(kNoSuchString, 1, 2, 3, 4, true),
          "No Error message available.", "No Error message available." },
        { "unknown, not built", CAlbException(kNoSuchString, 1, 2, 3, 4), "",
          "No Error message available.\n1:2:3:4" },
        { "only the fourth number", CAlbException(Msg::NotEnoughMemory, 0, 0, 0, 7), "",
          "Not enough memory.\n0:0:0:7" },
        { "not built keeps %s", CAlbException(Msg::ImageCropped), "",
          "Image file %s has been cropped." },
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.label);
        EXPECT_EQ(row.exception.text, row.storedText);
        EXPECT_EQ(messageText(row.exception), row.reported);
        EXPECT_EQ(row.exception.text, row.reported); // the composed text stays
        EXPECT_STREQ(row.exception.what(), row.reported);
    }
}

TEST(AlbExceptionTest, GetMessageTextCapacity)
{
    CAlbException exception(Msg::AccessDenied); // "File access was denied." has 23 characters
    EXPECT_EQ(messageText(exception, 10), "File acce");
    EXPECT_EQ(messageText(exception, 24), "File access was denied.");
    EXPECT_EQ(messageText(exception, 23), "File access was denied");
    EXPECT_EQ(messageText(exception, 1), "");
    EXPECT_EQ(exception.text, "File access was denied.");
}

TEST(AlbExceptionTest, TextHoldsAt511Characters)
{
    CAlbException exception(Msg::ImageCropped, 1, 0, 0, 0, true, { std::string(600, 'n') });
    EXPECT_EQ(Utf8Length(exception.text), CAlbException::kTextCapacity - 1);
    EXPECT_EQ(exception.text.substr(0, 11), "Image file ");
}

TEST(AlbExceptionTest, ReinitReplacesEverything)
{
    CAlbException exception(Msg::AccessDenied, 1, 2, 3, 4, true);
    exception.Reinit(Msg::SpecifyName, Module::FileNameCheck, 2100, 10, 0, false);
    EXPECT_EQ(exception.GetMessageId(), Msg::SpecifyName);
    EXPECT_EQ(exception.GetExtra(), 0u);
    EXPECT_TRUE(exception.text.empty());
    EXPECT_EQ(messageText(exception), "Please specify file name or folder name.\n100:2100:10:0");
    exception.Reinit(Msg::NotEnoughMemory, 101, 100, 10, 5, true);
    EXPECT_EQ(exception.text, "Not enough memory.\n101:100:10:5");
    EXPECT_EQ(exception.GetExtra(), 5u);
}

TEST(AlbExceptionTest, MemoryClass)
{
    EXPECT_TRUE(CAlbException(Msg::NotEnoughMemory).isMemoryClass());
    EXPECT_TRUE(CAlbException(Msg::NoSystemResources).isMemoryClass());
    EXPECT_FALSE(CAlbException(Msg::InvalidFormat).isMemoryClass());
}

TEST(AlbExceptionTest, ThrowHelpers)
{
    try {
        ThrowAlb(Msg::InvalidFormat, Module::BmpReader, 3, 2);
        FAIL() << "no throw";
    } catch (const CAlbException &e) {
        EXPECT_EQ(e.messageId, Msg::InvalidFormat);
        EXPECT_EQ(messageText(e), "File format is not valid.\n38001:3:2:0");
    }
    try {
        ThrowFileError(ENOENT, "\\a.jpg");
        FAIL() << "no throw";
    } catch (const CAlbExceptionBase &e) {
        auto *file = dynamic_cast<const CAlbFileException *>(&e);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->errorNumber(), ENOENT);
        EXPECT_EQ(messageText(e), "\\a.jpg: " + std::string(std::strerror(ENOENT)) + ".");
        // A program that shows paths in another form gets its form into the message; the stored
        // path stays as it was.
        SetShownPathForm([](std::string_view path) { return "shown " + std::string(path); });
        EXPECT_EQ(messageText(e), "shown \\a.jpg: " + std::string(std::strerror(ENOENT)) + ".");
        SetShownPathForm(nullptr);
        EXPECT_EQ(file->path(), "\\a.jpg");
    }
}
