#include "delivery/delivery.h"

#include "convert/result_codes.h"
#include "delivery/delivery_frame.h"
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
    return DeliveryFrame(kCopyingName, request, [](const SendingData& copy) {
        LogInfo(kCopyingName, " Copy:Src[%s]", copy.srcFolder.c_str());
        LogInfo(kCopyingName, " Copy:Dst[%sw]", UrlsWithoutCredentials(copy.destination).c_str());
        // A local destination stays local, even when its name looks like a share.
        LocalPublishTarget target(copy.destination);
        PublishRequest(copy, target, kCopyingName);
        return RESULT_SUCCESS;
    });
}
