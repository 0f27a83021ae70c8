#include "cli_commands.h"
#include "common/alb_exception.h"

#include <cstdio>
#include <cstring>

std::string CurrentFailureText(const std::string &file, const FailurePlace &place)
{
    std::string text;
    try {
        throw;
    } catch (const CAlbFileException &error) {
        text = error.path() == file ? std::string() : error.path() + ": ";
        text += std::strerror(error.errorNumber()) + std::string(".\n")
                + std::to_string(place.module) + ":" + std::to_string(place.place) + ":"
                + std::to_string(place.step) + ":" + std::to_string(error.errorNumber());
    } catch (const CAlbExceptionBase &error) {
        error.GetMessageText(text, CAlbException::kTextCapacity);
    } catch (const std::exception &error) {
        text = error.what();
    }
    return text;
}

void PrintFailure(const std::string &file, const FailurePlace &place)
{
    const std::string text = CurrentFailureText(file, place);
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", file.c_str(), text.c_str());
}
