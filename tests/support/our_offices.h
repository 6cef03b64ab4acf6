#pragma once

#include "convert/libreoffice/libreoffice_server.h"
#include "convert/libreoffice/office_process.h"

#include <cstdlib>
#include <filesystem>
#include <string>

// The offices a test can see: those of its own cache folder, unless it names
// another.

// The shared office of a lane ("korvanta-cli office start"), or 0.
inline pid_t SharedOffice(int lane = 0)
{
    return office::FindOfficeProcess(office::PipeName(office::OfficeSet{}, lane));
}

// The office this test process started for a lane, or 0.
inline pid_t OwnOffice(int lane = 0)
{
    return office::FindOfficeProcess(LibreOfficeServer::Instance().OwnPipeName(lane));
}

// Any office of the programs that run with the given cache folder, or 0.
inline pid_t AnyOfficeOfCacheFolder(const std::filesystem::path& cacheHome)
{
    const char* own = std::getenv("XDG_CACHE_HOME");
    const std::string saved = own ? own : "";
    ::setenv("XDG_CACHE_HOME", cacheHome.c_str(), 1);
    const pid_t found = office::FindAnyOfficeProcess();
    if (own)
        ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CACHE_HOME");
    return found;
}
