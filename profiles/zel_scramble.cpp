#include "profiles/zel_scramble.h"

#include <cstring>
#include <random>

namespace {

constexpr unsigned char kKey = 0xA7;
constexpr unsigned char kMarker = 'z';
constexpr int kPrefixBase = 16 - 2;

unsigned char Encode(unsigned char byte)
{
    const auto rotated = static_cast<unsigned char>((byte >> 2) | (byte << 6));
    return rotated ^ kKey;
}

unsigned char Decode(unsigned char byte)
{
    const auto plain = static_cast<unsigned char>(byte ^ kKey);
    return static_cast<unsigned char>((plain << 2) | (plain >> 6));
}

// Draws r from 0 to 1 inclusive in steps of 1/32767, the range the file
// format's prefix lengths and character classes are defined on.
class PrefixDraws
{
public:
    PrefixDraws() : generator_(std::random_device{}()) {}

    double Next() { return range_(generator_) / 32767.0; }

    unsigned char Character()
    {
        const int type = static_cast<int>(Next() * 10);
        const double r = Next();
        if (type <= 2)
            return static_cast<unsigned char>(r * 24 + 97 + 0.4); // 'a' to 'y'
        if (type <= 5)
            return static_cast<unsigned char>(r * 25 + 65 + 0.4); // 'A' to 'Z'
        return static_cast<unsigned char>(r * 9 + 48 + 0.4);      // '0' to '9'
    }

private:
    std::mt19937 generator_;
    std::uniform_int_distribution<int> range_{0, 32767};
};

} // namespace

int zel_enc_scramble(unsigned char* out, int capacity, int n, const unsigned char* in)
{
    if (out == nullptr || capacity < 0 || n < 0 || (n > 0 && in == nullptr))
        return -1;
    std::memset(out, 0, static_cast<std::size_t>(capacity));
    if (n > capacity)
        return -1;
    PrefixDraws draws;
    const int spare = capacity - n;
    const int prefix = static_cast<int>(draws.Next() * (spare - 16) + kPrefixBase);
    // Only a spare of 17 or more is sure to hold the prefix and the marker.
    if (prefix < 0 || prefix + 1 > spare)
        return -1;
    for (int i = 0; i < prefix; ++i)
        out[i] = draws.Character();
    out[prefix] = kMarker;
    if (n > 0)
        std::memcpy(out + prefix + 1, in, static_cast<std::size_t>(n));
    const int length = prefix + 1 + n;
    for (int i = 0; i < length; ++i)
        out[i] = Encode(out[i]);
    return length;
}

int zel_dec_scramble(const unsigned char* in, int capacity, int n, unsigned char* out)
{
    if (out == nullptr || capacity < 0 || n < 0 || (n > 0 && in == nullptr))
        return -1;
    std::memset(out, 0, static_cast<std::size_t>(capacity));
    int marker = -1;
    for (int i = 0; i < n && marker < 0; ++i) {
        if (Decode(in[i]) == kMarker)
            marker = i;
    }
    // Without a marker the whole input is data.
    const int start = marker < 0 ? 0 : marker + 1;
    const int length = n - start;
    if (length > capacity)
        return -1;
    for (int i = 0; i < length; ++i)
        out[i] = Decode(in[start + i]);
    return length;
}
