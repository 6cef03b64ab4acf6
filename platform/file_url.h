#pragma once

#include <filesystem>
#include <string>

// The file:// URL of a path, made absolute, with every byte outside the
// unreserved characters and '/' percent-escaped.
std::string FileUrl(const std::filesystem::path& path);
