#include "delivery/ftp_upload.h"

#include "convert/result_codes.h"
#include "delivery/ftp_connection.h"
#include "delivery/ftp_send_files.h"
#include "delivery/ftp_server_url.h"
#include "log/debug_log.h"
#include "log/failure.h"

namespace {

const char* const kName = "actSendingFTP";

// The profile's credentials when it asks for them; anonymous otherwise.
// Whatever the URL itself carries is never used.
FtpLogin LoginFor(const SendingData& request, const FtpServerUrl& url)
{
    FtpLogin login{url.host, url.port, {}, {}};
    if (request.authentication) {
        login.user = request.id;
        login.password = request.password;
    }
    return login;
}

// Sets result to the code of the step that fails before throwing.
void Upload(const SendingData& request, int& result)
{
    FtpConnection connection;
    if (!connection.IsOpen()) {
        result = RESULT_INTERNET_HANDLE_FAILED;
        throw Failure("InternetOpenW() failed.");
    }
    FtpServerUrl url;
    if (!SplitFtpUrl(request.destination, url)) {
        result = RESULT_DELIVERY_FAILED;
        throw Failure("InternetCrackUrlW() failed.");
    }
    if (!connection.Login(LoginFor(request, url))) {
        result = RESULT_SERVER_UNREACHABLE;
        throw Failure("InternetConnectW() failed.");
    }
    if (!actSendingFiles(&connection, request.srcFolder, RemoteStartFolder(url))) {
        result = RESULT_DELIVERY_FAILED;
        throw Failure("actFtpSendDirs() failed.");
    }
    result = RESULT_SUCCESS;
}

} // namespace

int actSendingFTP(const SendingData* request)
{
    LogStart(kName);
    if (!request) {
        LogError(kName, "Invalid parameter.");
        LogEnd(kName, __LINE__);
        return RESULT_NO_DELIVERY_REQUEST;
    }
    int result = RESULT_DELIVERY_FAILED;
    try {
        Upload(*request, result);
    } catch (const Failure& failure) {
        LogError(kName, "%s", failure.what());
    } catch (...) {
        LogError(kName, "Unknown exception.");
        result = RESULT_DELIVERY_FAILED;
    }
    LogEnd(kName, __LINE__);
    return result;
}
