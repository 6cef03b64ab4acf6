#include "platform/utf8.h"

namespace platform {
namespace {

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// Length of the valid character at text[pos], or 0 when none starts there.
// Rejects overlong forms, surrogates and code points above U+10FFFF.
std::size_t ValidCharacterAt(std::string_view text, std::size_t pos)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const std::size_t length = Utf8SequenceLength(byte(0));
    if (length == 0 || pos + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(i)))
            return 0;
    }
    const unsigned char lead = byte(0);
    const unsigned char second = length > 1 ? byte(1) : 0;
    if (length == 3 && lead == 0xE0 && second < 0xA0)
        return 0; // overlong
    if (length == 3 && lead == 0xED && second >= 0xA0)
        return 0; // surrogate
    if (length == 4 && lead == 0xF0 && second < 0x90)
        return 0; // overlong
    if (length == 4 && lead == 0xF4 && second >= 0x90)
        return 0; // above U+10FFFF
    return length;
}

} // namespace

std::size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

bool IsValidUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = ValidCharacterAt(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string Utf8WithReplacements(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = ValidCharacterAt(text, pos);
        if (length == 0) {
            result += '?';
            ++pos;
        } else {
            result.append(text.substr(pos, length));
            pos += length;
        }
    }
    return result;
}

std::size_t Utf8CharacterCount(std::string_view text)
{
    std::size_t count = 0;
    for (unsigned char byte : text) {
        if (!IsContinuation(byte))
            ++count;
    }
    return count;
}

} // namespace platform
