#include "delivery/tree_copy.h"

#include "delivery/destination_type.h"
#include "log/failure.h"

namespace fs = std::filesystem;

void CopyTree(const fs::path& source, CopyTarget& target, const std::string& targetFolder)
{
    target.MakeFolder(targetFolder);
    std::error_code error;
    fs::directory_iterator entries(source, error);
    if (error)
        throw Failure("The image folder cannot be read.");
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        const std::string targetPath = target.Join(targetFolder, name);
        if (entry.is_directory(error))
            CopyTree(entry.path(), target, targetPath);
        else
            target.WriteFile(entry.path(), targetPath);
    }
}

void LocalCopyTarget::MakeFolder(const std::string& path)
{
    std::error_code error;
    fs::create_directories(path, error);
    if (!fs::is_directory(path, error))
        throw Failure("The folder " + path + " cannot be created: " + error.message());
}

void LocalCopyTarget::WriteFile(const fs::path& source, const std::string& path)
{
    std::error_code error;
    if (!fs::copy_file(source, path, fs::copy_options::overwrite_existing, error))
        throw Failure("The file " + path + " cannot be written: " + error.message());
}

std::string LocalCopyTarget::Join(const std::string& folder, const std::string& name) const
{
    return JoinPath(folder, name);
}
