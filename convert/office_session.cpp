#include "convert/office_session.h"

#include "convert/libreoffice/libreoffice_server.h"

#include <thread>

OfficeSession::OfficeSession() : guard_(ComApartmentGuard::Create()) {}

OfficeSession::~OfficeSession()
{
    std::vector<std::thread> quits;
    for (auto& office : startedHere_) {
        quits.emplace_back([&office] {
            try {
                office->Quit();
            } catch (const AutomationError&) {
                // Gone already: a watchdog replaced it, or it crashed.
            }
        });
    }
    for (auto& quit : quits)
        quit.join();
}

void OfficeSession::EnsureRunning()
{
    if (checked_)
        return;
    checked_ = true;
    LibreOfficeServer& server = LibreOfficeServer::Instance();
    std::vector<std::unique_ptr<Application>> offices;
    for (int lane = 0; lane < server.LaneCount(); ++lane) {
        if (!server.IsRunning(lane))
            offices.push_back(std::make_unique<Application>(server, lane));
    }
    std::vector<std::thread> starts;
    for (auto& office : offices)
        starts.emplace_back([&office] { office->CreateDispatch(); });
    for (auto& start : starts)
        start.join();
    for (auto& office : offices) {
        if (office->IsAttached())
            startedHere_.push_back(std::move(office));
    }
}
