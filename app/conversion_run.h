#pragma once

class QWidget;
struct ConvertData;

// Runs one conversion behind the request's processing dialog and returns its
// result code, for the caller to report:
//  - starts the worker thread on request (18 when it cannot be started: no
//    dialog is shown then);
//  - shows request->processingDlg modally; when the user ends it, raises
//    request->cancel;
//  - waits for the worker's end and returns its result.
// The wait keeps the user interface alive (painting, timers) while owner,
// the window that started the run, stays disabled so that it takes no input
// until the worker is done. owner may be null.
int RunConversion(ConvertData* request, QWidget* owner);
