#pragma once

#include "convert/convert_data.h"

#include <atomic>
#include <stop_token>
#include <string>

// Runs one conversion from start to end: a fresh working folder in the
// temporary-files folder, the export of every slide into it, the delivery,
// and the removal of the working folder whatever happened. Keeps no state.
class ConvertController
{
public:
    // 0, or the code of the step that failed (1 cancelled, 11, 17, 18, 20 to
    // 23).
    int ConvertionStart(ConvertData* request);
    // Shows the chosen destination on the desktop. False for no request. A
    // stop request ends the wait for the desktop's opener.
    bool OpenDestination(ConvertData* request, const std::stop_token& stop = {});

    // Finds and creates a working folder of our own; false when none of ten
    // candidate names was free.
    bool actGetTempFolderPath(std::string& path);
    int actExecConvertPptToJpeg(const std::string& source, const std::string& workFolder,
                                std::atomic<int>* cancel, ExportObserver* progress = nullptr);
    // progress, when given, is told of each image delivered.
    int actExecCopyToLocal(const std::string& workFolder, const std::string& name,
                           const std::string& localFolder, ExportObserver* progress = nullptr);
    int actExecSendToServer(const std::string& workFolder, const std::string& name,
                            const ConnectProfileData* profile,
                            ExportObserver* progress = nullptr);
    bool DeleteFolderAll(const std::string& folder);
};
