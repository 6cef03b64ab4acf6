#include "delivery/ftp_upload.h"

#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "delivery/destination_type.h"
#include "delivery/delivery_frame.h"
#include "delivery/ftp_connection.h"
#include "delivery/ftp_send_files.h"
#include "delivery/server_url.h"
#include "delivery/trusted_login.h"
#include "log/debug_log.h"
#include "log/failure.h"

namespace {

const char* const kName = "actSendingFTP";

// The profile's credentials when it asks for them; anonymous otherwise.
// Whatever the URL itself carries is never used.
FtpLogin LoginFor(const SendingData& request, const ServerUrl& url)
{
    FtpLogin login{url.host, url.port, {}, {}, url.protocol};
    if (request.authentication) {
        login.user = request.id;
        login.password = request.password;
    }
    return login;
}

int Upload(const SendingData& request)
{
    if (!IsConfinedFolderName(request.folderName))
        throw CodedFailure(RESULT_DELIVERY_FAILED, "Invalid parameter.");
    FtpConnection connection;
    if (!connection.IsOpen())
        throw CodedFailure(RESULT_INTERNET_HANDLE_FAILED, "InternetOpenW() failed.");
    ServerUrl url;
    if (!SplitServerUrl(request.destination, url) || url.protocol == ServerProtocol::Sftp)
        throw CodedFailure(RESULT_DELIVERY_FAILED, "InternetCrackUrlW() failed.");
    const FtpLogin login = LoginFor(request, url);
    LogInTrusting(kName, request, connection.Identity(),
                  [&] { return connection.Login(login); });
    // Only the image folder goes out, and only below the URL's folder.
    if (!actSendingFiles(&connection, JoinPath(request.srcFolder, request.folderName),
                         RemoteStartFolder(url), request.progress))
        throw CodedFailure(RESULT_DELIVERY_FAILED, "actFtpSendDirs() failed.");
    return RESULT_SUCCESS;
}

} // namespace

int actSendingFTP(const SendingData* request)
{
    return DeliveryFrame(kName, request, Upload);
}
