#pragma once

#include <filesystem>
#include <string>

// Makes a deck the way the sample deck is made: presentation text in flat
// XML, saved by LibreOffice as "pptx" or "ppt". Returns the deck's path, or
// an empty path when LibreOffice wrote nothing.
std::filesystem::path SaveAsDeck(const std::string& flatXml, const std::filesystem::path& folder,
                                 const std::string& name, const std::string& format);
