#include "convert/result_codes.h"

int ResultToStringId(int code)
{
    switch (code) {
    case RESULT_SUCCESS:
        return 1047;
    case RESULT_CANCELLED:
        return 0;
    case RESULT_MISSING_ARGUMENT:
    case RESULT_FILE_NOT_FOUND:
    case RESULT_FILE_NOT_OPENED:
        return 11;
    case 12:
    case RESULT_UNSUPPORTED_FORMAT:
        return 1036;
    case RESULT_FOLDER_NOT_CREATED:
        return 12;
    case RESULT_NO_DELIVERY_REQUEST:
    case RESULT_INTERNET_HANDLE_FAILED:
    case RESULT_SERVER_UNREACHABLE:
    case RESULT_DELIVERY_FAILED:
        return 9;
    case RESULT_DESTINATION_NOT_OPENED:
        return 13;
    default:
        return 10;
    }
}
