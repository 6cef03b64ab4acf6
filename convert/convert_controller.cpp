#include "convert/convert_controller.h"

#include "convert/ppt_export.h"
#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "convert/working_folders.h"
#include "delivery/delivery.h"
#include "log/debug_log.h"
#include "log/failure.h"
#include "log/log_scope.h"
#include "platform/app_folders.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const int kImageWidth = 1280;
const int kImageHeight = 800;
const int kFolderAttempts = 10;

// Seconds (two digits) and milliseconds (three digits) of the UTC time.
std::string TimeStamp()
{
    const auto now = std::chrono::system_clock::now();
    const auto sinceEpoch = now.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch - seconds);
    char stamp[8];
    std::snprintf(stamp, sizeof stamp, "%02d%03d", static_cast<int>(seconds.count() % 60),
                  static_cast<int>(milliseconds.count()));
    return stamp;
}

// The image folder must be a folder of the working folder's own, whatever
// the presentation is called: everything else in it is delivered.
bool IsDirectChild(const fs::path& folder, const fs::path& parent)
{
    fs::path base = parent.lexically_normal();
    if (!base.has_filename())
        base = base.parent_path();
    return IsConfinedFolderName(folder.filename().string()) &&
           folder.lexically_normal().parent_path() == base;
}

// The delivery's count of images, for the observer of the whole conversion.
std::function<void(int, int)> DeliveryProgress(ExportObserver* observer)
{
    if (!observer)
        return {};
    return [observer](int delivered, int count) { observer->ImageDelivered(delivered, count); };
}

std::function<bool(const UntrustedServer&)> ServerTrust(ExportObserver* observer)
{
    if (!observer)
        return {};
    return [observer](const UntrustedServer& server) { return observer->TrustServer(server); };
}

} // namespace

int ConvertController::ConvertionStart(ConvertData* request)
{
    std::vector<int> delivered;
    if (!request)
        return ConvertionStart(request, {}, delivered);
    return ConvertionStart(request, {{request->saveTo, request->localFolder, request->profile}},
                           delivered);
}

int ConvertController::ConvertionStart(ConvertData* request,
                                       const std::vector<Destination>& destinations,
                                       std::vector<int>& delivered)
{
    LogScope scope("ConvertController::ConvertionStart");
    delivered.clear();
    std::string workFolder;
    const int result = ResultOfSteps(scope.Name(), RESULT_CONVERSION_FAILED, [&] {
        if (!request)
            throw CodedFailure(RESULT_CONVERSION_FAILED, "Invalid parameter.");
        const std::string name = PresentationName(request->filePath);
        // "", "." or "..": the images would spill into the working folder, or
        // the whole temporary-files folder would be delivered.
        if (!IsConfinedFolderName(name))
            throw CodedFailure(RESULT_CONVERSION_FAILED, "Invalid parameter.");
        if (!actGetTempFolderPath(workFolder))
            throw CodedFailure(RESULT_CONVERSION_FAILED, "actGetTempFolderPath() failed.");
        const int exported = actExecConvertPptToJpeg(request->filePath, workFolder,
                                                     &request->cancel, request->progress);
        if (exported != RESULT_SUCCESS)
            throw CodedFailure(exported, "actExecConvertPptToJpeg() failed.");
        int firstFailure = RESULT_SUCCESS;
        for (const Destination& destination : destinations) {
            const int code =
                destination.saveTo == SAVE_TO_SERVER
                    ? actExecSendToServer(workFolder, name, destination.profile, request->progress)
                    : actExecCopyToLocal(workFolder, name, destination.localFolder,
                                         request->progress);
            delivered.push_back(code);
            if (code != RESULT_SUCCESS) {
                LogError(scope.Name(), "actExecDestOperation() failed.");
                if (firstFailure == RESULT_SUCCESS)
                    firstFailure = code;
            }
        }
        return firstFailure;
    });
    if (!workFolder.empty())
        DeleteFolderAll(workFolder);
    return result;
}

bool ConvertController::OpenDestination(ConvertData* request, const std::stop_token& stop)
{
    if (!request)
        return false;
    if (request->saveTo == SAVE_TO_LOCAL_PC)
        return fnsdExecuteOpeningLocalFolder(request->localFolder, stop);
    if (!request->profile)
        return false;
    const ConnectProfileData& profile = *request->profile;
    return fnsdExecuteOpeningServer(profile.destination, profile.authentication, profile.id,
                                    profile.password, stop);
}

