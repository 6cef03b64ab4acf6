#include "tests/support/jpeg_info.h"

#include <fstream>
#include <iterator>
#include <vector>

JpegSize ReadJpegSize(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
    if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8)
        return {};
    std::size_t pos = 2;
    while (pos + 9 < bytes.size()) {
        if (bytes[pos] != 0xFF)
            return {};
        const unsigned char marker = bytes[pos + 1];
        const std::size_t length = (bytes[pos + 2] << 8) | bytes[pos + 3];
        // Start-of-frame markers, except the DHT, JPG and DAC codes among them.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            const int height = (bytes[pos + 5] << 8) | bytes[pos + 6];
            const int width = (bytes[pos + 7] << 8) | bytes[pos + 8];
            return {width, height, true};
        }
        pos += 2 + length;
    }
    return {};
}
