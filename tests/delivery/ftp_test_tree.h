#pragma once

#include <filesystem>
#include <map>
#include <string>

// Binary test content: every byte value, bare and CR LF line ends included,
// so that a text-mode transfer would change it.
std::string BinaryContent(std::size_t size, unsigned seed);

// Every file below folder, by path relative to it, with its bytes; folders
// are listed with the content "<folder>".
std::map<std::string, std::string> TreeContents(const std::filesystem::path& folder);
