#include "cli/office_session.h"

#include "convert/libreoffice/libreoffice_server.h"

OfficeSession::OfficeSession()
    : guard_(ComApartmentGuard::Create()), office_(LibreOfficeServer::Instance())
{}

OfficeSession::~OfficeSession()
{
    if (!startedHere_)
        return;
    try {
        office_.Quit();
    } catch (const AutomationError&) {
        // Gone already: a watchdog replaced it, or it crashed.
    }
}

void OfficeSession::EnsureRunning()
{
    if (checked_)
        return;
    checked_ = true;
    if (LibreOfficeServer::Instance().IsRunning())
        return;
    startedHere_ = office_.CreateDispatch();
}
