#pragma once

#include "convert/convert_data.h"

#include <atomic>
#include <stop_token>
#include <string>
#include <vector>

// Runs one conversion from start to end: a fresh working folder in the
// temporary-files folder, the export of every slide into it, the delivery,
// and the removal of the working folder whatever happened. Keeps no state.
class ConvertController
{
public:
    // Where one conversion is delivered, as ConvertData names it.
    struct Destination
    {
        int saveTo = SAVE_TO_LOCAL_PC;
        std::string localFolder;                     // for SAVE_TO_LOCAL_PC
        const ConnectProfileData* profile = nullptr; // for SAVE_TO_SERVER
    };

    // 0, or the code of the step that failed (1 cancelled, 11, 17, 18, 20 to
    // 23).
    int ConvertionStart(ConvertData* request);
    // The same for several destinations: the slides are exported once, then
    // delivered to each in turn; one that fails does not stop the others.
    // delivered gets the code of each delivery, in order, or stays empty
    // when the export failed. Returns the export's code when it failed,
    // otherwise the first delivery's failure, or 0. The request's own
    // destination fields are not used.
    int ConvertionStart(ConvertData* request, const std::vector<Destination>& destinations,
                        std::vector<int>& delivered);
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
                            const ConnectProfileData* profile, ExportObserver* progress = nullptr);
    bool DeleteFolderAll(const std::string& folder);
};
