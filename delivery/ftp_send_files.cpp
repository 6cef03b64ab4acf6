#include "delivery/ftp_send_files.h"

#include "delivery/ftp_publish_target.h"
#include "delivery/publish_folder.h"
#include "log/debug_log.h"
#include "log/failure.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace {

const char* const kName = "actSendingFiles";

std::string TrimRemoteFolder(std::string folder)
{
    if (!folder.empty() && folder != "/" && folder.back() == '/')
        folder.pop_back();
    return folder;
}

} // namespace

bool actSendingFiles(FtpConnection* connection, const std::string& imageFolder,
                     const std::string& remoteFolder, const std::function<void(int, int)>& progress)
{
    LogStart(kName);
    if (!connection) {
        LogError(kName, "Invalid parameter.");
        LogEnd(kName, __LINE__);
        return false;
    }
    const bool published = StepsSucceed(kName, [&] {
        if (!connection->ChangeFolder(TrimRemoteFolder(remoteFolder)))
            throw Failure("FtpSetCurrentDirectoryW() failed.");
        std::error_code error;
        if (fs::symlink_status(imageFolder, error).type() != fs::file_type::directory)
            throw Failure("File not found.");
        FtpPublishTarget target(*connection);
        PublishFolder(imageFolder, target, progress);
    });
    LogEnd(kName, __LINE__);
    return published;
}
