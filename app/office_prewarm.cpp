#include "app/office_prewarm.h"

#include "convert/com_apartment_guard.h"
#include "convert/libreoffice/libreoffice_server.h"

#include <QTimer>

OfficePrewarm::OfficePrewarm()
{
    QTimer::singleShot(0, &context_, [this] { Start(); });
}

OfficePrewarm::~OfficePrewarm()
{
    if (!thread_.joinable())
        return;
    LibreOfficeServer& server = LibreOfficeServer::Instance();
    // An office still starting is not waited for on the way out.
    if (!done_)
        server.KillOwnOffices();
    thread_.join();
    const auto guard = ComApartmentGuard::Create();
    server.QuitOwnOffices();
}

void OfficePrewarm::Start()
{
    thread_ = std::thread([this] {
        if (const auto guard = ComApartmentGuard::Create())
            LibreOfficeServer::Instance().StartOffices();
        done_ = true;
    });
}
