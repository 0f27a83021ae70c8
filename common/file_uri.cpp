#include "common/file_uri.h"

namespace {

bool keptAsIs(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    // The unreserved marks and the characters a path may hold unescaped; ';' separates path
    // parameters, so it is escaped.
    static constexpr std::string_view kMarks = "-._~!$&'()*+,=:@/";
    return kMarks.find(static_cast<char>(c)) != std::string_view::npos;
}

} // namespace

std::string FileUri(std::string_view absolutePath)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (char ch : absolutePath) {
        const auto c = static_cast<unsigned char>(ch);
        if (keptAsIs(c)) {
            uri += ch;
        } else {
            uri += '%';
            uri += kDigits[c >> 4];
            uri += kDigits[c & 15];
        }
    }
    return uri;
}
