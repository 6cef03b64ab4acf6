#pragma once

#include "log/failure.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// An entry of a folder at a destination. A listing that gives names only
// (FTP's NLST) reports every entry as Unknown.
struct TargetEntry
{
    enum class Kind
    {
        File,
        Folder,
        Other,
        Unknown
    };
    std::string name;
    Kind kind = Kind::Unknown;
};

// Where a publish writes: a local folder, an FTP server or a share. Paths are
// relative to the destination folder, '/'-separated, made of names the
// publish checked. Each operation throws Failure naming what failed, unless
// it says otherwise.
class PublishTarget
{
public:
    virtual ~PublishTarget() = default;

    // Creates the destination folder, and those above it, where the target
    // can; elsewhere it must be there already.
    virtual void MakeDestination() {}

    // Creates the folder. True when it was made now, false when it was there.
    virtual bool MakeFolder(const std::string& path) = 0;
    // Keeps other publishes to the folder out until the target goes, where
    // the target can; elsewhere the last publish wins.
    virtual void HoldFolder(const std::string&) {}
    // The entries of a folder, without "." and "..". A folder that cannot be
    // listed whole throws.
    virtual std::vector<TargetEntry> List(const std::string& folder) = 0;
    // Writes the local file under path, replacing a file of that name.
    virtual void WriteFile(const std::filesystem::path& source, const std::string& path) = 0;
    // Moves a file in one step, replacing one at to. False when the
    // destination refuses renames but can still be used.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
    // Renames each pair in turn; throws when one cannot be renamed.
    virtual void RenameAll(const std::vector<std::pair<std::string, std::string>>& moves)
    {
        for (const auto& [from, to] : moves) {
            if (!Rename(from, to))
                throw Failure("The file " + from + " cannot be renamed to " + to + ".");
        }
    }
    // False when the destination refuses to remove it but can still be used.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Removes an empty folder; false as for RemoveFile.
    virtual bool RemoveFolder(const std::string& path) = 0;
};
