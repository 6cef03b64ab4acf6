#include "delivery/ftp_send_files.h"

#include "delivery/tree_copy.h"
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

std::string TrimLocalFolder(std::string folder)
{
    if (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    return folder;
}

void SendFolder(FtpConnection& connection, const std::string& localFolder, const std::string& name)
{
    connection.MakeFolder(name);
    if (!actSendingFiles(&connection, localFolder + "/" + name, name))
        throw Failure("actFtpSendDir() failed.");
    if (!connection.ChangeFolder(".."))
        throw Failure("FtpSetCurrentDirectoryW() failed.");
}

void SendEntry(FtpConnection& connection, const std::string& localFolder,
               const fs::directory_entry& entry)
{
    const std::string name = entry.path().filename().string();
    // Links are not followed, and FIFOs or devices not read: nothing from
    // outside the image folder goes out.
    const fs::file_type type = EntryType(entry);
    if (type == fs::file_type::directory)
        SendFolder(connection, localFolder, name);
    else if (type != fs::file_type::regular || !connection.PutFile(localFolder + "/" + name, name))
        throw Failure("FtpPutFileW() failed.");
}

void EnterRemoteFolder(FtpConnection& connection, const std::string& remoteFolder)
{
    if (!connection.ChangeFolder(TrimRemoteFolder(remoteFolder)))
        throw Failure("FtpSetCurrentDirectoryW() failed.");
}

void SendTree(FtpConnection& connection, const std::string& localFolder,
              const std::string& remoteFolder)
{
    EnterRemoteFolder(connection, remoteFolder);
    const std::string local = TrimLocalFolder(localFolder);
    std::error_code error;
    // "/" was trimmed to "": list "/" again, and name its entries "/name".
    fs::directory_iterator entry(local + "/", error);
    if (error)
        throw Failure("File not found.");
    // An entry the listing cannot go past ends the walk like its end.
    for (; !error && entry != fs::directory_iterator(); entry.increment(error))
        SendEntry(connection, local, *entry);
}

template <class Walk> bool RunWalk(FtpConnection* connection, Walk walk)
{
    LogStart(kName);
    if (!connection) {
        LogError(kName, "Invalid parameter.");
        LogEnd(kName, __LINE__);
        return false;
    }
    bool result = false;
    try {
        walk(*connection);
        result = true;
    } catch (const Failure& failure) {
        LogError(kName, "%s", failure.what());
    } catch (...) {
        LogError(kName, "Unknown exception.");
    }
    LogEnd(kName, __LINE__);
    return result;
}

} // namespace

bool actSendingFiles(FtpConnection* connection, const std::string& localFolder,
                     const std::string& remoteFolder)
{
    return RunWalk(connection,
                   [&](FtpConnection& open) { SendTree(open, localFolder, remoteFolder); });
}

bool actSendingFolder(FtpConnection* connection, const std::string& localParent,
                      const std::string& remoteFolder, const std::string& name)
{
    return RunWalk(connection, [&](FtpConnection& open) {
        EnterRemoteFolder(open, remoteFolder);
        const std::string parent = TrimLocalFolder(localParent);
        std::error_code error;
        if (fs::symlink_status(parent + "/" + name, error).type() != fs::file_type::directory)
            throw Failure("File not found.");
        SendFolder(open, parent, name);
    });
}
