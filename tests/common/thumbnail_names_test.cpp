// The names the desktop's thumbnail cache derives from a file: its URI and the URI's MD5.
#include "common/file_uri.h"
#include "common/md5.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct DigestCase
{
    std::string input;
    const char *digest;
};

TEST(Md5, KnownDigestsAcrossBlockBoundaries)
{
    // The published test suite, plus lengths around the 55/56/64-byte padding boundaries.
    const DigestCase cases[] = {
        { "", "d41d8cd98f00b204e9800998ecf8427e" },
        { "a", "0cc175b9c0f1b6a831c399e269772661" },
        { "abc", "900150983cd24fb0d6963f7d28e17f72" },
        { "message digest", "f96b697d7cb7938d525a2f31aaf161d0" },
        { "abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b" },
        { "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
          "d174ab98d277d9f5a5611c2c9f419d9f" },
        { "1234567890123456789012345678901234567890123456789012345678901234567890123456789"
          "0",
          "57edf4a22be3c955ac49da2e2107b67a" },
        { std::string(55, 'x'), "04364420e25c512fd958a70738aa8f72" },
        { std::string(56, 'x'), "668a72d5ba17f08e62dabcafad6db14b" },
        { std::string(64, 'x'), "c1bb4f81d892b2d57947682aeb252456" },
        { "file:///home/jens/photos/picture.png", "d6246cff911bd3f8de53b4355bb7b6fc" },
    };
    for (const DigestCase &c : cases)
        EXPECT_EQ(Md5Hex(c.input), c.digest) << c.input.size() << " bytes";
}

TEST(FileUri, EscapesWhatTheDesktopEscapes)
{
    const std::pair<const char *, const char *> cases[] = {
        { "/home/jens/photos/picture.png", "file:///home/jens/photos/picture.png" },
        { "/a b/c%d#e?f;g", "file:///a%20b/c%25d%23e%3Ff%3Bg" },
        { "/x/Fotos-_.~!$&'()*+,=:@", "file:///x/Fotos-_.~!$&'()*+,=:@" },
        { "/pics/\xc3\xa9t\xc3\xa9.jpg", "file:///pics/%C3%A9t%C3%A9.jpg" },
        { "/\"<>\\^`{|}", "file:///%22%3C%3E%5C%5E%60%7B%7C%7D" },
    };
    for (const auto &[path, uri] : cases)
        EXPECT_EQ(FileUri(path), uri) << path;
}

} // namespace
