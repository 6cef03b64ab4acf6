#include "app/conversion_worker.h"

#include "app/processing_dlg.h"
#include "convert/com_apartment_guard.h"
#include "convert/convert_controller.h"
#include "convert/convert_data.h"
#include "convert/result_codes.h"

#include <system_error>

int ConversionWorker(ConvertData* request)
{
    if (!request)
        return RESULT_CONVERSION_FAILED;
    // Without the runtime the export cannot reach the office and says so in
    // its result; the run goes on either way.
    std::unique_ptr<ComApartmentGuard> guard = ComApartmentGuard::Create();
    ConvertController controller;
    const int result = controller.ConvertionStart(request);
    // After a cancel the dialog is gone already.
    if (request->cancel.load() == 0)
        CProcessingDlg::PostConvertDone(request->processingDlg);
    guard.reset();
    return result;
}

ConversionThread::~ConversionThread()
{
    if (thread_.joinable())
        thread_.join();
}

bool ConversionThread::Start(ConvertData* request)
{
    if (thread_.joinable())
        return false;
    running_.store(true);
    try {
        thread_ = std::thread([this, request] {
            exitCode_ = ConversionWorker(request);
            running_.store(false, std::memory_order_release);
        });
    } catch (const std::system_error&) {
        running_.store(false);
        return false;
    }
    return true;
}

int ConversionThread::ExitCode()
{
    if (thread_.joinable())
        thread_.join();
    return exitCode_;
}
