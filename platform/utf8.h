#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Text is UTF-8 throughout the core; these are its checks.
namespace platform {

// Bytes of the character that starts with this byte (1 to 4), or 0 when the
// byte cannot start a character.
std::size_t Utf8SequenceLength(unsigned char lead);

bool IsValidUtf8(std::string_view text);

// The text with every byte that is not part of a valid character replaced
// by '?', the way a code-page conversion uses its default character.
std::string Utf8WithReplacements(std::string_view text);

// Number of characters in valid UTF-8 text.
std::size_t Utf8CharacterCount(std::string_view text);

} // namespace platform
