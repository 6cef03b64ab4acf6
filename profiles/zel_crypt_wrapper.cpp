#include "profiles/zel_crypt_wrapper.h"

#include "log/failure.h"
#include "profiles/zel_scramble.h"

#include <climits>

namespace {

constexpr int kScrambleSpare = 17;
constexpr int kDescrambleSpare = 2;

int CheckedLength(const ByteBuffer& buffer, int spare)
{
    if (buffer.size() > static_cast<std::size_t>(INT_MAX - spare))
        throw Failure("Invalid parameter : data_in.");
    return static_cast<int>(buffer.size());
}

} // namespace

bool ZelCryptWrapper::scramble(const ByteBuffer& in, ByteBuffer& out)
{
    try {
        const int n = CheckedLength(in, kScrambleSpare);
        ByteBuffer buffer(static_cast<std::size_t>(n + kScrambleSpare), 0);
        const int length = zel_enc_scramble(buffer.data(), n + kScrambleSpare, n, in.data());
        if (length == -1)
            throw Failure("zel_enc_scramble() failed.");
        buffer.resize(static_cast<std::size_t>(length));
        out = std::move(buffer);
        return true;
    } catch (...) {
        return false;
    }
}

bool ZelCryptWrapper::descramble(const ByteBuffer& in, ByteBuffer& out)
{
    try {
        if (in.empty())
            throw Failure("Invalid parameter : data_in.");
        const int n = CheckedLength(in, kDescrambleSpare);
        ByteBuffer buffer(static_cast<std::size_t>(n + kDescrambleSpare), 0);
        const int length = zel_dec_scramble(in.data(), n + kDescrambleSpare, n, buffer.data());
        if (length == -1)
            throw Failure("zel_dec_scramble() failed.");
        buffer.resize(static_cast<std::size_t>(length));
        out = std::move(buffer);
        return true;
    } catch (...) {
        return false;
    }
}
