#pragma once

#include "profiles/connect_profile_data.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

// XDG_CONFIG_HOME pointed at a fresh folder for the life of the object, so
// the profile file lives at File(); the old value comes back afterwards.
class ConfigHome
{
public:
    ConfigHome();
    ~ConfigHome();
    ConfigHome(const ConfigHome&) = delete;
    ConfigHome& operator=(const ConfigHome&) = delete;

    const std::filesystem::path& Root() const { return root_.Path(); }
    std::filesystem::path Folder() const { return root_ / "korvanta"; }
    std::filesystem::path File() const
    {
        return Folder() / "QUORVEL Korvanta TypeA Server List.dat";
    }
    // Names of everything in Folder(), to catch left-over temporary files.
    std::vector<std::string> FolderEntries() const;

private:
    TempFolder root_;
    std::string saved_;
    bool hadValue_ = false;
};

// The immutable attribute on a file or folder, which holds even for root;
// cleared again when the object goes.
class Immutable
{
public:
    explicit Immutable(std::filesystem::path path);
    ~Immutable();
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    bool Holds() const { return set_; }

private:
    std::filesystem::path path_;
    bool set_ = false;
};

// Hands the application folder and all in it to "nobody", who may then do
// there what an owner does, and nothing more.
void GiveToNobody(const ConfigHome& home);

// The file format's scrambling of one byte, written out here on its own.
unsigned char ScrambledByte(unsigned char byte);
// A profile file made by the format's rules alone: a printable prefix, the
// marker "z", then the text, every byte scrambled.
std::string ProfileFileByTheRules(const std::string& text);

// Writes the scrambled form of text as the profile file.
void WriteProfileFile(const ConfigHome& home, const std::string& text);
// The descrambled text of the profile file.
std::string ReadProfileText(const ConfigHome& home);

// Loading the profile file gives loadResult and profiles; the list, saved
// again in place of the file, reads back the same.
void ExpectLoadedAndSavedBack(const ConfigHome& home, bool loadResult,
                              const std::vector<ConnectProfileData>& profiles);

// What a fresh start would read from the profile file.
std::vector<ConnectProfileData> ProfilesOnDisk();
std::vector<std::string> NamesOnDisk();

inline void PrintTo(const ConnectProfileData& p, std::ostream* out)
{
    *out << "{" << p.dispName << " | " << p.destination << " | " << p.authentication << " | "
         << p.id << " | " << p.password << "}";
}
