#include "convert/lok/jpeg_file.h"

#include "platform/unique_fd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <turbojpeg.h>

namespace {

// Gives files of about the size and look the office's own JPEG writer gives
// at 1280 x 800, which encodes progressively at its default quality.
constexpr int kQuality = 80;

struct CompressorDeleter
{
    void operator()(void* handle) const { tjDestroy(handle); }
};

struct BufferDeleter
{
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

std::string WriteAll(const std::string& path, const unsigned char* data, unsigned long size)
{
    UniqueFd file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!file.IsOpen())
        return std::string("cannot create the image: ") + std::strerror(errno);
    unsigned long written = 0;
    while (written < size) {
        const ssize_t wrote = ::write(file.Get(), data + written, size - written);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return std::string("cannot write the image: ") + std::strerror(errno);
        written += static_cast<unsigned long>(wrote);
    }
    if (const int error = file.Close())
        return std::string("cannot write the image: ") + std::strerror(error);
    return {};
}

} // namespace

std::string WriteJpeg(const std::string& path, const unsigned char* pixels, int width, int height,
                      bool bgra)
{
    const std::unique_ptr<void, CompressorDeleter> compressor(tjInitCompress());
    if (!compressor)
        return "no JPEG encoder";
    unsigned char* encoded = nullptr;
    unsigned long size = 0;
    const int status = tjCompress2(compressor.get(), pixels, width, 0, height,
                                   bgra ? TJPF_BGRX : TJPF_RGBX, &encoded, &size, TJSAMP_420,
                                   kQuality, 0);
    const std::unique_ptr<unsigned char, BufferDeleter> owned(encoded);
    if (status != 0)
        return std::string("JPEG encoding failed: ") + tjGetErrorStr2(compressor.get());
    return WriteAll(path, encoded, size);
}
