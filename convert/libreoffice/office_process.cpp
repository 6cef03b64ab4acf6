#include "convert/libreoffice/office_process.h"

#include "convert/libreoffice/office_fonts.h"
#include "convert/libreoffice/office_profile.h"
#include "log/debug_log.h"
#include "platform/unique_fd.h"

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <string_view>
#include <strings.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace office {
namespace {

// What a process file holds; as much as could be read when the process goes
// meanwhile, which a stream would report by throwing.
std::string ReadProcFile(const fs::path& path)
{
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    std::string text;
    if (!file.IsOpen())
        return text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(got));
    }
}

const char* const kAcceptPrefix = "--accept=pipe,name=";
const char* const kAcceptSuffix = ";urp;";

std::string AcceptArgument(const std::string& pipe)
{
    return kAcceptPrefix + pipe + kAcceptSuffix;
}

// True when the NUL-separated command line holds an accept argument for a
// pipe named pipe, or for any pipe beginning with it when prefix is set.
bool CarriesOurPipe(std::string_view commandLine, const std::string& pipe, bool prefix)
{
    std::size_t start = 0;
    while (start < commandLine.size()) {
        std::size_t end = commandLine.find('\0', start);
        if (end == std::string_view::npos)
            end = commandLine.size();
        const std::string_view argument = commandLine.substr(start, end - start);
        if (prefix ? argument.starts_with(kAcceptPrefix + pipe) && argument.ends_with(kAcceptSuffix)
                   : argument == AcceptArgument(pipe))
            return true;
        start = end + 1;
    }
    return false;
}

