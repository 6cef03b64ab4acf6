#pragma once

#include <vector>

using ByteBuffer = std::vector<unsigned char>;

// The scrambler for growable buffers. Reports failure only through its
// result; it writes nothing to the log.
class ZelCryptWrapper
{
public:
    virtual ~ZelCryptWrapper() = default;

    // out becomes the scrambled form of in (15 or 16 bytes longer).
    bool scramble(const ByteBuffer& in, ByteBuffer& out);
    // out becomes the data that in carries; fails for an empty input only.
    bool descramble(const ByteBuffer& in, ByteBuffer& out);
};
