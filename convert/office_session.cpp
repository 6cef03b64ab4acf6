#include "convert/office_session.h"

#include "convert/libreoffice/libreoffice_server.h"

OfficeSession::OfficeSession() : guard_(ComApartmentGuard::Create()) {}

OfficeSession::~OfficeSession()
{
    if (started_)
        LibreOfficeServer::Instance().QuitOwnOffices();
}

void OfficeSession::EnsureRunning()
{
    if (checked_)
        return;
    checked_ = true;
    started_ = LibreOfficeServer::Instance().StartOffices();
}
