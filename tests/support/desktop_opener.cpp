#include "tests/support/desktop_opener.h"

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

RecordingOpener::RecordingOpener(std::chrono::seconds delay)
{
    const fs::path record = folder_ / "record";
    const fs::path log = folder_ / "opened";
    const fs::path descriptors = folder_ / "descriptors";
    const fs::path environments = folder_ / "environments";
    const std::string wait =
        delay.count() > 0 ? "sleep " + std::to_string(delay.count()) + "\n" : "";
    // What the handler holds open besides its standard streams, as the
    // files they lead to.
    WriteFile(record, "#!/bin/sh\n" + wait + "printf '%s\\n' \"$1\" >> '" + log.string() +
                          "'\nfor fd in /proc/$$/fd/*; do case ${fd##*/} in 0|1|2) ;; *) "
                          "readlink \"$fd\" >> '" +
                          descriptors.string() + "';; esac; done\ntr '\\0' '\\n' < /proc/$$/environ >> '" +
                          environments.string() + "'\nexit 0\n");
    fs::permissions(record, fs::perms::owner_all);
    fs::create_directories(folder_ / "data/applications");
    fs::create_directories(folder_ / "config");
    WriteFile(folder_ / "data/applications/korvanta-recorder.desktop",
              "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + record.string() +
                  " %u\nMimeType=inode/directory;x-scheme-handler/ftp;x-scheme-handler/ftps;"
                  "x-scheme-handler/ftpes;x-scheme-handler/sftp;x-scheme-handler/smb;\n");
    WriteFile(folder_ / "config/mimeapps.list",
              "[Default Applications]\ninode/directory=korvanta-recorder.desktop\n"
              "x-scheme-handler/ftp=korvanta-recorder.desktop\n"
              "x-scheme-handler/ftps=korvanta-recorder.desktop\n"
              "x-scheme-handler/ftpes=korvanta-recorder.desktop\n"
              "x-scheme-handler/sftp=korvanta-recorder.desktop\n"
              "x-scheme-handler/smb=korvanta-recorder.desktop\n");
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"DISPLAY", ":424"},
                                      {"XDG_DATA_HOME", (folder_ / "data").string()},
                                      {"XDG_CONFIG_DIRS", (folder_ / "config").string()}}) {
        const char* old = std::getenv(name.c_str());
        saved_.emplace_back(name, old ? old : "");
        ::setenv(name.c_str(), value.c_str(), 1);
    }
}

RecordingOpener::~RecordingOpener()
{
    for (const auto& [name, value] : saved_) {
        if (value.empty())
            ::unsetenv(name.c_str());
        else
            ::setenv(name.c_str(), value.c_str(), 1);
    }
}

std::vector<std::string> RecordingOpener::Opened() const
{
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(folder_ / "opened"));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string RecordingOpener::Environments() const
{
    return ReadFile(folder_ / "environments");
}

std::string RecordingOpener::Descriptors() const
{
    return ReadFile(folder_ / "descriptors");
}
