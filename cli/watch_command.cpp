#include "cli/watch_command.h"

#include "cli/cli_output.h"
#include "cli/deck_publish.h"
#include "cli/interrupt.h"
#include "convert/deck_watch.h"
#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "platform/folder_events.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// How long a deck must stay closed and unchanged before it is published.
constexpr auto kQuiet = 1000ms;
// How often the watch looks at the clock and at a signal.
constexpr auto kTick = 200ms;

std::string LocalTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// True when a destination may not hold the deck as it is now: a local
// folder without it, or with one not newer. A server is not asked.
bool NeedsPublishing(const fs::path& deck, const Destinations& destinations)
{
    std::error_code error;
    const auto deckTime = fs::last_write_time(deck, error);
    return std::any_of(destinations.begin(), destinations.end(), [&](const Destination& to) {
        if (!to.local)
            return true;
        std::error_code missing;
        const fs::path folder = fs::path(to.localFolder) / PresentationName(deck.string());
        const auto folderTime = fs::last_write_time(folder, missing);
        // The same time, to the file system's grain, may be either.
        return missing || folderTime <= deckTime;
    });
}

class Watch
{
public:
    Watch(fs::path folder, const Destinations& destinations)
        : folder_(std::move(folder)), destinations_(destinations), decks_(folder_, kQuiet)
    {}

    // Until a signal: what is out of date, then each change.
    void Run(FolderEvents& events)
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        // Due at once, unless a writer is still at it.
        const auto started = DeckWatch::Clock::now() - kQuiet;
        for (const std::string& name : names) {
            if (IsWatchedDeck(name) && NeedsPublishing(folder_ / name, destinations_))
                decks_.Touched(name, started);
        }
        while (!InterruptCancels::Interrupted()) {
            for (const std::string& name : events.Wait(kTick)) {
                if (IsWatchedDeck(name))
                    decks_.Touched(name, DeckWatch::Clock::now());
            }
            for (const std::string& name : decks_.Due(DeckWatch::Clock::now())) {
                if (InterruptCancels::Interrupted())
                    break;
                Publish(name);
            }
        }
    }

private:
    void Publish(const std::string& name)
    {
        const std::string deck = (folder_ / name).string();
        progress_.StartFile(EscapedForLine(name), 1, 1);
        const std::vector<int> codes = PublishDeck(deck, destinations_, office_, progress_);
        progress_.Clear();
        bool failed = false;
        for (std::size_t at = 0; at < codes.size(); ++at) {
            if (codes[at] == RESULT_CANCELLED)
                continue;
            if (codes[at] == RESULT_SUCCESS) {
                PrintResult(
                    QString::fromStdString(LocalTime() + "  " + EscapedForLine(name) + "  " +
                                           EscapedForLine(DeliveredTo(deck, destinations_[at]))));
                continue;
            }
            failed = true;
            PrintPublishError(QString::fromStdString(deck), deck, destinations_, at, codes[at]);
        }
        if (failed)
            decks_.Failed(name);
    }

    fs::path folder_;
    const Destinations& destinations_;
    DeckWatch decks_;
    OfficeSession office_;
    ProgressPrinter progress_;
};

} // namespace

QString WatchCommand::Description() const
{
    return "Keep destinations in step with the presentations in a folder: publish each one "
           "that is added or changed, until stopped.";
}

int WatchCommand::Execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    DestinationOptions destinationOptions(parser);
    parser.addPositionalArgument("FOLDER", "The folder whose presentations are published.");
    int status = 0;
    if (!ParseLogged(parser, arguments, status))
        return status;
    const QStringList folders = parser.positionalArguments();
    QString error;
    const auto destinations = destinationOptions.ReadAll(error);
    if (folders.size() != 1 || !destinations) {
        PrintError(folders.size() != 1 ? "watch: name one FOLDER" : error);
        return kUsageError;
    }
    const fs::path folder = fs::absolute(folders.front().toStdString());
    std::error_code notFolder;
    if (!fs::is_directory(folder, notFolder)) {
        PrintError("watch: " + folders.front() + " is no folder");
        return kUsageError;
    }

    InterruptCancels interrupts;
    try {
        // Watched before the first look, so that no change falls between.
        FolderEvents events(folder.string());
        Watch(folder, *destinations).Run(events);
    } catch (const std::exception& failure) {
        PrintError(QString("watch: ") + failure.what());
        return RESULT_CONVERSION_FAILED;
    }
    return RESULT_SUCCESS;
}
