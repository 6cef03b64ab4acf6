#include "delivery/delivery.h"

#include "convert/result_codes.h"
#include "delivery/destination_type.h"
#include "delivery/ftp_upload.h"
#include "delivery/ftp_url.h"
#include "delivery/sftp_upload.h"
#include "delivery/smb_upload.h"
#include "log/debug_log.h"

namespace {

const char* const kSendingName = "fnsdExecuteSending";

} // namespace

int fnsdExecuteSending(const SendingData* request)
{
    LogStart(kSendingName);
    if (!request) {
        LogError(kSendingName, "Invalid parameter.");
        LogEnd(kSendingName, __LINE__);
        return RESULT_NO_DELIVERY_REQUEST;
    }
    int result = RESULT_DELIVERY_FAILED;
    const int kind = actCheckType(request->destination);
    LogInfo(kSendingName, " Send:(%d)", kind);
    LogInfo(kSendingName, " Send:Src[%s]", request->srcFolder.c_str());
    LogInfo(kSendingName, " Send:Dst[%s]", UrlsWithoutCredentials(request->destination).c_str());
    if (kind == DEST_TYPE_FTP)
        result = actSendingFTP(request);
    else if (kind == DEST_TYPE_SFTP)
        result = actSendingSFTP(request);
    else if (kind == DEST_TYPE_SMB)
        result = actSendingSMB(request);
    else
        LogError(kSendingName, "actCheckType() failed.");
    LogEnd(kSendingName, __LINE__);
    return result;
}
