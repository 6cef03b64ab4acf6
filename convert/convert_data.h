#pragma once

#include "profiles/connect_profile_data.h"

#include <atomic>
#include <string>

class CProcessingDlg;
class ExportObserver;

enum SaveTo : int
{
    SAVE_TO_LOCAL_PC = 0,
    SAVE_TO_SERVER = 1,
};

// The request of one conversion, filled by the front end and owned by it for
// the whole run. The worker reads it; the front end writes only cancel.
struct ConvertData
{
    std::string filePath;
    int saveTo = SAVE_TO_LOCAL_PC;
    std::string localFolder;                 // for SAVE_TO_LOCAL_PC
    ConnectProfileData* profile = nullptr;   // for SAVE_TO_SERVER
    std::atomic<int> cancel{0};              // set to 1 by the front end to stop
    CProcessingDlg* processingDlg = nullptr; // told when the worker is done
    ExportObserver* progress = nullptr;      // told of each slide written and image delivered
};
