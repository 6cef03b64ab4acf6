#include "convert/pptx_slide_count.h"

#include "platform/unique_fd.h"

#include <algorithm>
#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// The end of central directory record, and the one central directory entry.
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kEntrySignature = 0x02014b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kEntrySize = 46;
constexpr std::size_t kMaxComment = 0xFFFF;
// Far more than any deck's directory; a larger one is not read.
constexpr std::uint32_t kMaxDirectory = 16u << 20;

std::uint32_t Read16(const unsigned char* at)
{
    return static_cast<std::uint32_t>(at[0] | at[1] << 8);
}

std::uint32_t Read32(const unsigned char* at)
{
    return Read16(at) | Read16(at + 2) << 16;
}

bool ReadAt(int fd, std::vector<unsigned char>& buffer, off_t offset)
{
    std::size_t done = 0;
    while (done < buffer.size()) {
        const ssize_t got = ::pread(fd, buffer.data() + done, buffer.size() - done,
                                    offset + static_cast<off_t>(done));
        if (got <= 0)
            return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

bool IsSlidePart(std::string_view name)
{
    constexpr std::string_view prefix = "ppt/slides/slide";
    constexpr std::string_view suffix = ".xml";
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix))
        return false;
    const std::string_view number =
        name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::optional<int> CountPptxSlides(const std::string& path)
{
    // Never blocks on a FIFO or a device, whatever the name says.
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status
    {};
    if (!file.IsOpen() || ::fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) < kEndSize)
        return std::nullopt;

    const std::size_t size = static_cast<std::size_t>(status.st_size);
    std::vector<unsigned char> tail(std::min(size, kEndSize + kMaxComment));
    if (!ReadAt(file.Get(), tail, static_cast<off_t>(size - tail.size())))
        return std::nullopt;
    // The record is the last one; a comment of up to 64 KiB may follow it.
    std::optional<std::size_t> found;
    for (std::size_t at = tail.size() - kEndSize + 1; at-- > 0;) {
        if (Read32(&tail[at]) == kEndSignature) {
            found = at;
            break;
        }
    }
    if (!found)
        return std::nullopt;
    const std::size_t end = *found;

    const std::uint32_t entries = Read16(&tail[end + 10]);
    const std::uint32_t directorySize = Read32(&tail[end + 12]);
    const std::uint32_t directoryOffset = Read32(&tail[end + 16]);
    if (directorySize > kMaxDirectory || std::uint64_t{directoryOffset} + directorySize > size)
        return std::nullopt; // also a zip64 package, whose fields say 0xFFFFFFFF
    std::vector<unsigned char> directory(directorySize);
    if (!ReadAt(file.Get(), directory, static_cast<off_t>(directoryOffset)))
        return std::nullopt;

    int slides = 0;
    std::size_t at = 0;
    for (std::uint32_t entry = 0; entry < entries; ++entry) {
        if (at + kEntrySize > directory.size() || Read32(&directory[at]) != kEntrySignature)
            return std::nullopt;
        const std::size_t nameSize = Read16(&directory[at + 28]);
        const std::size_t next =
            at + kEntrySize + nameSize + Read16(&directory[at + 30]) + Read16(&directory[at + 32]);
        if (next > directory.size())
            return std::nullopt;
        const std::string_view name(reinterpret_cast<const char*>(&directory[at + kEntrySize]),
                                    nameSize);
        if (IsSlidePart(name))
            ++slides;
        at = next;
    }
    return slides;
}
