#include "convert/source_checks.h"

#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "log/log_scope.h"
#include "platform/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>

namespace {

bool IsRegularFile(int fd)
{
    struct stat info
    {};
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

const std::vector<std::string>& PresentationExtensions()
{
    static const std::vector<std::string> extensions = {".ppt", ".pptx", ".pptm", ".pps", ".ppsx",
                                                        ".pot", ".potx", ".potm", ".odp"};
    return extensions;
}

int fnjgCheckPptExtension(const std::string& path)
{
    LogScope scope("fnjgCheckPptExtension");
    if (path.empty())
        return RESULT_MISSING_ARGUMENT;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return RESULT_UNSUPPORTED_FORMAT;
    const char* extension = path.c_str() + dot;
    const auto& known = PresentationExtensions();
    if (std::none_of(known.begin(), known.end(), [&](const std::string& candidate) {
            return ::strcasecmp(extension, candidate.c_str()) == 0;
        }))
        return RESULT_UNSUPPORTED_FORMAT;
    // "..pptx" or "...ppt" would name no image folder of its own, but the
    // working folder itself or its parent.
    if (!IsConfinedFolderName(PresentationName(path)))
        return RESULT_UNSUPPORTED_FORMAT;
    return RESULT_SUCCESS;
}

int fnjgCheckFileOpen(const std::string& path)
{
    LogScope scope("fnjgCheckFileOpen");
    if (path.empty())
        return RESULT_MISSING_ARGUMENT;
    // Devices, FIFOs and sockets are refused before they are opened, and the
    // open itself never waits: a FIFO would block a plain open until a
    // writer came.
    struct stat info
    {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? RESULT_FILE_NOT_FOUND : RESULT_FILE_NOT_OPENED;
    if (!S_ISREG(info.st_mode))
        return RESULT_FILE_NOT_OPENED;
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0)
        return errno == ENOENT ? RESULT_FILE_NOT_FOUND : RESULT_FILE_NOT_OPENED;
    // The name may have been swapped for something else since the stat.
    return IsRegularFile(file.Get()) ? RESULT_SUCCESS : RESULT_FILE_NOT_OPENED;
}
