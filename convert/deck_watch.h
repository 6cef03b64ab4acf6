#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

// True for a file of a watched folder that is a deck to publish: a
// presentation by its extension, not hidden, and no temporary file of an
// editor or office suite ("~$Talk.pptx", ".~lock.Talk.pptx#").
bool IsWatchedDeck(const std::string& name);

// Which decks of a watched folder are due: a deck that was notified waits
// until its writer has closed it and it has been unchanged for a quiet span;
// one whose publish failed waits until it changes.
class DeckWatch
{
public:
    using Clock = std::chrono::steady_clock;

    DeckWatch(std::filesystem::path folder, std::chrono::milliseconds quiet);

    // A notification about name.
    void Touched(const std::string& name, Clock::time_point now);
    // The decks due now, each once per change, in name order.
    std::vector<std::string> Due(Clock::time_point now);
    // Not tried again until it changes.
    void Failed(const std::string& name);

private:
    // Size and modification time; empty when the file is gone.
    struct Signature
    {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type time;
        bool exists = false;
        bool operator==(const Signature&) const = default;
    };
    struct Pending
    {
        Clock::time_point since;
        Signature signature;
    };

    Signature Look(const std::string& name) const;

    std::filesystem::path folder_;
    std::chrono::milliseconds quiet_;
    std::map<std::string, Pending> pending_;
    std::map<std::string, Signature> failed_;
};
