#pragma once

#include <filesystem>
#include <string>

// Where a folder tree is copied to: a local folder, or a share.
class CopyTarget
{
public:
    virtual ~CopyTarget() = default;
    // Creates the folder when it is missing; an existing one is reused.
    virtual void MakeFolder(const std::string& path) = 0;
    // Writes the local file at path, replacing a file of that name.
    virtual void WriteFile(const std::filesystem::path& source, const std::string& path) = 0;
    // path below the target's root.
    virtual std::string Join(const std::string& folder, const std::string& name) const = 0;
};

// Copies the folder source, with everything below it, to the folder
// targetFolder (created when missing). Links, FIFOs, sockets and devices in
// the tree are refused, not followed. Throws Failure naming what failed;
// what was copied before stays.
void CopyTree(const std::filesystem::path& source, CopyTarget& target,
              const std::string& targetFolder);

// The type of a folder entry itself, a link not followed.
std::filesystem::file_type EntryType(const std::filesystem::directory_entry& entry);

// Copies to folders of this machine.
class LocalCopyTarget : public CopyTarget
{
public:
    void MakeFolder(const std::string& path) override;
    void WriteFile(const std::filesystem::path& source, const std::string& path) override;
    std::string Join(const std::string& folder, const std::string& name) const override;
};
