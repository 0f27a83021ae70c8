#include "common/string_table.h"

#include "common/utf8.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <utility>

namespace {

struct StringEntry
{
    std::uint32_t id;
    std::string_view text;
};

// Kept in ascending order of id; a test checks the order and that no id repeats.
constexpr StringEntry kStrings[] = {
#define VISTREL_STRING(id, text) { id, text },
#include "strings.inc"
#undef VISTREL_STRING
};

// Texts set at run time; a std::map keeps each string where it is while others are added.
std::map<std::uint32_t, std::string> &overrides()
{
    static std::map<std::uint32_t, std::string> texts;
    return texts;
}

} // namespace

void SetStringOverride(std::uint32_t id, std::string text)
{
    overrides()[id] = std::move(text);
}

void ClearStringOverride(std::uint32_t id)
{
    overrides().erase(id);
}

std::optional<std::string_view> FindString(std::uint32_t id)
{
    const auto &texts = overrides();
    if (auto found = texts.find(id); found != texts.end())
        return std::string_view(found->second);
    auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                               [](const StringEntry &e, std::uint32_t key) { return e.id < key; });
    if (it == std::end(kStrings) || it->id != id)
        return std::nullopt;
    return it->text;
}

bool LoadString(std::uint32_t id, std::string &out, std::size_t maxChars)
{
    auto text = FindString(id);
    if (!text)
        return false;
    out = Utf8Prefix(*text, maxChars);
    return true;
}

std::size_t StringTableSize()
{
    return std::size(kStrings);
}

std::uint32_t StringTableId(std::size_t index)
{
    return kStrings[index].id;
}
