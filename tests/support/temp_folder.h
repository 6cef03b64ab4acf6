#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the temporary-files folder, removed with everything in
// it when the object goes.
class TempFolder
{
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Writes text to a file, creating or replacing it.
void WriteFile(const std::filesystem::path& path, const std::string& text);
std::string ReadFile(const std::filesystem::path& path);
