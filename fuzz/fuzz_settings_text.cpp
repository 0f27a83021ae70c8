// The settings file's text: any file parses, and a value written into it reads back the same,
// also after the text is written out and parsed again, while other values stay as they were.
// The input is the file text, then, each after a zero byte, a key, a value name, the string to
// write there, and a second key and name whose value must not change.
#include "common/settings_text.h"
#include "fuzz_input.h"

#include <array>
#include <string_view>

namespace {

constexpr std::size_t kParts = 6;

std::array<std::string_view, kParts> partsOf(std::string_view input)
{
    std::array<std::string_view, kParts> parts{};
    for (std::size_t i = 0; i < kParts; ++i) {
        const std::size_t zero = i + 1 < kParts ? input.find('\0') : std::string_view::npos;
        parts[i] = input.substr(0, zero);
        input = zero == std::string_view::npos ? std::string_view{} : input.substr(zero + 1);
    }
    return parts;
}

bool sameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto fold = [](char c) {
            return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        };
        if (fold(a[i]) != fold(b[i]))
            return false;
    }
    return true;
}

void check(bool holds)
{
    if (!holds)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto [file, key, name, value, otherKey, otherName] =
            partsOf(std::string_view(reinterpret_cast<const char *>(data), size));
    SettingsText text(file);
    const std::optional<std::string> other = text.rawValue(otherKey, otherName);
    if (other) {
        StringOfValueData(*other);
        BytesOfValueData(*other);
    }

    text.setRawValue(key, name, StringValueData(value));
    const SettingsText reread(text.text());
    for (const SettingsText *t : { static_cast<const SettingsText *>(&text), &reread }) {
        const std::optional<std::string> raw = t->rawValue(key, name);
        check(raw && StringOfValueData(*raw) == std::string(value));
        if (!(sameIgnoringCase(key, otherKey) && sameIgnoringCase(name, otherName)))
            check(t->rawValue(otherKey, otherName) == other);
    }

    const std::vector<std::uint8_t> bytes(value.begin(), value.end());
    check(BytesOfValueData(BinaryValueData(bytes)) == bytes);
    return 0;
}
