#include "delivery/sftp_upload.h"

#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "delivery/delivery_frame.h"
#include "delivery/publish_folder.h"
#include "delivery/server_url.h"
#include "delivery/sftp_connection.h"
#include "delivery/sftp_publish_target.h"
#include "delivery/trusted_login.h"
#include "log/debug_log.h"
#include "log/failure.h"

#include <curl/curl.h>

namespace {

const char* const kName = "actSendingSFTP";

// The URL's folder, its escapes decoded, without a trailing "/".
std::string StartFolder(const ServerUrl& url)
{
    std::string folder = RemoteStartFolder(url);
    int length = 0;
    char* decoded =
        curl_easy_unescape(nullptr, folder.c_str(), static_cast<int>(folder.size()), &length);
    if (!decoded)
        throw CodedFailure(RESULT_DELIVERY_FAILED, "The URL's path cannot be decoded.");
    folder.assign(decoded, static_cast<std::size_t>(length));
    curl_free(decoded);
    if (folder.find('\0') != std::string::npos)
        throw CodedFailure(RESULT_DELIVERY_FAILED, "The URL's path cannot be decoded.");
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    return folder;
}

int Upload(const SendingData& request)
{
    // A name that is no plain one does not get as far as the server.
    if (!IsConfinedFolderName(request.folderName))
        throw CodedFailure(RESULT_DELIVERY_FAILED, "Invalid parameter.");
    SftpConnection connection;
    if (!connection.IsOpen())
        throw CodedFailure(RESULT_INTERNET_HANDLE_FAILED, "The SFTP handle cannot be opened.");
    ServerUrl url;
    if (!SplitServerUrl(request.destination, url) || url.protocol != ServerProtocol::Sftp)
        throw CodedFailure(RESULT_DELIVERY_FAILED, "The URL cannot be split.");
    SftpLogin login{url.host, url.port, {}, {}};
    if (request.authentication) {
        login.user = request.id;
        login.password = request.password;
    }
    LogInTrusting(kName, request, connection.Identity(), [&] { return connection.Login(login); });
    SftpPublishTarget target(connection, StartFolder(url));
    PublishRequest(request, target, kName);
    return RESULT_SUCCESS;
}

} // namespace

int actSendingSFTP(const SendingData* request)
{
    return DeliveryFrame(kName, request, Upload);
}
