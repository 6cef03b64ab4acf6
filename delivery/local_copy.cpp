#include "delivery/delivery.h"

#include "convert/result_codes.h"
#include "delivery/destination_type.h"
#include "delivery/smb_upload.h"
#include "delivery/tree_copy.h"
#include "log/debug_log.h"
#include "log/failure.h"

namespace {

const char* const kCopyingName = "fnsdExecuteCopying";

void CopyImageFolder(const SendingData& request, CopyTarget& target)
{
    if (request.folderName.empty())
        throw CodedFailure(RESULT_DELIVERY_FAILED, "Invalid parameter.");
    try {
        CopyTree(JoinPath(request.srcFolder, request.folderName), target,
                 target.Join(request.destination, request.folderName));
    } catch (const Failure& failure) {
        LogError(kCopyingName, "%s", failure.what());
        throw CodedFailure(RESULT_DELIVERY_FAILED, "SHFileOperationW() failed.");
    }
}

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
        LogInfo(kCopyingName, " Copy:Dst[%sw]", request->destination.c_str());
        std::unique_ptr<CopyTarget> target;
        if (actCheckType(request->destination) == DEST_TYPE_SMB)
            target = OpenShareCopyTarget(*request);
        else
            target = std::make_unique<LocalCopyTarget>();
        CopyImageFolder(*request, *target);
        return RESULT_SUCCESS;
    });
    LogEnd(kCopyingName, __LINE__);
    return result;
}
