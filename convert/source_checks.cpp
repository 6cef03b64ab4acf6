#include "convert/source_checks.h"

#include "convert/result_codes.h"
#include "log/log_scope.h"

#include <cerrno>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

int fnjgCheckPptExtension(const std::string& path)
{
    LogScope scope("fnjgCheckPptExtension");
    if (path.empty())
        return RESULT_MISSING_ARGUMENT;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return RESULT_UNSUPPORTED_FORMAT;
    // A name that is only an extension names no image folder: its images
    // would land loose in the destination.
    const std::size_t slash = path.rfind('/');
    if (slash != std::string::npos ? dot == slash + 1 : dot == 0)
        return RESULT_UNSUPPORTED_FORMAT;
    const char* extension = path.c_str() + dot;
    if (::strcasecmp(extension, ".ppt") == 0 || ::strcasecmp(extension, ".pptx") == 0)
        return RESULT_SUCCESS;
    return RESULT_UNSUPPORTED_FORMAT;
}

int fnjgCheckFileOpen(const std::string& path)
{
    LogScope scope("fnjgCheckFileOpen");
    if (path.empty())
        return RESULT_MISSING_ARGUMENT;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? RESULT_FILE_NOT_FOUND : RESULT_FILE_NOT_OPENED;
    // A folder opens for reading here, but is no file to convert.
    struct stat info
    {};
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    return regular ? RESULT_SUCCESS : RESULT_FILE_NOT_OPENED;
}
