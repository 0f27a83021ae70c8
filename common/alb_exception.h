#pragma once

#include "common/message_format.h"

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

// Base of every exception that the program reports to the user: the program's own exception and
// the file exception. Catchers catch this class by reference.
class CAlbExceptionBase : public std::exception
{
public:
    // Copies the exception's text into out, at most capacity - 1 characters (capacity counts the
    // terminator of a fixed buffer). False when there is no text to give.
    virtual bool GetMessageText(std::string &out, std::size_t capacity) const = 0;

    // The whole text, for logs and tests.
    const char *what() const noexcept override;

protected:
    mutable std::string whatText;
};

// The program's exception: a string-table message and a location of four numbers
// (module, place, step, extra) that the report shows as "module:place:step:extra".
class CAlbException : public CAlbExceptionBase
{
public:
    // Room of the composed text, in characters with the terminator.
    static constexpr std::size_t kTextCapacity = 512;

    CAlbException() = default;
    explicit CAlbException(std::uint32_t messageId, std::uint32_t module = 0,
                           std::uint32_t place = 0, std::uint32_t step = 0,
                           std::uint32_t extra = 0, bool buildText = false,
                           const MessageArgs &args = {});

    // Re-initialises this object in place with the rules of the constructor.
    void Reinit(std::uint32_t messageId, std::uint32_t module, std::uint32_t place,
                std::uint32_t step, std::uint32_t extra, bool buildText,
                const MessageArgs &args = {});

    bool GetMessageText(std::string &out, std::size_t capacity) const override;
    std::uint32_t GetMessageId() const { return messageId; }
    std::uint32_t GetExtra() const { return extra; }

    // Identifiers 46040 and 46041: the views free cached pictures and retry on these.
    bool isMemoryClass() const;

    std::uint32_t messageId = 0;
    std::uint32_t module = 0;
    std::uint32_t place = 0;
    std::uint32_t step = 0;
    std::uint32_t extra = 0;
    // Composed message, empty until first needed; GetMessageText fills it.
    mutable std::string text;

private:
    bool hasLocation() const;
    void appendLocation() const;
    void composeDefault() const;
};

// A file that could not be opened, mapped, created or written: the host's error text for the
// error number, with the file's path.
class CAlbFileException : public CAlbExceptionBase
{
public:
    CAlbFileException(int errorNumber, std::string path);

    bool GetMessageText(std::string &out, std::size_t capacity) const override;
    int errorNumber() const { return errorCode; }
    const std::string &path() const { return filePath; }

private:
    int errorCode;
    std::string filePath;
};

// How a file exception's message shows its path: as stored unless a program that shows paths
// to people in another form installs that form (nullptr puts back the stored form).
using ShownPathForm = std::string (*)(std::string_view path);
void SetShownPathForm(ShownPathForm form);

// Throws CAlbException(messageId, module, place, step) without building its text.
[[noreturn]] void ThrowAlb(std::uint32_t messageId, std::uint32_t module = 0,
                           std::uint32_t place = 0, std::uint32_t step = 0);

// Throws the file exception for errno and path.
[[noreturn]] void ThrowFileError(int errorNumber, const std::string &path);