pid_t FindOffice(const std::string& pipe, bool prefix)
{
    static const char* const kName = "actCheckPptRunning";
    std::error_code error;
    fs::directory_iterator processes("/proc", error);
    if (error) {
        LogError(kName, "EnumProcesses() failed.");
        return 0;
    }
    for (const auto& entry : processes) {
        const std::string id = entry.path().filename().string();
        if (id.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string name = ReadProcFile(entry.path() / "comm");
        if (name.empty())
            continue; // gone, or not ours to read
        if (name.back() == '\n')
            name.pop_back();
        LogInfo(kName, "Process(PID: %d) [%s].", std::atoi(id.c_str()), name.c_str());
        if (::strcasecmp(name.c_str(), "soffice.bin") == 0 &&
            CarriesOurPipe(ReadProcFile(entry.path() / "cmdline"), pipe, prefix))
            return static_cast<pid_t>(std::atoi(id.c_str()));
    }
    return 0;
}

std::string ProfileUrl(const fs::path& profile)
{
    // The profile path is ours: absolute and free of characters a URL must
    // escape except the few handled here.
    std::string url = "file://";
    for (unsigned char c : profile.string()) {
        if (std::isalnum(c) || std::string_view("/-._~").find(c) != std::string_view::npos) {
            url += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            url += escaped;
        }
    }
    return url;
}

bool NamesUtf8(const char* locale)
{
    const std::string_view name = locale ? locale : "";
    return name.find("UTF-8") != std::string_view::npos ||
           name.find("utf8") != std::string_view::npos ||
           name.find("utf-8") != std::string_view::npos ||
           name.find("UTF8") != std::string_view::npos;
}

// The office turns file URLs into file names in its locale's character set;
// ours are UTF-8, so a C or Latin-1 locale would miss every non-ASCII name.
void UseUtf8FileNames(std::vector<std::string>& environment)
{
    const char* all = std::getenv("LC_ALL");
    const char* ctype = all && *all ? all : std::getenv("LC_CTYPE");
    if (!ctype || !*ctype)
        ctype = std::getenv("LANG");
    if (NamesUtf8(ctype))
        return;
    const std::string_view replaced = all && *all ? "LC_ALL=" : "LC_CTYPE=";
    std::erase_if(environment,
                  [&](const std::string& entry) { return entry.starts_with(replaced); });
    environment.push_back(std::string(replaced) + "C.UTF-8");
}

// The environment of an office: ours, with a temporary-files folder that is
// also its runtime folder, and a certificate store of its own. The office
// leaves files there when it is killed, or even when it is told to
// terminate; they go at its next start, not into the user's. Its settings
// backend writes into the runtime folder, which may be one another user took.
std::vector<std::string> OfficeEnvironment(const fs::path& profile)
{
    const fs::path temp = profile.string() + "-tmp";
    std::error_code error;
    fs::remove_all(temp, error);
    fs::create_directories(temp, error);
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        const std::string_view variable(*entry);
        if (!variable.starts_with("TMPDIR=") && !variable.starts_with("XDG_RUNTIME_DIR=") &&
            !variable.starts_with("MOZILLA_CERTIFICATE_FOLDER="))
            environment.emplace_back(variable);
    }
    if (fs::is_directory(temp, error)) {
        environment.push_back("TMPDIR=" + temp.string());
        environment.push_back("XDG_RUNTIME_DIR=" + temp.string());
        // Each load checks the document's signatures, and the first check
        // opens the certificate store of the user's Firefox or Thunderbird
        // profile read-write, creating it there when it is missing. Ours
        // verify nothing: they get a throw-away store of their own.
        environment.push_back("MOZILLA_CERTIFICATE_FOLDER=sql:" + temp.string());
    }
    UseUtf8FileNames(environment);
    UseOfficeFonts(environment);
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (auto& text : strings)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

pid_t FindOfficeProcess(const std::string& pipe)
{
    return FindOffice(pipe, false);
}

pid_t FindAnyOfficeProcess()
{
    return FindOffice(PipePrefix(), true);
}

StartedOffice StartOffice(const OfficeSet& set, int lane)
{
    const fs::path profile = ProfileFolder(set, lane);
    SeedOfficeProfile(profile);
    const std::string program = std::string(LIBREOFFICE_PROGRAM_DIR) + "/soffice";
    std::vector<std::string> arguments = {program,
                                          "--headless",
                                          "--invisible",
                                          "--norestore",
                                          "--nolockcheck",
                                          "--nologo",
                                          "--nodefault",
                                          "-env:UserInstallation=" + ProfileUrl(profile),
                                          AcceptArgument(PipeName(set, lane))};
    std::vector<std::string> environment = OfficeEnvironment(profile);
    const std::vector<char*> argv = Pointers(arguments);
    const std::vector<char*> envp = Pointers(environment);

    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    posix_spawnattr_init(&attributes);
    // A group of its own: a watchdog can kill it whole, and a Ctrl-C in our
    // terminal does not reach it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t signals;
    sigemptyset(&signals);
    posix_spawnattr_setsigmask(&attributes, &signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE})
        sigaddset(&signals, signal);
    posix_spawnattr_setsigdefault(&attributes, &signals);

    // Everything the spawn needs is made beforehand: it may run in a forked
    // watcher, where nothing may be allocated.
    const auto spawn = [&]() -> pid_t {
        pid_t pid = 0;
        const int status =
            ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
        return status == 0 ? pid : 0;
    };
    StartedOffice started;
    if (set.IsShared()) {
        started.launcher = spawn();
    } else {
        started.watch = std::make_shared<OwnerWatch>(spawn);
        started.launcher = started.watch->Leader();
    }
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return started;
}

void KillOfficeGroup(pid_t pid)
{
    if (pid <= 0)
        return;
    const pid_t group = ::getpgid(pid);
    if (group > 0 && group != ::getpgrp())
        ::kill(-group, SIGKILL);
    else
        ::kill(pid, SIGKILL);
}

bool HasEnded(pid_t pid)
{
    if (pid <= 0)
        return true;
    const pid_t reaped = ::waitpid(pid, nullptr, WNOHANG);
    if (reaped == pid)
        return true;
    if (reaped == 0)
        return false; // our child, still running
    // Not our child: it has ended when it is gone or a zombie.
    const std::string stat = ReadProcFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t nameEnd = stat.rfind(')');
    return nameEnd == std::string::npos || stat.compare(nameEnd, 3, ") Z") == 0;
}

std::size_t ResidentBytes(pid_t pid)
{
    // statm: size resident shared text lib data dt, in pages.
    std::istringstream statm(ReadProcFile("/proc/" + std::to_string(pid) + "/statm"));
    std::size_t size = 0;
    std::size_t resident = 0;
    if (!(statm >> size >> resident))
        return 0;
    return resident * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

} // namespace office
