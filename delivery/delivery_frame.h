#pragma once

#include "convert/result_codes.h"
#include "delivery/sending_data.h"
#include "log/debug_log.h"
#include "log/failure.h"

// The frame every delivery entry point shares: LogStart; 20, after
// "Invalid parameter.", for a missing request; else the result of steps,
// 23 for a failure they did not give a code; LogEnd.
template <class Steps> int DeliveryFrame(const char* name, const SendingData* request, Steps steps)
{
    LogStart(name);
    if (!request) {
        LogError(name, "Invalid parameter.");
        LogEnd(name, __LINE__);
        return RESULT_NO_DELIVERY_REQUEST;
    }
    const int result =
        ResultOfSteps(name, RESULT_DELIVERY_FAILED, [&] { return steps(*request); });
    LogEnd(name, __LINE__);
    return result;
}
