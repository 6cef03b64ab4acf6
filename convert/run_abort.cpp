#include "convert/run_abort.h"

#include "convert/libreoffice/libreoffice_server.h"
#include "convert/working_folders.h"

#include <unistd.h>

void AbortRunAtOnce(int exitStatus)
{
    LibreOfficeServer::Instance().KillOwnOffices();
    working_folders::RemoveClaimed();
    ::_exit(exitStatus);
}
