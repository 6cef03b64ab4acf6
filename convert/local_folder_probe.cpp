#include "convert/local_folder_probe.h"

#include "delivery/destination_type.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string LocalTimeName()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char name[32];
    std::snprintf(name, sizeof name, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return name;
}

} // namespace

bool ProbeLocalFolder(const std::string& folder)
{
    if (folder.empty())
        return false;
    // A name already in use waits for the next second's name.
    std::string probe;
    struct stat info
    {};
    do {
        probe = JoinPath(folder, LocalTimeName());
    } while (::stat(probe.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && ::usleep(50000) == 0);
    if (::mkdir(probe.c_str(), 0777) == 0) {
        ::rmdir(probe.c_str());
        return true;
    }
    return errno == EEXIST;
}
