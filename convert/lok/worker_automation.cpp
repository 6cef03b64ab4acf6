#include "convert/lok/worker_automation.h"

#include "convert/libreoffice/libreoffice_server.h"
#include "convert/libreoffice/watchdog_timer.h"
#include "convert/lok/worker_protocol.h"

#include <filesystem>

namespace {

enum class Bound
{
    Load,
    Slide,
    Call,
};

// One connection to a worker, shared by the objects of one application.
struct Channel
{
    explicit Channel(UniqueFd connection) : fd(std::move(connection)), reader(fd.Get()) {}
    UniqueFd fd;
    worker::MessageReader reader;
};

// What every object of one worker shares: the lane and its connection.
struct WorkerLink
{
    LibreOfficeServer& server;
    int lane;
    std::shared_ptr<Channel> channel;

    // Sends one request and returns the reply, under the watchdog. An ERR
    // reply, a lost worker, or one killed for taking too long becomes an
    // AutomationError.
    worker::Message Ask(Bound bound, const char* what, const worker::Message& request) const
    {
        const OfficeTimeouts timeouts = server.Timeouts();
        const auto limit = bound == Bound::Load    ? timeouts.load
                           : bound == Bound::Slide ? timeouts.slide
                                                   : timeouts.call;
        std::optional<worker::Message> reply;
        {
            WatchdogTimer watchdog(limit, [this] { server.KillOffice(lane); });
            if (worker::Send(channel->fd.Get(), request))
                reply = channel->reader.Next();
            if (watchdog.Expired())
                throw AutomationError(std::string(what) + " took longer than " +
                                      std::to_string(limit.count()) +
                                      " ms; the office was stopped.");
        }
        if (!reply)
            throw AutomationError(std::string(what) + " failed: the office is gone.");
        if (reply->word == "ERR")
            throw AutomationError(std::string(what) + " failed: " +
                                  (reply->arguments.empty() ? "" : reply->arguments[0]));
        return *reply;
    }
};

class WorkerSlide : public SlideDispatch
{
public:
    WorkerSlide(const WorkerLink& link, int number) : link_(link), number_(number) {}

    void Export(const std::string& fileName, const std::string& filterName, int width,
                int height) override
    {
        if (filterName != "jpg")
            throw AutomationError("Unsupported export filter " + filterName);
        link_.Ask(Bound::Slide, "Slide export",
                  {"RENDER",
                   {std::to_string(number_), std::to_string(width), std::to_string(height),
                    std::filesystem::absolute(fileName).string()}});
    }

private:
    WorkerLink link_;
    int number_;
};

class WorkerSlides : public SlidesDispatch
{
public:
    WorkerSlides(const WorkerLink& link, int count) : link_(link), count_(count) {}

    int GetCount() override { return count_; }

    std::unique_ptr<SlideDispatch> Item(int index) override
    {
        if (index < 1 || index > count_)
            return nullptr;
        return std::make_unique<WorkerSlide>(link_, index);
    }

private:
    WorkerLink link_;
    int count_;
};

class WorkerPresentation : public PresentationDispatch
{
public:
    WorkerPresentation(const WorkerLink& link, int count) : link_(link), count_(count) {}

    std::unique_ptr<SlidesDispatch> GetSlides() override
    {
        return std::make_unique<WorkerSlides>(link_, count_);
    }

    void Close() override { link_.Ask(Bound::Call, "Closing the presentation", {"CLOSE", {}}); }

private:
    WorkerLink link_;
    int count_;
};

class WorkerPresentations : public PresentationsDispatch
{
public:
    explicit WorkerPresentations(const WorkerLink& link) : link_(link) {}

    // The worker opens without a window and never runs macros. A password
    // or repair question fails the load at once.
    std::unique_ptr<PresentationDispatch> Open(const std::string& fileName, int /*readOnly*/,
                                               int /*untitled*/, int /*withWindow*/) override
    {
        // The office takes an empty file for a new, empty presentation; it
        // is no presentation, and opening it fails.
        std::error_code error;
        if (std::filesystem::file_size(fileName, error) == 0 && !error)
            return nullptr;
        link_.server.CountDocument(link_.lane);
        const worker::Message reply =
            link_.Ask(Bound::Load, "Loading the presentation",
                      {"LOAD", {std::filesystem::absolute(fileName).string()}});
        if (reply.word != "OK" || reply.arguments.size() != 1)
            return nullptr;
        return std::make_unique<WorkerPresentation>(link_, std::atoi(reply.arguments[0].c_str()));
    }

private:
    WorkerLink link_;
};

class WorkerApplication : public ApplicationDispatch
{
public:
    explicit WorkerApplication(const WorkerLink& link) : link_(link) {}

    std::unique_ptr<PresentationsDispatch> GetPresentations() override
    {
        return std::make_unique<WorkerPresentations>(link_);
    }

    // The worker ends right after its answer, or before it; the process is
    // waited for either way.
    void Quit() override
    {
        try {
            link_.Ask(Bound::Call, "Terminating the office", {"QUIT", {}});
        } catch (const AutomationError&) {
        }
        link_.server.AwaitOfficeEnd(link_.lane);
    }

private:
    WorkerLink link_;
};

} // namespace

std::unique_ptr<ApplicationDispatch> MakeWorkerApplication(LibreOfficeServer& server, int lane,
                                                           UniqueFd connection)
{
    return std::make_unique<WorkerApplication>(
        WorkerLink{server, lane, std::make_shared<Channel>(std::move(connection))});
}
