#include "common/message_format.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long long asSigned(const MessageArg *arg)
{
    if (!arg)
        return 0;
    if (auto *v = std::get_if<long long>(arg))
        return *v;
    if (auto *u = std::get_if<unsigned long long>(arg))
        return static_cast<long long>(*u);
    return std::strtoll(std::get<std::string>(*arg).c_str(), nullptr, 10);
}

unsigned long long asUnsigned(const MessageArg *arg)
{
    if (arg && std::holds_alternative<unsigned long long>(*arg))
        return std::get<unsigned long long>(*arg);
    return static_cast<unsigned long long>(asSigned(arg));
}

std::string asText(const MessageArg *arg)
{
    if (!arg)
        return {};
    if (auto *s = std::get_if<std::string>(arg))
        return *s;
    if (auto *u = std::get_if<unsigned long long>(arg))
        return std::to_string(*u);
    return std::to_string(std::get<long long>(*arg));
}

// Formats one conversion whose flags, width and precision are in directive (without '%', length
// modifiers or the conversion letter).
std::string formatOne(const std::string &directive, char conversion, const MessageArg *arg)
{
    std::string format = "%" + directive;
    char buffer[512];
    int written = 0;
    switch (conversion) {
    case 'd':
    case 'i':
        format += "lld";
        written = std::snprintf(buffer, sizeof buffer, format.c_str(), asSigned(arg));
        break;
    case 'u':
    case 'x':
    case 'X':
    case 'o':
        format += "ll";
        format += conversion;
        written = std::snprintf(buffer, sizeof buffer, format.c_str(), asUnsigned(arg));
        break;
    case 'c':
        format += 'c';
        written = std::snprintf(buffer, sizeof buffer, format.c_str(),
                                static_cast<int>(asSigned(arg)));
        break;
    default: {
        format += 's';
        std::string text = asText(arg);
        written = std::snprintf(buffer, sizeof buffer, format.c_str(), text.c_str());
        if (written >= static_cast<int>(sizeof buffer) && directive.empty())
            return text;
    }
    }
    if (written < 0)
        return {};
    return std::string(buffer, std::min<std::size_t>(static_cast<std::size_t>(written),
                                                      sizeof buffer - 1));
}

} // namespace

std::string FormatMessage(std::string_view format, const MessageArgs &args)
{
    std::string out;
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        if (format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        std::size_t j = i + 1;
        while (j < format.size() && std::strchr("-+ #0123456789.", format[j]))
            ++j;
        std::string directive(format.substr(i + 1, j - i - 1));
        while (j < format.size() && std::strchr("hlLqjzt", format[j]))
            ++j;
        if (j >= format.size() || !std::strchr("diuxXocs", format[j])) {
            out.append(format.substr(i, j - i)); // not a conversion: keep it as text
            i = j - 1;
            continue;
        }
        const MessageArg *arg = next < args.size() ? &args[next] : nullptr;
        ++next;
        out += formatOne(directive, format[j], arg);
        i = j;
    }
    return out;
}
