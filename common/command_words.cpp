#include "common/command_words.h"

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n';
}

bool isFileCode(std::string_view word)
{
    return word == "%f" || word == "%F" || word == "%u" || word == "%U";
}

// One word, with its quoting removed; the cursor at moves past it. Nothing on an open quote.
std::optional<std::string> nextWord(std::string_view line, std::size_t &at)
{
    std::string word;
    while (at < line.size() && !isBlank(line[at])) {
        const char c = line[at++];
        if (c == '\\' && at < line.size()) {
            word += line[at++];
        } else if (c == '\'') {
            const std::size_t end = line.find('\'', at);
            if (end == std::string_view::npos)
                return std::nullopt;
            word.append(line.substr(at, end - at));
            at = end + 1;
        } else if (c == '"') {
            for (;;) {
                if (at >= line.size())
                    return std::nullopt;
                const char q = line[at++];
                if (q == '"')
                    break;
                const bool escaped = q == '\\' && at < line.size()
                        && std::string_view("\"`$\\").find(line[at]) != std::string_view::npos;
                word += escaped ? line[at++] : q;
            }
        } else {
            word += c;
        }
    }
    return word;
}

} // namespace

std::optional<std::vector<std::string>> CommandWords(std::string_view line,
                                                     const std::string &file)
{
    std::vector<std::string> words;
    bool fileGiven = false;
    std::size_t at = 0;
    for (;;) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        if (at >= line.size())
            break;
        // A field code is read before quoting is removed: a quoted "%f" is text.
        std::size_t end = at;
        while (end < line.size() && !isBlank(line[end]))
            ++end;
        const std::string_view raw = line.substr(at, end - at);
        if (isFileCode(raw)) {
            words.push_back(file);
            fileGiven = true;
            at = end;
            continue;
        }
        std::optional<std::string> word = nextWord(line, at);
        if (!word)
            return std::nullopt;
        for (std::size_t p = word->find("%%"); p != std::string::npos; p = word->find("%%", p + 1))
            word->erase(p, 1);
        words.push_back(std::move(*word));
    }
    if (words.empty())
        return std::nullopt;
    if (!fileGiven)
        words.push_back(file);
    return words;
}
