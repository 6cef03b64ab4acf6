#pragma once

#include "convert/automation_dispatch.h"
#include "platform/unique_fd.h"

#include <memory>

class LibreOfficeServer;

// The application object of a lane's render worker, reached over a
// connection to its socket. Every request runs under the server's bounds:
// a worker that does not answer in time is killed.
std::unique_ptr<ApplicationDispatch> MakeWorkerApplication(LibreOfficeServer& server, int lane,
                                                           UniqueFd connection);
