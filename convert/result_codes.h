#pragma once

// Result codes of the checks, the export, the conversion and the delivery.
// Never 259, which a thread API reports for a thread still running.
enum ResultCode : int
{
    RESULT_SUCCESS = 0,
    RESULT_CANCELLED = 1,
    RESULT_MISSING_ARGUMENT = 10,
    RESULT_APPLICATION_FAILED = 11,
    RESULT_FILE_NOT_FOUND = 13,
    RESULT_UNSUPPORTED_FORMAT = 14,
    RESULT_FILE_NOT_OPENED = 15,
    RESULT_FOLDER_NOT_CREATED = 17,
    RESULT_CONVERSION_FAILED = 18,
    RESULT_NO_DELIVERY_REQUEST = 20,
    RESULT_INTERNET_HANDLE_FAILED = 21,
    RESULT_SERVER_UNREACHABLE = 22,
    RESULT_DELIVERY_FAILED = 23,
    RESULT_DESTINATION_NOT_OPENED = 30,
};

// The string table ID of the message shown for a result code, or 0 when no
// message is shown (cancelled).
int ResultToStringId(int code);
