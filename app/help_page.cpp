#include "app/help_page.h"

#include "delivery/shell_open.h"
#include "platform/app_folders.h"
#include "platform/string_resources.h"

#include <filesystem>
#include <optional>
#include <string>

namespace {

constexpr int kHelpPageString = 17;

} // namespace

bool OpenHelpPage(const std::stop_token& stop)
{
    const std::optional<std::string> relative = platform::LoadResourceString(kHelpPageString);
    if (!relative || relative->empty())
        return false;
    // The table names the page relative to the data folder, never to the
    // current directory, so help opens wherever the program was started.
    const std::filesystem::path page =
        (platform::DataFolder() / std::filesystem::path(*relative)).lexically_normal();
    return ShellOpen(page.string(), stop);
}