bool ConvertController::actGetTempFolderPath(std::string& path)
{
    LogScope scope("ConvertController::actGetTempFolderPath");
    const fs::path temp = platform::TempFilesFolder();
    if (temp.empty()) {
        LogError(scope.Name(), "GetTempPathW() failed.");
        return false;
    }
    working_folders::SweepAbandoned(temp);
    // Created here, private and exclusive: a name another run took at the
    // same millisecond counts as taken. Locked at once, so that no other
    // run takes it for abandoned.
    for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
        path = (temp / (".Korvanta.temp" + TimeStamp())).string();
        if (::mkdir(path.c_str(), 0700) == 0) {
            if (working_folders::Claim(path))
                return true;
            ::rmdir(path.c_str());
            LogError(scope.Name(), "CreateDirectoryW() failed.");
            path.clear();
            return false;
        }
        if (errno != EEXIST) {
            LogError(scope.Name(), "CreateDirectoryW() failed.");
            path.clear();
            return false;
        }
        // The next candidate needs the next stamp, or it is the same name.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    path.clear();
    return false;
}

int ConvertController::actExecConvertPptToJpeg(const std::string& source,
                                               const std::string& workFolder,
                                               std::atomic<int>* cancel, ExportObserver* progress)
{
    LogScope scope("ConvertController::actExecConvertPptToJpeg");
    return ResultOfSteps(scope.Name(), RESULT_CONVERSION_FAILED, [&] {
        const fs::path imageFolder = fs::path(workFolder) / PresentationName(source);
        if (!IsDirectChild(imageFolder, workFolder))
            throw CodedFailure(RESULT_CONVERSION_FAILED, "Invalid parameter.");
        std::error_code error;
        if (!fs::create_directory(imageFolder, error) && error)
            throw CodedFailure(RESULT_FOLDER_NOT_CREATED, "CreateDirectoryW() failed.");
        const PptToJpegData data{source, imageFolder.string(), kImageWidth, kImageHeight};
        const int result = fnjgConvetPptToJpeg(&data, cancel, progress);
        if (result != RESULT_SUCCESS)
            throw CodedFailure(result, "fnjgConvetPptToJpeg() failed.");
        return RESULT_SUCCESS;
    });
}

int ConvertController::actExecCopyToLocal(const std::string& workFolder, const std::string& name,
                                          const std::string& localFolder, ExportObserver* progress)
{
    LogScope scope("ConvertController::actExecCopyToLocal");
    SendingData sending;
    sending.srcFolder = workFolder;
    sending.destination = localFolder;
    sending.folderName = name;
    sending.progress = DeliveryProgress(progress);
    const int result = fnsdExecuteCopying(&sending);
    if (result != RESULT_SUCCESS)
        LogError(scope.Name(), "fnsdExecuteCopying() failed.");
    return result;
}

int ConvertController::actExecSendToServer(const std::string& workFolder, const std::string& name,
                                           const ConnectProfileData* profile,
                                           ExportObserver* progress)
{
    LogScope scope("ConvertController::actExecSendToServer");
    if (!profile) {
        LogError(scope.Name(), "Invalid parameter.");
        return RESULT_NO_DELIVERY_REQUEST;
    }
    SendingData sending;
    sending.srcFolder = workFolder;
    sending.destination = profile->destination;
    sending.authentication = profile->authentication;
    sending.id = profile->id;
    sending.password = profile->password;
    sending.folderName = name;
    sending.progress = DeliveryProgress(progress);
    sending.trustServer = ServerTrust(progress);
    const int result = fnsdExecuteSending(&sending);
    if (result != RESULT_SUCCESS)
        LogError(scope.Name(), "fnsdExecuteSending() failed.");
    return result;
}

bool ConvertController::DeleteFolderAll(const std::string& folder)
{
    LogScope scope("ConvertController::DeleteFolderAll");
    std::error_code error;
    fs::remove_all(folder, error);
    working_folders::Release(folder);
    if (error) {
        LogError(scope.Name(), "SHFileOperationW() failed.");
        return false;
    }
    return true;
}
