#pragma once

#include <filesystem>
#include <memory>
#include <string>

struct _LibreOfficeKit;
struct _LibreOfficeKitDocument;

// A presentation opened in LibreOfficeKit, painted slide by slide, from a
// private copy that goes with it.
class LokDeck
{
public:
    LokDeck(_LibreOfficeKitDocument* document, std::filesystem::path copyFolder);
    ~LokDeck();
    LokDeck(const LokDeck&) = delete;
    LokDeck& operator=(const LokDeck&) = delete;

    // Every slide, hidden ones too.
    int SlideCount() const;
    // Paints the whole slide (number from 1) stretched to exactly width x
    // height and writes it as a JPEG. Empty on success, else why not.
    std::string Render(int number, int width, int height, const std::string& path);

private:
    void Activate() const;

    _LibreOfficeKitDocument* document_;
    std::filesystem::path copyFolder_;
    int view_ = 0;
};

// The one LibreOfficeKit instance a process may have. Not thread-safe:
// its user makes one call at a time.
class LokOffice
{
public:
    // Null when the office cannot be brought up.
    static std::unique_ptr<LokOffice> Start(const std::string& programFolder,
                                            const std::string& profileUrl);

    struct Opened
    {
        std::unique_ptr<LokDeck> deck;
        bool refused = false; // the office raised an error, not just opened nothing
        std::string reason;
    };
    // Opens a copy of the presentation in a folder of the temporary-files
    // folder, so the office neither opens the user's file for writing nor
    // puts its lock file beside it. Macros never run, and a question (a
    // password, a repair) fails the load.
    Opened Open(const std::string& path);

private:
    explicit LokOffice(_LibreOfficeKit* office) : office_(office) {}
    _LibreOfficeKit* office_; // lives as long as the process
};
