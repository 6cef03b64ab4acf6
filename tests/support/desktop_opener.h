#pragma once

#include "tests/support/temp_folder.h"

#include <chrono>
#include <string>
#include <vector>

// Registers a recording application as the desktop's handler for folders and
// for ftp:, ftps:, ftpes:, sftp: and smb: URLs, so that the real xdg-open hands it what it opens.
// Changes DISPLAY, XDG_DATA_HOME and XDG_CONFIG_DIRS while it lives. With a
// delay, the handler takes that long before it records and ends, as a slow
// file manager does; the opener waits for it.
class RecordingOpener
{
public:
    explicit RecordingOpener(std::chrono::seconds delay = {});
    ~RecordingOpener();
    RecordingOpener(const RecordingOpener&) = delete;
    RecordingOpener& operator=(const RecordingOpener&) = delete;

    // What the handler was given, in order.
    std::vector<std::string> Opened() const;
    // The files the handler found open beyond its standard streams, one a
    // line, over all its runs.
    std::string Descriptors() const;
    // The handler's environment, one variable a line, over all its runs.
    std::string Environments() const;

private:
    TempFolder folder_;
    std::vector<std::pair<std::string, std::string>> saved_;
};
