#include "delivery/smb_upload.h"

#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "delivery/delivery_frame.h"
#include "delivery/publish_folder.h"
#include "delivery/smb_path.h"
#include "delivery/smb_publish_target.h"
#include "log/debug_log.h"
#include "log/failure.h"

#include <memory>

namespace {

const char* const kConnectName = "actConnectSMB";
const char* const kSendingName = "actSendingSMB";

ShareCredentials Credentials(bool authentication, const std::string& id,
                             const std::string& password)
{
    if (!authentication)
        return {};
    return {true, id, password};
}

// The share of the request, connected; null when it cannot be used.
std::unique_ptr<SmbPublishTarget> ConnectForPublish(const SendingData& request)
{
    LogStart(kConnectName);
    std::unique_ptr<SmbPublishTarget> target;
    try {
        target = std::make_unique<SmbPublishTarget>(
            request.destination, Credentials(request.authentication, request.id, request.password));
    } catch (...) {
        target.reset();
    }
    LogEnd(kConnectName, __LINE__);
    return target;
}

} // namespace

bool actConnectSMB(const std::string& destination, bool authentication, const std::string& id,
                   const std::string& password)
{
    LogStart(kConnectName);
    bool connected = false;
    try {
        // The caller logs a failure; nothing is written to the share here.
        const SmbContext context(Credentials(authentication, id, password));
        connected = ConnectShare(context, destination);
    } catch (...) {
        connected = false;
    }
    LogEnd(kConnectName, __LINE__);
    return connected;
}

int actSendingSMB(const SendingData* request)
{
    return DeliveryFrame(kSendingName, request, [](const SendingData& sending) {
        // A name that is no plain one does not get as far as the share.
        if (!IsConfinedFolderName(sending.folderName))
            throw CodedFailure(RESULT_DELIVERY_FAILED, "Invalid parameter.");
        // One connection for the whole publish.
        std::unique_ptr<SmbPublishTarget> target = ConnectForPublish(sending);
        if (!target)
            throw CodedFailure(RESULT_DELIVERY_FAILED, "actConnectSMB() failed.");
        PublishRequest(sending, *target, kSendingName);
        return RESULT_SUCCESS;
    });
}

std::string ShareOpenTarget(const std::string& destination, bool authentication,
                            const std::string& id, const std::string& password)
{
    const auto path = ParseSharePath(destination);
    if (!path || !actConnectSMB(destination, authentication, id, password))
        throw Failure("actConnectSMB() failed.");
    return path->url;
}
