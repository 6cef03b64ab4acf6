#include "delivery/delivery.h"

#include "delivery/destination_type.h"
#include "delivery/ftp_url.h"
#include "delivery/shell_open.h"
#include "delivery/smb_upload.h"
#include "log/debug_log.h"
#include "log/failure.h"
#include "log/log_scope.h"

#include <filesystem>

namespace {

// What the desktop is given to show a server destination.
std::string OpenTarget(const std::string& destination, bool authentication, const std::string& id,
                       const std::string& password)
{
    switch (actCheckType(destination)) {
    case DEST_TYPE_FTP:
    case DEST_TYPE_SFTP:
        return ServerUrlWithUser(destination, authentication, id);
    case DEST_TYPE_SMB:
        return ShareOpenTarget(destination, authentication, id, password);
    default:
        throw Failure("actCheckType() failed.");
    }
}

} // namespace

bool fnsdExecuteOpeningLocalFolder(const std::string& folder, const std::stop_token& stop)
{
    LogScope scope("fnsdExecuteOpeningLocalFolder");
    // An absolute path is never taken for a URL ("smb://...") or an option
    // ("-x") by the opener.
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(folder, error);
    if (folder.empty() || error || !ShellOpen(path.string(), stop)) {
        LogError(scope.Name(), "ShellExecuteW() failed.");
        return false;
    }
    return true;
}

bool fnsdExecuteOpeningServer(const std::string& destination, bool authentication,
                              const std::string& id, const std::string& password,
                              const std::stop_token& stop)
{
    LogScope scope("fnsdExecuteOpeningServer");
    try {
        if (!ShellOpen(OpenTarget(destination, authentication, id, password), stop))
            throw Failure("ShellExecuteW() failed.");
        return true;
    } catch (const Failure& failure) {
        LogError(scope.Name(), "%s", failure.what());
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
    return false;
}
