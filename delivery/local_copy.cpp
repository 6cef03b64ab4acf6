#include "delivery/delivery.h"

#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "delivery/destination_type.h"
#include "delivery/ftp_url.h"
#include "delivery/smb_upload.h"
#include "delivery/tree_copy.h"
#include "log/debug_log.h"
#include "log/failure.h"

#include <functional>

namespace {

const char* const kCopyingName = "fnsdExecuteCopying";

using TargetOpener = std::function<std::unique_ptr<CopyTarget>()>;

void CopyImageFolder(const SendingData& request, CopyTarget& target)
{
    // Only a plain name keeps the copy inside <destination>/<folderName>.
    if (!IsConfinedFolderName(request.folderName))
        throw CodedFailure(RESULT_DELIVERY_FAILED, "Invalid parameter.");
    try {
        CopyTree(JoinPath(request.srcFolder, request.folderName), target,
                 target.Join(request.destination, request.folderName));
    } catch (const Failure& failure) {
        LogError(kCopyingName, "%s", failure.what());
        throw CodedFailure(RESULT_DELIVERY_FAILED, "SHFileOperationW() failed.");
    }
}

int CopyThrough(const SendingData* request, const TargetOpener& openTarget)
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
        const std::unique_ptr<CopyTarget> target = openTarget();
        CopyImageFolder(*request, *target);
        return RESULT_SUCCESS;
    });
    LogEnd(kCopyingName, __LINE__);
    return result;
}

} // namespace

int fnsdExecuteCopying(const SendingData* request)
{
    // A local destination stays local, even when its name looks like a share.
    return CopyThrough(request, [] { return std::make_unique<LocalCopyTarget>(); });
}

int fnsdExecuteCopyingToShare(const SendingData* request)
{
    return CopyThrough(request, [request] { return OpenShareCopyTarget(*request); });
}
