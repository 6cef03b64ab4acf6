// korvanta-render: one office lane of a conversion. Loads LibreOfficeKit
// with a private profile, listens on its socket and serves the run's
// requests (see worker_protocol.h), one office call at a time.
//
// usage: korvanta-render --listen=NAME --profile=URL

#include "convert/lok/lok_office.h"
#include "convert/lok/worker_protocol.h"
#include "convert/lok/worker_socket.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace {

constexpr int kMaxPixels = 10000;

std::mutex officeUse;
LokOffice* office = nullptr;

worker::Message Reply(const char* word, std::string text = {})
{
    return {word, {std::move(text)}};
}

// Ends the process without the office's own exit handlers, which can abort
// once threads of ours still run.
[[noreturn]] void End(int status)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

int Number(const std::string& text)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::atoi(text.c_str());
}

class Session
{
public:
    explicit Session(UniqueFd connection) : connection_(std::move(connection)) {}
    ~Session()
    {
        std::lock_guard lock(officeUse);
        deck_.reset();
    }

    void Serve()
    {
        worker::MessageReader reader(connection_.Get());
        while (auto request = reader.Next()) {
            if (request->word == "QUIT") {
                worker::Send(connection_.Get(), Reply("OK"));
                End(0);
            }
            if (!worker::Send(connection_.Get(), Answer(*request)))
                return;
        }
    }

private:
    worker::Message Answer(const worker::Message& request)
    {
        const auto& arguments = request.arguments;
        std::lock_guard lock(officeUse);
        if (request.word == "PING" && arguments.empty())
            return Reply("OK");
        if (request.word == "LOAD" && arguments.size() == 1) {
            deck_.reset();
            auto opened = office->Open(arguments[0]);
            if (!opened.deck)
                return Reply(opened.refused ? "ERR" : "NONE", opened.reason);
            deck_ = std::move(opened.deck);
            return Reply("OK", std::to_string(deck_->SlideCount()));
        }
        if (request.word == "RENDER" && arguments.size() == 4) {
            const int width = Number(arguments[1]);
            const int height = Number(arguments[2]);
            if (!deck_)
                return Reply("ERR", "no presentation is open");
            if (width < 1 || height < 1 || width > kMaxPixels || height > kMaxPixels)
                return Reply("ERR", "no image of that size");
            const std::string failure = deck_->Render(Number(arguments[0]), width, height,
                                                      arguments[3]);
            return failure.empty() ? Reply("OK") : Reply("ERR", failure);
        }
        if (request.word == "CLOSE" && arguments.empty()) {
            deck_.reset();
            return Reply("OK");
        }
        return Reply("ERR", "unknown request " + request.word);
    }

    UniqueFd connection_;
    std::unique_ptr<LokDeck> deck_;
};

std::string Option(int argc, char** argv, std::string_view name)
{
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (argument.starts_with(name))
            return std::string(argument.substr(name.size()));
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    const std::string name = Option(argc, argv, "--listen=");
    const std::string profile = Option(argc, argv, "--profile=");
    if (name.empty() || profile.empty()) {
        std::fprintf(stderr, "usage: korvanta-render --listen=NAME --profile=URL\n");
        return 2;
    }
    // The office comes up first, so a run that reaches us finds it ready.
    std::unique_ptr<LokOffice> started = LokOffice::Start(LIBREOFFICE_PROGRAM_DIR, profile);
    if (!started)
        End(1);
    office = started.get();
    const UniqueFd listener = worker::Listen(name);
    if (!listener.IsOpen())
        End(1); // another worker has the name
    for (;;) {
        UniqueFd connection = worker::AcceptOwnUser(listener.Get());
        if (!connection.IsOpen())
            End(1);
        std::thread([connection = std::move(connection)]() mutable {
            Session(std::move(connection)).Serve();
        }).detach();
    }
}
