#include "delivery/delivery.h"

#include "convert/result_codes.h"
#include "delivery/ftp_url.h"
#include "delivery/local_publish_target.h"
#include "delivery/publish_folder.h"
#include "log/debug_log.h"
#include "log/failure.h"

namespace {

const char* const kCopyingName = "fnsdExecuteCopying";

} // namespace

int fnsdExecuteCopying(const SendingData* request)
{
    LogStart(kCopyingName);
    if (!request) {
        LogError(kCopyingName, "Invalid parameter.");
        LogEnd(kCopyingName, __LINE__);
        return RESULT_NO_DELIVERY_REQUEST;
    }
    const int result = ResultOfSteps(kCopyingName, RESULT_DELIVERY_FAILED, [&] {
        LogInfo(kCopyingName, " Copy:Src[%s]", request->srcFolder.c_str());
        LogInfo(kCopyingName, " Copy:Dst[%sw]",
                UrlsWithoutCredentials(request->destination).c_str());
        // A local destination stays local, even when its name looks like a share.
        LocalPublishTarget target(request->destination);
        PublishRequest(*request, target, kCopyingName);
        return RESULT_SUCCESS;
    });
    LogEnd(kCopyingName, __LINE__);
    return result;
}
