#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Texts are UTF-8 in the core, but lengths that users see are counted in characters. These
// helpers count and cut by code points: a character starts at every byte that does not continue a
// multi-byte sequence, so a cut never splits a character.

// Number of characters in text.
std::size_t Utf8Length(std::string_view text);

// The first count characters of text (all of it when shorter).
std::string Utf8Prefix(std::string_view text, std::size_t count);

// The last count characters of text (all of it when shorter).
std::string Utf8Suffix(std::string_view text, std::size_t count);

// The length of the valid UTF-8 sequence that starts at text[i], or 0 when none does: a stray
// continuation byte, a lead byte that no sequence starts with, a cut sequence, an overlong form,
// a UTF-16 surrogate or a code point above U+10FFFF.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t i);

// Text made valid UTF-8: every byte that starts no valid sequence becomes U+FFFD.
std::string Utf8Repaired(std::string_view text);
